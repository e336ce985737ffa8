// The outline's tree on the offscreen platform, driven by the pointer.
#include "ui/project/OutlinePane.h"
#include "project/ProjectTestSupport.h"

#include <QMenu>
#include <QTest>
#include <QTreeWidget>

TEST_F(ProjectFixture, TheTreeFollowsTheOutlineAndThePointerSelectsOpensAndPopsUp) {
    QTreeWidget tree;
    tree.resize(300, 300);
    OutlinePane pane(project, tree);
    QMenu popup;
    popup.addAction(QStringLiteral("Open/Edit Web Page"));
    pane.setPopup(&popup);
    tree.show();

    const QString home = page("index.html", "<p>home</p>\r\n");
    const QString sub = page("sub.html", "<p>sub</p>\r\n");
    pageDialog.queue("Home", home);
    project.addPage();
    pageDialog.queue("Sub", sub);
    project.addSubPage();
    pageDialog.queue("Other", home);
    project.addPage();
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    QTreeWidgetItem* homeItem = tree.topLevelItem(0);
    EXPECT_EQ(homeItem->text(0), QStringLiteral("Home"));
    ASSERT_EQ(homeItem->childCount(), 1);
    EXPECT_TRUE(homeItem->isExpanded()); // expanded after the sub-page
    EXPECT_EQ(pane.itemNumber(homeItem->child(0)), 2);
    EXPECT_EQ(pane.itemNumber(tree.topLevelItem(1)), 3);

    pane.collapseAll();
    EXPECT_FALSE(homeItem->isExpanded());
    pane.expandGroup(1);
    EXPECT_TRUE(homeItem->isExpanded());
    pane.collapseGroup(1);
    EXPECT_FALSE(homeItem->isExpanded());
    pane.expandAll();

    // The right button selects and, on release, pops the menu up.
    const QPoint subAt = tree.visualItemRect(homeItem->child(0)).center();
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, subAt);
    EXPECT_EQ(project.selectedItem(), 2);
    QTest::mouseRelease(tree.viewport(), Qt::RightButton, {}, subAt);
    EXPECT_TRUE(popup.isVisible());
    popup.close();

    // A click shows the page in the status fields; a double click opens it.
    QStringList status;
    QObject::connect(&project, &Project::fileSizeTextChanged,
                     [&](const QString& t) { status << t; });
    const QPoint homeAt = tree.visualItemRect(homeItem).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, homeAt);
    EXPECT_EQ(project.selectedItem(), 1);
    EXPECT_EQ(project.selectedPageFile(), home);
    EXPECT_EQ(status, QStringList({"File Size: 0KB"}));
    // A double click as the system delivers it: a click, then the double-click press.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, subAt);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, subAt);
    EXPECT_EQ(editor.text(), QStringLiteral("<p>sub</p>\r\n"));
    EXPECT_EQ(app.document().currentHtmlFile(), sub);
}
