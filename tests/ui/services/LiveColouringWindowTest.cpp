// Live colouring in the main window: the "Color" box puts it on and takes it away, typed text is
// coloured as it comes, Settings Apply draws new colours at once, "Color Tags Now" colours again
// through it, and the pass's colours stay the pass's while the box is off. A big page is saved
// with its progress shown; Cancel leaves the old file, and a whole save writes every byte.
#include "app/ApplySettings.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/services/LiveColouringUi.h"
#include "ui/services/ServicesUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/widgets/LongStepWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QDir>
#include <QTest>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class LiveColouringWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        QApplication::processEvents();
        colorBox = form->findChild<QCheckBox*>(QStringLiteral("ColorBox"));
        ASSERT_NE(colorBox, nullptr);
        services = ServicesUi::of(form->registry());
        ASSERT_NE(services, nullptr);
        ASSERT_NE(services->liveColouring(), nullptr);
    }
    void openPage(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(name, bytes));
        chooser.queue(dir.file(name));
        form->registry().action("OpenHTMLFile1")->trigger();
        QApplication::processEvents();
    }
    void type(const QString& text) { QTest::keyClicks(form->editor(), text); }
    QColor colorAt(int editPosition) {
        form->editWindow().applyColors();
        return form->editWindow().colorAt(editPosition);
    }
    int formattedBlocks() {
        int n = 0;
        for (QTextBlock b = form->editor()->document()->firstBlock(); b.isValid(); b = b.next())
            n += b.layout()->formats().isEmpty() ? 0 : 1;
        return n;
    }

    QCheckBox* colorBox = nullptr;
    ServicesUi* services = nullptr;
};

const QColor Red(255, 0, 0);

TEST_F(LiveColouringWindow, TheColorBoxColoursAsTheUserTypes) {
    openPage("page.htm", "<P>one</P>\r\n<a\r\nhref=\"x\">two</a>\r\n");
    // Off: the page was not coloured and typing colours nothing.
    EXPECT_EQ(formattedBlocks(), 0);
    colorBox->click();
    EXPECT_TRUE(form->state().settings().colored);
    EXPECT_TRUE(form->editWindow().liveColouring());
    EXPECT_EQ(colorAt(0), Red);                 // <P>
    EXPECT_FALSE(colorAt(3).isValid());         // one
    EXPECT_EQ(colorAt(12), Red);                // <a over two lines
    EXPECT_EQ(colorAt(16), Red);                // href=
    EXPECT_EQ(colorAt(21), Red.darker(150));    // "x"

    // Typed at the end of the first line: a tag, coloured as it is typed, and text after it.
    form->editWindow().setSelStart(10);
    type(QStringLiteral(" <b>bold"));
    EXPECT_EQ(form->editWindow().line(0), QStringLiteral("<P>one</P> <b>bold"));
    EXPECT_EQ(colorAt(11), Red);
    EXPECT_EQ(colorAt(13), Red);
    EXPECT_FALSE(colorAt(14).isValid());

    // New colours from the settings dialog are drawn at once.
    SettingsValues v = currentSettingsValues(form->state());
    v.tagColors[3] = QStringLiteral("clGreen"); // FONT
    v.tagColors[0] = QStringLiteral("clBlue");  // DEFAULT
    ApplySettings(form->state(), v);
    QApplication::processEvents();
    EXPECT_EQ(colorAt(11), QColor(0, 128, 0));
    EXPECT_EQ(colorAt(0), QColor(0, 0, 255));

    // "Color Tags Now" runs no pass while the box is on, and the live colours stay.
    form->registry().action("ColorTagsNow1")->trigger();
    EXPECT_EQ(colorAt(11), QColor(0, 128, 0));

    // Off: the live colours go, and typing colours nothing; the pass colours on demand.
    colorBox->click();
    EXPECT_FALSE(form->state().settings().colored);
    EXPECT_EQ(formattedBlocks(), 0);
    form->editWindow().setSelStart(0);
    type(QStringLiteral("<i>"));
    EXPECT_FALSE(colorAt(0).isValid());
    form->registry().action("ColorTagsNow1")->trigger();
    EXPECT_EQ(colorAt(0), QColor(0, 128, 0)); // the pass's <i>, in the FONT colour
    EXPECT_EQ(colorAt(3), QColor(0, 0, 255)); // <P>
}

TEST_F(LiveColouringWindow, APageOpenedWhileOnIsColouredAndABigOneInSlices) {
    colorBox->click();
    openPage("small.htm", "<TABLE>\r\n<TR><TD>x</TD></TR>\r\n");
    EXPECT_EQ(colorAt(0), Red);
    EXPECT_EQ(colorAt(9), Red);

    QByteArray big;
    while (big.size() < PlainTextEditWindow::StepLoadFrom + 1000)
        big += "<TR><TD class=\"c\">cell &amp; text</TD></TR>\r\n";
    openPage("big.htm", big);
    LiveTagHighlighter& live = services->liveColouring()->highlighter();
    EXPECT_EQ(live.attached(), form->editor()->document());
    for (int i = 0; i < 10000 && live.colouring(); ++i)
        QApplication::processEvents();
    EXPECT_FALSE(live.colouring());
    const int lastLine = form->editWindow().lineCount() - 1;
    // The last line's start: the text ends with its line end.
    const int lastStart =
        form->editWindow().length() - 2 - int(form->editWindow().line(lastLine).size());
    EXPECT_EQ(colorAt(lastStart), Red);
    EXPECT_EQ(form->editWindow().text(), QString::fromLatin1(big));
}

TEST_F(LiveColouringWindow, ABigPageIsSavedWithProgressAndCancelKeepsTheOldFile) {
    LongStepWindow steps(form.get(), 0); // the progress shows at once here
    form->state().parts().longSteps = &steps;
    QByteArray big;
    while (big.size() < (1 << 20) + 5000)
        big += "<P>a line of a big page \xe9t\xe9</P>\r\n"; // Latin-1
    openPage("big.htm", big);
    form->editWindow().setSelStart(0);
    form->editWindow().replaceSelection(QStringLiteral("<B>typed</B>"));
    HtmlDocument& doc = form->state().document();
    doc.setHtmlModified(true);

    QString label;
    QTimer::singleShot(0, form.get(), [&] {
        QProgressDialog* p = steps.dialog();
        ASSERT_NE(p, nullptr);
        label = p->labelText();
        p->findChild<QPushButton*>()->click();
    });
    form->registry().action("SaveHTMLFile1")->trigger();
    EXPECT_EQ(label, QStringLiteral("Saving big.htm ..."));
    QFile f(dir.file("big.htm"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), big); // cancelled: the old bytes
    f.close();
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(QDir(dir.path()).entryList(QStringList{QStringLiteral("*big.htm*")},
                                         QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("big.htm")});

    form->registry().action("SaveHTMLFile1")->trigger();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "<B>typed</B>" + big);
    EXPECT_FALSE(doc.htmlModified());
    form->state().parts().longSteps = nullptr;
}

} // namespace
