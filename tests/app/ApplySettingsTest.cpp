// The settings dialog's logic over a real program folder: the extension list, ApplySettings and
// what it leaves in the running program and in the files.
#include "app/ApplySettings.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/IniFile.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class ApplySettingsTest : public ::testing::Test {
protected:
    ApplySettingsTest()
        : app(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser, clipboard) {
        app.startUp();
    }
    QString ini(const char* file, const char* section, const char* key) {
        return IniFile(dir.file(QLatin1String(file)))
            .readString(QLatin1String(section), QLatin1String(key), QStringLiteral("<none>"));
    }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState app;
};

QStringList fifteen() {
    QStringList list;
    for (int i = 0; i < 15; ++i)
        list << QStringLiteral("e%1").arg(i, 2, 10, QLatin1Char('0'));
    return list;
}

} // namespace

TEST(ExtensionList, AddsWithoutTheDotInOrderAndRefusesTheSixteenthAndEmptyText) {
    QStringList list = {"asp", "htm", "html", "shtm", "shtml"};
    EXPECT_EQ(addExtension(list, ".php"), AddExtension::Added);
    EXPECT_EQ(list, QStringList({"asp", "htm", "html", "php", "shtm", "shtml"}));
    EXPECT_EQ(addExtension(list, "  "), AddExtension::Empty);
    EXPECT_EQ(addExtension(list, "."), AddExtension::Empty);
    EXPECT_EQ(addExtension(list, "HTM"), AddExtension::AlreadyListed);
    EXPECT_EQ(list.size(), 6);

    QStringList full = fifteen();
    EXPECT_EQ(addExtension(full, "php"), AddExtension::ListFull);
    // Full comes first: even an empty field gets the full-list message.
    EXPECT_EQ(addExtension(full, ""), AddExtension::ListFull);
    EXPECT_EQ(full.size(), 15);
    EXPECT_EQ(extensionListFullText(), QStringLiteral("There are only 15 different extensions "
                                                      "allowed. Please delete one before adding "
                                                      "another."));
}

TEST(ExtensionList, ShowsTheFileOrTheDefaultsInAlphabeticalOrder) {
    TempDir dir;
    EXPECT_EQ(extensionListOf(dir.file("htmlext.dat")),
              QStringList({"asp", "htm", "html", "shtm", "shtml"}));
    ASSERT_TRUE(dir.write("htmlext.dat", "php\r\n.htm\r\n\r\nASP\r\nxhtml\n"));
    EXPECT_EQ(extensionListOf(dir.file("htmlext.dat")),
              QStringList({"ASP", "htm", "php", "xhtml"}));
}

TEST(SettingsRulesTest, SpinBoxKeepsOneToFifteenAndDefaultExtensionLosesItsDot) {
    EXPECT_EQ(clampPromptFreq(20), 15);
    EXPECT_EQ(clampPromptFreq(15), 15);
    EXPECT_EQ(clampPromptFreq(0), 1);
    EXPECT_EQ(clampPromptFreq(7), 7);
    EXPECT_EQ(normalizedDefaultExt(""), QStringLiteral("html"));
    EXPECT_EQ(normalizedDefaultExt(".htm"), QStringLiteral("htm"));
    EXPECT_EQ(normalizedDefaultExt("shtml"), QStringLiteral("shtml"));
}

TEST_F(ApplySettingsTest, FifteenExtensionsGoToTheFileTheMaskAndEveryFilterAtOnce) {
    int changes = 0;
    QObject::connect(&app, &AppState::htmlFiltersChanged, [&] { ++changes; });
    SettingsValues v = currentSettingsValues(app);
    v.extensions = fifteen();
    EXPECT_TRUE(ApplySettings(app, v).isEmpty());

    QByteArray expected;
    for (const QString& e : fifteen())
        expected += e.toLatin1() + "\r\n";
    EXPECT_EQ(dir.read("htmlext.dat"), expected);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(app.htmlFilePattern().count(QLatin1Char(';')), 14);
    EXPECT_TRUE(app.htmlFilePattern().startsWith(QStringLiteral("*.e00;*.e01;")));
    EXPECT_TRUE(app.htmlFilePattern().endsWith(QStringLiteral(";*.e14")));
    EXPECT_EQ(app.filesTabFilter(), QStringLiteral("All Files|*.*|Image Files|*.jpg;*.gif|HTML "
                                                   "Files|") +
                                        app.htmlFilePattern() +
                                        QStringLiteral("|All Web Files|*.jpg;*.gif;") +
                                        app.htmlFilePattern());
    EXPECT_EQ(app.mainOpenFilter(), QStringLiteral("HTML Files|") + app.htmlFilePattern() +
                                        QStringLiteral("|Project Files|*.out|EXE Files|*.exe|All "
                                                       "Files|*.*"));

    v.extensions = {"asp", "htm", "html"};
    ApplySettings(app, v);
    EXPECT_EQ(app.htmlFilePattern(), QStringLiteral("*.asp;*.htm;*.html"));
    EXPECT_EQ(dir.read("htmlext.dat"), QByteArray("asp\r\nhtm\r\nhtml\r\n"));
}

TEST_F(ApplySettingsTest, ValuesTakeEffectAndAreStoredAsTheDialogShowsThem) {
    QStringList letters;
    QObject::connect(&app, &AppState::previewModeChanged, [&](const QString& l) { letters << l; });
    SettingsValues v = currentSettingsValues(app);
    v.defaultExt = ".htm";
    v.imagePath = "/site/images";
    v.hideMsieControl = true;
    v.previewOption = "nosave";
    v.tagColors[1] = "clBlue";
    v.promptFreq = 20;
    v.backupType = 0;
    v.imageEditor = "/usr/bin/gimp";
    ApplySettings(app, v);

    const Settings& s = app.settings();
    EXPECT_EQ(s.ext, QStringLiteral("htm"));
    EXPECT_EQ(ini("DEFAULT.INI", "HTML", "Ext"), QStringLiteral("htm"));
    EXPECT_EQ(app.document().untitledName(), dir.file("new.htm"));
    // The image folder keeps its separator in memory and is stored as typed.
    EXPECT_EQ(s.images, QStringLiteral("/site/images/"));
    EXPECT_EQ(ini("DEFAULT.INI", "Location", "Images"), QStringLiteral("/site/images"));
    EXPECT_FALSE(s.msieControl);
    EXPECT_EQ(ini("DEFAULT.INI", "HTML", "MSIEControl"), QStringLiteral("0"));
    EXPECT_EQ(s.previewModeLabel, QStringLiteral("N"));
    EXPECT_EQ(letters, QStringList({"N"}));
    EXPECT_EQ(ini("DEFAULT.INI", "Location", "PreviewOption"), QStringLiteral("nosave"));
    EXPECT_EQ(s.tagColors[1], QStringLiteral("clBlue"));
    EXPECT_EQ(ini("OPTIONS.INI", "Colors", "HREF"), QStringLiteral("clBlue"));
    EXPECT_EQ(s.backupPromptFreq, 15);
    EXPECT_EQ(ini("OPTIONS.INI", "Backup", "PromptFreq"), QStringLiteral("15"));
    EXPECT_EQ(ini("OPTIONS.INI", "Backup", "Type"), QStringLiteral("0"));
    EXPECT_EQ(s.imageEditor, QStringLiteral("/usr/bin/gimp"));

    v.defaultExt = "";
    ApplySettings(app, v);
    EXPECT_EQ(ini("DEFAULT.INI", "HTML", "Ext"), QStringLiteral("html"));
}

TEST_F(ApplySettingsTest, TheFilesTabFolderIsStoredOnlyWithAFolder) {
    SettingsValues v = currentSettingsValues(app);
    v.useDefaultFiles = true;
    ApplySettings(app, v);
    // Ticked without a folder: off in the program, nothing written.
    EXPECT_FALSE(app.settings().filesUseSelected);
    EXPECT_EQ(ini("DEFAULT.INI", "Files", "UseSel"), QStringLiteral("<none>"));
    EXPECT_EQ(ini("DEFAULT.INI", "Files", "Selected"), QStringLiteral("<none>"));

    v.defaultFilesFolder = "/srv/Site/";
    ApplySettings(app, v);
    EXPECT_TRUE(app.settings().filesUseSelected);
    EXPECT_EQ(app.settings().filesSelected, QStringLiteral("/srv/Site/"));
    EXPECT_EQ(ini("DEFAULT.INI", "Files", "UseSel"), QStringLiteral("1"));
    EXPECT_EQ(ini("DEFAULT.INI", "Files", "Selected"), QStringLiteral("/srv/Site/"));
}

TEST_F(ApplySettingsTest, AFolderThatCannotBeWrittenIsReportedAndTheValuesStillHold) {
    // A folder where htmlext.dat should be: that write fails, the settings files are written.
    ASSERT_TRUE(QDir().mkpath(dir.file("htmlext.dat")));
    SettingsValues v = currentSettingsValues(app);
    v.extensions = {"htm"};
    const QStringList failed = ApplySettings(app, v);
    EXPECT_EQ(failed, QStringList({dir.file("htmlext.dat")}));
    EXPECT_EQ(app.htmlFilePattern(), QStringLiteral("*.htm"));
    EXPECT_TRUE(cannotWriteSettingsText(failed).contains(dir.file("htmlext.dat")));
}

TEST_F(ApplySettingsTest, ApplyRewritesEachSettingsFileOnceWhateverItChanges) {
    SettingsValues v = currentSettingsValues(app);
    v.strongTag = v.emTag = true;
    v.ftpFlush = false;
    v.tagColors[1] = QStringLiteral("clBlue");
    v.promptFreq = 9;
    v.defaultExt = QStringLiteral(".htm");
    const quint64 written = IniFile::writeCount();
    EXPECT_TRUE(ApplySettings(app, v).isEmpty());
    EXPECT_EQ(IniFile::writeCount() - written, 2u);
    EXPECT_EQ(dir.read("OPTIONS.INI"),
              QByteArray("[Backup]\r\nType=1\r\nPromptFreq=9\r\n[Colors]\r\nDEFAULT=clRed\r\n"
                         "HREF=clBlue\r\nIMG=clRed\r\nFONT=clRed\r\nTABLE=clRed\r\nLIST=clRed\r\n"
                         "[Location]\r\nHTMLTemp=\r\n"));
    EXPECT_EQ(ini("DEFAULT.INI", "TAGS", "STRONG"), QStringLiteral("1"));
    EXPECT_EQ(ini("DEFAULT.INI", "HTML", "FTPFLUSH"), QStringLiteral("0"));
    EXPECT_EQ(ini("DEFAULT.INI", "HTML", "Ext"), QStringLiteral("htm"));

    // Applied again unchanged: nothing is rewritten.
    EXPECT_TRUE(ApplySettings(app, currentSettingsValues(app)).isEmpty());
    EXPECT_EQ(IniFile::writeCount() - written, 2u);
}

TEST_F(ApplySettingsTest, ASettingsFileThatIsNotTextIsLeftAloneAndApplySaysSo) {
    static const char binary[] = "[HTML]\r\nExt=htm\r\n\x00\x01";
    const QByteArray bytes(binary, sizeof binary - 1);
    ASSERT_TRUE(dir.write("DEFAULT.INI", bytes));
    SettingsValues v = currentSettingsValues(app);
    v.strongTag = true;
    const QStringList failed = ApplySettings(app, v);
    EXPECT_EQ(failed, QStringList({dir.file("DEFAULT.INI")}));
    EXPECT_EQ(dir.read("DEFAULT.INI"), bytes);
    EXPECT_TRUE(app.settings().strongTag);
    EXPECT_EQ(cannotWriteSettingsText(failed),
              QStringLiteral("The settings file \"%1\" cannot be read as text, so it was left as "
                             "it is. The new settings take effect until the program closes.")
                  .arg(dir.file("DEFAULT.INI")));

    // With a folder that cannot be written as well, each gets its own reason.
    ASSERT_TRUE(QFile::remove(dir.file("htmlext.dat")));
    ASSERT_TRUE(QDir().mkpath(dir.file("htmlext.dat")));
    const QStringList both = ApplySettings(app, v);
    EXPECT_EQ(both, QStringList({dir.file("htmlext.dat"), dir.file("DEFAULT.INI")}));
    EXPECT_EQ(cannotWriteSettingsText(both),
              QStringLiteral("The settings could not all be written to:\r\n%1\r\nThey take effect "
                             "until the program closes; check that the folder can be written."
                             "\r\n\r\n")
                      .arg(dir.file("htmlext.dat")) +
                  notTextSettingsFileText(dir.file("DEFAULT.INI")));
}
