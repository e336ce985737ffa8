// The Custom tab's add and delete commands over custom.dat on disk, and the Files tab's tag
// commands over real files.
#include "tags/CustomTagCommands.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/CustomTags.h"
#include "tags/FileListCommands.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

struct ScriptedCustomDialogs : CustomTagDialogs {
    std::optional<NewCustomTag> added;
    std::optional<QStringList> kept;
    QStringList listed; // what the delete dialog was shown
    int asked = 0;
    std::optional<NewCustomTag> askNewCustomTag() override {
        ++asked;
        return added;
    }
    std::optional<QStringList> askCustomTagsToKeep(const QStringList& entries) override {
        ++asked;
        listed = entries;
        return kept;
    }
};

const Command& command(const CommandTable& t, const char* id) {
    for (const Command& c : t.commands)
        if (c.id == QLatin1String(id))
            return c;
    static const Command none;
    ADD_FAILURE() << "no command " << id;
    return none;
}

TEST(CustomTagCommands, AddAndDeleteRewriteCustomDatAndTheListShowsAfterEveryAnswer) {
    TempDir dir;
    ASSERT_TRUE(dir.write("custom.dat", "Red * <FONT COLOR=red></FONT>\r\nhand edited line\r\n"));
    ScriptedPrompter prompter;
    CustomTags tags(dir.file("custom.dat"), prompter);
    tags.loadCustomTags();
    ScriptedCustomDialogs dialogs;
    int shown = 0;
    const CommandTable t = customTagCommands(tags, dialogs, [&shown] { ++shown; });

    // Cancel: nothing written, the list shows its first entry again.
    command(t, "AddCustomTag1").run();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(dir.read("custom.dat"),
              QByteArray("Red * <FONT COLOR=red></FONT>\r\nhand edited line\r\n"));

    dialogs.added =
        NewCustomTag{QStringLiteral("Bold"), QStringLiteral("<B>"), QStringLiteral("</B>")};
    command(t, "AddCustomTag1").run();
    EXPECT_EQ(shown, 2);
    // Alphabetical without regard to case; the hand-edited line is kept as it was.
    EXPECT_EQ(dir.read("custom.dat"), QByteArray("Bold * <B></B>\r\nhand edited line\r\nRed * "
                                                 "<FONT COLOR=red></FONT>\r\n"));

    // Delete mode lists the user's entries; Cancel changes nothing.
    command(t, "DeleteCustomTag1").run();
    EXPECT_EQ(dialogs.listed,
              (QStringList{QStringLiteral("Bold * <B></B>"), QStringLiteral("hand edited line"),
                           QStringLiteral("Red * <FONT COLOR=red></FONT>")}));
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(tags.customEntries().size(), 3);

    dialogs.kept = QStringList{QStringLiteral("Red * <FONT COLOR=red></FONT>"),
                               QStringLiteral("Bold * <B></B>")};
    command(t, "DeleteCustomTag1").run();
    EXPECT_EQ(dir.read("custom.dat"),
              QByteArray("Bold * <B></B>\r\nRed * <FONT COLOR=red></FONT>\r\n"));
    dialogs.kept = QStringList{};
    command(t, "DeleteCustomTag1").run();
    EXPECT_EQ(dir.read("custom.dat"), QByteArray());
    EXPECT_EQ(tags.entries().size(), 2);
    EXPECT_TRUE(prompter.shown().empty());

    const Layout& tab = t.layouts.first();
    EXPECT_EQ(tab.place, LayoutPlace::TagTab);
    EXPECT_EQ(tab.name, QStringLiteral("CustomTab"));
    EXPECT_EQ(tab.caption, QStringLiteral("Custom"));
}

TEST(CustomTagCommands, ACustomDatThatCannotBeReadIsNeverWrittenOver) {
    TempDir dir;
    // Not a regular file: it cannot be read, and what it is must survive an add.
    ASSERT_TRUE(QDir().mkpath(dir.file("custom.dat")));
    ASSERT_TRUE(dir.write("custom.dat/inside", "kept"));
    ScriptedPrompter prompter;
    CustomTags tags(dir.file("custom.dat"), prompter);
    tags.loadCustomTags();
    EXPECT_EQ(tags.entries().size(), 2);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(tags.add(QStringLiteral("B"), QStringLiteral("<B>"), QStringLiteral("</B>")));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompter.texts()[0].startsWith(QStringLiteral("The custom tags could not be saved "
                                                              "to \"") +
                                               dir.file("custom.dat") +
                                               QStringLiteral("\": the file could not be read (")))
        << prompter.texts()[0].toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("custom.dat")).isDir());
    EXPECT_EQ(dir.read("custom.dat/inside"), QByteArray("kept"));
    // The entry stays for this run.
    EXPECT_EQ(tags.entries().size(), 3);

    // A file that is simply missing is made on the first add.
    TempDir fresh;
    CustomTags none(fresh.file("custom.dat"), prompter);
    none.loadCustomTags();
    EXPECT_TRUE(none.add(QStringLiteral("B"), QStringLiteral("<B>"), QStringLiteral("</B>")));
    EXPECT_EQ(fresh.read("custom.dat"), QByteArray("B * <B></B>\r\n"));
}

// The Files tab ---------------------------------------------------------------------------------

struct Analysis : PageAnalysisOpener {
    QStringList opened;
    void analyzeWebPage(const QString& folder, const QString& fileName) override {
        opened << folder + QLatin1Char('|') + fileName;
    }
};

struct FilesTab {
    FilesTab() : state(dir.path(), dir.path(), editor, prompter, chooser, clipboard) {
        state.startUp();
        table = fileListCommands(
            state, editor, [this] { return choice; }, signal);
    }
    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState state;
    FileListChoiceSignal signal;
    FileListChoice choice;
    CommandTable table;
};

TEST(FileListCommands, InsertLinkImageFromTheButtonAndBothPopupEntries) {
    FilesTab f;
    QImage image(12, 9, QImage::Format_RGB32);
    image.fill(Qt::blue);
    // Qt writes no GIF; the reader goes by the content.
    ASSERT_TRUE(image.save(f.dir.file("logo.GIF"), "PNG"));
    for (const char* id : {"InsertLinkImage1", "InsertImage1", "InsertLinktoHTMLfile1"}) {
        SCOPED_TRACE(id);
        const Command& c = command(f.table, id);
        f.editor.setText(QStringLiteral("text"));
        f.editor.selectAll();
        f.state.document().setHtmlModified(false);

        f.choice = {f.dir.path().chopped(1), QString()}; // no file chosen: nothing happens
        c.run();
        EXPECT_EQ(f.editor.text(), QStringLiteral("text"));
        EXPECT_FALSE(f.state.document().htmlModified());

        f.choice.fileName = QStringLiteral("logo.GIF");
        c.run();
        const QString img = QStringLiteral("<IMG WIDTH=12 HEIGHT=9 SRC=\"logo.GIF\">");
        EXPECT_EQ(f.editor.text(), img + QStringLiteral("text"));
        EXPECT_EQ(f.editor.selText(), img);
        EXPECT_TRUE(f.state.document().htmlModified());
    }
    EXPECT_EQ(command(f.table, "InsertLinkImage1").hint,
              QStringLiteral("Insert selected graphic or HTML file as link"));

    // A picture that cannot be read: the message, and the document as it was.
    ASSERT_TRUE(f.dir.write("broken.jpg", "not a picture"));
    f.editor.setText(QStringLiteral("text"));
    f.state.document().setHtmlModified(false);
    f.choice.fileName = QStringLiteral("broken.jpg");
    f.prompter.queue(MessageAnswer::Ok);
    command(f.table, "InsertImage1").run();
    EXPECT_EQ(f.prompter.texts(), QStringList{QStringLiteral("Error opening file. File is corrupt "
                                                             "or cannot handle this file type.")});
    EXPECT_EQ(f.editor.text(), QStringLiteral("text"));
    EXPECT_FALSE(f.state.document().htmlModified());
}

TEST(FileListCommands, AnalyzeWebPageWaitsForTheAnalysisWindowAndForAWebPage) {
    FilesTab f;
    const Command& analyze = command(f.table, "AnalyzeWebPage1");
    f.choice = {QStringLiteral("/site"), QStringLiteral("index.HTML")};
    EXPECT_FALSE(analyze.enabled()); // no analysis window yet

    Analysis analysis;
    f.state.parts().pageAnalysis = &analysis;
    EXPECT_TRUE(analyze.enabled()); // ".html" is in the HTML file pattern, whatever the case
    for (const char* name : {"photo.gif", "README", "", "page.htmlx"}) {
        f.choice.fileName = QLatin1String(name);
        EXPECT_FALSE(analyze.enabled()) << name;
    }
    f.choice.fileName = QStringLiteral("page.htm");
    EXPECT_TRUE(analyze.enabled());
    analyze.run();
    EXPECT_EQ(analysis.opened, QStringList{QStringLiteral("/site|page.htm")});
    ASSERT_EQ(analyze.watches.size(), 1);

    const Layout& popup = f.table.layouts.first();
    EXPECT_EQ(popup.name, QStringLiteral("FileListPopup"));
    QStringList ids;
    for (const LayoutItem& item : popup.items)
        ids << (item.kind == LayoutItem::Kind::Separator ? QStringLiteral("-") : item.id);
    EXPECT_EQ(ids,
              (QStringList{QStringLiteral("InsertImage1"), QStringLiteral("InsertLinktoHTMLfile1"),
                           QStringLiteral("-"), QStringLiteral("AnalyzeWebPage1")}));
}

} // namespace
