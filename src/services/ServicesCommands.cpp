// The services room's command table and layouts.
#include "services/ServicesCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "services/ServicesRoom.h"

CommandTable servicesCommands(ServicesRoom& room, AppState& state, EditWindow& editor,
                              ServicesWindow& window) {
    HtmlDocument& doc = state.document();
    FindReplace& find = room.find();
    CommandTable t;
    const CommandTableBuilder add(t);
    const auto keys = [](const char* text) { return QKeySequence(QLatin1String(text)); };

    add("Find1", QStringLiteral("&Find"), keys("Ctrl+F"), [&] {
        window.showFindDialog(find.openDialog());
    })->hint = QStringLiteral("Find Text");
    t.commands.last().icon = QStringLiteral("edit-find");
    add("FindNext1", QStringLiteral("Find &Next"), keys("F3"),
        [&] { find.findNext(window.findDialogText()); });
    add("Replace1", QStringLiteral("&Replace"), keys("Ctrl+R"), [&] {
        window.showReplaceDialog(find.openDialog());
    })->hint = QStringLiteral("Replace Text");
    t.commands.last().icon = QStringLiteral("edit-find-replace");
    add("ReplaceAllSlashes1", QStringLiteral("Replace &all \"\\\" with \"/\" (every occurence)"),
        keys("Ctrl+\\"), [&] { find.slashReplaceAll(); });
    add("ReplacePreciseSlashes1",
        QStringLiteral("Replace precise \"\\\" with \"/\" (only in tags)"), keys("Ctrl+Shift+\\"),
        [&] { find.slashReplaceInTags(); });

    add("ColorTagsNow1", QStringLiteral("&Color Tags Now"), keys("Ctrl+K"), [&room] {
        room.colorTagsNow();
    })->hint = QStringLiteral("Color Tags Now");
    add("ColorPicker1", QStringLiteral("Color Picker..."), {},
        [&] { ColorPicker(editor, doc, window); });
    add("TagColorOptions1", QStringLiteral("Tag Color Options"), {}, [&state] {
        if (SettingsDialog* dialog = state.parts().settingsDialog)
            dialog->openSettingsDialogOn(SettingsPage::TagOptions);
    });

    // The menu titles keep clear of the Alt shortcuts of the File commands (Alt+S saves), of
    // "He&lper Apps" and of the buttons beside the outline ("&Add a Web Page").
    using namespace ServicesCommands;
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Search,
                        QStringLiteral("Sear&ch"),
                        SearchMenuOrder,
                        {},
                        {entry("Find1"), entry("FindNext1"), entry("Replace1")}};
    t.layouts << Layout{LayoutPlace::MenuBar, MenuId::Tags, QStringLiteral("Ta&gs"),
                        TagsMenuOrder,        {},           {entry("ColorTagsNow1")}};
    t.layouts << Layout{LayoutPlace::MenuBar, MenuId::Tools,          {}, 0,
                        Group::ToolsColour,   {entry("ColorPicker1")}};
    t.layouts << Layout{
        LayoutPlace::MenuBar,
        MenuId::Edit,
        {},
        0,
        Group::EditReplace,
        {separator(), entry("ReplaceAllSlashes1"), entry("ReplacePreciseSlashes1")}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarSearch,
                        {entry("Find1"), entry("Replace1")}};
    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::Editor,
                        {},
                        0,
                        Group::PopupSearch,
                        {separator(), entry("Find1", QStringLiteral("Find ...")),
                         entry("Replace1", QStringLiteral("Replace ...")), separator(),
                         entry("ColorTagsNow1", QStringLiteral("Color Tags Now")),
                         entry("TagColorOptions1"),
                         entry("ColorPicker1", QStringLiteral("Color Picker"))}};
    return t;
}
