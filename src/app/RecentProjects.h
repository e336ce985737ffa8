// RecentProjects: the four most recently used projects, mirrored in OPTIONS.INI section Recent
// and shown as the last four entries of the File menu.
#pragma once

#include <QList>
#include <QString>
#include <array>

class IniFile;

class RecentProjects {
public:
    static constexpr int SlotCount = 4;

    // Reads File1 to File4 of section Recent.
    void load(const IniFile& options);
    // Records that path was opened or saved (exact, case-sensitive comparison): a path already
    // listed swaps places with slot 1, a new one pushes the others down and drops slot 4. All
    // four slots are written back. Returns the slots (1-based) whose captions changed.
    QList<int> update(const QString& path, const IniFile& options);
    // Takes path out of the list (a project that is gone): the entries below it move up and the
    // last slot is emptied; all four are written back. False when it was not listed.
    bool remove(const QString& path, const IniFile& options);

    // slot is 1-based.
    const QString& path(int slot) const { return m_slots.at(slot - 1); }
    // "N: path", or "N: " for an empty slot.
    QString caption(int slot) const;

private:
    void write(const IniFile& options) const;

    std::array<QString, SlotCount> m_slots;
};
