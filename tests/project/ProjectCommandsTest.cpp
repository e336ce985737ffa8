// The project commands through the scripted prompter, chooser and dialogs, over real files.
#include "ProjectTestSupport.h"
#include "platform/IniFile.h"

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

TEST_F(ProjectFixture, SavesGoToTheProjectsFolderWhateverFolderTheProjectCameFrom) {
    ASSERT_TRUE(web.write("site.out", "Home\r\n\tA\r\n"));
    ASSERT_TRUE(web.write("site.fil", "/w/h.html\r\n/w/a.html\r\n"));
    chooser.queue(web.file("site.out"));
    project.openProject();
    const FileDialogRequest& open = chooser.requests().back().request;
    EXPECT_EQ(open.initialDirectory, dir.file("projects/"));
    EXPECT_EQ(open.filter.split('|').at(2 * (open.filterIndex - 1)),
              QStringLiteral("Project Files"));
    EXPECT_TRUE(open.fileName.isEmpty());
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  ") + web.file("site.out"));
    EXPECT_EQ(app.recentProjects().caption(1), QStringLiteral("1: ") + web.file("site.out"));
    EXPECT_TRUE(project.saveProjectEnabled());

    ASSERT_TRUE(project.saveProjectFiles());
    EXPECT_EQ(dir.read("projects/site.out"), QByteArray("Home\r\n\tA\r\n"));
    EXPECT_EQ(dir.read("projects/site.fil"), QByteArray("/w/h.html\r\n/w/a.html\r\n"));

    // Save As with site.txt typed into another folder writes site.out and site.fil in projects.
    chooser.queue(web.file("elsewhere/site2.txt"));
    project.saveProjectAs();
    EXPECT_EQ(chooser.requests().back().request.title, QStringLiteral("Save Project As..."));
    EXPECT_EQ(state().projectFileName, QStringLiteral("site2.out"));
    EXPECT_EQ(dir.read("projects/site2.out"), QByteArray("Home\r\n\tA\r\n"));
    EXPECT_EQ(dir.read("projects/site2.fil"), QByteArray("/w/h.html\r\n/w/a.html\r\n"));
    EXPECT_FALSE(QFileInfo::exists(web.file("elsewhere")));
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  ") + dir.file("projects/site2.out"));
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
    prompter.queue(MessageAnswer::No);
    prompter.queue(MessageAnswer::Ok);
    project.openRecentProject(QStringLiteral("2: /nowhere/old.out"));
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("Cannot find the project \"/NOWHERE/OLD.OUT\".\rPlease locate and "
                             "open it using the File|Open menu item."));
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
        bool run() override { return f(); }
    } raw;
    raw.f = [this] { return dir.write("temp.ttt", "A\r\n\t\t\tC\r\nB\r\n"); };
    project.setDialogs(&pageDialog, &confirm, &raw);
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    project.movePages();
    EXPECT_EQ(prompter.texts(), QStringList({"File load error"}));
    EXPECT_EQ(titles(), QStringList({"A", "C", "B >> &&& x"}));
    EXPECT_EQ(links(), QStringList({a, c, b}));
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
