// Settings: reading DEFAULT.INI and OPTIONS.INI at start-up.
#include "app/Settings.h"

#include "app/SettingsTable.h"
#include "platform/IniFile.h"

QString folderWithSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString defaultEmailAddress() {
    return QString::fromLatin1(SettingsStore::rowOf(&Settings::email)->defaultValue);
}

QString previewModeLabel(const QString& previewOption) {
    if (previewOption == QLatin1String("auto"))
        return QStringLiteral("S");
    if (previewOption == QLatin1String("nosave"))
        return QStringLiteral("N");
    return QStringLiteral("T");
}

Settings loadSettings(const IniFile& d, const IniFile& o, const QString& programDirectory,
                      const QString& homeDirectory) {
    return SettingsStore(d, o).load(programDirectory, homeDirectory);
}
