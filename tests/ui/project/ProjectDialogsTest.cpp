// The project's dialogs on the offscreen platform: the page dialog's checks and results, the
// confirmation window's check box, and the move dialog's buttons writing the scratch files.
#include "ui/project/ProjectDialogs.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
void click(QWidget* window, const char* name) {
    window->findChild<QPushButton*>(QLatin1String(name))->click();
}
} // namespace

TEST(ProjectDialogs, ThePageDialogKeepsItsFieldsInStepWithItsChecks) {
    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState app(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser, clipboard);
    app.startUp();
    ASSERT_TRUE(dir.write("index.html", "<p></p>"));
    TFormPage page(app, prompter, chooser);
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Adding/Changing Web Pages"));
    EXPECT_FALSE(page.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    prompter.queue(MessageAnswer::Ok);
    QTimer::singleShot(0, &page, [&] {
        EXPECT_EQ(page.pathField()->text(), app.settings().lastHtmlDirectory);
        page.titleField()->setText(QStringLiteral("  Home"));
        click(&page, "OKButton"); // the path is a folder
        EXPECT_TRUE(page.isVisible());
        page.pathField()->setText(dir.file("index.html"));
        click(&page, "OKButton");
    });
    PageDialogResult r = page.run({});
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.title, QStringLiteral("Home"));
    EXPECT_EQ(r.path, dir.file("index.html"));
    EXPECT_EQ(prompter.texts(),
              QStringList({"HTML file does not exist. Please enter a valid HTML file path."}));

    // Reused in change mode: the fields hold the page; Cancel gives nothing.
    QTimer::singleShot(0, &page, [&] {
        EXPECT_EQ(page.titleField()->text(), QStringLiteral("Old"));
        EXPECT_EQ(page.pathField()->selectedText(), dir.file("index.html"));
        click(&page, "CancelButton");
    });
    r = page.run({true, true, QStringLiteral("Old"), dir.file("index.html")});
    EXPECT_TRUE(r.cancelled);

    // Return in a field is OK.
    QTimer::singleShot(0, &page, [&] {
        page.titleField()->setText(QStringLiteral("New title"));
        QTest::keyClick(page.pathField(), Qt::Key_Return);
        // Should Return not close it, Cancel does, so the test fails rather than hangs.
        QTimer::singleShot(2000, &page, [&] {
            if (page.isVisible())
                click(&page, "CancelButton");
        });
    });
    r = page.run({true, true, QStringLiteral("Old"), dir.file("index.html")});
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.title, QStringLiteral("New title"));
}

TEST(ProjectDialogs, TheConfirmationReportsItsCheckBoxWhateverTheAnswer) {
    TFormConfirmDelete confirm;
    QTimer::singleShot(0, &confirm, [&] {
        confirm.findChild<QCheckBox*>()->setChecked(true);
        click(&confirm, "CancelButton");
    });
    ConfirmDeleteWindow::Answer a = confirm.ask(QStringLiteral("Page: \"A\""));
    EXPECT_EQ(confirm.whichLabel()->text(), QStringLiteral("Page: \"A\""));
    EXPECT_FALSE(a.confirmed);
    EXPECT_TRUE(a.doNotShowAgain);
    QTimer::singleShot(0, &confirm, [&] {
        EXPECT_FALSE(confirm.findChild<QCheckBox*>()->isChecked());
        EXPECT_TRUE(confirm.findChild<QPushButton*>(QStringLiteral("CancelButton"))->isDefault());
        click(&confirm, "YesButton");
    });
    a = confirm.ask(QStringLiteral("Page: \"B\", and the 2 pages below it"));
    EXPECT_TRUE(a.confirmed);
    EXPECT_FALSE(a.doNotShowAgain);
}

TEST(ProjectDialogs, TheConfirmationsCaptionSitsOnItsRedFrame) {
    TFormConfirmDelete confirm;
    confirm.show();
    QApplication::processEvents();
    auto* group = confirm.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    const QImage shot = group->grab().toImage();
    // The frame's top edge: the first row with red in it.
    int frameTop = -1;
    for (int y = 0; y < shot.height() && frameTop < 0; ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) {
                frameTop = y;
                break;
            }
        }
    ASSERT_GE(frameTop, 0);
    // The caption's letters: dark pixels near the left, down to the frame's edge (3 pixels).
    const int captionWidth = group->fontMetrics().horizontalAdvance(group->title());
    int lastCaptionRow = -1;
    for (int y = 0; y <= frameTop + 2; ++y)
        for (int x = 0; x < std::min(shot.width(), captionWidth + 24); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() < 110 && c.green() < 110 && c.blue() < 110)
                lastCaptionRow = y;
        }
    // The letters reach down into the frame's edge, not above it.
    EXPECT_GE(lastCaptionRow, frameTop)
        << "caption ends at " << lastCaptionRow << ", frame at " << frameTop;
}

TEST(ProjectDialogs, TheMoveDialogShowsTheListMovesAndWritesOnOkOnly) {
    TempDir dir;
    ScriptedPrompter prompter;
    ASSERT_TRUE(dir.write("temp.ttt", "A\r\nB\r\nC\r\n"));
    ASSERT_TRUE(dir.write("temp2.ttt", "/a\r\n/b\r\n/c\r\n"));
    TFormMove move(dir.path(), prompter);
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TFormMoveWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Move Pages within Site"));
        w->listWidget()->setCurrentRow(1);
        click(w, "MoveDown");
        EXPECT_EQ(w->listWidget()->currentRow(), 2);
        EXPECT_TRUE(w->listWidget()->item(2)->text().startsWith(QStringLiteral("B>>  ")));
        click(w, "MoveIn");
        EXPECT_TRUE(w->listWidget()->item(2)->text().startsWith(QStringLiteral("    B>>")));
        click(w, "CancelButton");
    });
    EXPECT_FALSE(move.run(-1));
    EXPECT_EQ(dir.read("temp.ttt"), QByteArray("A\r\nB\r\nC\r\n"));

    // It starts on the page highlighted in the outline.
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TFormMoveWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->listWidget()->currentRow(), 1);
        click(w, "MoveDown");
        click(w, "MoveIn");
        click(w, "OKButton");
    });
    EXPECT_TRUE(move.run(1));
    EXPECT_EQ(dir.read("temp.ttt"), QByteArray("A\r\nC\r\n\tB\r\n"));
    EXPECT_EQ(dir.read("temp2.ttt"), QByteArray("/a\r\n/c\r\n/b\r\n"));
}
