// The Files tab's widgets over real folders.
#include "ui/project/FilesPane.h"
#include "project/FilesTab.h"
#include "project/ProjectTestSupport.h"

#include <QComboBox>
#include <QListWidget>

namespace {
QStringList texts(const QListWidget* list) {
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    t.sort();
    return t;
}
} // namespace

TEST_F(ProjectFixture, TheFilesPaneBrowsesFoldersFiltersTypesAndOpensPages) {
    page("a.html", "<p>a</p>\r\n");
    page("b.gif", "GIF89a");
    page("sub/c.htm");
    app.settings().filesLocation = web.path().chopped(1);
    QStringList images;
    FilesTab logic(app, prompter, [&](const QString& p) { images << p; });
    FilesPane pane(logic, QStringLiteral("/home/someone"), app.filesTabFilter());
    EXPECT_EQ(pane.driveBox()->count(), 2);
    EXPECT_EQ(pane.driveBox()->itemText(1), QStringLiteral("/home/someone"));
    ASSERT_EQ(pane.typeBox()->count(), 4);
    EXPECT_EQ(pane.typeBox()->itemText(0), QStringLiteral("All Files"));

    pane.activate();
    EXPECT_EQ(pane.folder(), web.path().chopped(1));
    EXPECT_EQ(texts(pane.folderList()), QStringList({"..", "sub"}));
    EXPECT_EQ(texts(pane.fileList()), QStringList({"a.html", "b.gif"}));
    pane.typeBox()->setCurrentIndex(1); // Image Files
    EXPECT_EQ(texts(pane.fileList()), QStringList({"b.gif"}));
    pane.typeBox()->setCurrentIndex(2); // HTML Files
    EXPECT_EQ(texts(pane.fileList()), QStringList({"a.html"}));

    emit pane.fileList()->itemDoubleClicked(pane.fileList()->item(0));
    EXPECT_EQ(editor.text(), QStringLiteral("<p>a</p>\r\n"));
    EXPECT_EQ(app.settings().filesLocation, web.path().chopped(1));

    QListWidgetItem* subItem = pane.folderList()->findItems("sub", Qt::MatchExactly).value(0);
    ASSERT_NE(subItem, nullptr);
    emit pane.folderList()->itemDoubleClicked(subItem);
    EXPECT_EQ(pane.folder(), web.file("sub"));
    EXPECT_EQ(texts(pane.fileList()), QStringList({"c.htm"}));
}
