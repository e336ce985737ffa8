// User dictionaries (.udt and .dic) and the configuration file spell.cfg.
#include "platform/IniFile.h"
#include "spell/DctWriter.h"
#include "spell/SpellConfig.h"
#include "spell/UserDictionary.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(UserDictionary, UdtListsReadSortedAndWriteBack) {
    TempDir dir;
    ASSERT_TRUE(dir.write("mine.udt", "[Added]\r\nIGN_ListCount=3\r\nIGN_0=zebra\r\nIGN_1=Apple\r\n"
                                      "IGN_2=apple\r\n[Auto Correct]\r\nAC_ListCount=1\r\n"
                                      "AC_0=teh@@@the\r\n"));
    {
        UserDictionary d(dir.file("mine.udt"));
        EXPECT_FALSE(d.readOnly());
        EXPECT_EQ(d.words(), QStringList({"Apple", "apple", "zebra"}));
        EXPECT_TRUE(d.contains("zebra"));
        EXPECT_FALSE(d.contains("Zebra"));
        EXPECT_EQ(d.autoCorrection("teh").value_or(QString()), QStringLiteral("the"));
        EXPECT_TRUE(d.addWord("mango"));
        EXPECT_FALSE(d.addWord("mango"));
        EXPECT_FALSE(d.addWord(" padded"));
        EXPECT_TRUE(d.removeWord("zebra"));
        // A second pair for a word replaces its replacement.
        EXPECT_TRUE(d.addAutoCorrection("teh", "tea"));
        EXPECT_TRUE(d.addAutoCorrection("recieve", "receive"));
        EXPECT_TRUE(d.modified());
    } // released: written back
    EXPECT_EQ(dir.read("mine.udt"), QByteArray("[Added]\r\nIGN_ListCount=3\r\nIGN_0=Apple\r\n"
                                               "IGN_1=apple\r\nIGN_2=mango\r\n[Auto Correct]\r\n"
                                               "AC_ListCount=2\r\nAC_0=teh@@@tea\r\n"
                                               "AC_1=recieve@@@receive\r\n"));
}

TEST(UserDictionary, MissingUdtIsEmptyAndMadeOnlyWhenChanged) {
    TempDir dir;
    { UserDictionary d(dir.file("default.udt")); }
    EXPECT_FALSE(dir.exists("default.udt"));
    {
        UserDictionary d(dir.file("default.udt"));
        EXPECT_TRUE(d.words().isEmpty());
        d.addWord("Quillon");
        d.reload();
        EXPECT_EQ(d.words(), QStringList({"Quillon"}));
    }
    EXPECT_EQ(dir.read("default.udt"),
              QByteArray("[Added]\r\nIGN_ListCount=1\r\nIGN_0=Quillon\r\n[Auto Correct]\r\n"
                         "AC_ListCount=0\r\n"));
}

TEST(UserDictionary, DicIsReadOnlyPlainText) {
    TempDir dir;
    const QByteArray bytes("alpha\r\nbeta\n\n  gamma  \nalpha\n");
    ASSERT_TRUE(dir.write("words.DIC", bytes));
    {
        UserDictionary d(dir.file("words.DIC"));
        EXPECT_TRUE(d.readOnly());
        EXPECT_EQ(d.words(), QStringList({"alpha", "beta", "gamma"}));
        EXPECT_FALSE(d.addWord("delta"));
        EXPECT_FALSE(d.removeWord("alpha"));
        EXPECT_FALSE(d.addAutoCorrection("alpah", "alpha"));
        EXPECT_TRUE(d.save());
    }
    EXPECT_EQ(dir.read("words.DIC"), bytes);
}

TEST(UserDictionary, HostileCountsReadOnlyTheEntriesThatExist) {
    TempDir dir;
    ASSERT_TRUE(dir.write("odd.udt", "[Added]\r\nIGN_ListCount=2147483647\r\nIGN_0=one\r\n"
                                     "IGN_7=seven\r\nIGN_2=two\r\n[Auto Correct]\r\n"
                                     "AC_ListCount=-4\r\nAC_0=x@@@y\r\n"));
    UserDictionary d(dir.file("odd.udt"));
    EXPECT_EQ(d.words(), QStringList({"one", "two"}));
    EXPECT_FALSE(d.autoCorrection("x").has_value());

    // Keys in any case; of two equal keys the first counts; an index is read only as written
    // (no leading zero, no sign, nothing after it).
    ASSERT_TRUE(dir.write("cases.udt", "[Added]\r\nign_listcount=9\r\nIGN_0=one\r\nIgn_1=first\r\n"
                                       "IGN_1=second\r\nIGN_02=padded\r\nIGN_3x=odd\r\n"
                                       "IGN_-1=minus\r\nIGN_4=four\r\n"));
    EXPECT_EQ(UserDictionary(dir.file("cases.udt")).words(),
              QStringList({"first", "four", "one"}));
}

TEST(SpellConfig, NewConfigurationFromTheFolder) {
    TempDir dir;
    const DctBuildResult built = buildDct({"word"}, "American English");
    ASSERT_TRUE(dir.write("spell/American.DCT", built.bytes));
    ASSERT_TRUE(dir.write("spell/british.dct", buildDct({"colour"}, "British").bytes));
    ASSERT_TRUE(dir.write("spell/Default.udt", ""));
    ASSERT_TRUE(dir.write("spell/other.udt", ""));
    SpellConfig c = loadSpellConfig(dir.file("spell/spell.cfg"), "default");
    EXPECT_TRUE(c.changed);
    ASSERT_EQ(c.mainDictionaries.size(), 2);
    EXPECT_EQ(c.mainDictionaries[0],
              (SpellDictionaryEntry{true, dir.file("spell/American.DCT"), "American English"}));
    EXPECT_EQ(c.mainDictionaries[1],
              (SpellDictionaryEntry{false, dir.file("spell/british.dct"), "British"}));
    ASSERT_EQ(c.userDictionaries.size(), 2);
    EXPECT_EQ(c.userDictionaries[0],
              (SpellDictionaryEntry{true, dir.file("spell/Default.udt"), {}}));
    EXPECT_FALSE(c.userDictionaries[1].enabled);
    EXPECT_EQ(c.userIndex, 0);
    EXPECT_EQ(c.options, SpellConfig::defaultOptions());

    // Without any .udt, default.udt is entered anyway.
    TempDir empty;
    c = loadSpellConfig(empty.file("spell.cfg"), "default");
    EXPECT_TRUE(c.mainDictionaries.isEmpty());
    ASSERT_EQ(c.userDictionaries.size(), 1);
    EXPECT_EQ(c.userDictionaries[0], (SpellDictionaryEntry{true, empty.file("default.udt"), {}}));
    EXPECT_EQ(c.userIndex, 0);
}

TEST(SpellConfig, SavedConfigurationReadsBack) {
    TempDir dir;
    ASSERT_TRUE(dir.write("main.dct", buildDct({"a"}, "Main one").bytes));
    SpellConfig c;
    c.mainDictionaries = {{true, dir.file("main.dct"), "Mine"}, {true, dir.file("gone.dct"), "G"}};
    c.userDictionaries = {{false, dir.file("a.udt"), {}}, {true, dir.file("b.dic"), {}}};
    c.setOption(soNumbers, true);
    c.setOption(soHTML, false);
    c.userIndex = 1;
    ASSERT_TRUE(saveSpellConfig(dir.file("spell.cfg"), "default", c));
    EXPECT_EQ(dir.read("spell.cfg"),
              ("[default]\r\nID=1\r\nU_MU_DCT_ListCount=2\r\nU_MU_DCT_0=T" + dir.file("main.dct") +
               "\r\nU_MU_DCT_1=T" + dir.file("gone.dct") +
               "\r\nM_DCT_ListCount=2\r\nM_DCT_0=Mine\r\nM_DCT_1=G\r\nU_DCT_ListCount=2\r\n"
               "U_DCT_0=F" +
               dir.file("a.udt") + "\r\nU_DCT_1=T" + dir.file("b.dic") +
               "\r\nsoUpcase=1\r\nsoNumbers=1\r\nsoAutoSuggest=1\r\nsoPrimaryOnly=1\r\n"
               "soRecheck=1\r\nsoRepeated=1\r\nsoDualCaps=0\r\nsoHTML=0\r\nsoInternet=1\r\n"
               "soQuoted=1\r\nsoUser1=0\r\nsoUser2=0\r\nsoUser3=0\r\nsoUser4=0\r\n"
               "UserIndex=1\r\n")
                  .toUtf8());
    const SpellConfig back = loadSpellConfig(dir.file("spell.cfg"), "DEFAULT");
    EXPECT_FALSE(back.changed);
    ASSERT_EQ(back.mainDictionaries.size(), 2);
    // A main dictionary whose file is gone reads as disabled.
    EXPECT_TRUE(back.mainDictionaries[0].enabled);
    EXPECT_FALSE(back.mainDictionaries[1].enabled);
    EXPECT_EQ(back.userDictionaries, c.userDictionaries);
    EXPECT_EQ(back.options, c.options);
    EXPECT_EQ(back.userIndex, 1);

    // Without a description entry the file's own description is taken; read defaults apply to
    // missing option keys.
    IniFile(dir.file("spell.cfg")).deleteKey("default", "M_DCT_0");
    IniFile(dir.file("spell.cfg")).deleteKey("default", "soHTML");
    IniFile(dir.file("spell.cfg")).writeString("default", "UserIndex", "9");
    const SpellConfig edited = loadSpellConfig(dir.file("spell.cfg"), "default");
    EXPECT_EQ(edited.mainDictionaries[0].description, QStringLiteral("Main one"));
    EXPECT_EQ(edited.mainDictionaries[1].description, QStringLiteral("G"));
    EXPECT_TRUE(edited.option(soHTML));
    EXPECT_EQ(edited.userIndex, -1);
}
