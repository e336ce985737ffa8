// Reading the settings files at start-up.
#include "app/Settings.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(Settings, NoFilesGiveEveryDefault) {
    TempDir dir;
    const Settings s = loadSettings(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                                    IniFile(dir.file(QStringLiteral("OPTIONS.INI"))), dir.path(),
                                    QStringLiteral("/home/u"));
    EXPECT_EQ(s.lastHtmlDirectory, dir.path());
    EXPECT_EQ(s.filesLocation, QStringLiteral("/home/u"));
    EXPECT_TRUE(s.filesSelected.isEmpty());
    EXPECT_TRUE(s.msieControl);
    EXPECT_FALSE(s.strongTag);
    EXPECT_TRUE(s.ftpAuto);
    EXPECT_TRUE(s.ftpFlush);
    EXPECT_FALSE(s.emTag);
    EXPECT_FALSE(s.editProblem);
    EXPECT_EQ(s.previewOption, QStringLiteral("temp"));
    EXPECT_EQ(s.previewModeLabel, QStringLiteral("T"));
    EXPECT_EQ(s.ext, QStringLiteral("html"));
    EXPECT_FALSE(s.useAnchor);
    EXPECT_FALSE(s.filesUseSelected);
    EXPECT_FALSE(s.colored);
    EXPECT_TRUE(s.wrap);
    EXPECT_TRUE(s.confirmRemove);
    EXPECT_TRUE(s.showTips);
    EXPECT_EQ(s.backupType, 1);
    EXPECT_EQ(s.backupPromptFreq, 5);
    EXPECT_EQ(s.email, defaultEmailAddress());
    for (const QString& c : s.tagColors)
        EXPECT_EQ(c, QStringLiteral("clRed"));
    EXPECT_EQ(s.spellConfigPath, dir.path() + QStringLiteral("spell/spell.cfg"));
    EXPECT_EQ(s.spellConfigKey, QStringLiteral("default"));
    // Reading creates nothing.
    EXPECT_FALSE(dir.exists(QStringLiteral("DEFAULT.INI")));
    EXPECT_FALSE(dir.exists(QStringLiteral("OPTIONS.INI")));
}

TEST(Settings, ValuesAreReadWhateverTheCaseOfSectionsAndKeys) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("DEFAULT.INI"),
                          "[html]\r\next=htm\r\nftpauto=0\r\n[tags]\r\nstrong=1\r\ncolored=1\r\n"
                          "[LOCATION]\r\nIMAGES=/srv/img/\r\npreviewoption=nosave\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("OPTIONS.INI"),
                          "[backup]\r\nTYPE=2\r\npromptfreq=0\r\n[colors]\r\nhref=clBlue\r\n"));
    const Settings s = loadSettings(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                                    IniFile(dir.file(QStringLiteral("OPTIONS.INI"))), dir.path(),
                                    QStringLiteral("/home/u"));
    EXPECT_EQ(s.ext, QStringLiteral("htm"));
    EXPECT_FALSE(s.ftpAuto);
    // TAGS and Tags are one section.
    EXPECT_TRUE(s.strongTag);
    EXPECT_TRUE(s.colored);
    EXPECT_EQ(s.images, QStringLiteral("/srv/img/"));
    // An empty FTPImages takes the image folder.
    EXPECT_EQ(s.ftpImages, QStringLiteral("/srv/img/"));
    EXPECT_EQ(s.previewModeLabel, QStringLiteral("N"));
    EXPECT_EQ(s.backupType, 2);
    EXPECT_EQ(s.backupPromptFreq, 0);
    EXPECT_EQ(s.tagColors[1], QStringLiteral("clBlue"));
    EXPECT_EQ(s.tagColors[0], QStringLiteral("clRed"));
}

TEST(Settings, PreviewModeLabels) {
    EXPECT_EQ(previewModeLabel(QStringLiteral("auto")), QStringLiteral("S"));
    EXPECT_EQ(previewModeLabel(QStringLiteral("nosave")), QStringLiteral("N"));
    EXPECT_EQ(previewModeLabel(QStringLiteral("AUTO")), QStringLiteral("T"));
    EXPECT_EQ(previewModeLabel(QString()), QStringLiteral("T"));
}
