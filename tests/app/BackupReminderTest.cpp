// The per-project backup reminder.
#include "app/BackupReminder.h"
#include "app/Settings.h"
#include "platform/IniFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
struct Reminder {
    TempDir dir;
    IniFile ini{dir.file(QStringLiteral("OPTIONS.INI"))};
    Settings settings;
    ScriptedPrompter prompter;
    int backupsOpened = 0;

    // Leaves the project n times; returns how often the question came.
    int leave(const QString& project, int n) {
        const size_t before = prompter.shown().size();
        for (int i = 0; i < n; ++i)
            backupReminder(settings, ini, project, prompter, [this] { ++backupsOpened; });
        return static_cast<int>(prompter.shown().size() - before);
    }
};
} // namespace

TEST(BackupReminder, DefaultFrequencyAsksOnTheSixthLeaving) {
    Reminder r;
    EXPECT_EQ(r.leave(QStringLiteral("mysite.out"), 5), 0);
    EXPECT_EQ(r.ini.readInteger(QStringLiteral("Backup"), QStringLiteral("MYSITE"), -1), 5);
    r.prompter.queue(MessageAnswer::Yes);
    EXPECT_EQ(r.leave(QStringLiteral("mysite.out"), 1), 1);
    EXPECT_EQ(r.ini.readInteger(QStringLiteral("Backup"), QStringLiteral("MYSITE"), -1), 0);
    ASSERT_EQ(r.prompter.shown().size(), 1u);
    const auto& shown = r.prompter.shown().front();
    EXPECT_EQ(shown.kind, MessageKind::Information);
    EXPECT_EQ(shown.buttons, MessageButtons::YesNo);
    EXPECT_EQ(shown.text,
              QStringLiteral("This project has not been backed-up recently. Do you wish to back up "
                             "all HTML and project files now?\r(NOTE: You can disable this prompt "
                             "from the BACKUP tab of the SETTINGS menu.)"));
    EXPECT_EQ(r.backupsOpened, 1);
    // And every sixth time after that.
    r.prompter.queue(MessageAnswer::No);
    EXPECT_EQ(r.leave(QStringLiteral("mysite.out"), 6), 1);
}

TEST(BackupReminder, FrequencyZeroAsksEveryTimeAndNoDeclines) {
    Reminder r;
    r.settings.backupPromptFreq = 0;
    r.prompter.queue(MessageAnswer::No);
    r.prompter.queue(MessageAnswer::Cancel);
    EXPECT_EQ(r.leave(QStringLiteral("a.out"), 2), 2);
    // No declines; any other answer counts as yes.
    EXPECT_EQ(r.backupsOpened, 1);
}

TEST(BackupReminder, OnlyTheExactHelpProjectNameIsExempt) {
    Reminder r;
    r.settings.backupPromptFreq = 0;
    EXPECT_EQ(r.leave(QStringLiteral("welcome.out"), 3), 0);
    r.prompter.queue(MessageAnswer::No);
    EXPECT_EQ(r.leave(QStringLiteral("WELCOME.OUT"), 1), 1);
    EXPECT_EQ(r.leave(QString(), 1), 0);
    r.settings.backupType = 2;
    EXPECT_EQ(r.leave(QStringLiteral("site.out"), 1), 0);
}

TEST(BackupReminder, ProjectsNamedLikeTheSettingsKeepTheSettingsIntact) {
    Reminder r;
    ASSERT_TRUE(r.ini.writeInteger(QStringLiteral("Backup"), QStringLiteral("Type"), 1));
    ASSERT_TRUE(r.ini.writeInteger(QStringLiteral("Backup"), QStringLiteral("PromptFreq"), 5));
    r.leave(QStringLiteral("type.out"), 3);
    r.leave(QStringLiteral("PromptFreq.out"), 2);
    EXPECT_EQ(r.ini.readInteger(QStringLiteral("Backup"), QStringLiteral("Type"), -1), 1);
    EXPECT_EQ(r.ini.readInteger(QStringLiteral("Backup"), QStringLiteral("PromptFreq"), -1), 5);
    EXPECT_EQ(r.ini.readInteger(QStringLiteral("Backup"), QStringLiteral("TYPE.OUT"), -1), 3);
    EXPECT_EQ(r.ini.readInteger(QStringLiteral("Backup"), QStringLiteral("PROMPTFREQ.OUT"), -1), 2);
}

TEST(BackupReminder, CounterKeys) {
    EXPECT_EQ(backupCounterKey(QStringLiteral("mysite.out")), QStringLiteral("MYSITE"));
    EXPECT_EQ(backupCounterKey(QStringLiteral("My Site.out")), QStringLiteral("MY SITE"));
    EXPECT_EQ(backupCounterKey(QStringLiteral("type.out")), QStringLiteral("TYPE.OUT"));
    EXPECT_EQ(backupCounterKey(QStringLiteral("a=b.out")), QStringLiteral("A_B"));
    EXPECT_EQ(backupCounterKey(QStringLiteral(".out")), QStringLiteral(".OUT"));
}
