// BackupReminder: the per-project reminder to back up.
#include "app/BackupReminder.h"

#include "app/Settings.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"

QString backupCounterKey(const QString& projectFileName) {
    QString key = projectFileName.toUpper();
    key.chop(4);
    key.replace(QLatin1Char('='), QLatin1Char('_'));
    const QString trimmed = key.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(QLatin1String("TYPE"), Qt::CaseInsensitive) == 0 ||
        trimmed.compare(QLatin1String("PROMPTFREQ"), Qt::CaseInsensitive) == 0) {
        key = projectFileName.toUpper();
        key.replace(QLatin1Char('='), QLatin1Char('_'));
    }
    return key;
}

QString backupReminderQuestion() {
    return QStringLiteral(
               "This project has not been backed-up recently. Do you wish to back up all "
               "HTML and project files now?") +
           QLatin1Char('\r') +
           QStringLiteral("(NOTE: You can disable this prompt from the BACKUP tab of the SETTINGS "
                          "menu.)");
}

void backupReminder(const Settings& settings, const IniFile& options,
                    const QString& projectFileName, Prompter& prompter,
                    const std::function<void()>& openBackupWindow) {
    if (settings.backupType != 1 || projectFileName.isEmpty() ||
        projectFileName == QLatin1String("welcome.out"))
        return;
    const QString section = QStringLiteral("Backup");
    const QString key = backupCounterKey(projectFileName);
    const int count = options.readInteger(section, key, 0) + 1;
    if (count > settings.backupPromptFreq) {
        options.writeInteger(section, key, 0);
        const MessageAnswer answer = prompter.message(
            MessageKind::Information, MessageButtons::YesNo, backupReminderQuestion());
        if (answer != MessageAnswer::No && openBackupWindow)
            openBackupWindow();
    } else {
        options.writeInteger(section, key, count);
    }
}
