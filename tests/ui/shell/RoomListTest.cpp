// The rooms' lifecycle: installed in order, told when all are in, told of the shutdown and
// destroyed in reverse; and the main window's rooms fill every slot of the shell's parts once.
#include "support/MainWindowFixture.h"
#include "ui/shell/Room.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

class RecordingRoom : public Room {
public:
    RecordingRoom(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}
    ~RecordingRoom() override { m_log << QStringLiteral("destroy ") + m_name; }
    void install(Shell&) override { m_log << QStringLiteral("install ") + m_name; }
    void allInstalled(Shell&) override { m_log << QStringLiteral("all in ") + m_name; }
    void aboutToShutdown() override { m_log << QStringLiteral("shutdown ") + m_name; }

private:
    QString m_name;
    QStringList& m_log;
};

} // namespace

class MainWindowRooms : public MainWindowFixture {};

TEST_F(MainWindowRooms, InstalledInOrderAndTakenDownInReverse) {
    openWindow();
    QStringList log;
    {
        std::vector<std::unique_ptr<Room>> rooms;
        for (const char* name : {"app", "project", "publish"})
            rooms.push_back(std::make_unique<RecordingRoom>(QLatin1String(name), log));
        RoomList list(std::move(rooms));
        list.install(form->shell());
        list.allInstalled(form->shell());
        list.aboutToShutdown();
    }
    EXPECT_EQ(log, QStringList({"install app", "install project", "install publish", "all in app",
                                "all in project", "all in publish", "shutdown publish",
                                "shutdown project", "shutdown app", "destroy publish",
                                "destroy project", "destroy app"}));
}

TEST_F(MainWindowRooms, EverySlotOfTheShellPartsIsFilledOnce) {
    openWindow();
    const ShellParts& parts = form->state().parts();
    EXPECT_TRUE(parts.problems.isEmpty()) << parts.problems.join(';').toStdString();
    EXPECT_NE(parts.customTags, nullptr);
    EXPECT_NE(parts.snippets, nullptr);
    EXPECT_NE(parts.projectSave, nullptr);
    EXPECT_NE(parts.backupWindow, nullptr);
    EXPECT_NE(parts.browser, nullptr);
    EXPECT_NE(parts.colouring, nullptr);
    EXPECT_NE(parts.settingsDialog, nullptr);
    EXPECT_NE(parts.recentProjects, nullptr);
    EXPECT_NE(parts.blocks, nullptr);
    EXPECT_NE(parts.pageAnalysis, nullptr);
    EXPECT_NE(parts.projectFiles, nullptr);
    EXPECT_NE(parts.longSteps, nullptr);
    EXPECT_NE(parts.uploadCheck, nullptr);
}
