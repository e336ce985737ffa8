// The long passes of the editor in the main window, and what happens when another page comes in
// while one of them lets the window run: the colouring pass, the in-tags slash replacement and
// the spell check end without touching the new page. A big page loads with its progress shown,
// and Cancel leaves the open document as it was.
#include "platform/UiPump.h"
#include "services/FindReplace.h"
#include "spell/DctWriter.h"
#include "support/MainWindowFixture.h"
#include "support/WaitFor.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/services/ServicesUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/spell/SpellCommands.h"
#include "ui/spell/TFormSpellCheck.h"
#include "ui/widgets/LongStepWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QTest>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class LongPassWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write("spell/american.dct",
                              buildDct({"the", "cat", "sat", "on", "a", "mat"}, "Test").bytes));
        openWindow();
        form->resize(1024, 768);
        form->show();
        QApplication::processEvents(); // the checker is configured after start-up
        services = ServicesUi::of(form->registry());
        ASSERT_NE(services, nullptr);
        // Every line of a pass lets the window run, so a queued step lands on a known line.
        services->pump().setInterval(0);
    }
    void openPage(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(name, bytes));
        chooser.queue(dir.file(name));
        form->registry().action("OpenHTMLFile1")->trigger();
    }
    // After steps turns of the event loop, opens another page as Alt+O would.
    void openMeanwhile(int steps, const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(name, bytes));
        QMetaObject::invokeMethod(form.get(), OpenStep{this, steps, name}, Qt::QueuedConnection);
    }
    // One turn of the loop: posts a copy of itself until its turns are used up, then opens.
    struct OpenStep {
        LongPassWindow* test;
        int left;
        QString name;
        void operator()() const {
            if (left > 1) {
                QMetaObject::invokeMethod(test->form.get(), OpenStep{test, left - 1, name},
                                          Qt::QueuedConnection);
                return;
            }
            test->chooser.queue(test->dir.file(name));
            // What Alt+O runs.
            test->form->registry().action("OpenHTMLFile1")->trigger();
        }
    };
    int colouredRanges() {
        form->editWindow().applyColors();
        int n = 0;
        for (QTextBlock b = form->editor()->document()->firstBlock(); b.isValid(); b = b.next())
            n += static_cast<int>(b.layout()->formats().size());
        return n;
    }

    ServicesUi* services = nullptr;
};

QByteArray longPage(const QByteArray& line, int lines) {
    QByteArray page;
    for (int i = 0; i < lines; ++i)
        page += line;
    return page;
}

const QByteArray otherPage = "<A HREF=\"x\\y.htm\">other</A>\r\nteh end\r\n";

} // namespace

TEST_F(LongPassWindow, AltOWhileColouringOpensThePageAndThePassLeavesItAlone) {
    form->colorBox()->setChecked(false);
    openPage("big.htm", longPage("<P>line</P>\r\n", 3000));
    openMeanwhile(100, "other.htm", otherPage);
    EXPECT_FALSE(services->room().colouring().colorTags());
    HtmlDocument& doc = form->state().document();
    EXPECT_EQ(doc.currentHtmlFile(), dir.file("other.htm"));
    EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(otherPage));
    EXPECT_EQ(colouredRanges(), 0);
    EXPECT_FALSE(doc.htmlModified());
    EXPECT_EQ(form->editWindow().selStart(), 0);
    EXPECT_EQ(form->editor()->lineWrapMode(),
              form->state().settings().wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

TEST_F(LongPassWindow, AltOWhileReplacingSlashesInTagsEndsThePassWithoutACount) {
    openPage("big.htm", longPage("<A HREF=\"a\\b.htm\">x</A>\r\n", 400));
    openMeanwhile(100, "other.htm", otherPage);
    prompter.queue(MessageAnswer::Yes); // the pass's question
    prompter.queue(MessageAnswer::No);  // Alt+O: do not save the half-replaced page
    form->registry().action("ReplacePreciseSlashes1")->trigger();
    // No count comes after them.
    EXPECT_EQ(prompter.texts(), (QStringList{FindReplace::slashInTagsQuestion(),
                                             HtmlDocument::askSaveChangesText()}));
    EXPECT_EQ(form->state().document().currentHtmlFile(), dir.file("other.htm"));
    EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(otherPage));
    EXPECT_FALSE(form->state().document().htmlModified());
    // The page the pass began on was never saved: its file is as it was.
    EXPECT_EQ(dir.read("big.htm").count('\\'), 400);
}

TEST_F(LongPassWindow, APageOpenedWhileTheSpellCheckWaitsEndsTheCheck) {
    openPage("page.htm", "the catt sat\r\n");
    auto* timer = new QTimer(form.get());
    timer->setInterval(5);
    bool opened = false;
    QObject::connect(timer, &QTimer::timeout, form.get(), [&] {
        TFormSpellCheck* d = spellCheckDialog(*form);
        if (!d->waiting())
            return;
        if (opened) {
            ADD_FAILURE() << "the check went on with " << d->notFoundEdit()->text().toStdString();
            d->reject();
            return;
        }
        opened = true;
        // The dialog waits on "catt": the user opens another page in the main window.
        ASSERT_TRUE(dir.write("other.htm", otherPage));
        chooser.queue(dir.file("other.htm"));
        form->registry().action("OpenHTMLFile1")->trigger();
        // The page is in; were the check to go on, "teh" would be asked next.
        form->editWindow().setSelStart(5);
    });
    timer->start();
    form->registry().action("SpellCheck1")->trigger();
    timer->stop();
    EXPECT_TRUE(opened);
    EXPECT_FALSE(spellCheckDialog(*form)->isVisible());
    EXPECT_TRUE(prompter.texts().isEmpty()); // no "Spell Check Complete."
    EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(otherPage));
    EXPECT_FALSE(form->state().document().htmlModified());
    // Its caret stays where it was put: the check gave back no selection to this page.
    EXPECT_EQ(form->editWindow().selStart(), 5);
    EXPECT_EQ(form->editWindow().selLength(), 0);
}

TEST_F(LongPassWindow, ABigPageLoadsWithProgressAndCancelLeavesTheDocument) {
    LongStepWindow steps(form.get(), 0); // the progress shows at once here
    form->state().parts().longSteps = &steps;
    const QByteArray small = longPage("<P>small</P>\r\n", 400);
    openPage("small.htm", small);
    form->editWindow().replaceSelection(QStringLiteral("typed "));
    form->state().document().setHtmlModified(true);
    const QString before = form->editWindow().text();
    // The user is in the middle of the page, a word selected.
    form->editWindow().setSelStart(3000);
    form->editWindow().setSelLength(5);
    QScrollBar* scroll = form->editor()->verticalScrollBar();
    scroll->setValue(150);
    ASSERT_EQ(scroll->value(), 150);

    const QByteArray big = longPage("<P>a line of a big page</P>\r\n", 100000); // ~3 MB
    ASSERT_GE(big.size(), PlainTextEditWindow::StepLoadFrom);
    ASSERT_TRUE(dir.write("big.htm", big));
    bool sawProgress = false;
    // While it loads, the editor already shows what came in (laid out as it comes, not all at
    // once at the end) and takes no keys.
    // The file is read beside the window first (the editor keeps the old page meanwhile), then
    // it goes into the editor.
    QString firstLineWhileLoading;
    bool readOnlyWhileLoading = false;
    bool sawReading = false;
    std::function<void()> look = [&] {
        QProgressDialog* p = steps.dialog();
        ASSERT_NE(p, nullptr);
        if (!form->editor()->isReadOnly()) {
            sawReading = form->editWindow().text() == before;
            QTimer::singleShot(1, form.get(), look);
            return;
        }
        sawProgress = p->isVisible();
        firstLineWhileLoading = form->editor()->document()->firstBlock().text();
        readOnlyWhileLoading = form->editor()->isReadOnly();
        EXPECT_EQ(p->labelText(), QStringLiteral("Loading big.htm ..."));
        p->findChild<QPushButton*>()->click();
    };
    QTimer::singleShot(0, form.get(), look);
    prompter.queue(MessageAnswer::No); // do not save the typed text for this open
    chooser.queue(dir.file("big.htm"));
    form->registry().action("OpenHTMLFile1")->trigger();
    EXPECT_TRUE(sawReading);
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(firstLineWhileLoading, QStringLiteral("<P>a line of a big page</P>"));
    EXPECT_TRUE(readOnlyWhileLoading);
    EXPECT_FALSE(form->editor()->isReadOnly());
    HtmlDocument& doc = form->state().document();
    EXPECT_EQ(doc.currentHtmlFile(), dir.file("small.htm"));
    EXPECT_EQ(form->editWindow().text(), before);
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(steps.dialog(), nullptr);
    EXPECT_EQ(form->editWindow().selStart(), 3000);
    EXPECT_EQ(form->editWindow().selLength(), 5);
    EXPECT_EQ(scroll->value(), 150);

    // Not cancelled, it loads whole, with the editor's look and its undo history fresh.
    chooser.queue(dir.file("big.htm"));
    prompter.queue(MessageAnswer::No);
    form->registry().action("OpenHTMLFile1")->trigger();
    EXPECT_EQ(doc.currentHtmlFile(), dir.file("big.htm"));
    EXPECT_EQ(form->editWindow().length(), big.size());
    EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(big));
    EXPECT_FALSE(doc.htmlModified());
    EXPECT_FALSE(form->editor()->document()->isUndoAvailable());
    EXPECT_EQ(form->editor()->document()->defaultFont(), form->editor()->font());
    form->editWindow().setSelStart(5);
    form->editWindow().replaceSelection(QStringLiteral("X"));
    EXPECT_TRUE(form->editWindow().text().startsWith(QStringLiteral("<P>a Xline")));

    // A big page's document is taken apart from the loop after another page came in, even a
    // small one or a new page: the text shown at once, the old document gone a little later.
    for (const char* name : {"big.htm", "small.htm", "big.htm", ""}) {
        const QPointer<QTextDocument> old(form->editor()->document());
        if (doc.htmlModified())
            prompter.queue(MessageAnswer::No);
        if (*name) {
            chooser.queue(dir.file(name));
            form->registry().action("OpenHTMLFile1")->trigger();
            EXPECT_EQ(doc.currentHtmlFile(), dir.file(name));
        } else {
            form->registry().action("NewHTMLFile1")->trigger();
            EXPECT_LT(form->editWindow().length(), 1000);
        }
        EXPECT_NE(form->editor()->document(), old.data()) << name;
        EXPECT_TRUE(testsupport::waitFor([&] { return old.isNull(); }, 10000)) << name;
        if (*name == 's') {
            EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(small));
        }
    }
    form->state().parts().longSteps = nullptr;
}

namespace {

TEST(LongStepProgress, ShowsAfterItsDelayAndAtOnceForAStepThatFollowsAShownOne) {
    QWidget parent;
    LongStepWindow steps(&parent, 50);
    // Quick: nothing shows.
    steps.begin(QStringLiteral("Reading a.htm ..."), 10);
    EXPECT_TRUE(steps.advance(5));
    EXPECT_EQ(steps.dialog(), nullptr);
    steps.end();
    // Longer than the delay: the progress comes up.
    steps.begin(QStringLiteral("Reading b.htm ..."), 10);
    QTest::qWait(60);
    EXPECT_TRUE(steps.advance(5));
    ASSERT_NE(steps.dialog(), nullptr);
    EXPECT_EQ(steps.dialog()->labelText(), QStringLiteral("Reading b.htm ..."));
    EXPECT_EQ(steps.dialog()->value(), 500);
    steps.end();
    EXPECT_EQ(steps.dialog(), nullptr);
    // The step right after it shows at once, with its own label.
    steps.begin(QStringLiteral("Loading b.htm ..."), 4);
    EXPECT_TRUE(steps.advance(1));
    ASSERT_NE(steps.dialog(), nullptr);
    EXPECT_EQ(steps.dialog()->labelText(), QStringLiteral("Loading b.htm ..."));
    EXPECT_EQ(steps.dialog()->value(), 250);
    steps.end();
    // One that begins later waits for its delay again, as does one after a quiet step.
    QTest::qWait(LongStepWindow::FollowOnMs + 20);
    steps.begin(QStringLiteral("Saving b.htm ..."), 10);
    EXPECT_TRUE(steps.advance(1));
    EXPECT_EQ(steps.dialog(), nullptr);
    steps.end();
    steps.begin(QStringLiteral("Saving b.htm ..."), 10);
    EXPECT_TRUE(steps.advance(1));
    EXPECT_EQ(steps.dialog(), nullptr);
    steps.end();
}

} // namespace
