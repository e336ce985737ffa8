// The spell checker in the main window: its command in three places, and the check dialog
// driven by its buttons over the real editor.
#include "platform/IniFile.h"
#include "spell/DctWriter.h"
#include "spell/TAddictSpell.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/TForm1.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/spell/SpellCommands.h"
#include "ui/spell/TFormSpellCheck.h"
#include "ui/spell/TFormSpellConfig.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SpellCheckUi : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write(
            "spell/american.dct",
            buildDct({"the", "cat", "sat", "on", "a", "mat", "hello", "world"}, "Test").bytes));
        openWindow();
        form->show();
        QCoreApplication::processEvents(); // the checker is configured after start-up
    }

    // Runs each step, in turn, when the dialog waits for an answer.
    void whenAsked(std::vector<std::function<void(TFormSpellCheck&)>> steps) {
        auto* timer = new QTimer(form.get());
        timer->setInterval(5);
        auto shared =
            std::make_shared<std::vector<std::function<void(TFormSpellCheck&)>>>(std::move(steps));
        QObject::connect(timer, &QTimer::timeout, form.get(), [this, timer, shared] {
            TFormSpellCheck* d = spellCheckDialog(*form);
            if (!d->waiting())
                return;
            if (shared->empty()) {
                ADD_FAILURE() << "unexpected question for "
                              << d->notFoundEdit()->text().toStdString();
                d->button("Cancel")->click();
                return;
            }
            auto step = shared->front();
            shared->erase(shared->begin());
            step(*d);
        });
        timer->start();
    }
};

} // namespace

TEST_F(SpellCheckUi, CommandOnToolBarEditMenuAndEditorPopup) {
    QAction* action = form->registry().action("SpellCheck1");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("Spell Check"));
    EXPECT_EQ(action->toolTip(), QStringLiteral("Check spelling"));
    EXPECT_TRUE(form->findChild<QToolBar*>("ToolBar1")->actions().contains(action));
    QMenu* edit = form->registry().menu("Edit1");
    EXPECT_EQ(edit->actions().last(), action);
    EXPECT_TRUE(edit->actions().at(edit->actions().size() - 2)->isSeparator());
    QMenu* popup = form->registry().menu("EditorPopup");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->actions().last()->text(), QStringLiteral("Spell Check"));
    // Configured at start-up from the program folder.
    const SpellConfig& c = spellChecker(*form)->configuration();
    ASSERT_EQ(c.mainDictionaries.size(), 1);
    EXPECT_TRUE(c.mainDictionaries[0].enabled);
    EXPECT_EQ(c.mainDictionaries[0].description, QStringLiteral("Test"));
}

TEST_F(SpellCheckUi, ChangeWithTheFirstSuggestionThenIgnore) {
    form->editWindow().setText("<p class=\"x\">the catt sat on teh mat</p>\r\n");
    form->editWindow().setSelStart(0);
    QStringList seen;
    prompter.queue(MessageAnswer::Ok); // "Spell Check Complete."
    QList<bool> dialogUpAtMessage;
    prompter.onMessage = [&](const QString&) {
        dialogUpAtMessage << spellCheckDialog(*form)->isVisible();
    };
    whenAsked({[&](TFormSpellCheck& d) {
                   seen << d.notFoundLabel()->text() + d.notFoundEdit()->text() + "|" +
                               d.replaceEdit()->text();
                   ASSERT_GT(d.suggestionList()->count(), 0);
                   EXPECT_EQ(d.suggestionList()->currentRow(), -1);
                   d.suggestionList()->setCurrentRow(0);
                   d.button("C&hange")->click();
               },
               [&](TFormSpellCheck& d) {
                   seen << d.notFoundEdit()->text();
                   EXPECT_TRUE(d.button("Undo &Last")->isEnabled());
                   d.button("I&gnore")->click();
               }});
    form->registry().action("SpellCheck1")->trigger();
    EXPECT_EQ(seen, QStringList({"Not Found:catt|catt", "teh"}));
    EXPECT_EQ(form->editWindow().text(),
              QStringLiteral("<p class=\"x\">the cat sat on teh mat</p>\r\n"));
    EXPECT_EQ(prompter.texts(), QStringList({"Spell Check Complete.\n\n"}));
    // The dialog has gone before the message comes up.
    EXPECT_EQ(dialogUpAtMessage, QList<bool>({false}));
    EXPECT_TRUE(form->state().document().htmlModified());
    EXPECT_FALSE(spellCheckDialog(*form)->isVisible());
    EXPECT_EQ(form->editWindow().selStart(), 0);
}

TEST_F(SpellCheckUi, CancelAndTheConfigurationDialog) {
    form->editWindow().setText("zzz yyy");
    form->editWindow().setSelStart(0);
    whenAsked({[&](TFormSpellCheck& d) { d.reject(); }});
    form->registry().action("SpellCheck1")->trigger();
    EXPECT_TRUE(spellChecker(*form)->checkCancelled());
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(form->editWindow().text(), QStringLiteral("zzz yyy"));

    TFormSpellConfig config(*spellChecker(*form));
    EXPECT_EQ(config.windowTitle(), QStringLiteral("Spell Check Configuration"));
    ASSERT_EQ(config.mainList()->count(), 1);
    EXPECT_EQ(config.mainList()->item(0)->text(), QStringLiteral("Test (american.dct)"));
    EXPECT_EQ(config.addWordsTo()->currentText(), QStringLiteral("default.udt"));
    EXPECT_TRUE(config.optionBox(soUpcase)->isChecked());
    EXPECT_FALSE(config.optionBox(soNumbers)->isChecked());
    config.optionBox(soNumbers)->setChecked(true);
    config.mainList()->item(0)->setCheckState(Qt::Unchecked);
    const SpellConfig c = config.configuration();
    EXPECT_TRUE(c.option(soNumbers));
    EXPECT_FALSE(c.mainDictionaries[0].enabled);
    spellChecker(*form)->setConfiguration(c);
    EXPECT_EQ(IniFile(dir.file("spell/spell.cfg")).readString("default", "soNumbers", "?"),
              QStringLiteral("1"));
    EXPECT_EQ(IniFile(dir.file("spell/spell.cfg")).readString("default", "U_MU_DCT_0", "?"),
              QStringLiteral("F") + dir.file("spell/american.dct"));
}
