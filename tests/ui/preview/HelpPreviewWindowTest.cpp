// The help project and the preview in the real main window: every help page opens from the
// outline and from Help On Top, no preview ever writes a help page or hands one out, and the IE
// tab gives the editor back whenever it has nothing to show.
#include "platform/TextFile.h"
#include "preview/Help.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/preview/PreviewUi.h"
#include "ui/preview/TFormHelpOnTop.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString HelpSource = QStringLiteral(QUILLON_TEST_DIR "/../data/help/");

class HelpWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        // As the program does in main(): the engine refuses to start its sandbox as root.
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("help"))));
        for (const QString& name : QDir(HelpSource).entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(HelpSource + name, dir.file(QStringLiteral("help/") + name)));
        openWindow();
        form->resize(1024, 768);
        form->show();
        preview = PreviewUi::of(form->registry());
        ASSERT_NE(preview, nullptr);
        outline = form->findChild<QTreeWidget*>(QStringLiteral("SiteOutline"));
        ASSERT_NE(outline, nullptr);
    }
    void welcome() {
        form->registry().action(QStringLiteral("WelcometoQuillonPro1"))->trigger();
        ASSERT_TRUE(form->state().project().helpProjectMode);
    }
    QList<QTreeWidgetItem*> items() const {
        QList<QTreeWidgetItem*> all;
        for (QTreeWidgetItemIterator it(outline); *it; ++it)
            all << *it;
        return all;
    }
    void doubleClick(QTreeWidgetItem* item) {
        outline->scrollToItem(item);
        const QPoint at = outline->visualItemRect(item).center();
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(outline->viewport(), Qt::LeftButton, {}, at);
    }
    QString helpText(const QString& name) const {
        return readTextFile(dir.file(QStringLiteral("help/") + name)).text;
    }

    PreviewUi* preview = nullptr;
    QTreeWidget* outline = nullptr;
};

} // namespace

TEST_F(HelpWindowTest, EveryHelpPageOpensFromTheOutlineAndHelpOnTopPagesThroughThemAll) {
    welcome();
    const QList<QTreeWidgetItem*> pages = items();
    const std::optional<QStringList> names = loadHelpPageList(dir.file("help/welcome.fil"));
    ASSERT_TRUE(names.has_value());
    ASSERT_EQ(pages.size(), names->size());
    for (int i = pages.size() - 1; i >= 0; --i) {
        doubleClick(pages[i]);
        EXPECT_EQ(form->state().document().currentHtmlFile(), dir.file("help/" + names->at(i)))
            << names->at(i).toStdString();
        EXPECT_EQ(form->editWindow().text(), helpText(names->at(i))) << names->at(i).toStdString();
        EXPECT_TRUE(form->state().document().helpPageMode());
    }
    EXPECT_TRUE(prompter.shown().empty());

    form->registry().action(QStringLiteral("ShowHelpOnTop1"))->trigger();
    TFormHelpOnTop* top = preview->helpOnTop();
    ASSERT_NE(top, nullptr);
    // Opened on the page the editor shows: the first.
    EXPECT_EQ(top->currentPage(), 0);
    QStringList shown = {top->textView()->toPlainText()};
    while (top->nextButton()->isEnabled()) {
        top->nextButton()->click();
        shown << top->textView()->toPlainText();
    }
    ASSERT_EQ(shown.size(), names->size());
    for (int i = 0; i < shown.size(); ++i) {
        EXPECT_FALSE(shown[i].isEmpty());
        EXPECT_EQ(QString(shown[i]).remove(u'\r'), QString(helpText(names->at(i))).remove(u'\r'))
            << names->at(i).toStdString();
    }
    top->close();
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(HelpWindowTest, APreviewInAnyModeLeavesTheHelpPageAsItIsAndTheBrowserGetsAnHtmlCopy) {
    const QByteArray original = dir.read("help/welcome.hxp");
    // A browser of our own that notes the file it was handed.
    const QString got = dir.file("browser-got");
    ASSERT_TRUE(dir.write(
        "browser.sh", QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(got).toUtf8()));
    ASSERT_TRUE(QFile::setPermissions(dir.file("browser.sh"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    form->state().store().set(form->state().settings(), &Settings::browser1,
                              dir.file("browser.sh"));
    welcome();

    // Typed into the help page, mode S (auto-save) by the letter: T, N, S.
    form->editor()->setFocus();
    QTest::keyClick(form->editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form->editor(), QStringLiteral("typed"));
    QTest::mouseDClick(preview->modeLabel(), Qt::LeftButton);
    QTest::mouseDClick(preview->modeLabel(), Qt::LeftButton);
    ASSERT_EQ(preview->modeLabel()->text(), QStringLiteral("S"));

    form->registry().action(QStringLiteral("NetscapePreview1"))->trigger();
    for (int i = 0; i < 100 && !QFile::exists(got); ++i)
        QTest::qWait(50);
    QTest::qWait(50);
    EXPECT_EQ(dir.read("browser-got"), dir.file("help/$$temp.html").toUtf8());
    EXPECT_TRUE(dir.read("help/$$temp.html").endsWith("typed"));
    EXPECT_EQ(dir.read("help/welcome.hxp"), original);
    EXPECT_FALSE(dir.exists("help/$$temp.htm"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(HelpWindowTest, TheIeTabWithNothingToShowGivesTheEditorBackAndHelpPagesShowAsCopies) {
    ASSERT_TRUE(form->state().hasEmbeddedBrowser());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // A fresh start: nothing to preview. The message, then the editor, which keeps what is typed.
    prompter.queue(MessageAnswer::Ok);
    QTest::mouseClick(preview->browserTab(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), QStringList({"There is no open HTML data to preview."}));
    EXPECT_TRUE(preview->view() == nullptr || !preview->view()->isVisible());
    EXPECT_FALSE(preview->controlPanel()->isVisible());
    EXPECT_TRUE(preview->editTab()->styleSheet().contains("rgb(0, 255, 0)"));
    EXPECT_TRUE(preview->browserTab()->styleSheet().contains("rgb(128, 128, 128)"));
    EXPECT_TRUE(form->editor()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), form->editor());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("kept"));
    EXPECT_EQ(form->editWindow().text(), QStringLiteral("kept"));
    prompter.clearShown();

    // The help: the view is given the copy in help/, never the page itself, also for a page
    // opened from the outline while the view shows.
    prompter.queue(MessageAnswer::No); // do not save "kept"
    welcome();
    QTest::mouseClick(preview->browserTab(), Qt::LeftButton);
    QWebEngineView* view = preview->view();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    const QUrl copy = QUrl::fromLocalFile(dir.file("help/$$temp.html"));
    EXPECT_EQ(view->url(), copy);
    doubleClick(items().at(2));
    EXPECT_EQ(view->url(), copy);
    EXPECT_EQ(readTextFile(dir.file("help/$$temp.html")).text,
              helpText(loadHelpPageList(dir.file("help/welcome.fil"))->at(2)));
    EXPECT_EQ(prompter.texts(), QStringList({"Save changes to open HTML file before closing?"}));
}

TEST_F(HelpWindowTest, AViewWhoseRenderProcessCannotStartIsNotMadeAndTheIeTabSaysSo) {
    // A render process that ends at once, as a broken engine install's would.
    ASSERT_TRUE(dir.write("broken-engine.sh", "#!/bin/sh\nexit 3\n"));
    ASSERT_TRUE(QFile::setPermissions(dir.file("broken-engine.sh"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QByteArray before = qgetenv("QTWEBENGINEPROCESS_PATH");
    qputenv("QTWEBENGINEPROCESS_PATH", QFile::encodeName(dir.file("broken-engine.sh")));
    ASSERT_TRUE(dir.write("page.html", "<p>page</p>\r\n"));
    ASSERT_TRUE(form->state().document().loadDocument(dir.file("page.html")).ok);

    const QString noView = QStringLiteral(
        "You do not appear to have Microsoft Internet Explorer v3.0 (or higher) installed. You "
        "cannot use this MSIE browser preview screen without it. We recommend you download a "
        "free copy at: https://www.quillon.example/");
    prompter.queue(MessageAnswer::Ok, 2);
    QTest::mouseClick(preview->browserTab(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), QStringList({noView}));
    EXPECT_EQ(preview->view(), nullptr);
    EXPECT_TRUE(form->editor()->isVisible());
    EXPECT_TRUE(preview->editTab()->styleSheet().contains("rgb(0, 255, 0)"));
    // Asked again, the answer stands without another try.
    QTest::mouseClick(preview->browserTab(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), QStringList({noView, noView}));
    EXPECT_EQ(preview->view(), nullptr);
    if (before.isNull())
        qunsetenv("QTWEBENGINEPROCESS_PATH");
    else
        qputenv("QTWEBENGINEPROCESS_PATH", before);
}

TEST_F(HelpWindowTest, WhileTheViewShowsAPageFromTheFilesTabFollowsAndAFileThatIsNoPageDoesNot) {
    TempDir site;
    ASSERT_TRUE(site.write("a.html", "<p>a</p>\r\n"));
    ASSERT_TRUE(site.write("b.html", "<p>b</p>\r\n"));
    ASSERT_TRUE(site.write("run.js", "alert(1);\r\n"));
    ASSERT_TRUE(form->state().document().loadDocument(site.file("a.html")).ok);
    QTest::mouseClick(preview->browserTab(), Qt::LeftButton);
    QWebEngineView* view = preview->view();
    ASSERT_NE(view, nullptr);
    const QUrl shown = QUrl::fromLocalFile(site.file("$$temp.htm"));
    ASSERT_EQ(view->url(), shown);

    form->state().settings().filesLocation = site.path().chopped(1);
    form->leftTabs()->setCurrentIndex(1);
    auto* types = form->findChild<QComboBox*>(QStringLiteral("TypeFilter"));
    auto* files = form->findChild<QListWidget*>(QStringLiteral("FileList"));
    ASSERT_TRUE(types && files);
    types->setCurrentIndex(0); // All Files
    const auto open = [files](const QString& name) {
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        files->scrollToItem(found[0]);
        const QPoint at = files->visualItemRect(found[0]).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    };

    // A script, opened after the question: the editor has it, the view keeps the page.
    prompter.queue(MessageAnswer::Yes);
    open(QStringLiteral("run.js"));
    EXPECT_EQ(form->state().document().currentHtmlFile(), site.file("run.js"));
    EXPECT_EQ(form->editWindow().text(), QStringLiteral("alert(1);\r\n"));
    EXPECT_EQ(view->url(), shown);
    EXPECT_EQ(prompter.shown().size(), 1u);

    // A page: the view goes straight to the file itself.
    open(QStringLiteral("b.html"));
    EXPECT_EQ(form->state().document().currentHtmlFile(), site.file("b.html"));
    EXPECT_EQ(view->url(), QUrl::fromLocalFile(site.file("b.html")));
    EXPECT_EQ(prompter.shown().size(), 1u);
}
