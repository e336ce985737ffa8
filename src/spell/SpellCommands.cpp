// The spell checker's command table.
#include "spell/SpellCommands.h"

#include "app/CommandPlaces.h"

CommandTable spellCommands(std::function<void()> spellCheckDocument) {
    CommandTable t;
    Command c;
    c.id = QStringLiteral("SpellCheck1");
    c.caption = QStringLiteral("Spell Check");
    c.hint = QStringLiteral("Check spelling");
    // The key word processors use for it.
    c.shortcut = QKeySequence(Qt::Key_F7);
    c.icon = QStringLiteral("spell-check");
    c.run = std::move(spellCheckDocument);
    t.commands << c;
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Edit,
                        {},
                        0,
                        Group::EditSpelling,
                        {separator(), entry(QStringLiteral("SpellCheck1"))}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarTools,
                        {entry(QStringLiteral("SpellCheck1"))}};
    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::Editor,
                        {},
                        0,
                        Group::PopupSpelling,
                        {separator(), entry(QStringLiteral("SpellCheck1"))}};
    return t;
}
