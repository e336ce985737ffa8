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
#include <QTest>
#include <QTextCursor>
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
    // F7, as in word processors.
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F7));
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

// F7 from the editor starts the check; the dialog never covers the word it asks about, wherever
// that word stands in the window.
TEST_F(SpellCheckUi, F7StartsItAndTheDialogKeepsClearOfTheWord) {
    form->resize(1000, 700);
    form->move(0, 0);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += (i == 2 || i == 20 || i == 38 ? QStringLiteral("the catt sat")
                                              : QStringLiteral("the cat sat")) +
                QStringLiteral("\r\n");
    form->editWindow().setText(text);
    form->editWindow().setSelStart(0);
    QPlainTextEdit* editor = form->editWindow().editor();
    editor->setFocus();
    QList<QRect> dialogs;
    QList<QRect> words;
    const auto look = [&](TFormSpellCheck& d) {
        words << selectedTextArea(*editor);
        EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("catt"));
        dialogs << d.frameGeometry();
        d.button("I&gnore")->click();
    };
    whenAsked({look, look, look});
    prompter.queue(MessageAnswer::Ok);
    QTest::keyClick(editor, Qt::Key_F7);
    ASSERT_EQ(words.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(words[i].isEmpty()) << i;
        EXPECT_FALSE(dialogs[i].intersects(words[i]))
            << i << ": dialog " << dialogs[i].y() << "+" << dialogs[i].height() << ", word "
            << words[i].y();
    }
    EXPECT_EQ(prompter.texts(), QStringList({"Spell Check Complete.\n\n"}));
}

TEST(SpellCheckDialogPlace, AwayFromTheWordAndOnTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    struct Case {
        QRect dialog;
        QRect word;
        QPoint expected;
    };
    const QRect middle(400, 300, 460, 300); // 400..859, 300..599
    const Case cases[] = {
        // Clear of it already: it stays.
        {middle, QRect(100, 100, 40, 16), QPoint(400, 300)},
        {middle, QRect(400, 620, 40, 16), QPoint(400, 300)},
        // Over it: below the word when there is room.
        {middle, QRect(500, 350, 40, 16), QPoint(400, 374)},
        // Near the bottom: above it.
        {QRect(400, 700, 460, 300), QRect(500, 800, 40, 16), QPoint(400, 492)},
        // No word known: where it is.
        {middle, QRect(), QPoint(400, 300)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TFormSpellCheck::placeClearOf(c.dialog, c.word, screen), c.expected)
            << c.word.y();
    // A screen too low for either: beside the word.
    EXPECT_EQ(TFormSpellCheck::placeClearOf(QRect(400, 10, 460, 300), QRect(380, 150, 40, 16),
                                            QRect(0, 0, 1280, 320)),
              QPoint(428, 10));
    // Never off the screen.
    const QPoint p =
        TFormSpellCheck::placeClearOf(QRect(1000, 900, 460, 300), QRect(1100, 950, 40, 16), screen);
    EXPECT_TRUE(screen.contains(QRect(p, QSize(460, 300)))) << p.x() << "," << p.y();
}
