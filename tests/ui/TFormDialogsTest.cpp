// The banner, the About box and the tip window.
#include "app/TipOfTheDay.h"
#include "app/Tips.h"
#include "platform/Clipboard.h"
#include "platform/RandomSource.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "ui/TForm1.h"
#include "ui/TFormBanner.h"
#include "ui/TFormTip.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

TEST(Banner, StartUpBannerClosesByItselfAndTheAboutBoxIsTaller) {
    TFormBanner banner(TFormBanner::Mode::StartUp);
    EXPECT_TRUE(banner.windowFlags().testFlag(Qt::FramelessWindowHint));
    // Returns without anyone pressing OK.
    EXPECT_EQ(banner.exec(), QDialog::Accepted);

    TFormBanner about(TFormBanner::Mode::About);
    QTimer::singleShot(0, &about, [&about] {
        EXPECT_EQ(about.height(), 414);
        EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("ContactBlock"))->isVisible());
        about.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

namespace {
// Draws the given numbers in turn and keeps the bounds asked for.
struct ScriptedRandom : RandomSource {
    QList<int> draws;
    QList<int> bounds;
    int bounded(int bound) override {
        bounds << bound;
        return draws.isEmpty() ? 0 : draws.takeFirst();
    }
};
} // namespace

TEST(TipWindow, EachTipIsDrawnByChanceUnderItsCaptionAndTheChoiceIsStored) {
    TempDir dir;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    MemoryClipboard clipboard;
    ScriptedRandom random;
    random.draws = {3, 17, 17, 0};
    TForm1::Options options = TForm1::Options::withoutBanner();
    options.random = &random;
    TForm1 form(dir.path(), prompter, chooser, clipboard, options);
    EXPECT_TRUE(form.state().settings().showTips);
    const QStringList tips = tipTexts();
    ASSERT_EQ(tips.size(), 29);

    QStringList seen;
    QTimer::singleShot(0, &form, [&seen] {
        auto* tip = qobject_cast<TFormTip*>(QApplication::activeModalWidget());
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(tip->windowTitle(), QStringLiteral("Quillon Pro Tip of the Day"));
        auto* heading = tip->findChild<QLabel*>(QStringLiteral("DidYouKnow"));
        ASSERT_NE(heading, nullptr);
        EXPECT_EQ(heading->text(), QStringLiteral("Did you know..."));
        // Above the tip.
        EXPECT_LT(heading->geometry().bottom(),
                  tip->findChild<QLabel*>(QStringLiteral("TipText"))->geometry().top());
        EXPECT_EQ(tip->findChild<QCheckBox*>()->text(), QStringLiteral(" &Show Tips at Startup"));
        EXPECT_TRUE(tip->showAtStartUp());
        seen << tip->currentTip();
        auto* next = tip->findChild<QPushButton*>(QStringLiteral("NextTip"));
        EXPECT_EQ(next->text(), QStringLiteral("&Next Tip"));
        next->click();
        seen << tip->currentTip();
        next->click(); // the same tip may come again
        seen << tip->currentTip();
        tip->findChild<QCheckBox*>()->setChecked(false);
        tip->findChild<QPushButton*>(QStringLiteral("Ok"))->click();
    });
    form.tips().show();
    EXPECT_EQ(seen, QStringList({tips[3], tips[17], tips[17]}));
    EXPECT_EQ(random.bounds, QList<int>({29, 29, 29}));
    EXPECT_FALSE(form.state().settings().showTips);
    EXPECT_EQ(dir.read(QStringLiteral("OPTIONS.INI")), QByteArray("[Help]\r\nShowTips=0\r\n"));

    // Closing it with the choice as it was writes nothing.
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("OPTIONS.INI"))));
    QTimer::singleShot(0, &form, [&seen] {
        auto* tip = qobject_cast<TFormTip*>(QApplication::activeModalWidget());
        ASSERT_NE(tip, nullptr);
        EXPECT_FALSE(tip->showAtStartUp());
        seen << tip->currentTip();
        tip->findChild<QPushButton*>(QStringLiteral("Ok"))->click();
    });
    form.tips().show();
    EXPECT_EQ(seen.last(), tips[0]);
    EXPECT_FALSE(dir.exists(QStringLiteral("OPTIONS.INI")));
}

TEST(MainWindowState, RecentEntriesHelpPagesAndTheColourSwitch) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("OPTIONS.INI"), "[Recent]\r\nFile2=/p/b.out\r\n"));
    ASSERT_TRUE(
        dir.write(QStringLiteral("DEFAULT.INI"), "[Format]\r\nWrap=0\r\n[Tags]\r\nColored=1\r\n"));
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    MemoryClipboard clipboard;
    TForm1 form(dir.path(), prompter, chooser, clipboard, TForm1::Options::withoutBanner());
    EXPECT_EQ(form.recentAction(1)->text(), QStringLiteral("1: "));
    EXPECT_EQ(form.recentAction(2)->text(), QStringLiteral("2: /p/b.out"));
    EXPECT_FALSE(form.wrapBox()->isChecked());
    EXPECT_TRUE(form.colorBox()->isChecked());

    // A help page cannot be saved from any control: File menu, tool bar, editor pop-up.
    QToolBar* tools = form.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(tools, nullptr);
    const auto saveControls = [&] {
        QList<bool> enabled;
        for (QAction* a : form.fileMenu()->actions())
            if (a->objectName().startsWith(QStringLiteral("SaveHTML")))
                enabled << a->isEnabled();
        enabled << tools->widgetForAction(form.registry().action(QStringLiteral("SaveHTMLFile1")))
                       ->isEnabled();
        for (QAction* a : form.editorPopup()->actions())
            if (a->text().startsWith(QStringLiteral("Save")))
                enabled << a->isEnabled();
        return enabled;
    };
    form.state().document().setHelpPageMode(true);
    EXPECT_EQ(saveControls(), QList<bool>({false, false, false, false, false}));
    form.findChild<QAction*>(QStringLiteral("NewHTMLFile1"))->trigger();
    EXPECT_EQ(saveControls(), QList<bool>({true, true, true, true, true}));

    // Switching colouring off is remembered.
    form.colorBox()->setChecked(false);
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")),
              QByteArray("[Format]\r\nWrap=0\r\n[Tags]\r\nColored=0\r\n"));
}
