// The keys of the menu tree against the keys that the X server and the common desktops take for
// themselves before a program sees them: Alt+F1 and Alt+F2 (their menu and run box), Alt+F4,
// Alt+F7, Alt+F8, Alt+Tab and Alt+Space (window keys), Ctrl+Alt with an F key (a switch to a
// text console under X11), Ctrl+Alt+Backspace and Delete, Ctrl+Alt+T, L and the arrows, and
// every key with Super. A command may keep such a key, as long as it has another that arrives.
#include "support/MainWindowFixture.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

bool takenByTheDesktop(const QKeyCombination key) {
    const Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
    const Qt::Key k = key.key();
    if (mods.testFlag(Qt::MetaModifier))
        return true;
    if (mods == Qt::AltModifier)
        return k == Qt::Key_F1 || k == Qt::Key_F2 || k == Qt::Key_F4 || k == Qt::Key_F7 ||
               k == Qt::Key_F8 || k == Qt::Key_Tab || k == Qt::Key_Space;
    if (mods == (Qt::ControlModifier | Qt::AltModifier))
        return (k >= Qt::Key_F1 && k <= Qt::Key_F12) || k == Qt::Key_Backspace ||
               k == Qt::Key_Delete || k == Qt::Key_T || k == Qt::Key_L || k == Qt::Key_Left ||
               k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down;
    return false;
}

void collect(const QMenu* menu, QList<const QAction*>& actions) {
    for (const QAction* a : menu->actions()) {
        if (a->menu())
            collect(a->menu(), actions);
        else if (!a->isSeparator())
            actions << a;
    }
}

class DesktopKeys : public MainWindowFixture {
protected:
    void SetUp() override { openWindow(); }
};

} // namespace

TEST_F(DesktopKeys, EveryCommandHasAKeyTheDesktopLeavesToTheProgram) {
    QList<const QAction*> actions;
    for (const QAction* a : form->menuBar()->actions())
        if (a->menu())
            collect(a->menu(), actions);
    collect(form->editorPopup(), actions);
    QStringList clashes;   // every key of the tree that the desktop takes
    QStringList unreached; // commands with no other key
    for (const QAction* a : actions) {
        bool taken = false;
        bool free = false;
        for (const QKeySequence& key : a->shortcuts()) {
            if (key.isEmpty())
                continue;
            if (key.count() == 1 && takenByTheDesktop(key[0])) {
                taken = true;
                clashes << a->objectName() + QLatin1Char(' ') + key.toString();
            } else {
                free = true;
            }
        }
        if (taken && !free)
            unreached << a->objectName();
    }
    clashes.removeDuplicates();
    EXPECT_TRUE(unreached.isEmpty()) << "only reached through keys the desktop takes: "
                                     << unreached.join(QStringLiteral(", ")).toStdString();
    // The keys kept, each beside a second one; a new clash shows here in review.
    EXPECT_EQ(clashes, (QStringList{"FontSizePlus11 Alt+F1", "FontSizePlus21 Alt+F2",
                                    "FontSizeMinus11 Ctrl+Alt+F1", "FontSizeMinus21 Ctrl+Alt+F2"}))
        << clashes.join(QStringLiteral(", ")).toStdString();
}

TEST(DesktopKeysRule, TheKeysTheDesktopTakes) {
    for (const char* key : {"Alt+F1", "Alt+F2", "Alt+F4", "Ctrl+Alt+F1", "Ctrl+Alt+F12",
                            "Ctrl+Alt+Backspace", "Meta+E", "Ctrl+Meta+A", "Alt+Tab"})
        EXPECT_TRUE(takenByTheDesktop(QKeySequence(QLatin1String(key))[0])) << key;
    for (const char* key : {"Shift+F1", "Ctrl+Shift+F1", "Ctrl+F3", "Alt+F3", "Ctrl+Alt+A", "F1",
                            "Alt+Return", "Ctrl+Shift+Alt+F1"})
        EXPECT_FALSE(takenByTheDesktop(QKeySequence(QLatin1String(key))[0])) << key;
}
