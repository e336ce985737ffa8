// The settings table: one row per setting, read at start-up and written on change by the same
// row.
#include "app/SettingsTable.h"
#include "support/TempDir.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {
struct Store {
    TempDir dir;
    SettingsStore store{IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                        IniFile(dir.file(QStringLiteral("OPTIONS.INI")))};
    Settings load() const { return store.load(dir.path(), QStringLiteral("/home/u")); }
};
} // namespace

TEST(SettingsTable, EveryKeyHasOneRowAndEveryRowItsOwnMember) {
    QSet<QString> keys;
    QSet<QString> fields;
    for (const SettingRow& row : settingRows()) {
        // Section and key names compare without regard to case, so TAGS/STRONG and
        // Tags/Strong would be one setting.
        const QString key = QStringLiteral("%1|%2|%3")
                                .arg(static_cast<int>(row.file))
                                .arg(QLatin1String(row.section), QLatin1String(row.key))
                                .toLower();
        EXPECT_FALSE(keys.contains(key)) << key.toStdString();
        keys << key;
        EXPECT_EQ(SettingsStore::rowOf(row.field), &row) << row.key;
    }
    EXPECT_EQ(keys.size(), 40);
}

TEST(SettingsTable, EachSettingWrittenIsReadBackUnderItsKey) {
    Store s;
    Settings settings = s.load();
    // A value unlike every default, set through the store and read back by a fresh start-up.
    for (const SettingRow& row : settingRows()) {
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, QString Settings::*>)
                    s.store.set(settings, field, QStringLiteral("v-") + QLatin1String(row.key));
                else if constexpr (std::is_same_v<Field, bool Settings::*>)
                    s.store.set(settings, field, !(settings.*field));
                else if constexpr (std::is_same_v<Field, int Settings::*>)
                    s.store.set(settings, field, 40 + static_cast<int>(qstrlen(row.key)));
                else
                    s.store.setTagColor(settings, field.index,
                                        QStringLiteral("clColor%1").arg(field.index));
            },
            row.field);
    }
    const Settings back = s.load();
    // The HTML folder is always read with its trailing separator.
    EXPECT_EQ(back.lastHtmlDirectory, QStringLiteral("v-Location/"));
    EXPECT_EQ(back.ext, QStringLiteral("v-Ext"));
    EXPECT_EQ(back.email, QStringLiteral("v-EMAIL"));
    EXPECT_FALSE(back.wrap);
    EXPECT_TRUE(back.colored);
    EXPECT_FALSE(back.showTips);
    EXPECT_EQ(back.backupType, 44);
    EXPECT_EQ(back.backupPromptFreq, 50);
    EXPECT_EQ(back.tagColors[5], QStringLiteral("clColor5"));
    EXPECT_EQ(back.browser2, QStringLiteral("v-MSIE"));
    EXPECT_EQ(back.ftpImages, QStringLiteral("v-FTPImages"));
    // Every member came back as it was set, so no row reads one key and writes another.
    EXPECT_EQ(back.filesLocation, settings.filesLocation);
    EXPECT_EQ(back.imagemapEditor, settings.imagemapEditor);
    EXPECT_EQ(back.confirmRemove, settings.confirmRemove);
    EXPECT_EQ(back.tagColors, settings.tagColors);
    EXPECT_FALSE(back.checkBeforeUpload);
    EXPECT_EQ(back.pageSizeLimit, 49);
    EXPECT_TRUE(back.tidyWarnings);
}

TEST(SettingsTable, WritesGoToTheRowsFileSectionAndKey) {
    Store s;
    Settings settings = s.load();
    s.store.set(settings, &Settings::wrap, false);
    s.store.set(settings, &Settings::backupPromptFreq, 0);
    s.store.setTagColor(settings, 1, QStringLiteral("clBlue"));
    EXPECT_EQ(s.dir.read(QStringLiteral("DEFAULT.INI")), QByteArray("[Format]\r\nWrap=0\r\n"));
    EXPECT_EQ(s.dir.read(QStringLiteral("OPTIONS.INI")),
              QByteArray("[Backup]\r\nPromptFreq=0\r\n[Colors]\r\nHREF=clBlue\r\n"));
    EXPECT_FALSE(settings.wrap);
    // The preview mode's one-letter label follows its setting.
    s.store.set(settings, &Settings::previewOption, QStringLiteral("auto"));
    EXPECT_EQ(settings.previewModeLabel, QStringLiteral("S"));
    // Derived values have no row: kept in memory, never written.
    s.store.set(settings, &Settings::previewModeLabel, QStringLiteral("X"));
    EXPECT_EQ(settings.previewModeLabel, QStringLiteral("X"));
    EXPECT_FALSE(s.dir.read(QStringLiteral("DEFAULT.INI")).contains("X"));
    s.store.setTagColor(settings, 6, QStringLiteral("clLime"));
    EXPECT_FALSE(s.dir.read(QStringLiteral("OPTIONS.INI")).contains("clLime"));
}
