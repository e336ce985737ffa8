// The Custom tab's add and delete commands.
#include "tags/CustomTagCommands.h"

#include "app/CommandPlaces.h"
#include "tags/CustomTags.h"

CommandTable customTagCommands(CustomTags& tags, CustomTagDialogs& dialogs,
                               std::function<void()> listShown) {
    CommandTable t;
    Command add;
    add.id = QStringLiteral("AddCustomTag1");
    add.caption = QStringLiteral("Add Custom Tag");
    add.hint = QStringLiteral("Add a custom tag");
    add.icon = QStringLiteral("custom-add");
    add.run = [&tags, &dialogs, listShown] {
        if (const std::optional<NewCustomTag> tag = dialogs.askNewCustomTag())
            tags.add(tag->name, tag->start, tag->end);
        listShown();
    };
    t.commands << add;

    Command remove;
    remove.id = QStringLiteral("DeleteCustomTag1");
    remove.caption = QStringLiteral("Delete Custom Tags");
    remove.hint = QStringLiteral("Delete custom tags");
    remove.icon = QStringLiteral("custom-delete");
    remove.run = [&tags, &dialogs, listShown] {
        if (const std::optional<QStringList> kept =
                dialogs.askCustomTagsToKeep(tags.customEntries()))
            tags.replaceAll(*kept);
        listShown();
    };
    t.commands << remove;

    // The window puts the label "Add/Delete" and the list in front of the two buttons.
    t.layouts << Layout{
        LayoutPlace::TagTab,
        TagTabId::Custom,
        QStringLiteral("Custom"),
        CustomTagCommandOrder::CustomTab,
        {},
        {entry(QStringLiteral("AddCustomTag1")), entry(QStringLiteral("DeleteCustomTag1"))}};
    return t;
}
