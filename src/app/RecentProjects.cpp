// RecentProjects: the File menu's list of recent projects.
#include "app/RecentProjects.h"

#include "platform/IniFile.h"

#include <algorithm>

static QString slotKey(int slot) {
    return QStringLiteral("File%1").arg(slot);
}

void RecentProjects::load(const IniFile& options) {
    for (int n = 1; n <= SlotCount; ++n)
        m_slots[n - 1] = options.readString(QStringLiteral("Recent"), slotKey(n), QString());
}

QList<int> RecentProjects::update(const QString& path, const IniFile& options) {
    QList<int> changed;
    int found = 0;
    for (int n = 1; n <= SlotCount; ++n) {
        if (m_slots[n - 1] == path) {
            found = n;
            break;
        }
    }
    if (found) {
        std::swap(m_slots[0], m_slots[found - 1]);
        changed << 1;
        if (found != 1)
            changed << found;
    } else {
        for (int n = SlotCount; n > 1; --n)
            m_slots[n - 1] = m_slots[n - 2];
        m_slots[0] = path;
        changed = {1, 2, 3, 4};
    }
    write(options);
    return changed;
}

bool RecentProjects::remove(const QString& path, const IniFile& options) {
    const auto it = std::find(m_slots.begin(), m_slots.end(), path);
    if (path.isEmpty() || it == m_slots.end())
        return false;
    std::move(it + 1, m_slots.end(), it);
    m_slots.back().clear();
    write(options);
    return true;
}

void RecentProjects::write(const IniFile& options) const {
    for (int n = 1; n <= SlotCount; ++n)
        options.writeString(QStringLiteral("Recent"), slotKey(n), m_slots[n - 1]);
}

QString RecentProjects::caption(int slot) const {
    return QStringLiteral("%1: ").arg(slot) + m_slots.at(slot - 1);
}
