// RoomList: the rooms' lifecycle in order.
#include "ui/shell/Room.h"

RoomList::RoomList(std::vector<std::unique_ptr<Room>> rooms) : m_rooms(std::move(rooms)) {
}

RoomList::~RoomList() {
    // One at a time from the back: a vector's own destructor promises no order.
    while (!m_rooms.empty())
        m_rooms.pop_back();
}

void RoomList::install(Shell& shell) {
    for (const std::unique_ptr<Room>& room : m_rooms)
        room->install(shell);
}

void RoomList::allInstalled(Shell& shell) {
    for (const std::unique_ptr<Room>& room : m_rooms)
        room->allInstalled(shell);
}

void RoomList::aboutToShutdown() {
    for (auto it = m_rooms.rbegin(); it != m_rooms.rend(); ++it)
        (*it)->aboutToShutdown();
}
