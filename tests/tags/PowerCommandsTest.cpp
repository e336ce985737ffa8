// The main window's side of the Power dialogs: where the text goes, what a cancel leaves, and
// the remembered paths, over an in-memory editor and real settings files.
#include "tags/PowerCommands.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct Window {
    Window()
        : state(dir.path(), dir.path(), editor, prompter, chooser, clipboard),
          inserter(editor, clipboard, [this] { state.document().setHtmlModified(true); }) {
        editor.setClipboard(&clipboard);
        state.startUp();
    }
    // Text with [..] marking the selection.
    void setText(const QString& marked) {
        const qsizetype open = marked.indexOf('[');
        const qsizetype close = marked.indexOf(']');
        QString plain = marked;
        plain.remove('[').remove(']');
        editor.setText(plain);
        editor.setSelStart(static_cast<int>(open));
        editor.setSelLength(static_cast<int>(close - open - 1));
    }
    QString marked() const {
        QString t = editor.text();
        t.insert(editor.selStart() + editor.selLength(), ']');
        t.insert(editor.selStart(), '[');
        return t;
    }
    // A dialog that puts text on the clipboard and accepts (or only copies).
    std::function<PowerDialogOutcome(PowerDialog)> dialog(const QString& text, bool accepted) {
        return [this, text, accepted](PowerDialog) {
            clipboard.setText(text);
            PowerDialogOutcome out;
            out.result = {accepted, static_cast<int>(text.size())};
            return out;
        };
    }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState state;
    TagInserter inserter;
};

TEST(PowerCommands, TheTextGoesBeforeOrOverTheSelectionAndStaysSelected) {
    struct Case {
        PowerDialog which;
        const char* after;
    };
    const Case cases[] = {
        {PowerDialog::Body, "a[<T>]bc"},   {PowerDialog::Anchor, "a[<T>]c"},
        {PowerDialog::Image, "a[<T>]c"},   {PowerDialog::Table, "a[<T>]bc"},
        {PowerDialog::List, "a[<T>]bc"},   {PowerDialog::Rule, "a[<T>]c"},
        {PowerDialog::Frames, "a[<T>]bc"}, {PowerDialog::Frame, "a[<T>]bc"},
    };
    for (const Case& c : cases) {
        Window w;
        w.setText("a[b]c");
        runPowerDialog(c.which, w.inserter, w.state, w.dialog("<T>", true));
        EXPECT_EQ(w.marked(), QString::fromUtf8(c.after)) << static_cast<int>(c.which);
        EXPECT_EQ(w.clipboard.text(), "<T>");
        EXPECT_TRUE(w.state.document().htmlModified());
    }
}

TEST(PowerCommands, CopyOnlyInsertsNothingAndCancelChangesNothing) {
    Window w;
    w.setText("a[b]c");
    runPowerDialog(PowerDialog::Table, w.inserter, w.state, w.dialog("<T>", false));
    EXPECT_EQ(w.marked(), "a[b]c");
    EXPECT_EQ(w.clipboard.text(), "<T>");
    EXPECT_FALSE(w.state.document().htmlModified());

    w.clipboard.setText("kept");
    runPowerDialog(PowerDialog::Frame, w.inserter, w.state, [&w](PowerDialog) {
        EXPECT_EQ(w.clipboard.text(), ""); // emptied before the FRAME dialog opens
        return PowerDialogOutcome{};
    });
    EXPECT_EQ(w.marked(), "a[b]c");
    EXPECT_EQ(w.clipboard.text(), "kept");
}

TEST(PowerCommands, FramesetTakesTheSelectionAndACancelLeavesNothingToUndo) {
    Window w;
    w.clipboard.setText("old");
    w.setText("<BODY>\r\n[a\r\nb\r\n]</BODY>");
    runPowerDialog(PowerDialog::FrameSet, w.inserter, w.state, [&w](PowerDialog) {
        // The dialog finds the selected lines on the clipboard; the page is not touched yet.
        EXPECT_EQ(w.clipboard.text(), "a\r\nb\r\n");
        EXPECT_EQ(w.editor.text(), "<BODY>\r\na\r\nb\r\n</BODY>");
        return PowerDialogOutcome{};
    });
    EXPECT_EQ(w.marked(), "<BODY>\r\n[a\r\nb\r\n]</BODY>");
    EXPECT_EQ(w.clipboard.text(), "old");
    EXPECT_FALSE(w.state.document().htmlModified());
    // Undo after the cancel finds no step of it: the page stays whole.
    w.setText("one\r\n[two]\r\nthree");
    runPowerDialog(PowerDialog::FrameSet, w.inserter, w.state,
                   [](PowerDialog) { return PowerDialogOutcome{}; });
    w.editor.undo();
    EXPECT_EQ(w.editor.text(), "one\r\ntwo\r\nthree");

    // Accepted: the frameset replaces the selected lines, is selected, and one undo takes it
    // back.
    w.setText("[x]y");
    runPowerDialog(PowerDialog::FrameSet, w.inserter, w.state,
                   w.dialog("<FRAMESET>\r\n    x\r\n</FRAMESET>\r\n", true));
    EXPECT_EQ(w.marked(), "[<FRAMESET>\r\n    x\r\n</FRAMESET>\r\n]y");
    EXPECT_TRUE(w.state.document().htmlModified());
    w.editor.undo();
    EXPECT_EQ(w.editor.text(), "xy");
}

TEST(PowerCommands, RelImageAfterEveryUseAnchorPathsOnlyWhenInserted) {
    Window w;
    w.setText("[]");
    runPowerDialog(PowerDialog::Image, w.inserter, w.state, [](PowerDialog) {
        PowerDialogOutcome out;
        out.relImage = "img/";
        out.imageFolder = "/site/Pics";
        return out;
    });
    EXPECT_EQ(w.state.settings().relImage, "img/");
    EXPECT_EQ(w.state.defaultIni().readString("Location", "RelImage", ""), "img/");
    // The folder the image dialog listed is where it opens next time, also after a restart.
    EXPECT_EQ(w.state.settings().imageFolder, "/site/Pics");
    EXPECT_EQ(w.state.defaultIni().readString("Location", "ImageFolder", ""), "/site/Pics");

    const auto anchor = [&w](bool accepted) {
        return [&w, accepted](PowerDialog) {
            w.clipboard.setText("<A>");
            PowerDialogOutcome out;
            out.result = {accepted, 3};
            out.useAnchor = true;
            out.anchorPath = "/pages/";
            return out;
        };
    };
    runPowerDialog(PowerDialog::Anchor, w.inserter, w.state, anchor(false));
    EXPECT_FALSE(w.state.settings().useAnchor);
    EXPECT_EQ(w.state.defaultIni().readString("Path", "AnchorPath", "none"), "none");
    runPowerDialog(PowerDialog::Anchor, w.inserter, w.state, anchor(true));
    EXPECT_TRUE(w.state.settings().useAnchor);
    EXPECT_TRUE(w.state.defaultIni().readBool("Path", "UseAnchor", false));
    EXPECT_EQ(w.state.defaultIni().readString("Path", "AnchorPath", ""), "/pages/");
}

} // namespace
