// Change File Path: the folders of a project and the rewrite of one of them, over real files.
#include "project/ChangeFilePath.h"
#include "ProjectTestSupport.h"

TEST(ChangeFilePathRules, FoldersAreListedOnceInOrderOfFirstAppearance) {
    EXPECT_EQ(projectFolders({"/old/site/a.html", "/other/b.html", "/OLD/Site/c.html", "bare.html",
                              "/old/site/sub/d.html", "/other/e.html"}),
              QStringList({"/old/site/", "/other/", "/old/site/sub/"}));
}

TEST(ChangeFilePathRules, OnlyPagesDirectlyInTheOldFolderMoveAndKeepTheirNames) {
    SiteOutline outline;
    outline.appendPage("A", "/old/site/Index.html");
    outline.appendPage("B", "/Old/Site/About.HTML");
    outline.appendPage("C", "/old/site/sub/deep.html");
    outline.appendPage("D", "/elsewhere/x.html");
    outline.appendPage("E", "");
    EXPECT_EQ(changeFilePath(outline, "/old/site/", "/new/Place"), 2);
    EXPECT_EQ(outline.pageLinkList(),
              QStringList({"/new/Place/Index.html", "/new/Place/About.HTML",
                           "/old/site/sub/deep.html", "/elsewhere/x.html", ""}));
}

TEST_F(ProjectFixture, ChangeFilePathWritesTheLinkFileAndLeavesTheHtmlFilesAlone) {
    const QString a = page("old/a.html");
    const QString b = page("old/b.html");
    const QString c = page("keep/c.html");
    project.newProject();
    pageDialog.queue("A", a);
    project.addPage();
    pageDialog.queue("B", b);
    project.addPage();
    pageDialog.queue("C", c);
    project.addPage();
    chooser.queue(dir.file("projects/site"));
    ASSERT_TRUE(project.saveProjectFiles());
    const QByteArray outlineBefore = dir.read("projects/site.out");

    ASSERT_TRUE(QDir().rename(web.file("old"), web.file("New")));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(project.changeFilePath(web.file("old/"), web.file("New/")));
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("All file references have been updated with the new path data."));
    const QByteArray expected = (web.file("New/a.html") + "\r\n" + web.file("New/b.html") + "\r\n" +
                                 web.file("keep/c.html") + "\r\n")
                                    .toUtf8();
    EXPECT_EQ(dir.read("projects/site.fil"), expected);
    EXPECT_EQ(dir.read("projects/site.out"), outlineBefore);
    EXPECT_EQ(web.read("New/a.html"), QByteArray("<html></html>\r\n"));
}
