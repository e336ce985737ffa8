// The settings table and the store that reads and writes by it.
#include "app/SettingsTable.h"

#include <QDebug>

using T = SettingType;
using F = SettingsFileId;

const std::vector<SettingRow>& settingRows() {
    static const std::vector<SettingRow> rows = {
        // DEFAULT.INI, in the order the program has always read it.
        {F::Default, "Start", "Location", T::Text, "", &Settings::lastHtmlDirectory,
         DefaultFrom::ProgramDirectory},
        // The Files tab used to start at the drive root; here it starts at home.
        {F::Default, "Files", "Location", T::Text, "", &Settings::filesLocation,
         DefaultFrom::HomeDirectory},
        {F::Default, "Files", "Selected", T::Text, "", &Settings::filesSelected},
        {F::Default, "Location", "RelImage", T::Text, "", &Settings::relImage},
        {F::Default, "HTML", "MSIEControl", T::Bool, "1", &Settings::msieControl},
        {F::Default, "TAGS", "STRONG", T::Bool, "0", &Settings::strongTag},
        {F::Default, "HTML", "FTPAUTO", T::Bool, "1", &Settings::ftpAuto},
        {F::Default, "HTML", "FTPFLUSH", T::Bool, "1", &Settings::ftpFlush},
        {F::Default, "TAGS", "EM", T::Bool, "0", &Settings::emTag},
        {F::Default, "Fix", "EditProblem", T::Bool, "0", &Settings::editProblem},
        {F::Default, "Location", "PreviewOption", T::Text, "temp", &Settings::previewOption},
        {F::Default, "HTML", "Ext", T::Text, "html", &Settings::ext},
        {F::Default, "Path", "UseAnchor", T::Bool, "0", &Settings::useAnchor},
        {F::Default, "Path", "AnchorPath", T::Text, "", &Settings::anchorPath},
        {F::Default, "Helpers", "Editor", T::Text, "", &Settings::imageEditor},
        {F::Default, "Location", "Images", T::Text, "", &Settings::images},
        {F::Default, "Location", "FTPImages", T::Text, "", &Settings::ftpImages},
        {F::Default, "Helpers", "Imagemap", T::Text, "", &Settings::imagemapEditor},
        {F::Default, "Files", "UseSel", T::Bool, "0", &Settings::filesUseSelected},
        {F::Default, "Tags", "Colored", T::Bool, "0", &Settings::colored},
        {F::Default, "Format", "Wrap", T::Bool, "1", &Settings::wrap},
        {F::Default, "Files", "Confirm", T::Bool, "1", &Settings::confirmRemove},
        {F::Default, "Tags", "LowerCase", T::Bool, "0", &Settings::lowerCaseTags},
        {F::Default, "Location", "ImageFolder", T::Text, "", &Settings::imageFolder},
        {F::Default, "Check", "BeforeUpload", T::Bool, "1", &Settings::checkBeforeUpload},
        {F::Default, "Check", "SizeLimit", T::Integer, "100", &Settings::pageSizeLimit},
        {F::Default, "Check", "TidyWarnings", T::Bool, "0", &Settings::tidyWarnings},
        // OPTIONS.INI (the recent projects and the backup counters are lists of their own).
        {F::Options, "Location", "Netscape", T::Text, "", &Settings::browser1},
        {F::Options, "Location", "MSIE", T::Text, "", &Settings::browser2},
        {F::Options, "Location", "HTMLTemp", T::Text, "", &Settings::htmlTemplate},
        {F::Options, "Help", "ShowTips", T::Bool, "1", &Settings::showTips},
        {F::Options, "Backup", "Type", T::Integer, "1", &Settings::backupType},
        {F::Options, "Backup", "PromptFreq", T::Integer, "5", &Settings::backupPromptFreq},
        {F::Options, "Defaults", "EMAIL", T::Text, "yourname@yourdomain.com", &Settings::email},
        {F::Options, "Colors", "DEFAULT", T::Text, "clRed", TagColorSlot{0}},
        {F::Options, "Colors", "HREF", T::Text, "clRed", TagColorSlot{1}},
        {F::Options, "Colors", "IMG", T::Text, "clRed", TagColorSlot{2}},
        {F::Options, "Colors", "FONT", T::Text, "clRed", TagColorSlot{3}},
        {F::Options, "Colors", "TABLE", T::Text, "clRed", TagColorSlot{4}},
        {F::Options, "Colors", "LIST", T::Text, "clRed", TagColorSlot{5}},
    };
    return rows;
}

SettingsStore::SettingsStore(IniFile defaultIni, IniFile optionsIni)
    : m_default(std::move(defaultIni)), m_options(std::move(optionsIni)) {
}

const IniFile& SettingsStore::file(SettingsFileId id) const {
    return id == SettingsFileId::Default ? m_default : m_options;
}

Settings SettingsStore::load(const QString& programDirectory, const QString& homeDirectory) const {
    Settings s;
    for (const SettingRow& row : settingRows()) {
        const IniFile& ini = file(row.file);
        const QString section = QLatin1String(row.section);
        const QString key = QLatin1String(row.key);
        QString def = QString::fromLatin1(row.defaultValue);
        if (row.defaultFrom == DefaultFrom::ProgramDirectory)
            def = programDirectory;
        else if (row.defaultFrom == DefaultFrom::HomeDirectory)
            def = homeDirectory;
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, QString Settings::*>)
                    s.*field = ini.readString(section, key, def);
                else if constexpr (std::is_same_v<Field, bool Settings::*>)
                    s.*field = ini.readBool(section, key, def.toInt() != 0);
                else if constexpr (std::is_same_v<Field, int Settings::*>)
                    s.*field = ini.readInteger(section, key, def.toInt());
                else
                    s.tagColors[static_cast<size_t>(field.index)] =
                        ini.readString(section, key, def);
            },
            row.field);
    }
    // Earlier versions stored this folder without its separator; the dialogs and the preview
    // append names to it.
    s.lastHtmlDirectory = folderWithSeparator(s.lastHtmlDirectory);
    s.previewModeLabel = previewModeLabel(s.previewOption);
    if (s.ftpImages.isEmpty())
        s.ftpImages = s.images;
    s.spellConfigPath = programDirectory + QStringLiteral("spell/spell.cfg");
    s.spellConfigKey = QStringLiteral("default");
    return s;
}

const SettingRow* SettingsStore::rowOf(const SettingField& field) {
    for (const SettingRow& row : settingRows()) {
        if (row.field.index() != field.index())
            continue;
        const bool same = std::visit(
            [&](auto mine) {
                using Field = decltype(mine);
                const Field& theirs = std::get<Field>(field);
                if constexpr (std::is_same_v<Field, TagColorSlot>)
                    return mine.index == theirs.index;
                else
                    return mine == theirs;
            },
            row.field);
        if (same)
            return &row;
    }
    return nullptr;
}

QString SettingsStore::storedText(const SettingField& field, const Settings& s) {
    return std::visit(
        [&](auto f) -> QString {
            using Field = decltype(f);
            if constexpr (std::is_same_v<Field, QString Settings::*>)
                return s.*f;
            else if constexpr (std::is_same_v<Field, bool Settings::*>)
                return s.*f ? QStringLiteral("1") : QStringLiteral("0");
            else if constexpr (std::is_same_v<Field, int Settings::*>)
                return QString::number(s.*f);
            else
                return s.tagColors[static_cast<size_t>(f.index)];
        },
        field);
}

bool SettingsStore::write(const SettingRow& row, const Settings& s) const {
    // Errors of settings writes are ignored, as everywhere in the program.
    return file(row.file).writeString(QLatin1String(row.section), QLatin1String(row.key),
                                      storedText(row.field, s));
}

QList<SettingsFileId> SettingsStore::writeAll(const QList<PendingSetting>& settings) const {
    QList<IniValue> defaults;
    QList<IniValue> options;
    for (const PendingSetting& p : settings) {
        const SettingRow* row = rowOf(p.field);
        if (!row) {
            qWarning("a setting without a row in the settings table was changed; it is not stored");
            continue;
        }
        (row->file == SettingsFileId::Default ? defaults : options)
            << IniValue{QLatin1String(row->section), QLatin1String(row->key), p.text};
    }
    QList<SettingsFileId> failed;
    if (!options.isEmpty() && !m_options.writeStrings(options))
        failed << SettingsFileId::Options;
    if (!defaults.isEmpty() && !m_default.writeStrings(defaults))
        failed << SettingsFileId::Default;
    return failed;
}

bool SettingsStore::set(Settings& s, QString Settings::*field, const QString& value) const {
    s.*field = value;
    if (field == &Settings::previewOption)
        s.previewModeLabel = previewModeLabel(value);
    return store(field, s);
}
bool SettingsStore::set(Settings& s, bool Settings::*field, bool value) const {
    s.*field = value;
    return store(field, s);
}
bool SettingsStore::set(Settings& s, int Settings::*field, int value) const {
    s.*field = value;
    return store(field, s);
}
bool SettingsStore::setTagColor(Settings& s, int index, const QString& value) const {
    if (index < 0 || index >= static_cast<int>(s.tagColors.size()))
        return false;
    s.tagColors[static_cast<size_t>(index)] = value;
    return store(TagColorSlot{index}, s);
}

bool SettingsStore::store(const SettingField& field, const Settings& s) const {
    if (const SettingRow* row = rowOf(field))
        return write(*row, s);
    qWarning("a setting without a row in the settings table was changed; it is not stored");
    return false;
}
