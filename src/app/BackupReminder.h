// BackupReminder: counts how often each project is left and, every so often, offers a backup.
#pragma once

#include <QString>
#include <functional>

class IniFile;
class Prompter;
struct Settings;

// The counter key of a project file name in OPTIONS.INI section Backup: the name upper-cased
// without its extension (mysite.out -> MYSITE). A name that would clash with the section's own
// settings (Type, PromptFreq) or come out empty keeps its extension, so a project called
// type.out cannot overwrite the reminder settings.
QString backupCounterKey(const QString& projectFileName);

// Runs the reminder for the open project. openBackupWindow is called when the user accepts.
void backupReminder(const Settings& settings, const IniFile& options,
                    const QString& projectFileName, Prompter& prompter,
                    const std::function<void()>& openBackupWindow);

// The text of the reminder question.
QString backupReminderQuestion();
