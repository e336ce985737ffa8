// Thousands of random page operations and moves: every page keeps its own file and title, the
// outline stays well formed, and what is saved reads back the same.
#include "ProjectTestSupport.h"
#include "project/ProjectFiles.h"

#include <QSet>
#include <random>

namespace {
// Page n is titled "Page n" and linked to "/site/pn.html": the pair tells whether a page still
// has its own file.
QString titleOf(int n) {
    return QStringLiteral("Page %1").arg(n);
}
QString linkOf(int n) {
    return QStringLiteral("/site/p%1.html").arg(n);
}
} // namespace

TEST_F(ProjectFixture, RandomOperationsKeepEveryPageWithItsOwnFileAndTitle) {
    std::mt19937 random(20261208);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    app.settings().confirmRemove = false;
    int next = 0;
    int moves = 0, removes = 0, saves = 0;
    moveDialog.moves = [&](MovePages& m) {
        for (int k = pick(4) + 1; k > 0 && m.count() > 1; --k) {
            m.select(pick(m.count()));
            switch (pick(4)) {
            case 0:
                m.moveUp();
                break;
            case 1:
                m.moveDown(prompter);
                break;
            case 2:
                m.moveIn(prompter);
                break;
            default:
                m.moveOut();
                break;
            }
        }
        return pick(5) != 0; // now and then Cancel
    };
    prompter.onMessage = [&](const QString&) { prompter.queue(MessageAnswer::Ok); };
    prompter.queue(MessageAnswer::Ok);

    for (int step = 0; step < 10000; ++step) {
        const int count = project.outline().count();
        project.setSelectedItem(count ? pick(count) + 1 : 0);
        const int op = count < 5 ? pick(2) : pick(7);
        switch (op) {
        case 0:
            pageDialog.queue(titleOf(next), linkOf(next));
            ++next;
            project.addPage();
            break;
        case 1:
            pageDialog.queue(titleOf(next), linkOf(next));
            ++next;
            project.addSubPage();
            break;
        case 2:
            if (pick(3) == 0) {
                ++removes;
                project.removePage();
            }
            break;
        case 3:
        case 4:
            // A change gives the page a new number in both title and link.
            pageDialog.queue(titleOf(next), linkOf(next));
            ++next;
            op == 3 ? project.changePageTitle() : project.changeHtmlLink();
            break;
        default:
            ++moves;
            project.movePages();
            break;
        }
        if (step % 1000 == 999) {
            ++saves;
            if (state().projectFileName.isEmpty())
                chooser.queue(dir.file("projects/random.out"));
            ASSERT_TRUE(project.saveProjectFiles());
            const ProjectRead back = readProject(dir.file("projects/random.out"));
            ASSERT_TRUE(back.ok()) << back.message.toStdString();
            ASSERT_EQ(back.pages, project.outline().pages());
        }
        if (HasFailure())
            break;
    }
    ASSERT_FALSE(HasFailure());

    const std::vector<ProjectPage>& pages = project.outline().pages();
    QSet<QString> seen;
    int previousLevel = 0;
    for (const ProjectPage& p : pages) {
        const QString n = p.title.mid(5);
        ASSERT_EQ(p.link, QStringLiteral("/site/p%1.html").arg(n)) << p.title.toStdString();
        ASSERT_FALSE(seen.contains(n));
        seen.insert(n);
        ASSERT_GE(p.level, 1);
        ASSERT_LE(p.level, previousLevel + 1);
        previousLevel = p.level;
    }
    // The run did all kinds of work, and the outline is neither empty nor trivial.
    EXPECT_GT(moves, 1000);
    EXPECT_GT(removes, 100);
    EXPECT_EQ(saves, 10);
    EXPECT_GT(pages.size(), 50u);
    EXPECT_TRUE(std::any_of(pages.begin(), pages.end(), [](const auto& p) { return p.level > 2; }));
}
