// The upload queue follows the open project and outlives the run.
#include "ProjectTestSupport.h"
#include "app/ChangedList.h"
#include "platform/TextFile.h"

namespace {

QByteArray fileBytes(const QString& path) {
    const FileBytesResult read = readFileBytes(path);
    return read.ok ? read.bytes : QByteArray("<missing>");
}

// Saves the page through the document's own save, as Save HTML File does.
void editAndSave(AppState& app, const QString& path) {
    app.document().openHtmlFilePath(path);
    app.document().editorPressed();
    app.document().saveHtmlFile();
}

} // namespace

TEST_F(ProjectFixture, EachProjectKeepsItsUploadQueueAcrossARestart) {
    const QString loose = page("loose.html");
    const QString home = page("site/index.html");
    const QString about = page("site/about.html");
    ASSERT_TRUE(web.write("site.out", "Home\r\n\tAbout\r\n"));
    ASSERT_TRUE(web.write("site.fil", (home + "\r\n" + about + "\r\n").toUtf8()));
    const QString site = web.file("site.out");
    const QString noProjectQueue = ChangedList::queueFileFor(dir.path(), {});
    const QString siteQueue = ChangedList::queueFileFor(dir.path(), site);

    // With no project open, a saved page goes to the queue of pages outside any project.
    editAndSave(app, loose);
    EXPECT_EQ(fileBytes(noProjectQueue), (loose + "\r\n").toUtf8());

    // Opening the project shows its own queue; saves go there.
    chooser.queue(site);
    project.openProject();
    EXPECT_EQ(app.changedList().count(), 0);
    editAndSave(app, about);
    editAndSave(app, home);
    editAndSave(app, about);
    const QByteArray siteBytes = (about + "\r\n" + home + "\r\n").toUtf8();
    EXPECT_EQ(fileBytes(siteQueue), siteBytes);
    EXPECT_EQ(fileBytes(noProjectQueue), (loose + "\r\n").toUtf8());

    // The program starts again: the outside queue at once, the project's when it opens,
    // each byte for byte as it was written.
    {
        TextBuffer editor2;
        MemoryClipboard clipboard2;
        editor2.setClipboard(&clipboard2);
        ScriptedPrompter prompter2;
        ScriptedFileChooser chooser2;
        AppState again(dir.path(), QStringLiteral("/home/someone"), editor2, prompter2, chooser2,
                       clipboard2);
        again.startUp();
        EXPECT_EQ(again.changedList().paths(), QStringList({loose}));
        Project reopened(again, prompter2, chooser2);
        chooser2.queue(site);
        reopened.openProject();
        EXPECT_EQ(again.changedList().paths(), QStringList({about, home}));
        EXPECT_EQ(fileBytes(siteQueue), siteBytes);
        EXPECT_EQ(fileBytes(noProjectQueue), (loose + "\r\n").toUtf8());
        EXPECT_FALSE(prompter2.answersLeft());
        EXPECT_TRUE(prompter2.texts().isEmpty()) << prompter2.texts().join('|').toStdString();
    }

    // Saved under a new name, the project takes its queue along; the old one stays for the
    // project file that is still there.
    const QString copy = web.file("copy.out");
    chooser.queue(copy);
    project.saveProjectAs();
    EXPECT_EQ(fileBytes(ChangedList::queueFileFor(dir.path(), copy)), siteBytes);
    EXPECT_EQ(fileBytes(siteQueue), siteBytes);

    // A new project is outside any project again.
    project.newProject();
    EXPECT_EQ(app.changedList().paths(), QStringList({loose}));
}
