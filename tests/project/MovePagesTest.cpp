// The move dialog's list: every move of the examples, every move of every small outline, the
// refusals, the shown text and OK.
#include "project/MovePages.h"
#include "project/ProjectFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QMap>
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

void apply(MovePages& m, Op op, Prompter& prompter) {
    switch (op) {
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
}
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
        apply(m, c.op, prompter);
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

namespace {
// Every outline of up to n pages that the outline file can hold: the first page at level 1,
// each page at most one level below the page before it.
void everyOutline(int n, std::vector<int>& levels, std::vector<std::vector<int>>& out) {
    if (!levels.empty())
        out.push_back(levels);
    if (static_cast<int>(levels.size()) == n)
        return;
    const int deepest = levels.empty() ? 1 : levels.back() + 1;
    for (int level = 1; level <= deepest; ++level) {
        levels.push_back(level);
        everyOutline(n, levels, out);
        levels.pop_back();
    }
}

// The page above each page (by title), "" for a top-level page.
QMap<QString, QString> parents(const MovePages& m) {
    QMap<QString, QString> up;
    std::vector<QString> open;
    for (const ProjectPage& p : m.lines()) {
        open.resize(static_cast<size_t>(p.level - 1));
        up[p.title] = open.empty() ? QString() : open.back();
        open.push_back(p.title);
    }
    return up;
}
} // namespace

TEST(MovePages, EveryMoveOverEveryLevelJumpLeavesAnOutlineThatReadsBack) {
    // Every outline of up to seven pages, every line selected, every move: the result is always
    // an outline the project file can hold, each page keeps its link, and a page's own pages
    // stay below it. A move that broke the rule would lose every move with "File load error".
    std::vector<std::vector<int>> outlines;
    std::vector<int> levels;
    everyOutline(7, levels, outlines);
    ASSERT_EQ(outlines.size(), 1 + 2 + 5 + 14 + 42 + 132 + 429u);
    int moves = 0;
    for (const std::vector<int>& shapeLevels : outlines) {
        QStringList entries;
        for (size_t i = 0; i < shapeLevels.size(); ++i)
            entries << QStringLiteral("P%1/%2").arg(i).arg(shapeLevels[i]);
        for (int selected = 0; selected < static_cast<int>(entries.size()); ++selected) {
            for (const Op op : {Op::Up, Op::Down, Op::In, Op::Out}) {
                MovePages m = listOf(entries);
                const QMap<QString, QString> before = parents(m);
                m.select(selected);
                ScriptedPrompter prompter;
                prompter.queue(MessageAnswer::Ok);
                apply(m, op, prompter);
                ++moves;
                const QString what = entries.join(QLatin1Char(' ')) +
                                     QStringLiteral(" line %1 op %2").arg(selected).arg(int(op));
                SiteOutline outline;
                outline.assign(m.lines());
                const OutlineParse read = parseOutlineText(outlineFileText(outline));
                ASSERT_TRUE(read.ok) << what.toStdString() << " -> "
                                     << shape(m).join(QLatin1Char(' ')).toStdString();
                ASSERT_EQ(m.count(), static_cast<int>(entries.size()));
                for (const ProjectPage& p : m.lines())
                    ASSERT_EQ(p.link, QLatin1Char('/') + p.title) << what.toStdString();
                // The moved page's own pages are still its own.
                const QMap<QString, QString> after = parents(m);
                for (auto it = before.begin(); it != before.end(); ++it) {
                    if (it.value() == entries[selected].section(QLatin1Char('/'), 0, 0)) {
                        ASSERT_EQ(after.value(it.key()), it.value()) << what.toStdString();
                    }
                }
            }
        }
    }
    EXPECT_GT(moves, 10000);
}

TEST(MovePages, DownOnTheSecondLineOverALevelJumpKeepsItsPagesAndTheOutlineReadable) {
    // A, B (below A), C (below B), D, E (below D): Move Down on B makes B, with C below it, D's
    // first child.
    MovePages m = listOf({"A/1", "B/2", "C/3", "D/1", "E/2"});
    m.select(1);
    ScriptedPrompter prompter;
    m.moveDown(prompter);
    EXPECT_EQ(shape(m), QStringList({"A/1", "D/1", "B/2", "C/3", "E/2"}));
    EXPECT_EQ(m.selection(), 2);
    // B alone below A, then a top-level C: B comes up to C's level and follows it.
    m = listOf({"A/1", "B/2", "C/1"});
    m.select(1);
    m.moveDown(prompter);
    EXPECT_EQ(shape(m), QStringList({"A/1", "C/1", "B/1"}));
}
