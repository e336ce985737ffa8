// The Files tab's double click and listing, and the page dialog's checks.
#include "project/FilesTab.h"
#include "ProjectTestSupport.h"
#include "platform/IniFile.h"
class FilesTabTest : public ProjectFixture {
protected:
    FilesTabTest() : tab(app, prompter, [this](const QString& p) { images << p; }) {}
    FilesTab tab;
    QStringList images;
};

TEST_F(FilesTabTest, ImagesGoToTheImageCommandAndOnlyExactHtmlExtensionsOpenAtOnce) {
    page("PHOTO.GIF", "GIF89a");
    page("PAGE.HTM", "<p>upper</p>\r\n");
    page("page.htm", "<p>lower</p>\r\n");
    page("README", "plain\r\n");

    tab.doubleClickFile(web.path(), "PHOTO.GIF");
    EXPECT_EQ(images, QStringList({web.file("PHOTO.GIF")}));
    EXPECT_TRUE(prompter.shown().empty());
    // The folder is remembered, without the trailing separator doubled on the join.
    EXPECT_EQ(IniFile(dir.file("DEFAULT.INI")).readString("Files", "Location", "x"), web.path());

    tab.doubleClickFile(web.path(), "page.htm");
    EXPECT_EQ(editor.text(), QStringLiteral("<p>lower</p>\r\n"));
    EXPECT_EQ(app.document().currentHtmlFile(), web.file("page.htm"));
    EXPECT_TRUE(prompter.shown().empty());

    prompter.queue(MessageAnswer::No);
    tab.doubleClickFile(web.path(), "PAGE.HTM");
    EXPECT_EQ(prompter.texts(), QStringList({FilesTab::notHtmlQuestion()}));
    EXPECT_EQ(prompter.shown().back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(editor.text(), QStringLiteral("<p>lower</p>\r\n"));
    prompter.queue(MessageAnswer::Yes);
    tab.doubleClickFile(web.path().chopped(1), "PAGE.HTM");
    EXPECT_EQ(editor.text(), QStringLiteral("<p>upper</p>\r\n"));
    EXPECT_EQ(app.document().currentHtmlFile(), web.file("PAGE.HTM"));

    // A name without a dot gets the question too; a file that is gone the read-error message.
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    tab.doubleClickFile(web.path(), "missing.html");
    prompter.queue(MessageAnswer::Yes);
    tab.doubleClickFile(web.path(), "README");
    EXPECT_EQ(prompter.texts(),
              QStringList({HtmlDocument::cannotOpenLinkedFileText(), FilesTab::notHtmlQuestion()}));
    EXPECT_EQ(editor.text(), QStringLiteral("plain\r\n"));
    EXPECT_FALSE(app.document().helpPageMode());
}

TEST_F(FilesTabTest, ListsMatchingFilesOnceAndStartsWhereTheSettingsSay) {
    page("a.html");
    page("b.htm");
    page("c.txt");
    QDir().mkpath(web.file("sub.html"));
    QStringList listed = FilesTab::listFiles(web.path(), "*.html;*.htm");
    listed.sort();
    EXPECT_EQ(listed, QStringList({"a.html", "b.htm"}));
    EXPECT_EQ(FilesTab::listFiles(web.path(), "*.*").size(), 3);
    EXPECT_EQ(FilesTab::visibleNames({"a", "a", "b", "a"}), QStringList({"a", "b", "a"}));
    EXPECT_EQ(FilesTab::drives("/home/someone"), QStringList({"/", "/home/someone"}));

    EXPECT_EQ(tab.startFolder(), QStringLiteral("/home/someone"));
    app.settings().filesSelected = "/fixed";
    app.settings().filesUseSelected = true;
    EXPECT_EQ(tab.startFolder(), QStringLiteral("/fixed"));

    QStringList status;
    QObject::connect(&tab, &FilesTab::fileSizeTextChanged, [&](const QString& t) { status << t; });
    QObject::connect(&tab, &FilesTab::pageLocationTextChanged,
                     [&](const QString& t) { status << t; });
    page("big.html", QByteArray(2999, 'x'));
    tab.clickFile(web.path(), "big.html");
    tab.clickFile(web.path(), "none.html");
    EXPECT_EQ(status, QStringList({"File Size: 2KB", "Page Location:  "}));
}

TEST_F(FilesTabTest, FilesAndFoldersAreListedAsAFileManagerOrdersThemLatin1NamesToo) {
    for (const char* name : {"page10.html", "Page2.html", "page1.html", "about.HTML", "b.htm",
                             "notes.txt", "Zeta.html", "alpha.html"})
        page(name);
    // A name in Latin-1 bytes, as pages copied from older machines carry.
    ASSERT_TRUE(web.writeNative("na\xefve.html", "<p>na\xefve</p>\r\n" + QByteArray(1200, 'x')));
    for (const char* folder : {"sub10", "Sub2", "sub1", "archive"})
        QDir().mkpath(web.file(folder));

    EXPECT_EQ(FilesTab::listFiles(web.path(), "*.html;*.htm"),
              QStringList({"about.HTML", "alpha.html", "b.htm", QStringLiteral("na\u00efve.html"),
                           "page1.html", "Page2.html", "page10.html", "Zeta.html"}));
    EXPECT_EQ(FilesTab::listFolders(web.path()), QStringList({"archive", "sub1", "Sub2", "sub10"}));
    EXPECT_TRUE(FilesTab::namesInOrder("a", "B"));
    EXPECT_TRUE(FilesTab::namesInOrder("x9", "x10"));
    EXPECT_FALSE(FilesTab::namesInOrder("x10", "x9"));
    EXPECT_TRUE(FilesTab::namesInOrder("ab", "abc"));
    EXPECT_EQ(FilesTab::driveOf("/home/someone/site", "/home/someone"),
              QStringLiteral("/home/someone"));
    EXPECT_EQ(FilesTab::driveOf("/home/someone", "/home/someone/"),
              QStringLiteral("/home/someone/"));
    EXPECT_EQ(FilesTab::driveOf("/home/someoneelse", "/home/someone"), QStringLiteral("/"));
    EXPECT_EQ(FilesTab::driveOf("/var/www", "/home/someone"), QStringLiteral("/"));

    // The Latin-1 page is sized and opened by its bytes.
    QStringList status;
    QObject::connect(&tab, &FilesTab::fileSizeTextChanged, [&](const QString& t) { status << t; });
    tab.clickFile(web.path(), QStringLiteral("na\u00efve.html"));
    EXPECT_EQ(status, QStringList({"File Size: 1KB"}));
    tab.doubleClickFile(web.path(), QStringLiteral("na\u00efve.html"));
    EXPECT_TRUE(editor.text().startsWith(QStringLiteral("<p>na\u00efve</p>\r\n")));
    EXPECT_EQ(app.document().currentHtmlFile(), web.file(QStringLiteral("na\u00efve.html")));
}

TEST_F(FilesTabTest, OpeningAPageFromTheFilesTabLeavesHelpPageMode) {
    // A help page is open (its save commands off, leaving it asks nothing).
    app.document().setHelpPageMode(true);
    QList<bool> saveCommands;
    QObject::connect(&app.document(), &HtmlDocument::saveCommandsEnabledChanged,
                     [&](bool on) { saveCommands << on; });
    page("site.html", "<p>site</p>\r\n");
    tab.doubleClickFile(web.path(), "site.html");
    EXPECT_FALSE(app.document().helpPageMode());
    EXPECT_EQ(saveCommands, QList<bool>({true}));
    // An edit is now the user's: leaving it asks, and Save writes it.
    editor.setText(QStringLiteral("<p>edited</p>\r\n"));
    app.document().editorPressed();
    prompter.queue(MessageAnswer::Cancel);
    tab.doubleClickFile(web.path(), "site.html");
    EXPECT_EQ(prompter.texts(), QStringList({HtmlDocument::askSaveChangesText()}));
    app.document().saveHtmlFile();
    EXPECT_EQ(web.read("site.html"), QByteArray("<p>edited</p>\r\n"));
}

TEST_F(ProjectFixture, ThePageDialogChecksThePathThenTheTitleAndChoosesFiles) {
    PageDialogModel model(prompter, chooser);
    const QString filter = app.pageDialogFilter();
    model.show({}, filter, web.path());
    EXPECT_TRUE(model.title.isEmpty());
    EXPECT_EQ(model.path, web.path());
    EXPECT_EQ(model.focus(), PageDialogModel::Field::Title);

    prompter.queue(MessageAnswer::Ok, 3);
    model.title = "Home";
    EXPECT_FALSE(model.ok()); // a folder is not a page
    EXPECT_EQ(model.focus(), PageDialogModel::Field::Path);
    const QString home = page("index.html");
    model.path = home;
    model.title = " \t ";
    EXPECT_FALSE(model.ok());
    EXPECT_EQ(model.focus(), PageDialogModel::Field::Title);
    model.path = web.file("nothing.html");
    EXPECT_FALSE(model.ok());
    EXPECT_EQ(prompter.texts(),
              QStringList({"HTML file does not exist. Please enter a valid HTML file path.",
                           "You must enter a Title for this Web Page.",
                           "HTML file does not exist. Please enter a valid HTML file path."}));

    // Select/Change File starts in LastHtmlDirectory without a name, or at the named file.
    chooser.queue(home);
    model.selectFile();
    EXPECT_EQ(chooser.requests().back().request.initialDirectory, web.path());
    EXPECT_TRUE(chooser.requests().back().request.fileName.isEmpty());
    EXPECT_EQ(chooser.requests().back().request.filter, filter);
    EXPECT_EQ(model.path, home);
    chooser.queue(std::nullopt);
    model.selectFile();
    EXPECT_EQ(chooser.requests().back().request.initialDirectory, web.path().chopped(1));
    EXPECT_EQ(chooser.requests().back().request.fileName, QStringLiteral("index.html"));
    EXPECT_EQ(model.path, home);

    model.title = "\t Home";
    EXPECT_TRUE(model.ok());
    EXPECT_FALSE(model.result().cancelled);
    EXPECT_EQ(model.result().title, QStringLiteral("Home"));
    EXPECT_EQ(model.result().path, home);

    model.show({true, true, "Old", home}, filter, web.path());
    EXPECT_EQ(model.title, QStringLiteral("Old"));
    EXPECT_EQ(model.path, home);
    EXPECT_EQ(model.focus(), PageDialogModel::Field::Path);
    EXPECT_TRUE(model.selectAllInFocus());
    model.cancel();
    EXPECT_TRUE(model.result().cancelled);
}
