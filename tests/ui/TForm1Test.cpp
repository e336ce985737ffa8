// The main window over a temporary program folder, on the offscreen platform.
#include "ui/TForm1.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class MainWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
    }
};
} // namespace

TEST_F(MainWindow, FileMenuEntriesOrderAndShortcuts) {
    QStringList entries;
    for (QAction* a : form->fileMenu()->actions()) {
        if (a->isSeparator())
            entries << QStringLiteral("-");
        else
            entries << a->text() + QStringLiteral("|") + a->shortcut().toString();
    }
    EXPECT_EQ(entries, QStringList({
                           "Project Builder|",
                           "&New Project|Ctrl+N",
                           "New HTML File|Alt+N",
                           "-",
                           "&Open Project|Ctrl+O",
                           "Open HTML File|Alt+O",
                           "Open HTML Template|",
                           "-",
                           "&Save Project|Ctrl+S",
                           "Save Project &As|",
                           "-",
                           "Save &HTML File|Alt+S",
                           "Save HT&ML File As|",
                           "-",
                           "Close HTML File|",
                           "-",
                           "&Print Project/HTML|Ctrl+P",
                           "-",
                           "E&xit|Alt+X",
                           "-",
                           "1: |",
                           "2: |",
                           "3: |",
                           "4: |",
                       }));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ostra Quillon Pro"));
}

TEST_F(MainWindow, StatusBarPanesAndSwitches) {
    EXPECT_EQ(form->statusField(0)->text(), QStringLiteral("File Size:"));
    EXPECT_EQ(form->statusField(1)->text(), QStringLiteral("Page Location:"));
    EXPECT_EQ(form->statusField(2)->text(),
              QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
    EXPECT_EQ(form->statusField(0)->width(), 95);
    EXPECT_GE(form->statusField(1)->width(), 275);
    EXPECT_GE(form->statusField(2)->width(), 270);
    EXPECT_EQ(form->leftTabs()->tabText(0), QStringLiteral("Web Site"));
    EXPECT_EQ(form->leftTabs()->currentIndex(), 0);
    EXPECT_EQ(form->tagTabs()->tabText(0), QStringLiteral("Common"));
    EXPECT_EQ(form->leftPaneWidth(), 200);
    EXPECT_EQ(form->splitter()->width(), 5);
    EXPECT_TRUE(form->wrapBox()->isChecked());
    EXPECT_FALSE(form->colorBox()->isChecked());

    form->wrapBox()->setChecked(false);
    EXPECT_EQ(form->editor()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")), QByteArray("[Format]\r\nWrap=0\r\n"));
}

TEST_F(MainWindow, SplitterDragFollowsThePointerAndKeepsToNinetyFivePercent) {
    form->splitterDragTick(150);
    EXPECT_EQ(form->leftPaneWidth(), 200);
    form->splitterDragTick(400);
    EXPECT_EQ(form->leftPaneWidth(), 395);
    EXPECT_EQ(form->splitter()->x(), 395);
    form->splitterDragTick(1020);
    form->splitterDragEnd();
    EXPECT_EQ(form->leftPaneWidth(), static_cast<int>(form->width() * 0.95));
}

TEST_F(MainWindow, NewThenSaveAsksForANameTitledSaveHtmlFileAs) {
    QAction* newHtml = form->findChild<QAction*>(QStringLiteral("NewHTMLFile1"));
    QAction* save = form->findChild<QAction*>(QStringLiteral("SaveHTMLFile1"));
    ASSERT_TRUE(newHtml && save);
    newHtml->trigger();
    EXPECT_TRUE(form->editor()->toPlainText().startsWith(QStringLiteral("<!--This site")));
    EXPECT_TRUE(form->state().document().htmlModified());
    chooser.queue(dir.file(QStringLiteral("index.html")));
    save->trigger();
    ASSERT_EQ(chooser.requests().size(), 1u);
    EXPECT_EQ(chooser.requests()[0].request.title, QStringLiteral("Save HTML File As..."));
    EXPECT_TRUE(dir.read(QStringLiteral("index.html")).endsWith("</BODY>\r\n</HTML>\r\n"));
    EXPECT_FALSE(form->state().document().htmlModified());
}

TEST_F(MainWindow, TypingInTheEditorMarksTheDocumentAndCloseAsks) {
    EXPECT_FALSE(form->state().document().htmlModified());
    QTest::keyClick(form->editor(), Qt::Key_A);
    EXPECT_TRUE(form->state().document().htmlModified());
    prompter.queue(MessageAnswer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompter.texts(),
              QStringList({QStringLiteral("Save changes to open HTML file before closing?")}));
    prompter.queue(MessageAnswer::No);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindow, ModifierKeysAndMenuShortcutsAreNoEditsSoAltSThenAltXAsksNothing) {
    ASSERT_TRUE(dir.write(QStringLiteral("page.html"), "<p>page</p>\r\n"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    chooser.queue(dir.file(QStringLiteral("page.html")));
    form->findChild<QAction*>(QStringLiteral("OpenHTMLFile1"))->trigger();
    ASSERT_EQ(form->state().document().currentHtmlFile(), dir.file(QStringLiteral("page.html")));
    form->editor()->setFocus();

    for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_Control, Qt::Key_Shift, Qt::Key_Meta})
        QTest::keyClick(form->editor(), key);
    EXPECT_FALSE(form->state().document().htmlModified());

    // Alt+O on an unchanged page opens the dialog without the save question.
    chooser.queue(std::nullopt);
    QTest::keyClick(form->editor(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(chooser.requests().size(), 2u);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(form->state().document().htmlModified());

    QTest::keyClick(form->editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form->editor(), QStringLiteral("more"));
    EXPECT_TRUE(form->state().document().htmlModified());
    QTest::keyClick(form->editor(), Qt::Key_S, Qt::AltModifier);
    EXPECT_FALSE(form->state().document().htmlModified());
    EXPECT_EQ(dir.read(QStringLiteral("page.html")), QByteArray("<p>page</p>\r\nmore"));

    QTest::keyClick(form->editor(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, TypingAfterCloseAndSavingAsksForANameAndLeavesTheClosedPage) {
    ASSERT_TRUE(dir.write(QStringLiteral("page.html"), "<p>page</p>\r\n"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    chooser.queue(dir.file(QStringLiteral("page.html")));
    form->findChild<QAction*>(QStringLiteral("OpenHTMLFile1"))->trigger();
    form->findChild<QAction*>(QStringLiteral("CloseHTMLFile1"))->trigger();
    EXPECT_EQ(form->statusField(2)->text(),
              QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
    form->editor()->setFocus();
    QTest::keyClicks(form->editor(), QStringLiteral("word"));
    chooser.queue(std::nullopt);
    QTest::keyClick(form->editor(), Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(chooser.requests().size(), 2u);
    EXPECT_TRUE(chooser.requests()[1].save);
    EXPECT_EQ(chooser.requests()[1].request.title, QStringLiteral("Save HTML File As..."));
    EXPECT_EQ(dir.read(QStringLiteral("page.html")), QByteArray("<p>page</p>\r\n"));
    EXPECT_TRUE(form->state().document().htmlModified());

    // Naming it makes it the document the status bar shows.
    chooser.queue(dir.file(QStringLiteral("word.html")));
    QTest::keyClick(form->editor(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(dir.read(QStringLiteral("word.html")), QByteArray("word"));
    EXPECT_EQ(form->statusField(2)->text(),
              QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("word.html")));
}
