// The rooms' lifecycle in the main window: installed in order, told when all are in, told of the
// shutdown and destroyed in reverse, every one while the state still stands; and the window's
// rooms fill every slot of the shell's parts exactly once.
#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "support/MainWindowFixture.h"
#include "ui/Rooms.h"
#include "ui/analysis/AnalysisUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Room.h"
#include "ui/shell/Shell.h"

#include <QPointer>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Stands first or last among the window's own rooms and writes down what it sees.
class ProbeRoom : public Room {
public:
    ProbeRoom(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}
    ~ProbeRoom() override {
        // What a room's destructor may still reach: the state (and its parts), and the rooms
        // installed before it.
        const bool stateStands = !m_state.isNull();
        const bool analysisStands = m_registry && AnalysisUi::of(*m_registry) != nullptr;
        const bool partsFilled = stateStands && m_state->parts().pageAnalysis != nullptr;
        m_log << QStringLiteral("destroy %1: state %2, analysis %3, parts %4")
                     .arg(m_name, yes(stateStands), yes(analysisStands), yes(partsFilled));
    }
    void install(Shell& shell) override {
        m_state = &shell.state;
        m_registry = &shell.registry;
        m_log << QStringLiteral("install ") + m_name;
    }
    void allInstalled(Shell& shell) override {
        // The registry has placed every room's commands by now.
        m_log << QStringLiteral("all in %1: %2 menu")
                     .arg(m_name, yes(shell.registry.menu(MenuId::File) != nullptr));
    }
    void aboutToShutdown() override { m_log << QStringLiteral("shutdown ") + m_name; }

private:
    static QString yes(bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); }

    QString m_name;
    QStringList& m_log;
    QPointer<AppState> m_state;
    QPointer<ActionRegistry> m_registry;
};

} // namespace

class MainWindowRooms : public MainWindowFixture {};

TEST_F(MainWindowRooms, InstalledInOrderAndTakenDownInReverseWhileTheStateStands) {
    QStringList log;
    TForm1::Options options = TForm1::Options::withoutBanner();
    options.rooms = [&log] {
        std::vector<std::unique_ptr<Room>> rooms = windowRooms();
        rooms.insert(rooms.begin(), std::make_unique<ProbeRoom>(QStringLiteral("first"), log));
        rooms.push_back(std::make_unique<ProbeRoom>(QStringLiteral("last"), log));
        return rooms;
    };
    form = std::make_unique<TForm1>(dir.path(), prompter, chooser, clipboard, std::move(options));
    EXPECT_EQ(log, QStringList({"install first", "install last", "all in first: yes menu",
                                "all in last: yes menu"}));
    log.clear();
    form.reset();
    // The last room goes first, while the rooms before it stand; the first goes last, after
    // every other room (the analysis room among them), and the state still stands for both.
    // The parts were let go before any room went.
    EXPECT_EQ(log, QStringList({"shutdown last", "shutdown first",
                                "destroy last: state yes, analysis yes, parts no",
                                "destroy first: state yes, analysis no, parts no"}));
}

TEST_F(MainWindowRooms, EverySlotOfTheShellPartsIsFilledOnce) {
    openWindow();
    const ShellParts& parts = form->state().parts();
    EXPECT_EQ(parts.problems, QStringList());
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

TEST_F(MainWindowRooms, ARoomFillingASlotTheWindowFilledIsReported) {
    // A second room offering page analysis: the first one stays, and the window says so.
    struct SecondAnalysis : Room, PageAnalysisOpener {
        void install(Shell& shell) override {
            shell.state.parts().provide(&ShellParts::pageAnalysis, this, "pageAnalysis");
        }
        void analyzeWebPage(const QString&, const QString&) override {}
    };
    TForm1::Options options = TForm1::Options::withoutBanner();
    options.rooms = [] {
        std::vector<std::unique_ptr<Room>> rooms = windowRooms();
        rooms.push_back(std::make_unique<SecondAnalysis>());
        return rooms;
    };
    form = std::make_unique<TForm1>(dir.path(), prompter, chooser, clipboard, std::move(options));
    const ShellParts& parts = form->state().parts();
    EXPECT_EQ(parts.problems, QStringList({"pageAnalysis is filled twice"}));
    EXPECT_EQ(parts.pageAnalysis, AnalysisUi::of(form->registry()));
}
