// The project commands through the scripted prompter, chooser and dialogs, over real files.
#include "ProjectTestSupport.h"
#include "platform/IniFile.h"
#include "project/ChangeFilePath.h"

#include <QDir>

TEST_F(ProjectFixture, ANewProjectSavedUnderATypedNameReopensFromTheFirstRecentEntry) {
    const QString home = page("index.html");
    const QString about = page("about.html");
    const QString team = page("team.html");
    QStringList enabled;
    QObject::connect(&project, &Project::saveProjectEnabledChanged,
                     [&](bool on) { enabled << (on ? "on" : "off"); });

    project.newProject();
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  "));
    EXPECT_FALSE(project.saveProjectEnabled());
    pageDialog.queue("Home page", home);
    project.addPage();
    project.setSelectedItem(1);
    pageDialog.queue("About us", about);
    project.addSubPage();
    EXPECT_EQ(project.selectedItem(), 1);
    project.setSelectedItem(2);
    pageDialog.queue("Team", team);
    project.addSubPage();
    EXPECT_TRUE(state().projectModified);
    EXPECT_EQ(enabled, QStringList({"on"}));
    EXPECT_EQ(app.settings().lastHtmlDirectory, web.path());
    EXPECT_EQ(IniFile(dir.file("DEFAULT.INI")).readString("Start", "Location", "x"), web.path());

    // The dialog is asked for a name in the projects folder; the typed name gets ".out".
    chooser.queue(dir.file("projects/mysite"));
    EXPECT_TRUE(project.saveProjectFiles());
    const FileDialogRequest& r = chooser.requests().back().request;
    EXPECT_EQ(r.title, QStringLiteral("Save Project As.."));
    EXPECT_EQ(r.filter, QStringLiteral("Project File|*.out|HTML Files|*.html;*.shtml;*.htm;*.sht;"
                                       "*.asp;*.cgi;|All Files|*.*"));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.defaultExtension, QStringLiteral("out"));
    EXPECT_EQ(r.initialDirectory, dir.file("projects/"));
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(state().projectFileName, QStringLiteral("mysite.out"));
    EXPECT_FALSE(state().projectModified);
    EXPECT_EQ(dir.read("projects/mysite.out"),
              QByteArray("Home page\r\n\tAbout us\r\n\t\tTeam\r\n"));
    EXPECT_EQ(dir.read("projects/mysite.fil"),
              (home + "\r\n" + about + "\r\n" + team + "\r\n").toUtf8());
    const QString saved = dir.file("projects/mysite.out");
    EXPECT_EQ(app.recentProjects().caption(1), QStringLiteral("1: ") + saved);
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  ") + saved);

    project.newProject();
    EXPECT_TRUE(project.outline().isEmpty());
    EXPECT_TRUE(state().projectFileName.isEmpty());
    bool expanded = false;
    QObject::connect(&project, &Project::outlineChanged, [&](bool all) { expanded = all; });
    project.openRecentProject(app.recentProjects().caption(1));
    EXPECT_TRUE(expanded);
    EXPECT_EQ(titles(), QStringList({"Home page", "About us", "Team"}));
    EXPECT_EQ(links(), QStringList({home, about, team}));
    EXPECT_EQ(project.outline().page(3).level, 3);
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon:  ") + saved);
    EXPECT_EQ(state().projectFileName, QStringLiteral("mysite.out"));
    EXPECT_TRUE(prompter.shown().empty());

    // Double-click on the sub-page opens its file in the editor.
    web.write("about.html", "<p>About</p>\r\n");
    project.setSelectedItem(2);
    project.openPage();
    EXPECT_EQ(editor.text(), QStringLiteral("<p>About</p>\r\n"));
    EXPECT_EQ(app.document().currentHtmlFile(), about);
}

TEST_F(ProjectFixture, SaveWritesWhereTheProjectWasReadAndSaveAsWhereTheUserChose) {
    // A five-page project of the same name lies in the projects folder; it is never touched.
    const QByteArray fiveOut = "A\r\nB\r\nC\r\nD\r\nE\r\n";
    const QByteArray fiveFil = "/a\r\n/b\r\n/c\r\n/d\r\n/e\r\n";
    ASSERT_TRUE(dir.write("projects/site.out", fiveOut));
    ASSERT_TRUE(dir.write("projects/site.fil", fiveFil));
    ASSERT_TRUE(web.write("elsewhere/site.out", "Home\r\n"));
    ASSERT_TRUE(web.write("elsewhere/site.fil", "/w/h.html\r\n"));
    const QString elsewhere = web.file("elsewhere/site.out");
    chooser.queue(elsewhere);
    project.openProject();
    const FileDialogRequest& open = chooser.requests().back().request;
    EXPECT_EQ(open.initialDirectory, dir.file("projects/"));
    EXPECT_EQ(open.filter.split('|').at(2 * (open.filterIndex - 1)),
              QStringLiteral("Project Files"));
    EXPECT_TRUE(open.fileName.isEmpty());
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  ") + elsewhere);
    EXPECT_EQ(app.recentProjects().caption(1), QStringLiteral("1: ") + elsewhere);
    EXPECT_EQ(project.projectPath(), elsewhere);
    EXPECT_TRUE(project.saveProjectEnabled());

    pageDialog.queue("About", page("about.html"));
    project.addPage();
    ASSERT_TRUE(project.saveProjectFiles());
    EXPECT_TRUE(chooser.requests().size() == 1u); // Save asks nothing
    EXPECT_EQ(web.read("elsewhere/site.out"), QByteArray("Home\r\nAbout\r\n"));
    EXPECT_EQ(web.read("elsewhere/site.fil"),
              ("/w/h.html\r\n" + web.file("about.html") + "\r\n").toUtf8());
    EXPECT_EQ(dir.read("projects/site.out"), fiveOut);
    EXPECT_EQ(dir.read("projects/site.fil"), fiveFil);

    // Save As starts in the projects folder and writes where the user chose, site2.txt as
    // site2.out; the project is then that file.
    chooser.queue(web.file("chosen/site2.txt"));
    QDir().mkpath(web.file("chosen"));
    project.saveProjectAs();
    const FileDialogRequest& as = chooser.requests().back().request;
    EXPECT_EQ(as.title, QStringLiteral("Save Project As..."));
    EXPECT_EQ(as.initialDirectory, dir.file("projects/"));
    EXPECT_EQ(state().projectFileName, QStringLiteral("site2.out"));
    EXPECT_EQ(web.read("chosen/site2.out"), QByteArray("Home\r\nAbout\r\n"));
    EXPECT_EQ(web.read("chosen/site2.fil"), web.read("elsewhere/site.fil"));
    EXPECT_FALSE(dir.exists("projects/site2.out"));
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  ") + web.file("chosen/site2.out"));
    EXPECT_EQ(app.recentProjects().caption(1),
              QStringLiteral("1: ") + web.file("chosen/site2.out"));

    // The recent entry reopens it there, and Save keeps writing there.
    project.newProject();
    project.openRecentProject(app.recentProjects().caption(1));
    EXPECT_EQ(titles(), QStringList({"Home", "About"}));
    project.setSelectedItem(2);
    pageDialog.queue("About us", web.file("about.html"));
    project.changePageTitle();
    ASSERT_TRUE(project.saveProjectFiles());
    EXPECT_EQ(web.read("chosen/site2.out"), QByteArray("Home\r\nAbout us\r\n"));
    EXPECT_EQ(dir.read("projects/site.out"), fiveOut);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ProjectFixture, ChangeFilePathRewritesTheLinkFileThatWasReadOrLeavesItToSave) {
    ASSERT_TRUE(dir.write("projects/site.fil", "/other/x.html\r\n"));
    ASSERT_TRUE(web.write("some/site/site.out", "Home\r\n\tAbout\r\n"));
    ASSERT_TRUE(web.write("some/site/site.fil", "/old/index.html\r\n/old/about.html\r\n"));
    chooser.queue(web.file("some/site/site.out"));
    project.openProject();

    // An unchanged project: its own link file is rewritten at once.
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(project.changeFilePath("/old/", "/new/"));
    EXPECT_EQ(prompter.texts(), QStringList({changeFilePathDoneText()}));
    EXPECT_EQ(web.read("some/site/site.fil"), QByteArray("/new/index.html\r\n/new/about.html\r\n"));
    EXPECT_EQ(web.read("some/site/site.out"), QByteArray("Home\r\n\tAbout\r\n"));
    EXPECT_EQ(dir.read("projects/site.fil"), QByteArray("/other/x.html\r\n"));
    EXPECT_FALSE(state().projectModified);

    // A changed project (a page removed, not saved): a link file written alone would be a line
    // short of its outline, so the change waits for Save, which writes both.
    confirm.answers.push_back({true, false});
    project.setSelectedItem(2);
    project.removePage();
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(project.changeFilePath("/new/", "/newer/"));
    EXPECT_EQ(web.read("some/site/site.fil"), QByteArray("/new/index.html\r\n/new/about.html\r\n"));
    EXPECT_TRUE(state().projectModified);
    ASSERT_TRUE(project.saveProjectFiles());
    EXPECT_EQ(web.read("some/site/site.out"), QByteArray("Home\r\n"));
    EXPECT_EQ(web.read("some/site/site.fil"), QByteArray("/newer/index.html\r\n"));
    EXPECT_EQ(dir.read("projects/site.fil"), QByteArray("/other/x.html\r\n"));
    EXPECT_FALSE(dir.exists("projects/site.out"));

    // The help project's links are never rewritten.
    ASSERT_TRUE(dir.write("help/welcome.out", "Welcome\r\n"));
    ASSERT_TRUE(dir.write("help/welcome.fil", "welcome.hxp\r\n"));
    ASSERT_TRUE(project.openHelpProject(dir.file("help/welcome.out")));
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(project.changeFilePath("", "/x/"));
    EXPECT_EQ(prompter.texts(), QStringList({Project::helpCannotBeChangedText()}));
    EXPECT_EQ(dir.read("help/welcome.fil"), QByteArray("welcome.hxp\r\n"));
}

TEST_F(ProjectFixture, AProjectIsWrittenWholeOrNotAtAll) {
    // Five pages; the link file then becomes something that cannot be replaced (a folder).
    QStringList files;
    QByteArray out, fil;
    for (const char* t : {"Home page", "Products", "Contact", "Map", "Team"}) {
        files << page(QString::fromLatin1(t).remove(' ') + ".html");
        out += QByteArray(t) + "\r\n";
        fil += files.last().toUtf8() + "\r\n";
    }
    ASSERT_TRUE(dir.write("projects/mysite.out", out));
    ASSERT_TRUE(dir.write("projects/mysite.fil", fil));
    chooser.queue(dir.file("projects/mysite.out"));
    project.openProject();
    ASSERT_EQ(titles().size(), 5);
    ASSERT_TRUE(QFile::remove(dir.file("projects/mysite.fil")));
    ASSERT_TRUE(QDir().mkpath(dir.file("projects/mysite.fil")));

    project.setSelectedItem(2);
    confirm.answers.push_back({true, false});
    project.removePage();
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(project.saveProjectFiles());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(
        prompter.texts()[0].startsWith(QStringLiteral("Cannot write the project file \"%1\": ")
                                           .arg(dir.file("projects/mysite.fil"))))
        << prompter.texts()[0].toStdString();
    // The outline file is as it was, and no half-written file is left beside it.
    EXPECT_EQ(dir.read("projects/mysite.out"), out);
    EXPECT_EQ(QDir(dir.file("projects"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"mysite.fil", "mysite.out"}));
    EXPECT_TRUE(state().projectModified);

    // Once the link file can be written, both files hold the four pages.
    ASSERT_TRUE(QDir().rmdir(dir.file("projects/mysite.fil")));
    ASSERT_TRUE(project.saveProjectFiles());
    EXPECT_EQ(dir.read("projects/mysite.out"),
              QByteArray("Home page\r\nContact\r\nMap\r\nTeam\r\n"));
    EXPECT_EQ(
        dir.read("projects/mysite.fil"),
        (files[0] + "\r\n" + files[2] + "\r\n" + files[3] + "\r\n" + files[4] + "\r\n").toUtf8());
    EXPECT_EQ(QDir(dir.file("projects"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"mysite.fil", "mysite.out"}));
}

TEST_F(ProjectFixture, LeavingAChangedProjectAsksYesNoCancelAndAsksAgainWhenTheSaveFails) {
    pageDialog.queue("Kept", page("kept.html"));
    project.addPage();
    state().projectFileName = QStringLiteral("kept.out");
    // The projects folder cannot be written: a file stands where it should be.
    ASSERT_TRUE(QDir(dir.file("projects")).removeRecursively());
    ASSERT_TRUE(dir.write("projects", "not a folder"));

    // Yes, the save fails: the error, then the question again; Cancel keeps everything.
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    prompter.queue(MessageAnswer::Cancel);
    project.newProject();
    ASSERT_EQ(prompter.shown().size(), 3u);
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("Save changes to open Project?"));
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(prompter.shown()[1].kind, MessageKind::Error);
    EXPECT_EQ(prompter.shown()[2].text, QStringLiteral("Save changes to open Project?"));
    EXPECT_EQ(titles(), QStringList({"Kept"}));
    EXPECT_TRUE(state().projectModified);
    EXPECT_EQ(state().projectFileName, QStringLiteral("kept.out"));

    // Open Project and a recent entry: Cancel ends the command before the file dialog.
    prompter.clearShown();
    prompter.queue(MessageAnswer::Cancel, 2);
    project.openProject();
    project.openRecentProject(QStringLiteral("1: /p/other.out"));
    EXPECT_TRUE(chooser.requests().empty());
    EXPECT_EQ(prompter.texts(), QStringList({"Save changes to Project \"KEPT.OUT\" ?",
                                             "Save changes to Project \"KEPT.OUT\" ?"}));
    EXPECT_EQ(prompter.shown()[1].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(titles(), QStringList({"Kept"}));

    // No throws the changes away, as asked.
    prompter.queue(MessageAnswer::No);
    project.newProject();
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_FALSE(state().projectModified);
}

TEST_F(ProjectFixture, ARecentProjectThatIsGoneCanBeTakenOffTheList) {
    ASSERT_TRUE(web.write("a.out", "A\r\n"));
    ASSERT_TRUE(web.write("a.fil", "/a\r\n"));
    app.updateRecentProjects(web.file("a.out"));
    app.updateRecentProjects(web.file("gone.out"));
    app.updateRecentProjects(web.file("b.out"));
    ASSERT_EQ(app.recentProjects().caption(2), QStringLiteral("2: ") + web.file("gone.out"));
    int changes = 0;
    QObject::connect(&app, &AppState::recentProjectsChanged, [&] { ++changes; });

    // No keeps the entry.
    prompter.queue(MessageAnswer::No);
    project.openRecentProject(app.recentProjects().caption(2));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(prompter.texts()[0],
              QStringLiteral("Cannot find the project \"%1\".\rPlease locate and open it using "
                             "the File|Open menu item.\r\rIt is no longer there. Remove it from "
                             "the list of recent projects?")
                  .arg(web.file("gone.out").toUpper()));
    EXPECT_EQ(app.recentProjects().path(2), web.file("gone.out"));
    EXPECT_EQ(changes, 0);

    prompter.queue(MessageAnswer::Yes);
    project.openRecentProject(app.recentProjects().caption(2));
    EXPECT_EQ(app.recentProjects().path(1), web.file("b.out"));
    EXPECT_EQ(app.recentProjects().path(2), web.file("a.out"));
    EXPECT_TRUE(app.recentProjects().path(3).isEmpty());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(IniFile(dir.file("OPTIONS.INI")).readString("Recent", "File2", "x"),
              web.file("a.out"));
    EXPECT_EQ(IniFile(dir.file("OPTIONS.INI")).readString("Recent", "File3", "x"), QString());

    // A project whose link file is missing is not gone: only the message, no offer.
    ASSERT_TRUE(web.write("half.out", "A\r\n"));
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    project.openRecentProject(QStringLiteral("1: ") + web.file("half.out"));
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(prompter.texts()[0], Project::cannotFindProjectText(web.file("half.out")));
}

TEST_F(ProjectFixture, SavingNothingStillAsksForANameAndWritesTwoEmptyFiles) {
    chooser.queue(std::nullopt);
    EXPECT_FALSE(project.saveProjectFiles());
    EXPECT_TRUE(state().projectFileName.isEmpty());
    chooser.queue(dir.file("projects/empty.out"));
    EXPECT_TRUE(project.saveProjectFiles());
    EXPECT_TRUE(dir.exists("projects/empty.out"));
    EXPECT_EQ(dir.read("projects/empty.out"), QByteArray());
    EXPECT_EQ(dir.read("projects/empty.fil"), QByteArray());
}

TEST_F(ProjectFixture, ProjectsThatCannotBeOpenedLeaveTheOpenOneAsItWas) {
    pageDialog.queue("Kept", page("kept.html"));
    project.addPage();
    state().projectFileName = QStringLiteral("kept.out");

    // A missing file: the open message, after the save question about the open project.
    prompter.queue(MessageAnswer::No);
    prompter.queue(MessageAnswer::Ok);
    chooser.queue(web.file("gone.out"));
    project.openProject();
    EXPECT_EQ(prompter.texts(),
              QStringList({"Save changes to Project \"KEPT.OUT\" ?",
                           "Error opening this project. Please be sure you selected a valid, "
                           "existing project."}));
    EXPECT_EQ(prompter.shown().front().kind, MessageKind::Confirmation);

    // A level jump: "File load error", and the open project is still there, so no save can
    // write an empty outline over anything.
    ASSERT_TRUE(web.write("bad.out", "A\r\n    B\r\n"));
    ASSERT_TRUE(web.write("bad.fil", "/a\r\n/b\r\n"));
    prompter.clearShown();
    prompter.queue(MessageAnswer::No);
    prompter.queue(MessageAnswer::Ok);
    chooser.queue(web.file("bad.out"));
    project.openProject();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("File load error"));
    EXPECT_EQ(titles(), QStringList({"Kept"}));
    EXPECT_EQ(state().projectFileName, QStringLiteral("kept.out"));
    EXPECT_TRUE(state().projectModified);
    EXPECT_EQ(web.read("bad.out"), QByteArray("A\r\n    B\r\n"));

    // A recent entry whose files are gone.
    prompter.clearShown();
    prompter.queue(MessageAnswer::No, 2);
    project.openRecentProject(QStringLiteral("2: /nowhere/old.out"));
    EXPECT_TRUE(prompter.texts().last().startsWith(
        QStringLiteral("Cannot find the project \"/NOWHERE/OLD.OUT\".\rPlease locate and "
                       "open it using the File|Open menu item.")));
    EXPECT_EQ(titles(), QStringList({"Kept"}));
    project.openRecentProject(QStringLiteral("3: ")); // an empty slot does nothing
}

TEST_F(ProjectFixture, TheHelpProjectCannotBeSavedOrEditedAndOpensItsPagesReadOnly) {
    ASSERT_TRUE(dir.write("help/welcome.out", "Welcome\r\n\tFAQ\r\n"));
    ASSERT_TRUE(dir.write("help/welcome.fil", "welcome.hxp\r\nfaq.HXP\r\n"));
    ASSERT_TRUE(dir.write("help/welcome.hxp", "<p>Hi</p>\r\n"));
    ASSERT_TRUE(project.openHelpProject(dir.file("help/welcome.out")));
    EXPECT_TRUE(state().helpProjectMode);

    prompter.queue(MessageAnswer::Ok, 3);
    project.saveProjectFiles();
    project.saveProjectAs();
    project.setSelectedItem(2);
    project.removePage();
    EXPECT_EQ(prompter.texts(),
              QStringList({"Sorry, this is the HELP file and cannot be changed.",
                           "Sorry, this is the HELP file and cannot be changed.",
                           "Sorry, this is the HELP file and cannot be edited."}));
    EXPECT_EQ(titles(), QStringList({"Welcome", "FAQ"}));
    EXPECT_FALSE(dir.exists("projects/welcome.out"));

    QList<bool> saveCommands;
    QObject::connect(&app.document(), &HtmlDocument::saveCommandsEnabledChanged,
                     [&](bool on) { saveCommands << on; });
    project.setSelectedItem(1);
    project.openPage();
    EXPECT_EQ(app.document().currentHtmlFile(), dir.file("help/welcome.hxp"));
    EXPECT_TRUE(app.document().helpPageMode());
    EXPECT_EQ(saveCommands, QList<bool>({false}));
    EXPECT_EQ(editor.text(), QStringLiteral("<p>Hi</p>\r\n"));

    // ".HXP" is no help page (the test is exact): the bare name is opened, and fails.
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    project.setSelectedItem(2);
    project.openPage();
    EXPECT_EQ(prompter.texts(), QStringList({Project::cannotOpenPageText()}));
    EXPECT_EQ(app.document().currentHtmlFile(), dir.file("help/welcome.hxp"));
    EXPECT_EQ(editor.text(), QStringLiteral("<p>Hi</p>\r\n"));

    // The help command makes the links whole paths (help/ and the name): a page still opens.
    ASSERT_TRUE(dir.write("help/faq.hxp", "<p>FAQ</p>\r\n"));
    ASSERT_TRUE(dir.write("help/welcome.fil", "welcome.hxp\r\nfaq.hxp\r\n"));
    ASSERT_TRUE(project.openHelpProject(dir.file("help/welcome.out")));
    project.resolveRelativeLinks(dir.file("help/"));
    project.setSelectedItem(2);
    project.openPage();
    EXPECT_EQ(app.document().currentHtmlFile(), dir.file("help/faq.hxp"));
    EXPECT_EQ(editor.text(), QStringLiteral("<p>FAQ</p>\r\n"));
    EXPECT_TRUE(app.document().helpPageMode());
}

TEST_F(ProjectFixture, RemovalAsksUntilTheBoxIsTickedAndTakesTheWholeSubTree) {
    const QString a = page("a.html"), b = page("b.html"), c = page("c.html"), d = page("d.html");
    pageDialog.queue("A", a);
    project.addPage();
    project.setSelectedItem(1);
    pageDialog.queue("B", b);
    project.addSubPage();
    project.setSelectedItem(2);
    pageDialog.queue("C", c);
    project.addSubPage();
    pageDialog.queue("D", d);
    project.addPage();
    ASSERT_EQ(titles(), QStringList({"A", "B", "C", "D"}));
    ASSERT_EQ(project.outline().page(3).level, 3);

    // Cancel with the box ticked: nothing removed, but the confirmation is off from now on.
    confirm.answers.push_back({false, true});
    project.setSelectedItem(1);
    project.removePage();
    EXPECT_EQ(titles(), QStringList({"A", "B", "C", "D"}));
    // The question names the page and what goes with it.
    EXPECT_EQ(confirm.which, QStringList({"Page: \"A\", and the 2 pages below it"}));
    EXPECT_EQ(PageDialogModel::removedPagesText("B", 1),
              QStringLiteral("Page: \"B\", and the 1 page below it"));
    EXPECT_EQ(PageDialogModel::removedPagesText("D", 0), QStringLiteral("Page: \"D\""));
    EXPECT_FALSE(app.settings().confirmRemove);
    EXPECT_EQ(IniFile(dir.file("DEFAULT.INI")).readString("Files", "Confirm", "x"), "0");

    state().projectModified = false;
    project.removePage();
    EXPECT_EQ(confirm.asked, 1);
    EXPECT_EQ(titles(), QStringList({"D"}));
    EXPECT_EQ(links(), QStringList({d}));
    EXPECT_TRUE(state().projectModified);
    project.openPage();
    EXPECT_EQ(app.document().currentHtmlFile(), d);
    EXPECT_TRUE(web.exists("a.html"));
}

TEST_F(ProjectFixture, ChangeCommandsFillTheDialogAndDoNothingOnAnEmptyOutline) {
    project.changePageTitle();
    project.changeHtmlLink();
    project.openPage();
    project.removePage();
    EXPECT_TRUE(pageDialog.requests.empty());
    EXPECT_FALSE(state().projectModified);

    const QString a = page("a.html"), b = page("b.html");
    pageDialog.queue("\t  A", a);
    project.addPage();
    EXPECT_EQ(titles(), QStringList({"A"}));
    pageDialog.queue("Renamed", b);
    project.changeHtmlLink();
    const PageDialogRequest& r = pageDialog.requests.back();
    EXPECT_TRUE(r.change);
    EXPECT_TRUE(r.focusPath);
    EXPECT_EQ(r.title, QStringLiteral("A"));
    EXPECT_EQ(r.path, a);
    EXPECT_EQ(titles(), QStringList({"Renamed"}));
    EXPECT_EQ(links(), QStringList({b}));
    pageDialog.queueCancel();
    project.changePageTitle();
    EXPECT_FALSE(pageDialog.requests.back().focusPath);
    EXPECT_EQ(titles(), QStringList({"Renamed"}));

    QStringList status;
    QObject::connect(&project, &Project::fileSizeTextChanged,
                     [&](const QString& t) { status << t; });
    QObject::connect(&project, &Project::pageLocationTextChanged,
                     [&](const QString& t) { status << t; });
    page("b.html", QByteArray(12345, 'x'));
    project.selectPage(1);
    EXPECT_EQ(project.selectedPageFile(), b);
    EXPECT_EQ(status, QStringList({"File Size: 12KB", "Page Location:  " + b}));
}

TEST_F(ProjectFixture, TheMoveDialogRebuildsOnOkAndKeepsTheOutlineWhenTheResultCannotBeRead) {
    const QString a = page("a.html"), b = page("b.html"), c = page("c.html");
    pageDialog.queue("A", a);
    project.addPage();
    pageDialog.queue("B >> &&& x", b);
    project.addPage();
    pageDialog.queue("C", c);
    project.addPage();
    state().projectModified = false;

    // Cancel changes nothing.
    moveDialog.moves = [](MovePages&) { return false; };
    project.movePages();
    EXPECT_FALSE(state().projectModified);

    // OK without a move still marks the project and rebuilds it.
    moveDialog.moves = [](MovePages&) { return true; };
    project.movePages();
    EXPECT_TRUE(state().projectModified);
    EXPECT_EQ(titles(), QStringList({"A", "B >> &&& x", "C"}));
    EXPECT_EQ(dir.read("temp.ttt"), QByteArray("A\r\nB >> &&& x\r\nC\r\n"));

    moveDialog.moves = [this](MovePages& m) {
        m.select(1);
        m.moveDown(prompter);
        m.moveIn(prompter);
        return true;
    };
    project.movePages();
    EXPECT_EQ(titles(), QStringList({"A", "C", "B >> &&& x"}));
    EXPECT_EQ(links(), QStringList({a, c, b}));
    EXPECT_EQ(project.outline().page(3).level, 2);

    // A refused indent changes nothing.
    moveDialog.moves = [this](MovePages& m) {
        m.select(2);
        m.moveIn(prompter);
        return true;
    };
    prompter.queue(MessageAnswer::Ok);
    project.movePages();
    EXPECT_EQ(prompter.texts(), QStringList({MovePages::cannotIndentText()}));
    EXPECT_EQ(project.outline().page(3).level, 2);

    // A scratch outline with a level jump, as a sequence of moves can leave: the outline stays
    // as it was.
    struct Raw : MoveDialog {
        std::function<bool()> f;
        bool run(int) override { return f(); }
    } raw;
    raw.f = [this] { return dir.write("temp.ttt", "A\r\n\t\t\tC\r\nB\r\n"); };
    project.setDialogs(&pageDialog, &confirm, &raw);
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    state().projectModified = false;
    project.movePages();
    EXPECT_EQ(prompter.texts(), QStringList({"File load error"}));
    EXPECT_EQ(titles(), QStringList({"A", "C", "B >> &&& x"}));
    EXPECT_EQ(links(), QStringList({a, c, b}));
    EXPECT_FALSE(state().projectModified);
}

TEST_F(ProjectFixture, MovingDownOverALevelJumpKeepsTheMoveAndStartsOnTheHighlightedPage) {
    // A, B (below A), C (below B), D, E (below D).
    const QStringList files = {page("a.html"), page("b.html"), page("c.html"), page("d.html"),
                               page("e.html")};
    ASSERT_TRUE(web.write("site.out", "A\r\n\tB\r\n\t\tC\r\nD\r\n\tE\r\n"));
    ASSERT_TRUE(web.write("site.fil", (files.join("\r\n") + "\r\n").toUtf8()));
    chooser.queue(web.file("site.out"));
    project.openProject();
    project.setSelectedItem(2);
    moveDialog.moves = [this](MovePages& m) {
        m.moveDown(prompter);
        return true;
    };
    project.movePages();
    EXPECT_EQ(moveDialog.startedOn, std::vector<int>({1}));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(titles(), QStringList({"A", "D", "B", "C", "E"}));
    QList<int> levels;
    for (const ProjectPage& p : project.outline().pages())
        levels << p.level;
    EXPECT_EQ(levels, QList<int>({1, 1, 2, 3, 2}));
    EXPECT_EQ(links(), QStringList({files[0], files[3], files[1], files[2], files[4]}));
    EXPECT_TRUE(state().projectModified);
}

TEST_F(ProjectFixture, AFailedSaveNamesTheFileAndKeepsTheProjectChanged) {
    pageDialog.queue("Home", page("index.html"));
    project.addPage();
    state().projectFileName = QStringLiteral("site.out");
    // A file where the projects folder should be: nothing can be written below it.
    ASSERT_TRUE(QDir(dir.file("projects")).removeRecursively());
    ASSERT_TRUE(dir.write("projects", "not a folder"));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(project.saveProjectFiles());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_TRUE(
        prompter.texts()[0].startsWith(QStringLiteral("Cannot write the project file \"%1\": ")
                                           .arg(dir.file("projects/site.out"))))
        << prompter.texts()[0].toStdString();
    EXPECT_TRUE(state().projectModified);
    EXPECT_EQ(dir.read("projects"), QByteArray("not a folder"));
}
