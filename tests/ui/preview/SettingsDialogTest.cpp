// The settings dialog and the preview pieces in the real main window: opening on a tab from the
// other commands, the bytes Apply writes, the colour captions, the mode letter, the IE tab.
#include "support/MainWindowFixture.h"
#include "ui/preview/PreviewUi.h"
#include "ui/preview/TFormHelpOnTop.h"
#include "ui/preview/TFormOptions.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SettingsWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        preview = PreviewUi::of(form->registry());
        ASSERT_NE(preview, nullptr);
    }
    // Runs the command; while its modal dialog is up, look at it and close it.
    void withDialog(const char* command, const std::function<void(TFormOptions&)>& look) {
        bool seen = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = qobject_cast<TFormOptions*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            look(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        form->registry().action(QLatin1String(command))->trigger();
        EXPECT_TRUE(seen) << command;
    }
    template <class W> static W* child(QWidget& w, const char* name) {
        auto* c = w.findChild<W*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    PreviewUi* preview = nullptr;
};

} // namespace

TEST_F(SettingsWindowTest, CommandsOpenTheDialogOnTheirTabs) {
    withDialog("Settings1", [](TFormOptions& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Settings"));
        EXPECT_EQ(d.tabs()->tabText(d.tabs()->currentIndex()), QStringLiteral("Files"));
    });
    withDialog("TagColorOptions1", [](TFormOptions& d) {
        EXPECT_EQ(d.tabs()->tabText(d.tabs()->currentIndex()), QStringLiteral("Tag Options"));
    });
    prompter.queue(MessageAnswer::Ok);
    withDialog("LaunchImageMapEditor1", [](TFormOptions& d) {
        EXPECT_EQ(d.tabs()->tabText(d.tabs()->currentIndex()), QStringLiteral("Helper Apps"));
    });
    // No browser chosen in the dialog either: the desktop's browser is asked, and this test
    // platform has none.
    prompter.queue(MessageAnswer::Ok, 2);
    withDialog("NetscapePreview1", [](TFormOptions& d) {
        EXPECT_EQ(d.tabs()->tabText(d.tabs()->currentIndex()), QStringLiteral("Web Browsers"));
    });
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Error launching file to Netscape."));
    EXPECT_EQ(form->registry().action("Settings1")->shortcut(), QKeySequence("Ctrl+F3"));
}

TEST_F(SettingsWindowTest, ApplyWritesExactlyTheseBytesAndTheBlueAnchorsComeBack) {
    withDialog("Settings1", [this](TFormOptions& d) {
        d.tabs()->setCurrentIndex(1);
        d.colorList(1)->setCurrentText(QStringLiteral("clBlue"));
        EXPECT_EQ(d.colorCaption(1)->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_EQ(d.colorCaption(0)->palette().color(QPalette::WindowText), QColor(Qt::red));
        child<QPushButton>(d, "ButtonApply")->click();
    });
    EXPECT_EQ(dir.read("OPTIONS.INI"),
              QByteArray("[Backup]\r\nType=1\r\nPromptFreq=5\r\n"
                         "[Colors]\r\nDEFAULT=clRed\r\nHREF=clBlue\r\nIMG=clRed\r\nFONT=clRed\r\n"
                         "TABLE=clRed\r\nLIST=clRed\r\n"
                         "[Location]\r\nHTMLTemp=\r\n"));
    EXPECT_EQ(dir.read("DEFAULT.INI"),
              QByteArray("[TAGS]\r\nSTRONG=0\r\nEM=0\r\nLowerCase=0\r\n"
                         "[HTML]\r\nFTPAUTO=1\r\nFTPFLUSH=1\r\nMSIEControl=1\r\nExt=html\r\n"
                         "[Files]\r\nConfirm=1\r\n"
                         "[Fix]\r\nEditProblem=0\r\n"
                         "[Location]\r\nPreviewOption=temp\r\nImages=\r\n"
                         "[Helpers]\r\nEditor=\r\nImagemap=\r\n"
                         "[Check]\r\nBeforeUpload=1\r\nSizeLimit=100\r\nTidyWarnings=0\r\n"));
    EXPECT_EQ(dir.read("htmlext.dat"), QByteArray("asp\r\nhtm\r\nhtml\r\nshtm\r\nshtml\r\n"));
    EXPECT_EQ(form->state().settings().tagColors[1], QStringLiteral("clBlue"));

    withDialog("TagColorOptions1", [](TFormOptions& d) {
        EXPECT_EQ(d.colorList(1)->currentText(), QStringLiteral("clBlue"));
        EXPECT_EQ(d.colorCaption(1)->palette().color(QPalette::WindowText), QColor(Qt::blue));
    });
}

TEST_F(SettingsWindowTest, ExtensionListSpinBoxBrowsersAndBackupChoiceInTheDialog) {
    const QString browser = dir.file("mybrowser");
    withDialog("Settings1", [&](TFormOptions& d) {
        auto* list = child<QListWidget>(d, "ListBoxHTMLExtensions");
        auto* field = child<QLineEdit>(d, "EditNewExt");
        auto* add = child<QPushButton>(d, "ButtonAddExt");
        prompter.queue(MessageAnswer::Ok);
        add->click();
        EXPECT_EQ(prompter.texts().last(), QStringLiteral("Please enter a valid extension in the "
                                                          "space to the right of the ADD button."));
        field->setText(QStringLiteral(".php"));
        add->click();
        EXPECT_EQ(list->item(3)->text(), QStringLiteral("php"));
        EXPECT_TRUE(field->text().isEmpty());
        for (int i = 0; list->count() < 15; ++i) {
            field->setText(QStringLiteral("x%1").arg(i));
            add->click();
        }
        field->setText(QStringLiteral("one-more"));
        prompter.queue(MessageAnswer::Ok);
        add->click();
        EXPECT_EQ(prompter.texts().last(), QStringLiteral("There are only 15 different extensions "
                                                          "allowed. Please delete one before "
                                                          "adding another."));
        EXPECT_EQ(list->count(), 15);

        auto* spin = child<QSpinBox>(d, "SpinPromptBack");
        EXPECT_EQ(spin->maximum(), 30);
        spin->setValue(20);
        EXPECT_EQ(spin->value(), 15);

        chooser.queue(browser);
        child<QPushButton>(d, "ButtonFindNet")->click();
        EXPECT_EQ(child<QLineEdit>(d, "EditNet")->text(), browser);
        child<QLineEdit>(d, "EditMSIE")->setText(QStringLiteral("/typed/not/stored"));

        child<QWidget>(d, "RadioNoBackup")->setFocus();
        QTest::mouseClick(child<QWidget>(d, "RadioNoBackup"), Qt::LeftButton);
        EXPECT_EQ(form->state().settings().backupType, 0);
    });
    // Cancelled: the browser and the backup choice hold, nothing else was stored.
    EXPECT_EQ(form->state().settings().browser1, browser);
    EXPECT_EQ(dir.read("OPTIONS.INI"),
              QByteArray("[Location]\r\nNetscape=") + browser.toUtf8() + QByteArray("\r\n"));
    EXPECT_EQ(form->state().settings().backupType, 0);
    EXPECT_FALSE(dir.exists("htmlext.dat"));
    EXPECT_EQ(chooser.requests().back().request.filter,
              QStringLiteral("Executable Files|*.exe|All Files|*.*"));
    EXPECT_EQ(chooser.requests().back().request.filterIndex, 2);
}

TEST_F(SettingsWindowTest, TheModeLetterFollowsDoubleClicksAndTheDialog) {
    QLabel* letter = preview->modeLabel();
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ(letter->text(), QStringLiteral("T"));
    EXPECT_TRUE(letter->isVisible());
    QTest::mouseDClick(letter, Qt::LeftButton);
    EXPECT_EQ(letter->text(), QStringLiteral("N"));
    EXPECT_EQ(dir.read("DEFAULT.INI"), QByteArray("[Location]\r\nPreviewOption=nosave\r\n"));
    withDialog("Settings1", [this](TFormOptions& d) {
        QTest::mouseClick(child<QWidget>(d, "RadioAutoSave"), Qt::LeftButton);
        child<QPushButton>(d, "ButtonApply")->click();
    });
    EXPECT_EQ(letter->text(), QStringLiteral("S"));
    // The tabs: "E" active (green) while the editor shows.
    EXPECT_TRUE(preview->editTab()->styleSheet().contains("rgb(0, 255, 0)"));
    EXPECT_TRUE(preview->browserTab()->styleSheet().contains("rgb(128, 128, 128)"));
    EXPECT_EQ(preview->editTab()->toolTip(), QStringLiteral("Show Edit Window"));
}

TEST_F(SettingsWindowTest, HelpOnTopOpensOnceAndPagesThroughTheList) {
    ASSERT_TRUE(
        dir.write("help/welcome.fil", "welcome.hxp\r\nsecond.hxp\r\nthird.hxp\r\nfourth.hxp\r\n"));
    for (const char* name : {"welcome.hxp", "second.hxp", "third.hxp", "fourth.hxp"})
        ASSERT_TRUE(dir.write(QStringLiteral("help/%1").arg(name), QByteArray("page ") + name));
    ASSERT_TRUE(dir.write("help/welcome.out", "Welcome\r\nSecond\r\nThird\r\nFourth\r\n"));
    form->registry().action("WelcometoQuillonPro1")->trigger();
    ASSERT_TRUE(form->state().project().helpProjectMode);
    ASSERT_TRUE(form->state().document().loadDocument(dir.file("help/third.hxp")).ok);

    QAction* entry = form->registry().action("ShowHelpOnTop1");
    EXPECT_EQ(entry->shortcut(), QKeySequence("Ctrl+/"));
    entry->trigger();
    TFormHelpOnTop* top = preview->helpOnTop();
    ASSERT_NE(top, nullptr);
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_TRUE(top->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(top->currentPage(), 2);
    EXPECT_EQ(top->textView()->toPlainText(), QStringLiteral("page third.hxp"));
    EXPECT_TRUE(top->prevButton()->isEnabled());
    EXPECT_TRUE(top->nextButton()->isEnabled());
    top->nextButton()->click();
    EXPECT_FALSE(top->nextButton()->isEnabled());
    top->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(entry->isEnabled());
}

TEST_F(SettingsWindowTest, AChangedDefaultExtensionLeavesTheUntitledPageUntitled) {
    withDialog("Settings1", [this](TFormOptions& d) {
        child<QLineEdit>(d, "EditDefaultExt")->setText(QStringLiteral("htm"));
        child<QPushButton>(d, "ButtonApply")->click();
    });
    ASSERT_EQ(form->state().settings().ext, QStringLiteral("htm"));
    form->editor()->setFocus();
    QTest::keyClicks(form->editor(), QStringLiteral("typed"));
    // Closing asks to save; Yes asks for a name, and a cancelled name writes nothing.
    prompter.queue(MessageAnswer::Yes);
    chooser.queue(std::nullopt);
    EXPECT_FALSE(form->close());
    ASSERT_EQ(chooser.requests().size(), 1u);
    EXPECT_TRUE(chooser.requests()[0].save);
    EXPECT_EQ(chooser.requests()[0].request.title, QStringLiteral("Save HTML File As..."));
    EXPECT_FALSE(dir.exists("new.html"));
    EXPECT_FALSE(dir.exists("new.htm"));
    prompter.queue(MessageAnswer::No);
    EXPECT_TRUE(form->close());
}

TEST_F(SettingsWindowTest, NewHtmlExtensionsShowOnTheFilesTabAtOnce) {
    TempDir site;
    ASSERT_TRUE(site.write("a.php", "<?php ?>"));
    ASSERT_TRUE(site.write("b.html", "<p>b</p>"));
    ASSERT_TRUE(site.write("c.txt", "c"));
    form->state().settings().filesLocation = site.path().chopped(1);
    form->leftTabs()->setCurrentIndex(1);
    auto* types = form->findChild<QComboBox*>(QStringLiteral("TypeFilter"));
    auto* files = form->findChild<QListWidget*>(QStringLiteral("FileList"));
    ASSERT_TRUE(types && files);
    types->setCurrentIndex(2); // HTML Files
    const auto listed = [files] {
        QStringList names;
        for (int i = 0; i < files->count(); ++i)
            names << files->item(i)->text();
        names.sort();
        return names;
    };
    EXPECT_EQ(listed(), QStringList({"b.html"}));

    withDialog("Settings1", [this](TFormOptions& d) {
        child<QLineEdit>(d, "EditNewExt")->setText(QStringLiteral("php"));
        child<QPushButton>(d, "ButtonAddExt")->click();
        child<QPushButton>(d, "ButtonApply")->click();
    });
    EXPECT_EQ(types->currentIndex(), 2);
    EXPECT_EQ(types->currentText(), QStringLiteral("HTML Files"));
    EXPECT_EQ(listed(), QStringList({"a.php", "b.html"}));
    types->setCurrentIndex(0);
    EXPECT_EQ(listed(), QStringList({"a.php", "b.html", "c.txt"}));
}

TEST_F(SettingsWindowTest, ASettingsFileThatIsNotTextIsNamedAtStartAndAgainByApply) {
    form.reset();
    static const char binary[] = "[Format]\r\nWrap=0\r\n\x00\x01";
    const QByteArray bytes(binary, sizeof binary - 1);
    ASSERT_TRUE(dir.write("DEFAULT.INI", bytes));
    prompter.queue(MessageAnswer::Ok);
    openWindow();
    form->show();
    preview = PreviewUi::of(form->registry());
    const QString notText = QStringLiteral("The settings file \"%1\" cannot be read as text. Its "
                                           "settings are ignored and the defaults are used; the "
                                           "file is left as it is.")
                                .arg(dir.file("DEFAULT.INI"));
    EXPECT_EQ(prompter.texts(), QStringList({notText}));

    withDialog("Settings1", [this](TFormOptions& d) {
        child<QCheckBox>(d, "CheckConfirm")->setChecked(false);
        prompter.queue(MessageAnswer::Ok);
        child<QPushButton>(d, "ButtonApply")->click();
    });
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The settings file \"%1\" cannot be read as text, so it was left as "
                             "it is. The new settings take effect until the program closes.")
                  .arg(dir.file("DEFAULT.INI")));
    EXPECT_EQ(dir.read("DEFAULT.INI"), bytes);
    EXPECT_FALSE(form->state().settings().confirmRemove);
    EXPECT_TRUE(dir.read("OPTIONS.INI").startsWith("[Backup]\r\nType=1\r\n"));
}

TEST_F(SettingsWindowTest, TheFilesTabShowsA60CharacterPathAndAll15ExtensionsWithoutScrolling) {
    QStringList fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen << QStringLiteral("ext%1").arg(i, 2, 10, QLatin1Char('0'));
    ASSERT_TRUE(dir.write("htmlext.dat", fifteen.join(QStringLiteral("\r\n")).toUtf8()));
    const QString sixty =
        QStringLiteral("/home/someone/websites/acme-widgets/images/catalogue/2024/x/");
    ASSERT_EQ(sixty.size(), 60);
    withDialog("Settings1", [&](TFormOptions& d) {
        // At its own size, as it opens.
        for (const char* name : {"EditTemplate", "EditImagePath", "EditDefaultFiles"}) {
            auto* field = child<QLineEdit>(d, name);
            field->setText(sixty);
            // The frame and the text margins take a few pixels of the width.
            EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(sixty) + 16) << name;
            EXPECT_TRUE(field->isVisible()) << name;
        }
        auto* list = child<QListWidget>(d, "ListBoxHTMLExtensions");
        ASSERT_EQ(list->count(), 15);
        EXPECT_LE(list->visualItemRect(list->item(14)).bottom(), list->viewport()->height());
        EXPECT_EQ(list->verticalScrollBar()->maximum(), 0);
        EXPECT_LE(d.width(), 1280);
        EXPECT_LE(d.height(), 1000);
    });
}
