// The settings table: every setting of DEFAULT.INI and OPTIONS.INI that the program holds in
// memory, one row each, with its file, section, key, type, default and place in Settings.
//
// Start-up reads the rows in their order; a change goes through SettingsStore::set, which finds
// the row by the Settings member and writes under that row's section and key. So a key cannot be
// spelt two ways, and a new setting is one row here and one member in Settings.
#pragma once

#include "app/Settings.h"
#include "platform/IniFile.h"

#include <QString>
#include <variant>
#include <vector>

enum class SettingsFileId { Default, Options }; // DEFAULT.INI, OPTIONS.INI
enum class SettingType { Text, Bool, Integer };
// Where a default comes from when it is not a fixed value.
enum class DefaultFrom { Value, ProgramDirectory, HomeDirectory };

// The index of a tag colour in Settings::tagColors.
struct TagColorSlot {
    int index;
};
using SettingField =
    std::variant<QString Settings::*, bool Settings::*, int Settings::*, TagColorSlot>;

struct SettingRow {
    SettingsFileId file;
    const char* section;
    const char* key;
    SettingType type;
    const char* defaultValue; // as the file would hold it: "html", "1", "5"
    SettingField field;
    DefaultFrom defaultFrom = DefaultFrom::Value;
};

// In the order the program reads them at start-up: DEFAULT.INI, then OPTIONS.INI.
const std::vector<SettingRow>& settingRows();

// A setting to write with the text its file is to hold (see SettingsStore::writeAll).
struct PendingSetting {
    SettingField field;
    QString text;
};

// The two settings files and the writes of single settings.
class SettingsStore {
public:
    SettingsStore(IniFile defaultIni, IniFile optionsIni);

    const IniFile& file(SettingsFileId id) const;
    const IniFile& defaultIni() const { return m_default; }
    const IniFile& optionsIni() const { return m_options; }

    // Every row, each with its default; then the values that follow from others.
    Settings load(const QString& programDirectory, const QString& homeDirectory) const;

    // Sets one setting in memory and writes it to its file. A member that has no row is a fault
    // of the program: it is reported once on the console and only kept in memory.
    // Each returns whether its file was written (callers may ignore it, as the program does).
    bool set(Settings& settings, QString Settings::*field, const QString& value) const;
    bool set(Settings& settings, bool Settings::*field, bool value) const;
    bool set(Settings& settings, int Settings::*field, int value) const;
    bool setTagColor(Settings& settings, int index, const QString& value) const;

    // The text the file holds for a setting's in-memory value ("1" for true).
    static QString storedText(const SettingField& field, const Settings& settings);
    // Writes several settings, each file once (keys in the order given), as a dialog's Apply
    // does; returns the files that could not be written.
    QList<SettingsFileId> writeAll(const QList<PendingSetting>& settings) const;

    // The row of a member, or null.
    static const SettingRow* rowOf(const SettingField& field);

private:
    bool store(const SettingField& field, const Settings& settings) const;
    bool write(const SettingRow& row, const Settings& settings) const;

    IniFile m_default;
    IniFile m_options;
};
