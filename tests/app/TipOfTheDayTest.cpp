// The tip of the day: the chance tip it starts with and the stored show-at-start-up choice.
#include "app/TipOfTheDay.h"
#include "app/SettingsTable.h"
#include "app/ShellWindow.h"
#include "app/Tips.h"
#include "platform/RandomSource.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {
struct FixedRandom : RandomSource {
    int value = 0;
    QList<int> bounds;
    int bounded(int bound) override {
        bounds << bound;
        return value;
    }
};

struct FakeWindow : ShellWindow {
    int shown = 0;
    int first = -1;
    bool boxAtStart = false;
    bool boxAtClose = true;
    void closeMainWindow() override {}
    void showAboutBox() override {}
    bool showTipWindow(const QStringList&, const std::function<int()>& drawTip,
                       bool showAtStartUp) override {
        ++shown;
        first = drawTip();
        boxAtStart = showAtStartUp;
        return boxAtClose;
    }
};

struct Tips {
    TempDir dir;
    SettingsStore store{IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                        IniFile(dir.file(QStringLiteral("OPTIONS.INI")))};
    Settings settings = store.load(dir.path(), dir.path());
    FixedRandom random;
    FakeWindow window;
    TipOfTheDay tips{settings, store, random, window};
};
} // namespace

TEST(TipOfTheDay, StartsAtAChanceTipAndKeepsTheChoice) {
    Tips t;
    EXPECT_TRUE(t.tips.showsAtStartUp());
    t.random.value = 2;
    t.window.boxAtClose = false;
    t.tips.show();
    EXPECT_EQ(t.random.bounds, QList<int>({static_cast<int>(tipTexts().size())}));
    EXPECT_EQ(t.window.first, 2);
    EXPECT_TRUE(t.window.boxAtStart);
    EXPECT_FALSE(t.tips.showsAtStartUp());
    EXPECT_EQ(t.dir.read(QStringLiteral("OPTIONS.INI")), QByteArray("[Help]\r\nShowTips=0\r\n"));

    // The next start reads the choice back.
    Tips again;
    ASSERT_TRUE(again.dir.write(QStringLiteral("OPTIONS.INI"), "[Help]\r\nShowTips=0\r\n"));
    again.settings = again.store.load(again.dir.path(), again.dir.path());
    EXPECT_FALSE(again.tips.showsAtStartUp());
}

TEST(TipOfTheDay, APostedTipShowsOnceTheCurrentEventIsDone) {
    Tips t;
    t.tips.post();
    EXPECT_EQ(t.window.shown, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(t.window.shown, 1);
}
