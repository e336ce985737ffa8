// The editor services in the main window: colours in the real editor widget, the Replace
// dialog's Replace All reaching the saved file, and a press in the editor stopping a pass.
#include "ui/services/ServicesUi.h"
#include "platform/UiPump.h"
#include "services/ServicesRoom.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/TForm1.h"
#include "ui/services/TFormFindReplace.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

class ServicesWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        services = ServicesUi::of(form->registry());
        ASSERT_NE(services, nullptr);
    }
    void openPage(const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(QStringLiteral("page.htm"), bytes));
        chooser.queue(dir.file(QStringLiteral("page.htm")));
        form->findChild<QAction*>(QStringLiteral("OpenHTMLFile1"))->trigger();
    }
    // The colour drawn over each stretch of the editor, as "start+length:#rrggbb" in document
    // positions, as the blocks' layouts hold them.
    QStringList colours() {
        form->editWindow().applyColors();
        QStringList out;
        for (QTextBlock b = form->editor()->document()->firstBlock(); b.isValid(); b = b.next())
            for (const QTextLayout::FormatRange& f : b.layout()->formats())
                out << QStringLiteral("%1+%2:%3")
                           .arg(b.position() + f.start)
                           .arg(f.length)
                           .arg(f.format.foreground().color().name());
        return out;
    }

    ServicesUi* services = nullptr;
};

TEST_F(ServicesWindowTest, ColorThenCtrlKColoursTheTagsAndReplaceAllReachesTheFile) {
    ASSERT_TRUE(
        dir.write(QStringLiteral("OPTIONS.INI"), "[Colors]\r\nHREF=clBlue\r\nFONT=clGreen\r\n"));
    // The colours are read at start-up: a window over the new settings.
    SetUp();
    openPage("<B>x</B><A HREF=\"a\">y</A>\r\n");
    EXPECT_TRUE(colours().isEmpty()); // "Color" is off
    // The switch colours the tags as they stand (the value in a darker shade), and Ctrl+K
    // colours them again the same way.
    form->colorBox()->click();
    const QStringList live{"0+3:#008000", "4+4:#008000",  "8+8:#0000ff",
                           "16+3:#0000aa", "19+1:#0000ff", "21+4:#0000ff"};
    EXPECT_EQ(colours(), live);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->editor()->setFocus();
    QTest::keyClick(form->editor(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(colours(), live);
    EXPECT_FALSE(form->state().document().htmlModified());

    QTest::keyClick(form->editor(), Qt::Key_R, Qt::ControlModifier);
    TFormFindReplace* replace = services->replaceDialog();
    ASSERT_TRUE(replace->isVisible());
    replace->findEdit()->setText(QStringLiteral("x"));
    replace->replaceEdit()->setText(QStringLiteral("z"));
    replace->findChild<QPushButton*>(QStringLiteral("ReplaceAll"))->click();
    EXPECT_EQ(form->editWindow().text(), QStringLiteral("<B>z</B><A HREF=\"a\">y</A>\r\n"));
    EXPECT_TRUE(form->state().document().htmlModified());
    form->findChild<QAction*>(QStringLiteral("SaveHTMLFile1"))->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("page.htm")), QByteArray("<B>z</B><A HREF=\"a\">y</A>\r\n"));
}

TEST_F(ServicesWindowTest, APressInTheEditorStopsAPassAtTheNextLine) {
    QByteArray page;
    for (int i = 0; i < 400; ++i)
        page += "<P>line</P>\r\n";
    openPage(page);
    form->wrapBox()->setChecked(true);
    // Every line pumps here, so the press lands on a known line.
    services->pump().setInterval(0);
    // Pressed while line 100 waits: each line lets one queued step run.
    int steps = 0;
    std::function<void()> step = [&] {
        if (++steps == 100)
            QTest::mousePress(form->editor()->viewport(), Qt::LeftButton);
        else
            QMetaObject::invokeMethod(form.get(), step, Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(form.get(), step, Qt::QueuedConnection);
    EXPECT_FALSE(services->room().colouring().colorTags());
    EXPECT_EQ(steps, 100);
    // Two tags a line on the lines before the press.
    const QStringList c = colours();
    EXPECT_EQ(c.size(), 2 * 99);
    EXPECT_EQ(c.last(), QStringLiteral("%1+4:#ff0000").arg(98 * 12 + 7));
    EXPECT_EQ(form->editor()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(page));
}

} // namespace

namespace {
TEST_F(ServicesWindowTest, DefaultColoursColourEveryTag) {
    openPage("<B>x</B><A HREF=\"a\">y</A>\r\n");
    services->room().colorTagsNow();
    EXPECT_EQ(colours(),
              (QStringList{"0+3:#ff0000", "4+4:#ff0000", "8+12:#ff0000", "21+4:#ff0000"}));
}
} // namespace

namespace {
TEST_F(ServicesWindowTest, SnipsTabShowsTheFileAndADoubleClickPastes) {
    ASSERT_TRUE(dir.write(QStringLiteral("urlsnips.dat"), "zeta\r\nhttp://a/\r\n"));
    SetUp();
    auto* left = form->findChild<QTabWidget*>(QStringLiteral("LeftTabs"));
    ASSERT_EQ(left->tabText(left->count() - 1), QStringLiteral("Snips"));
    left->setCurrentIndex(left->count() - 1);
    QListWidget* urls = form->findChild<QListWidget*>(QStringLiteral("ListBoxURL"));
    ASSERT_NE(urls, nullptr);
    ASSERT_EQ(urls->count(), 2);
    EXPECT_EQ(urls->item(0)->text(), QStringLiteral("http://a/"));
    form->editWindow().setText(QStringLiteral("<P>"));
    form->state().document().setHtmlModified(false);
    form->editWindow().setSelStart(3);
    emit urls->itemDoubleClicked(urls->item(0));
    EXPECT_EQ(form->editWindow().text(), QStringLiteral("<P>http://a/"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("http://a/"));
    EXPECT_TRUE(form->state().document().htmlModified());

    auto* field = form->findChild<QLineEdit*>(QStringLiteral("EditURL"));
    field->setText(QStringLiteral("Beta"));
    form->findChild<QPushButton*>(QStringLiteral("URLAdd"))->click();
    EXPECT_EQ(urls->count(), 3);
    EXPECT_EQ(urls->item(0)->text(), QStringLiteral("Beta"));
    EXPECT_EQ(dir.read(QStringLiteral("urlsnips.dat")),
              QByteArray("Beta\r\nhttp://a/\r\nzeta\r\n"));
}
} // namespace

namespace {
TEST_F(ServicesWindowTest, TheEditingPaneButtonsColourAndStopOnThePress) {
    QPushButton* now = form->findChild<QPushButton*>(QStringLiteral("BitBtnColorNow"));
    QPushButton* stop = form->findChild<QPushButton*>(QStringLiteral("BitBtnStopColors"));
    ASSERT_NE(now, nullptr);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(now->toolTip(), QStringLiteral("Color Tags Now"));
    EXPECT_EQ(stop->toolTip(), QStringLiteral("Stop Colored Tag Processing"));
    openPage("<B>x</B>\r\n");
    now->click();
    EXPECT_EQ(colours(), (QStringList{"0+3:#ff0000", "4+4:#ff0000"}));

    // A long page and the pump as the program has it: the press, waiting in the queue, is seen
    // at the first pump, and the pass ends there with whole lines coloured before it.
    QByteArray page;
    for (int i = 0; i < 20000; ++i)
        page += "<P>line</P>\r\n";
    openPage(page);
    form->wrapBox()->setChecked(true);
    QMetaObject::invokeMethod(
        stop, [stop] { QTest::mousePress(stop, Qt::LeftButton); }, Qt::QueuedConnection);
    EXPECT_FALSE(services->room().colouring().colorTags());
    QTest::mouseRelease(stop, Qt::LeftButton);
    const QStringList c = colours();
    EXPECT_LT(c.size(), 2 * 20000);
    EXPECT_EQ(c.size() % 2, 0);
    if (!c.isEmpty()) {
        EXPECT_EQ(c.last(), QStringLiteral("%1+4:#ff0000").arg((c.size() / 2 - 1) * 12 + 7));
    }
    EXPECT_EQ(form->editor()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    // Without a press the pass runs to the end.
    EXPECT_TRUE(services->room().colouring().colorTags());
    EXPECT_EQ(colours().size(), 2 * 20000);
}
} // namespace
