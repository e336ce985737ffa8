// Room: one room of the main window (the project, the tags, the preview ...) with its lifecycle.
// The composition root (ui/Rooms.cpp) makes the rooms in their order and hands them to one
// RoomList, which installs them in that order, tells them when every room is in, and before the
// window goes tells them so and destroys them in reverse order, while the state and the widgets
// they reach still stand.
#pragma once

#include <memory>
#include <vector>

struct Shell;

class Room {
public:
    virtual ~Room() = default;
    // Adds the room's commands, panes and dialogs to the shell, and fills its slots of the
    // shell's parts. The rooms before it are in; the ones after it are not yet.
    virtual void install(Shell& shell) = 0;
    // Every room is in and the registry has placed every command.
    virtual void allInstalled(Shell& shell) { (void)shell; }
    // The window is about to go: nothing is destroyed yet (the last room hears it first).
    virtual void aboutToShutdown() {}
};

class RoomList {
public:
    explicit RoomList(std::vector<std::unique_ptr<Room>> rooms);
    // Destroys the rooms, the last one first.
    ~RoomList();
    RoomList(const RoomList&) = delete;
    RoomList& operator=(const RoomList&) = delete;

    void install(Shell& shell);
    void allInstalled(Shell& shell);
    void aboutToShutdown();
    std::size_t size() const { return m_rooms.size(); }

private:
    std::vector<std::unique_ptr<Room>> m_rooms;
};
