// The Power dialogs in the main window: fields set, the insert button pressed, and the editor's
// text, selection and clipboard checked; Cancel and Copy leave the page alone.
#include "project/FilesTab.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/TForm1.h"
#include "ui/project/FilesPane.h"
#include "ui/project/ProjectUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/tags/PowerBuilders.h"
#include "ui/tags/PowerDialogs.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QtMath>
#include <gtest/gtest.h>

namespace {

QByteArray imageBytes(int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

template <class W> W* child(QWidget* parent, const char* name) {
    W* w = parent->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class PowerDialogsUi : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
    }
    // Opens a page of the folder, so that chosen files are linked as seen from it.
    void openPage(const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(QStringLiteral("site/page.htm"), bytes));
        chooser.queue(dir.file(QStringLiteral("site/page.htm")));
        form->findChild<QAction*>(QStringLiteral("OpenHTMLFile1"))->trigger();
    }
    void select(int start, int length) {
        form->editWindow().setSelStart(start);
        form->editWindow().setSelLength(length);
    }
    // Runs a command whose modal dialog drive() works while it is open.
    template <class D> void withDialog(const char* id, std::function<void(D&)> drive) {
        bool seen = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << id;
            seen = true;
            drive(*dialog);
            if (dialog->isVisible()) // a test that failed half-way still closes it
                dialog->done(QDialog::Rejected);
        });
        form->findChild<QAction*>(QLatin1String(id))->trigger();
        EXPECT_TRUE(seen) << id;
    }
    QString text() { return form->editWindow().text(); }
    QString selected() { return form->editWindow().selText(); }
};

const QString tr2 = QStringLiteral("<TR>\r\n    <TD></TD>\r\n    <TD></TD>\r\n</TR>\r\n");

TEST_F(PowerDialogsUi, CtrlTInsertsThreeRowsTwoColumnsWithABorderBeforeTheSelection) {
    form->editWindow().setText(QStringLiteral("ab"));
    select(1, 1);
    // The window active first: the dialog is driven once the shortcut opened it.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->editor()->setFocus();
    bool seen = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* table = qobject_cast<TFormTable*>(QApplication::activeModalWidget());
        ASSERT_NE(table, nullptr);
        seen = true;
        EXPECT_EQ(table->windowTitle(), QStringLiteral("POWER Table Tag"));
        child<QSpinBox>(table, "TableRows")->setValue(3);
        child<QSpinBox>(table, "BorderThickness")->setValue(1);
        EXPECT_EQ(child<QTableWidget>(table, "TableGrid")->rowCount(), 3);
        EXPECT_FALSE(child<QLabel>(table, "SamplerNote")->isVisible());
        child<QPushButton>(table, "OKButton")->click();
    });
    QTest::keyClick(form->editor(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(seen);
    const QString table =
        QStringLiteral("<TABLE  BORDER=1>\r\n") + tr2 + tr2 + tr2 + QStringLiteral("</TABLE>\r\n");
    EXPECT_EQ(text(), QStringLiteral("a") + table + QStringLiteral("b"));
    EXPECT_EQ(selected(), table);
    EXPECT_EQ(clipboard.text(), table);
    EXPECT_TRUE(form->state().document().htmlModified());

    // Cancel: page and clipboard as they were.
    clipboard.setText(QStringLiteral("kept"));
    withDialog<TFormTable>("PowerTABLE1",
                           [](TFormTable& t) { child<QPushButton>(&t, "CancelButton")->click(); });
    EXPECT_EQ(text(), QStringLiteral("a") + table + QStringLiteral("b"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("kept"));
}

TEST_F(PowerDialogsUi, AnchorReplacesTheSelectedWordAndCopyInsertsNothing) {
    form->editWindow().setText(QStringLiteral("Go Home now"));
    select(3, 4);
    withDialog<TFormAnchor>("PowerAHREF1", [](TFormAnchor& a) {
        EXPECT_EQ(child<QLineEdit>(&a, "Description")->text(), QStringLiteral("Home"));
        EXPECT_EQ(child<QPlainTextEdit>(&a, "AnchorTagDisplay")->toPlainText(),
                  QStringLiteral("Enter your data above... your anchor tag will be created here "
                                 "automatically"));
        child<QLineEdit>(&a, "HrefLink")->setText(QStringLiteral("index.htm"));
        child<QPushButton>(&a, "InsertTag")->click();
    });
    const QString tag = QStringLiteral("<A HREF=\"index.htm\">Home</A>");
    EXPECT_EQ(text(), QStringLiteral("Go ") + tag + QStringLiteral(" now"));
    EXPECT_EQ(selected(), tag);
    EXPECT_EQ(clipboard.text(), tag);
    // Not inserted with the relative path: nothing remembered.
    EXPECT_FALSE(form->state().settings().useAnchor);

    withDialog<TFormAnchor>("PowerAHREF1", [](TFormAnchor& a) {
        child<QRadioButton>(&a, "NameTag")->setChecked(true);
        child<QLineEdit>(&a, "HrefLink")->setText(QStringLiteral("top"));
        child<QPushButton>(&a, "CopyTag")->click();
    });
    EXPECT_EQ(text(), QStringLiteral("Go ") + tag + QStringLiteral(" now"));
    EXPECT_EQ(clipboard.text(),
              QStringLiteral("<A HREF=#top>") + tag + QStringLiteral("</A>  <A NAME=top>"));
}

TEST_F(PowerDialogsUi, AnchorFileButtonLinksTheFileFromTheOpenPage) {
    openPage("x");
    ASSERT_TRUE(dir.write(QStringLiteral("docs/a.htm"), "a"));
    chooser.queue(dir.file(QStringLiteral("docs/a.htm")));
    select(0, 0);
    withDialog<TFormAnchor>("PowerAHREF1", [this](TFormAnchor& a) {
        child<QPushButton>(&a, "SelectFile")->click();
        EXPECT_EQ(child<QLineEdit>(&a, "HrefLink")->text(), QStringLiteral("../docs/a.htm"));
        EXPECT_EQ(chooser.requests().back().request.filter.left(11), QStringLiteral("HTML Files|"));
        child<QRadioButton>(&a, "RelativeFile")->setChecked(true);
        child<QLineEdit>(&a, "RelativePath")->setText(QStringLiteral("/pages/"));
        child<QPushButton>(&a, "InsertTag")->click();
    });
    EXPECT_EQ(text(), QStringLiteral("<A HREF=\"/pages/../docs/a.htm\"></A>x"));
    EXPECT_TRUE(form->state().settings().useAnchor);
    EXPECT_EQ(form->state().defaultIni().readString("Path", "AnchorPath", ""), "/pages/");
}

TEST_F(PowerDialogsUi, DoubleClickOnAFilesTabGifOpensTheImageDialogOnIt) {
    openPage("<P>\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("site/img/Logo.GIF"), imageBytes(30, 20, "PNG")));
    ASSERT_TRUE(dir.write(QStringLiteral("site/img/bad.gif"), "not a picture"));
    select(3, 0);
    auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("LeftTabs"));
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(1); // "Files"
    FilesPane* pane = ProjectUi::of(form->registry())->filesPane();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("site/img")));
    QListWidget* files = pane->fileList();
    const auto item = [files](const QString& name) {
        const auto found = files->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    };
    ASSERT_NE(item("Logo.GIF"), nullptr) << pane->typeBox()->currentText().toStdString();

    files->setCurrentItem(item("Logo.GIF"));
    withDialog<TFormImageView>("PowerIMG1", [](TFormImageView&) {}); // opened and closed by hand
    bool seen = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* image = qobject_cast<TFormImageView*>(QApplication::activeModalWidget());
        ASSERT_NE(image, nullptr);
        seen = true;
        EXPECT_EQ(child<QLabel>(image, "DimLine")->text(),
                  QStringLiteral("File Dim: 30 X 20 pixels"));
        EXPECT_TRUE(child<QLabel>(image, "SizeLine")->text().startsWith("File Size: "));
        // The path as on disk: upper-cased it would name no file here.
        EXPECT_EQ(child<QLabel>(image, "PathLine")->text().remove(QChar(0x200B)),
                  dir.file(QStringLiteral("site/img/Logo.GIF")));
        EXPECT_EQ(child<QLineEdit>(image, "Source")->text(), QStringLiteral("img/Logo.GIF"));
        child<QLineEdit>(image, "AltText")->setText(QStringLiteral("Our \"logo\""));
        child<QPushButton>(image, "InsertTag")->click();
    });
    emit files->itemDoubleClicked(item("Logo.GIF"));
    ASSERT_TRUE(seen);
    const QString tag =
        QStringLiteral("<IMG BORDER=0 HEIGHT=20 WIDTH=30 ALT=\"Our &quot;logo&quot;\" "
                       "SRC=\"img/Logo.GIF\">");
    EXPECT_EQ(text(), QStringLiteral("<P>") + tag + QStringLiteral("\r\n"));
    EXPECT_EQ(selected(), tag);
    EXPECT_EQ(clipboard.text(), tag);

    // The saved page holds exactly those bytes.
    form->findChild<QAction*>(QStringLiteral("SaveHTMLFile1"))->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("site/page.htm")),
              (QStringLiteral("<P>") + tag + QStringLiteral("\r\n")).toUtf8());

    // A file that is no picture: the message, and the fields as they were; insert without a
    // source: the SOURCE message, and the dialog stays.
    files->setCurrentItem(nullptr);
    prompter.queue(MessageAnswer::Ok, 2);
    withDialog<TFormImageView>("PowerIMG1", [this](TFormImageView& v) {
        v.setFolder(dir.file(QStringLiteral("site/img")));
        EXPECT_FALSE(v.choose(dir.file(QStringLiteral("site/img/bad.gif"))));
        EXPECT_EQ(child<QLineEdit>(&v, "Source")->text(), QString());
        child<QPushButton>(&v, "InsertTag")->click();
        EXPECT_TRUE(v.isVisible());
        child<QPushButton>(&v, "CloseButton")->click();
    });
    EXPECT_EQ(prompter.texts(),
              (QStringList{"Error opening file. File is corrupt or cannot handle this file type.",
                           "You must supply the SOURCE file name."}));
}

TEST_F(PowerDialogsUi, BodyInsertsTheStoredColoursAndRemembersThem) {
    form->editWindow().setText(QStringLiteral("x"));
    select(0, 1);
    withDialog<TFormBody>("PowerBODY1",
                          [](TFormBody& b) { child<QPushButton>(&b, "InsertTag")->click(); });
    const QString body = QStringLiteral(
        "<BODY BGCOLOR=#FFFFFF TEXT=\"#000000\" LINK=#0000FF ALINK=#0000A0 VLINK=#800080>\r\n");
    EXPECT_EQ(text(), body + QStringLiteral("x"));
    EXPECT_EQ(selected(), body);
    EXPECT_EQ(form->state().optionsIni().readString("Colors", "Link", ""), "16711680");
    // The example in the path field is no path of the user's: nothing is remembered, and the
    // image dialog's path field stays empty.
    EXPECT_EQ(form->state().defaultIni().readString("Location", "RelImage", "none"), "");
    EXPECT_EQ(form->state().settings().relImage, QString());
    withDialog<TFormImageView>("PowerIMG1", [](TFormImageView& v) {
        EXPECT_EQ(child<QLineEdit>(&v, "RelativePath")->text(), QString());
    });

    // Close keeps a changed colour; the close box does not.
    withDialog<TFormBody>("PowerBODY1", [](TFormBody& b) {
        b.setColor(TFormBody::Bg, 0x0000FF);
        EXPECT_EQ(child<QPlainTextEdit>(&b, "BodyTagDisplay")->toPlainText().left(22),
                  QStringLiteral("<BODY BGCOLOR=#FF0000 "));
        child<QPushButton>(&b, "CloseButton")->click();
    });
    withDialog<TFormBody>("PowerBODY1", [](TFormBody& b) {
        EXPECT_EQ(b.color(TFormBody::Bg), 0x0000FF);
        b.setColor(TFormBody::Text, 0x00FF00);
        b.close();
    });
    EXPECT_EQ(form->state().optionsIni().readString("Colors", "BG", ""), "255");
    EXPECT_EQ(form->state().optionsIni().readString("Colors", "Text", ""), "0");
    EXPECT_EQ(text(), body + QStringLiteral("x"));
}

TEST_F(PowerDialogsUi, BodyTiledImageShowsThePictureThroughBgtempBmp) {
    ASSERT_TRUE(dir.write(QStringLiteral("pics/tile.gif"), imageBytes(8, 8, "PNG")));
    form->editWindow().setText(QString());
    chooser.queue(dir.file(QStringLiteral("pics/tile.gif")));
    withDialog<TFormBody>("PowerBODY1", [](TFormBody& b) {
        child<QRadioButton>(&b, "UseTiledImage")->setChecked(true);
        child<QPushButton>(&b, "SelectImage")->click();
        EXPECT_EQ(child<QLabel>(&b, "ImageFileName")->text(), QStringLiteral("tile.gif"));
        EXPECT_TRUE(child<QLabel>(&b, "PreviewImage")->isVisible());
        child<QCheckBox>(&b, "UseRelativePath")->setChecked(true);
        child<QLineEdit>(&b, "RelativePath")->setText(QStringLiteral("images/"));
        child<QPushButton>(&b, "CopyTag")->click();
    });
    EXPECT_TRUE(dir.read(QStringLiteral("projects/bgtemp.bmp")).startsWith("BM"));
    EXPECT_EQ(text(), QString()); // copied only
    EXPECT_EQ(clipboard.text(),
              QStringLiteral("<BODY BACKGROUND=\"images/tile.gif\" TEXT=\"#000000\" LINK=#0000FF "
                             "ALINK=#0000A0 VLINK=#800080>\r\n"));
    EXPECT_EQ(form->state().settings().relImage, QStringLiteral("images/"));
}

TEST_F(PowerDialogsUi, ListAndRule) {
    form->editWindow().setText(QStringLiteral("z"));
    select(0, 1);
    withDialog<TFormList>("PowerLIST1", [](TFormList& l) {
        child<QRadioButton>(&l, "Ordered")->setChecked(true);
        child<QSpinBox>(&l, "ListRows")->setValue(12);
        EXPECT_FALSE(child<QLineEdit>(&l, "ListItem10")->isHidden());
        child<QLineEdit>(&l, "ListItem1")->setText(QStringLiteral("one"));
        child<QPushButton>(&l, "MakeList")->click();
    });
    QString list = QStringLiteral("<OL>\r\n    <LI>one\r\n");
    for (int i = 2; i <= 12; ++i)
        list += QStringLiteral("    <LI>\r\n");
    list += QStringLiteral("</OL>\r\n");
    EXPECT_EQ(text(), list + QStringLiteral("z"));

    select(static_cast<int>(list.size()), 1);
    withDialog<TFormHoriz>("HorizontalRule1", [](TFormHoriz& h) {
        child<QRadioButton>(&h, "PixelWidth")->setChecked(true);
        EXPECT_FALSE(child<QSpinBox>(&h, "RulePercent")->isEnabled());
        child<QSpinBox>(&h, "RulePixels")->setValue(1600);
        EXPECT_EQ(h.sampleLine(), QRect(0, 0, 320, 2));
        child<QPushButton>(&h, "OKButton")->click();
    });
    const QString rule = QStringLiteral("<HR ALIGN=\"CENTER\"  SIZE=\"2\"  WIDTH=\"1600\">");
    EXPECT_EQ(text(), list + rule); // the rule replaces the selection
    EXPECT_EQ(selected(), rule);
}

TEST_F(PowerDialogsUi, FramesetWrapsTheCutLinesAndCancelPutsThemBack) {
    form->editWindow().setText(QStringLiteral("<P>a\r\n<P>b\r\nrest"));
    clipboard.setText(QStringLiteral("before"));
    select(0, 12);
    form->state().document().setHtmlModified(false);
    withDialog<TFormFrameSet>("FRAMESETDialog1", [this](TFormFrameSet& f) {
        EXPECT_EQ(text(), QStringLiteral("<P>a\r\n<P>b\r\nrest"));
        EXPECT_EQ(child<QPlainTextEdit>(&f, "IndentedText")->toPlainText(),
                  QStringLiteral("    <P>a\n    <P>b\n"));
        child<QPushButton>(&f, "CancelButton")->click();
    });
    EXPECT_EQ(text(), QStringLiteral("<P>a\r\n<P>b\r\nrest"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("before"));
    EXPECT_FALSE(form->state().document().htmlModified());

    select(0, 12);
    withDialog<TFormFrameSet>("FRAMESETDialog1", [](TFormFrameSet& f) {
        child<QLineEdit>(&f, "FramesetCols")->setText(QStringLiteral("50%,*"));
        child<QPushButton>(&f, "OKButton")->click();
    });
    const QString set =
        QStringLiteral("<FRAMESET COLS=\"50%,*\">\r\n    <P>a\r\n    <P>b\r\n</FRAMESET>\r\n");
    EXPECT_EQ(text(), set + QStringLiteral("rest"));
    EXPECT_EQ(selected(), set);

    select(0, 0);
    withDialog<TFormFrameDialog>("FRAMEDialog1", [](TFormFrameDialog& f) {
        child<QLineEdit>(&f, "FrameName")->setText(QStringLiteral("Index"));
        child<QPushButton>(&f, "OKButton")->click();
    });
    EXPECT_TRUE(text().startsWith(QStringLiteral(
        "<FRAME NAME=\"Index\" SRC=\"\" SCROLLING=\"Auto\"  NORESIZE>\r\n<FRAMESET")));
}

TEST_F(PowerDialogsUi, FrameWizardNamesSlotsAcrossBackAndAChangedSplit) {
    form->editWindow().setText(QString());
    withDialog<Tformframes>("PowerFRAME1", [](Tformframes& f) {
        EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        auto* next = child<QPushButton>(&f, "NextButton");
        auto* back = child<QPushButton>(&f, "BackButton");
        next->click();
        EXPECT_EQ(child<QLabel>(&f, "StepTitle")->text(),
                  QStringLiteral("Frame Builder Step#2:  Create Subframes"));
        next->click();
        EXPECT_EQ(next->text(), QStringLiteral("Finish  >"));
        auto* panel = child<QWidget>(&f, "FrameDataPanel");
        auto* name = panel->findChild<QLineEdit*>(QStringLiteral("FrameName"));
        EXPECT_EQ(name->text(), QStringLiteral("Frame1"));
        // Frame 2 clicked on the picture and named; then back, and frame 2 split in two.
        f.clickPicture(QPoint(16 + 160 + 10, 36 + 10));
        EXPECT_EQ(f.wizard().currentSlot(), 6);
        name->setText(QStringLiteral("Main"));
        back->click();
        child<QSpinBox>(&f, "SubframeDial2")->setValue(2);
        next->click();
        f.clickPicture(QPoint(16 + 160 + 10, 36 + 120 + 10)); // subframe 2B
        EXPECT_EQ(f.wizard().currentSlot(), 7);
        EXPECT_EQ(name->text(), QStringLiteral("Frame2B"));
        f.reject(); // Escape and the close box do nothing
        EXPECT_TRUE(f.isVisible());
        next->click();
    });
    const QString frame = QStringLiteral("\" SRC=\"\" SCROLLING=\"Auto\" NORESIZE>\r\n");
    EXPECT_EQ(text(), QStringLiteral("<FRAMESET ROWS=\"100%\" COLS=\"50%,*\">\r\n"
                                     "    <FRAME NAME=\"Frame1") +
                          frame + QStringLiteral("    <FRAMESET ROWS=\"50%,*\">\r\n") +
                          QStringLiteral("        <FRAME NAME=\"Main") + frame +
                          QStringLiteral("        <FRAME NAME=\"Frame2B") + frame +
                          QStringLiteral("    </FRAMESET>\r\n<NOFRAME>\r\n</NOFRAME>\r\n"
                                         "</FRAMESET>\r\n"));

    withDialog<Tformframes>("PowerFRAME1", [](Tformframes& f) {
        f.chooseDesign(4);
        auto* pink = child<QWidget>(&f, "PinkData");
        pink->findChild<QLineEdit*>(QStringLiteral("FrameSource"))->setText("top.htm");
        child<QPushButton>(&f, "TemplateCancel")->click();
    });
    EXPECT_TRUE(text().startsWith(QStringLiteral("<FRAMESET ROWS")));
}

// Undo ------------------------------------------------------------------------------------------

TEST_F(PowerDialogsUi, ACancelledFramesetLeavesNoStepAndOneUndoTakesBackEachInsertion) {
    const QString page = QStringLiteral("one\r\ntwo\r\nthree");
    form->editWindow().setText(page);
    select(5, 3); // "two"
    withDialog<TFormFrameSet>("FRAMESETDialog1", [](TFormFrameSet& f) {
        child<QPushButton>(&f, "CancelButton")->click();
    });
    EXPECT_EQ(text(), page);
    form->findChild<QAction*>(QStringLiteral("Undo1"))->trigger();
    EXPECT_EQ(text(), page);

    // Each accepted command is one step: one Ctrl+Z gives the page back exactly.
    const auto once = [&](const char* what, const std::function<void()> run) {
        SCOPED_TRACE(what);
        form->editWindow().setText(page);
        select(5, 3);
        run();
        EXPECT_NE(text(), page);
        form->activateWindow();
        form->editor()->setFocus();
        QTest::keyClick(form->editor(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(text(), page);
    };
    once("FRAMESET", [&] {
        withDialog<TFormFrameSet>("FRAMESETDialog1", [](TFormFrameSet& f) {
            child<QPushButton>(&f, "OKButton")->click();
        });
    });
    once("Bold", [&] { form->findChild<QAction*>(QStringLiteral("Bold1"))->trigger(); });
    once("UL", [&] { form->findChild<QAction*>(QStringLiteral("UnorderedList1"))->trigger(); });
    once("quick table", [&] { form->findChild<QAction*>(QStringLiteral("Table2R3C"))->trigger(); });
    once("BODY", [&] {
        withDialog<TFormBody>("PowerBODY1",
                              [](TFormBody& b) { child<QPushButton>(&b, "InsertTag")->click(); });
    });
    once("HR", [&] {
        withDialog<TFormHoriz>("HorizontalRule1",
                               [](TFormHoriz& h) { child<QPushButton>(&h, "OKButton")->click(); });
    });
}

// The image dialog ------------------------------------------------------------------------------

TEST_F(PowerDialogsUi, AFailedClickLeavesEveryFieldOfTheImageDialogAsItWas) {
    openPage("x");
    ASSERT_TRUE(dir.write(QStringLiteral("site/img/a.gif"), imageBytes(123, 45, "PNG")));
    ASSERT_TRUE(dir.write(QStringLiteral("site/img/broken.gif"), "GIF89a, but no picture"));
    prompter.queue(MessageAnswer::Ok);
    select(0, 0);
    withDialog<TFormImageView>("PowerIMG1", [this](TFormImageView& v) {
        v.setFolder(dir.file(QStringLiteral("site/img")));
        auto* files = child<QListWidget>(&v, "ImageFileList");
        const auto click = [files](const char* name) {
            QListWidgetItem* item =
                files->findItems(QLatin1String(name), Qt::MatchExactly).value(0);
            ASSERT_NE(item, nullptr) << name;
            QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                              files->visualItemRect(item).center());
        };
        click("a.gif");
        const auto fields = [&v] {
            QStringList all;
            for (const char* name : {"Source", "ImageWidth", "ImageHeight"})
                all << child<QLineEdit>(&v, name)->text();
            for (const char* name : {"DimLine", "SizeLine", "PathLine"})
                all << child<QLabel>(&v, name)->text();
            all << child<QPlainTextEdit>(&v, "ImageTagDisplay")->toPlainText();
            all << QString::number(child<QLabel>(&v, "ImagePreview")->pixmap().cacheKey());
            return all;
        };
        const QStringList before = fields();
        EXPECT_EQ(before.mid(0, 4), (QStringList{QStringLiteral("img/a.gif"), "123", "45",
                                                 QStringLiteral("Dim: 123 X 45 pixels")}));
        click("broken.gif");
        EXPECT_EQ(fields(), before);
        child<QPushButton>(&v, "InsertTag")->click();
    });
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error opening file. File is corrupt "
                                                           "or cannot handle this file type.")});
    EXPECT_EQ(text(), QStringLiteral("<IMG BORDER=0 HEIGHT=45 WIDTH=123 SRC=\"img/a.gif\">x"));
}

TEST_F(PowerDialogsUi, TheImageDialogOnAFilesTabFileThatIsNoPictureSaysSo) {
    openPage("x");
    ASSERT_TRUE(dir.write(QStringLiteral("site/notes.txt"), "words"));
    auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("LeftTabs"));
    tabs->setCurrentIndex(1);
    FilesPane* pane = ProjectUi::of(form->registry())->filesPane();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("site")));
    pane->typeBox()->setCurrentIndex(0); // all files
    QListWidget* files = pane->fileList();
    const auto found = files->findItems(QStringLiteral("notes.txt"), Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty());
    files->setCurrentItem(found.first());
    prompter.queue(MessageAnswer::Ok);
    withDialog<TFormImageView>("PowerIMG1", [](TFormImageView& v) {
        EXPECT_EQ(child<QLineEdit>(&v, "Source")->text(), QString());
        child<QPushButton>(&v, "CloseButton")->click();
    });
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Error opening file. File is corrupt "
                                                           "or cannot handle this file type.")});
    EXPECT_EQ(text(), QStringLiteral("x"));
}

TEST_F(PowerDialogsUi, TheImageDialogListsTodaysPicturesShowsItsFolderAndRemembersIt) {
    const QString img = dir.file(QStringLiteral("site/img"));
    for (const char* name : {"a.gif", "B.JPG", "c.jpeg", "d.png", "e.webp", "f.svg", "g.txt"})
        ASSERT_TRUE(dir.write(QStringLiteral("site/img/") + QLatin1String(name), "x"));
    ASSERT_TRUE(QDir().mkpath(img + QStringLiteral("/sub")));
    withDialog<TFormImageView>("PowerIMG1", [&](TFormImageView& v) {
        v.setFolder(img);
        auto* files = child<QListWidget>(&v, "ImageFileList");
        QStringList names;
        for (int i = 0; i < files->count(); ++i)
            names << files->item(i)->text();
        EXPECT_EQ(names, (QStringList{"a.gif", "B.JPG", "c.jpeg", "d.png", "e.webp", "f.svg"}));
        // The folder listed shows whole; the drive box names where it starts.
        EXPECT_EQ(child<QLabel>(&v, "FolderLine")->text().remove(QChar(0x200B)), img);
        EXPECT_EQ(child<QComboBox>(&v, "DriveBox")->currentText(),
                  img.startsWith(QDir::homePath() + QLatin1Char('/')) ? QDir::homePath()
                                                                      : QStringLiteral("/"));
        auto* folders = child<QListWidget>(&v, "FolderList");
        EXPECT_FALSE(folders->findItems(QStringLiteral("sub"), Qt::MatchExactly).isEmpty());
        child<QPushButton>(&v, "CloseButton")->click();
    });
    EXPECT_EQ(form->state().settings().imageFolder, img);
    EXPECT_EQ(form->state().defaultIni().readString("Location", "ImageFolder", ""), img);
    withDialog<TFormImageView>("PowerIMG1", [&](TFormImageView& v) {
        EXPECT_EQ(v.folder(), img);
        child<QPushButton>(&v, "CloseButton")->click();
    });
}

// Limits and layout -----------------------------------------------------------------------------

TEST_F(PowerDialogsUi, TableRowsAndColumnsAreBoundedAndTheGridHoldsWhatCanBeTyped) {
    form->editWindow().setText(QString());
    withDialog<TFormTable>("PowerTABLE1", [](TFormTable& t) {
        auto* rows = child<QSpinBox>(&t, "TableRows");
        auto* columns = child<QSpinBox>(&t, "TableColumns");
        ASSERT_EQ(rows->maximum(), 1000);
        ASSERT_EQ(columns->maximum(), 100);
        // Typed as a user would: the field takes no number past its bound.
        rows->setFocus();
        rows->selectAll();
        QTest::keyClicks(rows, QStringLiteral("99999999"));
        EXPECT_LE(rows->value(), 1000);
        rows->setValue(1000);
        columns->setValue(100);
        auto* grid = child<QTableWidget>(&t, "TableGrid");
        EXPECT_EQ(grid->rowCount(), TFormTable::gridRows);
        EXPECT_EQ(grid->columnCount(), TFormTable::gridColumns);
        EXPECT_FALSE(child<QLabel>(&t, "GridNote")->isHidden());
        grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("first")));
        child<QPushButton>(&t, "OKButton")->click();
    });
    const QString table = text();
    EXPECT_EQ(table.count(QStringLiteral("\r\n")), 1 + 1000 * (100 + 2) + 1);
    EXPECT_TRUE(table.startsWith(QStringLiteral("<TABLE >\r\n<TR>\r\n    <TD>first</TD>\r\n"
                                                "    <TD></TD>\r\n")));
    EXPECT_TRUE(table.endsWith(QStringLiteral("    <TD></TD>\r\n</TR>\r\n</TABLE>\r\n")));
}

TEST_F(PowerDialogsUi, EachDialogShowsItsFieldsAndItsTagWholeAtItsDefaultSize) {
    const auto scrolls = [](QPlainTextEdit* display) {
        QApplication::processEvents();
        return display->verticalScrollBar()->maximum() > 0 ||
               display->horizontalScrollBar()->maximum() > 0;
    };
    form->editWindow().setText(QStringLiteral("Home"));
    select(0, 4);
    withDialog<TFormBody>("PowerBODY1", [&](TFormBody& b) {
        EXPECT_LE(b.width(), 1280);
        b.setColor(TFormBody::Bg, 0x123456);
        auto* display = child<QPlainTextEdit>(&b, "BodyTagDisplay");
        EXPECT_EQ(display->toPlainText(), QStringLiteral("<BODY BGCOLOR=#563412 TEXT=\"#000000\" "
                                                         "LINK=#0000FF ALINK=#0000A0 "
                                                         "VLINK=#800080>"));
        EXPECT_FALSE(scrolls(display));
    });
    withDialog<TFormAnchor>("PowerAHREF1", [&](TFormAnchor& a) {
        EXPECT_LE(a.width(), 1280);
        child<QLineEdit>(&a, "HrefLink")
            ->setText(QStringLiteral("http://www.example.com/pages/"
                                     "about/index.html"));
        auto* display = child<QPlainTextEdit>(&a, "AnchorTagDisplay");
        EXPECT_EQ(display->toPlainText(), QStringLiteral("<A HREF=\"http://www.example.com/pages/"
                                                         "about/index.html\">Home</A>"));
        EXPECT_FALSE(scrolls(display));
    });
    withDialog<TFormImageView>("PowerIMG1", [&](TFormImageView& v) {
        EXPECT_LE(v.width(), 1280);
        child<QLineEdit>(&v, "Source")->setText(QStringLiteral("images/photos/holiday.jpg"));
        child<QLineEdit>(&v, "AltText")->setText(QStringLiteral("Our holiday"));
        EXPECT_FALSE(scrolls(child<QPlainTextEdit>(&v, "ImageTagDisplay")));
    });
    withDialog<TFormTable>("PowerTABLE1", [](TFormTable& t) {
        EXPECT_LE(t.width(), 1280);
        // "Cell 1" fits its sample cell, at the largest padding too.
        const int text = t.fontMetrics().horizontalAdvance(QStringLiteral("Cell 1"));
        EXPECT_GE(35 * t.samplerScale(), text + 4);
        child<QSpinBox>(&t, "CellPadding")->setValue(99);
        child<QSpinBox>(&t, "CellSpacing")->setValue(99);
        child<QSpinBox>(&t, "BorderThickness")->setValue(8);
        const QList<QRect> cells = t.samplerCells();
        auto* sampler = child<QWidget>(&t, "EffectSampler");
        EXPECT_LE(qCeil((cells[1].right() + 8 + 6 + 3) * t.samplerScale()), sampler->width());
        EXPECT_LE(qCeil((cells[2].bottom() + 8 + 6 + 3) * t.samplerScale()), sampler->height());
    });
    withDialog<Tformframes>("PowerFRAME1", [](Tformframes& f) {
        EXPECT_LE(f.width(), 1280);
        auto* tabs = child<QTabWidget>(&f, "FrameTabs");
        tabs->setCurrentIndex(1);
        QApplication::processEvents();
        for (const char* colour : {"YellowData", "WhiteData", "PinkData"}) {
            auto* source = child<QWidget>(&f, colour)->findChild<QLineEdit*>("FrameSource");
            EXPECT_GE(source->width(),
                      source->fontMetrics().horizontalAdvance(QStringLiteral("frame1.html")) + 8)
                << colour;
        }
        child<QPushButton>(&f, "TemplateCancel")->click();
    });
}

} // namespace
