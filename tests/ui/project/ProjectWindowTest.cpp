// The project room in the main window: the File-menu and tool-bar commands reaching the outline,
// the window title and the status fields, the recent entries, the page buttons and the Files tab.
#include "platform/Clipboard.h"
#include "project/Project.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/TForm1.h"
#include "ui/project/FilesPane.h"
#include "ui/project/ProjectUi.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class ProjectWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(dir.path(), prompter, chooser, clipboard,
                                        TForm1::Options::withoutBanner());
        form->resize(1024, 768);
        form->show();
        tree = form->findChild<QTreeWidget*>(QStringLiteral("SiteOutline"));
        ASSERT_NE(tree, nullptr);
    }
    QAction* action(const char* id) const { return form->registry().action(QLatin1String(id)); }
    // The outline as shown: each item's title, indented by a tab per level below the top.
    QStringList shown() const {
        QStringList out;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* i, int level) {
            out << QString(level, QLatin1Char('\t')) + i->text(0);
            for (int c = 0; c < i->childCount(); ++c)
                walk(i->child(c), level + 1);
        };
        for (int t = 0; t < tree->topLevelItemCount(); ++t)
            walk(tree->topLevelItem(t), 0);
        return out;
    }
    QPoint centreOf(QTreeWidgetItem* item) const { return tree->visualItemRect(item).center(); }

    TempDir dir;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    MemoryClipboard clipboard;
    std::unique_ptr<TForm1> form;
    QTreeWidget* tree = nullptr;
};

TEST_F(ProjectWindowTest, OpenSelectSaveNewAndReopenFromTheRecentEntry) {
    const QString home = dir.file(QStringLiteral("web/index.html"));
    const QString about = dir.file(QStringLiteral("web/about.html"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/index.html"), "<p>Home</p>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/about.html"), QByteArray(2500, 'x')));
    ASSERT_TRUE(dir.write(QStringLiteral("web/site.out"), "Home\r\n\tAbout us\r\n"));
    ASSERT_TRUE(
        dir.write(QStringLiteral("web/site.fil"), (home + "\r\n" + about + "\r\n").toUtf8()));
    const QString site = dir.file(QStringLiteral("web/site.out"));

    // The tool bar's Save Project waits for a project; the menu's can always save.
    QToolBar* tools = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    EXPECT_TRUE(tools->actions().contains(action("SaveProjectButton1")));
    EXPECT_FALSE(action("SaveProjectButton1")->isEnabled());
    EXPECT_TRUE(action("SaveProject1")->isEnabled());

    chooser.queue(site);
    action("OpenProject1")->trigger();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ostra Quillon Pro:  ") + site);
    EXPECT_EQ(shown(), QStringList({"Home", "\tAbout us"}));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(action("SaveProjectButton1")->isEnabled());

    // A click on a page shows its size and place; a double click opens it.
    QTreeWidgetItem* aboutItem = tree->topLevelItem(0)->child(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(aboutItem));
    EXPECT_EQ(form->statusField(0)->text(), QStringLiteral("File Size: 2KB"));
    EXPECT_EQ(form->statusField(1)->text(), QStringLiteral("Page Location:  ") + about);
    // A double click as the system delivers it: a click, then the double-click press.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree->topLevelItem(0)));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree->topLevelItem(0)));
    EXPECT_EQ(form->editWindow().text(), QStringLiteral("<p>Home</p>\r\n"));
    EXPECT_EQ(form->state().document().currentHtmlFile(), home);

    // Save writes both files back where they were read, never into the projects folder.
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("web/site.out"))));
    action("SaveProject1")->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("web/site.out")), QByteArray("Home\r\n\tAbout us\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("web/site.fil")), (home + "\r\n" + about + "\r\n").toUtf8());
    EXPECT_FALSE(dir.exists(QStringLiteral("projects/site.out")));

    action("NewProject1")->trigger();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ostra Quillon Pro:  "));

    // The File menu's first recent entry is the project opened above.
    EXPECT_EQ(form->recentAction(1)->text(), QStringLiteral("1: ") + site);
    form->recentAction(1)->trigger();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ostra Quillon:  ") + site);
    EXPECT_EQ(shown(), QStringList({"Home", "\tAbout us"}));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ProjectWindowTest, TheCloseCheckSavesThroughTheProjectAndTheButtonsRunItsCommands) {
    ProjectUi* ui = ProjectUi::of(form->registry());
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(form->state().parts().projectSave, &ui->project());
    EXPECT_EQ(form->state().parts().recentProjects, &ui->project());

    auto* group = form->findChild<QGroupBox*>(QStringLiteral("PageButtons"));
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->isEnabled());
    QStringList captions;
    for (QToolButton* b : group->findChildren<QToolButton*>())
        captions << b->text();
    EXPECT_EQ(captions, QStringList({"&Add a Web Page", "Add a Sub-Page", "&Remove from Project",
                                     "Moves Pages Up/Down"}));

    // Remove with nothing selected asks nothing and changes nothing; the pop-up is in place.
    group->findChild<QToolButton*>(QStringLiteral("RemovePagefromProject1Button"))->click();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(form->registry().problems().isEmpty())
        << form->registry().problems().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ProjectWindowTest, TheFilesTabIsFilledWhenFirstShown) {
    EXPECT_EQ(form->findChild<FilesPane*>(), nullptr);
    form->leftTabs()->setCurrentIndex(1);
    auto* pane = form->findChild<FilesPane*>();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisible());
    EXPECT_EQ(pane->parentWidget()->objectName(), QStringLiteral("FilesArea"));
    EXPECT_FALSE(pane->folder().isEmpty());
    form->leftTabs()->setCurrentIndex(0);
    form->leftTabs()->setCurrentIndex(1);
    EXPECT_EQ(form->findChildren<FilesPane*>().size(), 1);
}

} // namespace
