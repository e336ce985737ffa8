// Which key presses in the editor mark the document as changed.
#include "app/EditorPresses.h"

#include <gtest/gtest.h>

TEST(EditorPresses, TypingCountsModifiersAndCommandKeysDoNot) {
    const QList<QKeySequence> commands = {QKeySequence(QStringLiteral("Alt+S")),
                                          QKeySequence(QStringLiteral("Alt+X"))};
    const auto counts = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return keyPressChangesDocument(key, QKeySequence(QKeyCombination(mods, Qt::Key(key))),
                                       commands);
    };
    EXPECT_TRUE(counts(Qt::Key_A));
    EXPECT_TRUE(counts(Qt::Key_A, Qt::ShiftModifier));
    EXPECT_TRUE(counts(Qt::Key_Return));
    // Ctrl+X is the editor's own key, not a window command: it changes the text.
    EXPECT_TRUE(counts(Qt::Key_X, Qt::ControlModifier));
    EXPECT_TRUE(counts(Qt::Key_D, Qt::AltModifier));
    EXPECT_FALSE(counts(Qt::Key_S, Qt::AltModifier));
    EXPECT_FALSE(counts(Qt::Key_X, Qt::AltModifier));
    for (int key : {Qt::Key_Alt, Qt::Key_Control, Qt::Key_Shift, Qt::Key_Meta, Qt::Key_AltGr,
                    Qt::Key_CapsLock})
        EXPECT_FALSE(counts(key)) << key;
}
