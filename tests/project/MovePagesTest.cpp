// The move dialog's list: every move of the examples, the refusals, the shown text and OK.
#include "project/MovePages.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
// "Title/level" per line.
QStringList shape(const MovePages& m) {
    QStringList d;
    for (const ProjectPage& p : m.lines())
        d << QStringLiteral("%1/%2").arg(p.title).arg(p.level);
    return d;
}

// Pages from "A/1" entries; each page's link is "/" + its title, so a test sees links travel.
MovePages listOf(const QStringList& entries) {
    std::vector<ProjectPage> pages;
    for (const QString& s : entries) {
        const QStringList parts = s.split(QLatin1Char('/'));
        pages.push_back({parts[0], parts[1].toInt(), QLatin1Char('/') + parts[0]});
    }
    return MovePages(std::move(pages));
}

enum class Op { Up, Down, In, Out };
} // namespace

TEST(MovePages, TheExamplesMoveAsTheRulesSay) {
    struct Case {
        const char* name;
        QStringList before;
        int selected;
        Op op;
        QStringList after;
        int selectionAfter;
        QStringList messages;
    };
    const QString onlyChildren = MovePages::onlyChildrenBelowText();
    const QString cannotIndent = MovePages::cannotIndentText();
    const Case cases[] = {
        {"up takes the level of the line above",
         {"A/1", "B/2", "C/1"},
         2,
         Op::Up,
         {"A/1", "C/2", "B/2"},
         1,
         {}},
        {"up on the second top-level line does nothing",
         {"A/1", "B/1", "C/1"},
         1,
         Op::Up,
         {"A/1", "B/1", "C/1"},
         1,
         {}},
        {"up on the second line below the first un-indents it and its pages",
         {"A/1", "B/2", "C/3", "D/1"},
         1,
         Op::Up,
         {"A/1", "B/1", "C/2", "D/1"},
         1,
         {}},
        {"up carries the sub-tree",
         {"A/1", "B/1", "C/1", "C1/2", "D/1"},
         2,
         Op::Up,
         {"A/1", "C/1", "C1/2", "B/1", "D/1"},
         1,
         {}},
        {"down on the first line does nothing",
         {"A/1", "B/1", "C/1"},
         0,
         Op::Down,
         {"A/1", "B/1", "C/1"},
         0,
         {}},
        {"down swaps top-level siblings",
         {"A/1", "B/1", "C/1"},
         1,
         Op::Down,
         {"A/1", "C/1", "B/1"},
         2,
         {}},
        {"down under a page with children",
         {"A/1", "B/2", "C/1", "D/2"},
         1,
         Op::Down,
         {"A/1", "C/1", "B/2", "D/2"},
         2,
         {}},
        {"down un-indents and indents again",
         {"R/1", "A/1", "B/2", "C/1", "D/2"},
         2,
         Op::Down,
         {"R/1", "A/1", "C/1", "B/2", "D/2"},
         3,
         {}},
        {"down on the last line at level 2",
         {"A/1", "B/1", "C/2"},
         2,
         Op::Down,
         {"A/1", "B/1", "C/1"},
         2,
         {}},
        {"down on a sub-tree that ends the list",
         {"A/1", "B/1", "B1/2"},
         1,
         Op::Down,
         {"A/1", "B/1", "B1/2"},
         1,
         {onlyChildren}},
        {"down with a sub-tree to a page with children",
         {"A/1", "B/1", "B1/2", "C/1", "C1/2"},
         1,
         Op::Down,
         {"A/1", "C/1", "B/2", "B1/3", "C1/2"},
         2,
         {}},
        {"down with a sub-tree to a page without children",
         {"A/1", "B/1", "B1/2", "C/1", "D/1"},
         1,
         Op::Down,
         {"A/1", "C/1", "B/1", "B1/2", "D/1"},
         2,
         {}},
        {"in below a deeper line is refused",
         {"A/1", "B/2", "C/1"},
         1,
         Op::In,
         {"A/1", "B/2", "C/1"},
         1,
         {cannotIndent}},
        {"in carries the sub-tree",
         {"A/1", "B/1", "B1/2", "C/1"},
         1,
         Op::In,
         {"A/1", "B/2", "B1/3", "C/1"},
         1,
         {}},
        {"out carries the sub-tree",
         {"A/1", "B/2", "B1/3", "C/1"},
         1,
         Op::Out,
         {"A/1", "B/1", "B1/2", "C/1"},
         1,
         {}},
        {"out at level 1 does nothing", {"A/1", "B/1"}, 1, Op::Out, {"A/1", "B/1"}, 1, {}},
        {"nothing selected", {"A/1", "B/1"}, -1, Op::Down, {"A/1", "B/1"}, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MovePages m = listOf(c.before);
        m.select(c.selected);
        ScriptedPrompter prompter;
        prompter.queue(MessageAnswer::Ok, static_cast<int>(c.messages.size()));
        switch (c.op) {
        case Op::Up:
            m.moveUp();
            break;
        case Op::Down:
            m.moveDown(prompter);
            break;
        case Op::In:
            m.moveIn(prompter);
            break;
        case Op::Out:
            m.moveOut();
            break;
        }
        EXPECT_EQ(shape(m), c.after);
        EXPECT_EQ(m.selection(), c.selectionAfter);
        EXPECT_EQ(prompter.texts(), c.messages);
        for (const ProjectPage& p : m.lines())
            EXPECT_EQ(p.link, QLatin1Char('/') + p.title);
    }
}

TEST(MovePages, ShownLinesAndScratchFilesKeepTitlesWhole) {
    TempDir dir;
    ASSERT_TRUE(dir.write("temp.ttt", "Home\r\n\tA >> B &&& C\r\n"));
    ASSERT_TRUE(dir.write("temp2.ttt", "/w/home.html\r\n/w/a.html\r\n"));
    MovePages m = MovePages::fromScratchFiles(dir.path());
    ASSERT_EQ(m.count(), 2);
    EXPECT_EQ(m.displayText(1), QStringLiteral("    A >> B &&& C>>") +
                                    QString(160, QLatin1Char(' ')) +
                                    QStringLiteral("&&&/w/a.html"));
    m.select(1);
    m.moveOut();
    const MovePages::Written w = m.writeScratchFiles(dir.path());
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(dir.read("temp.ttt"), QByteArray("Home\r\nA >> B &&& C\r\n"));
    EXPECT_EQ(dir.read("temp2.ttt"), QByteArray("/w/home.html\r\n/w/a.html\r\n"));
}
