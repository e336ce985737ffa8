// The main window's keys and tool bar: every visible mnemonic belongs to one control and does its
// job, the whole tool bar fits 1280 pixels with a picture and a tip on each button, and the
// editor keeps to the length the large-file setting gives it.
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/shell/ActionRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <map>

namespace {

class MainWindowKeys : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1280, 1000);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The key of a caption's mnemonic ("&Add" gives A), or 0.
    static int mnemonicOf(const QString& text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        return key.isEmpty() ? 0 : key[0].key();
    }

    // Every Alt+letter the window answers to as it shows now, with who answers: the menu bar's
    // titles, the visible buttons, labels and tabs, and the window's own shortcuts.
    std::map<int, QStringList> altKeys() const {
        std::map<int, QStringList> keys;
        for (QAction* title : form->menuBar()->actions()) {
            if (const int key = mnemonicOf(title->text()))
                keys[key] << QStringLiteral("menu ") + title->text();
        }
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->window() != form.get())
                continue;
            QString text;
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                text = b->text();
            else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
                text = l->text();
            else if (auto* g = qobject_cast<QGroupBox*>(w); g && g->isCheckable())
                text = g->title();
            if (const int key = mnemonicOf(text))
                keys[key] << w->metaObject()->className() + QStringLiteral(" ") + text;
            if (auto* bar = qobject_cast<QTabBar*>(w)) {
                for (int i = 0; i < bar->count(); ++i) {
                    if (const int key = mnemonicOf(bar->tabText(i)))
                        keys[key] << QStringLiteral("tab ") + bar->tabText(i);
                }
            }
        }
        for (QAction* a : form->actions()) {
            if (!a->isEnabled())
                continue;
            for (const QKeySequence& s : a->shortcuts()) {
                if (s.count() == 1 && s[0].keyboardModifiers() == Qt::AltModifier)
                    keys[s[0].key()] << QStringLiteral("shortcut ") + a->objectName();
            }
        }
        return keys;
    }
};

} // namespace

TEST_F(MainWindowKeys, NoTwoVisibleControlsShareAMnemonicOnAnyTab) {
    QTabWidget* left = form->leftTabs();
    QTabWidget* tags = form->tagTabs();
    for (int l = 0; l < left->count(); ++l) {
        left->setCurrentIndex(l);
        for (int t = 0; t < tags->count(); ++t) {
            tags->setCurrentIndex(t);
            QCoreApplication::processEvents();
            for (const auto& [key, who] : altKeys()) {
                EXPECT_EQ(who.size(), 1)
                    << "Alt+" << QKeySequence(key).toString().toStdString() << " on "
                    << left->tabText(l).toStdString() << " / " << tags->tabText(t).toStdString()
                    << ": " << who.join(QStringLiteral(", ")).toStdString();
            }
        }
    }
}

TEST_F(MainWindowKeys, EachMnemonicDoesItsOwnJob) {
    form->leftTabs()->setCurrentIndex(0);
    QCoreApplication::processEvents();

    // Alt+L, Alt+T and Alt+G open their own menus, and only those.
    const QStringList names = {"HelperApps1", "Tools1", "Tags1", "Search1"};
    std::map<QString, int> shown;
    for (const QString& name : names) {
        QMenu* menu = form->registry().menu(name);
        ASSERT_NE(menu, nullptr) << name.toStdString();
        QObject::connect(menu, &QMenu::aboutToShow, form.get(), [&shown, name] { ++shown[name]; });
    }
    for (const auto& [key, name] :
         {std::pair{Qt::Key_L, "HelperApps1"}, std::pair{Qt::Key_T, "Tools1"},
          std::pair{Qt::Key_G, "Tags1"}, std::pair{Qt::Key_C, "Search1"}}) {
        shown.clear();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), key, Qt::AltModifier);
        // The menu opens from the event loop; on a busy machine that takes a moment.
        for (int i = 0; i < 100 && shown.empty(); ++i)
            QTest::qWait(20);
        QTest::qWait(20);
        EXPECT_EQ(shown, (std::map<QString, int>{{QLatin1String(name), 1}})) << name;
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QTest::qWait(20);
    }

    // Last, as its dialog takes the focus for a while: Alt+A presses "Add a Web Page", and its
    // page dialog comes up.
    QAction* add = form->registry().action(QStringLiteral("AddaWebPage1"));
    ASSERT_NE(add, nullptr);
    int added = 0;
    QObject::connect(add, &QAction::triggered, form.get(), [&added] { ++added; });
    // The button is pressed a moment after the key, as a click shows; its dialog is closed.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, form.get(), [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    closer.start(20);
    QTest::keyClick(form.get(), Qt::Key_A, Qt::AltModifier);
    for (int i = 0; i < 100 && added == 0; ++i)
        QTest::qWait(20);
    closer.stop();
    EXPECT_EQ(added, 1);
}

TEST_F(MainWindowKeys, TheWholeToolBarFits1280PixelsWithAPictureAndATipOnEveryButton) {
    auto* tools = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(tools, nullptr);
    ASSERT_EQ(form->width(), 1280);
    QCoreApplication::processEvents();
    int buttons = 0;
    for (QAction* a : tools->actions()) {
        if (a->isSeparator())
            continue;
        ++buttons;
        const std::string id = a->objectName().toStdString();
        EXPECT_FALSE(a->icon().isNull()) << id;
        EXPECT_FALSE(a->toolTip().isEmpty()) << id;
        QWidget* w = tools->widgetForAction(a);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_TRUE(w->isVisible()) << id << " is only reachable through the extension menu";
        EXPECT_LE(w->geometry().right(), tools->width()) << id;
        auto* button = qobject_cast<QToolButton*>(w);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << id;
    }
    EXPECT_GE(buttons, 25);
    for (auto* ext : tools->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        EXPECT_FALSE(ext->isVisible());
}

TEST_F(MainWindowKeys, TheLargeFileSettingGivesTheEditorItsLengthAndTheEditorKeepsToIt) {
    PlainTextEditWindow& edit = form->editWindow();
    EXPECT_EQ(edit.maxLength(), 0);

    // A length of 12: a paste is cut to fit, one undo takes the paste back whole, and typing
    // stops at the length. Line ends count twice.
    edit.setMaxLength(12);
    form->editor()->setFocus();
    QTest::keyClicks(form->editor(), QStringLiteral("abcd"));
    QTest::keyClick(form->editor(), Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("abcd\r\n"));
    clipboard.setText(QStringLiteral("0123456789"));
    edit.paste();
    EXPECT_EQ(edit.text(), QStringLiteral("abcd\r\n012345"));
    edit.undo();
    EXPECT_EQ(edit.text(), QStringLiteral("abcd\r\n"));
    form->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(form->editor(), QStringLiteral("uvwxyz123"));
    EXPECT_EQ(edit.text(), QStringLiteral("abcd\r\nuvwxyz"));
    EXPECT_EQ(edit.length(), 12);
    // A file loaded whole is never cut.
    edit.setText(QString(40, u'x'));
    EXPECT_EQ(edit.length(), 40);

    // The setting: every time the window becomes active the editor gets the large length.
    form->state().settings().editProblem = true;
    form->editor()->clearFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(edit.maxLength(), 2147482623);
}
