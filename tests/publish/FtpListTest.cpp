// "+FTP", the image-folder dialog's rules and the images of the open page.
#include "publish/FtpList.h"
#include "app/ChangedList.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/IniFile.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using Page = FtpAddSelection::Page;

TEST(FtpList, AddSelectedFileFollowsThePageShownOnTheLeft) {
    ChangedList list;
    ScriptedPrompter prompter;
    prompter.queue(MessageAnswer::Ok, 2);

    FtpList::addSelectedFile(list, prompter, {Page::WebSite, false, {}, {}, {}});
    FtpList::addSelectedFile(list, prompter, {Page::Files, false, {}, QStringLiteral("/site"), {}});
    EXPECT_EQ(prompter.texts(),
              QStringList({"You must click on a file within your project first..",
                           "You must select a file from the file list first (images or HTML "
                           "files OK)."}));
    EXPECT_EQ(list.count(), 0);

    FtpList::addSelectedFile(list, prompter,
                             {Page::WebSite, true, QStringLiteral("/site/index.html"), {}, {}});
    // Twice: the list keeps one.
    FtpList::addSelectedFile(list, prompter,
                             {Page::WebSite, true, QStringLiteral("/site/index.html"), {}, {}});
    // One "/" between folder and name, in the root folder too.
    FtpList::addSelectedFile(
        list, prompter, {Page::Files, false, {}, QStringLiteral("/"), QStringLiteral("a.gif")});
    FtpList::addSelectedFile(
        list, prompter,
        {Page::Files, false, {}, QStringLiteral("/site/img"), QStringLiteral("B.jpg")});
    // Any other page: nothing, and no message.
    FtpList::addSelectedFile(list, prompter,
                             {Page::Other, true, QStringLiteral("/x"), {}, QStringLiteral("y")});
    EXPECT_EQ(list.paths(), QStringList({"/a.gif", "/site/img/B.jpg", "/site/index.html"}));
    EXPECT_EQ(prompter.shown().size(), 2u);
}

TEST(FtpList, ImageFolderDialogRules) {
    EXPECT_EQ(FtpList::folderOfChosenFile(QStringLiteral("/home/u/Site/Img/Logo.gif")),
              QStringLiteral("/home/u/Site/Img/"));
    EXPECT_EQ(FtpList::folderOfChosenFile(QStringLiteral("/logo.gif")), QStringLiteral("/"));

    ScriptedFileChooser chooser;
    chooser.queue(QStringLiteral("/srv/pics/a.gif"));
    chooser.queue(std::nullopt);
    EXPECT_EQ(FtpList::chooseImageFolder(chooser, QStringLiteral("/srv")),
              std::optional<QString>(QStringLiteral("/srv/pics/")));
    EXPECT_EQ(FtpList::chooseImageFolder(chooser, QStringLiteral("/srv")), std::nullopt);
    ASSERT_EQ(chooser.requests().size(), 2u);
    EXPECT_EQ(chooser.requests()[0].request.filter, QStringLiteral("All Files|*"));
    EXPECT_EQ(chooser.requests()[0].request.initialDirectory, QStringLiteral("/srv"));

    ScriptedPrompter prompter;
    prompter.queue(MessageAnswer::Ok);
    EXPECT_EQ(FtpList::acceptImageFolder(QString(), prompter), std::nullopt);
    EXPECT_EQ(prompter.texts(),
              QStringList({"You must select the directory where your images are located, or "
                           "press CANCEL to exit this screen."}));
    EXPECT_EQ(FtpList::acceptImageFolder(QStringLiteral("/srv/pics/"), prompter),
              std::optional<QString>(QStringLiteral("/srv/pics/")));
}

TEST(FtpList, ImagesOfThePageEnterTheListOnceAndTheFolderIsStored) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("img/Logo.GIF"), "gif"));
    ASSERT_TRUE(dir.write(QStringLiteral("img/x.jpg"), "jpg"));
    const QStringList page = {
        QStringLiteral("<IMG SRC=\"images/logo.GIF\"><IMG SRC=\"x.jpg\">"),
        QStringLiteral("<IMG SRC=\"photo.jpeg\"> <IMG SRC=pic.gif> <IMG SRC='single.gif'>"),
        QStringLiteral("<IMG SRC=\"../img/X.JPG\"> <IMG SRC=\"gone.gif\">"),
    };
    EXPECT_EQ(FtpList::imageNamesOfPage(page), QStringList({"gone.gif", "logo.gif", "x.jpg"}));

    // Plain concatenation with the folder; a file differing only in case is the one meant.
    const QString folder = dir.file(QStringLiteral("img/"));
    EXPECT_EQ(FtpList::imagePath(folder, QStringLiteral("logo.gif")), folder + "Logo.GIF");
    EXPECT_EQ(FtpList::imagePath(folder, QStringLiteral("gone.gif")), folder + "gone.gif");
    EXPECT_EQ(FtpList::imagePath(QStringLiteral("c:\\site\\img\\"), QStringLiteral("logo.gif")),
              QStringLiteral("c:\\site\\img\\logo.gif"));

    const SettingsStore store(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                              IniFile(dir.file(QStringLiteral("OPTIONS.INI"))));
    Settings settings;
    ChangedList list;
    list.add(folder + "x.jpg");
    FtpList::addImagesOfPage(list, page, folder, settings, store);
    EXPECT_EQ(list.paths(),
              QStringList({folder + "gone.gif", folder + "Logo.GIF", folder + "x.jpg"}));
    EXPECT_EQ(settings.ftpImages, folder);
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")),
              QByteArray("[Location]\r\nFTPImages=") + folder.toUtf8() + "\r\n");
}
