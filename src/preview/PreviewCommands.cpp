// The preview room's command table and layouts.
#include "preview/PreviewCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "preview/Help.h"
#include "preview/Preview.h"

CommandTable previewCommands(AppState& state, Preview& preview, Help& help, HelpDialogs& dialogs) {
    CommandTable t;
    const CommandTableBuilder add(t);

    const CommandRow settings =
        add("Settings1", "Settings", QKeySequence(QStringLiteral("Ctrl+F3")), [&] {
            if (SettingsDialog* dialog = state.parts().settingsDialog)
                dialog->openSettingsDialogOn(SettingsPage::Files);
        });
    settings->hint = QStringLiteral("Settings");
    settings->icon = QStringLiteral("settings");
    const CommandRow netscape = add("NetscapePreview1", "Netscape Preview", {},
                                    [&] { preview.previewExternal(ExternalBrowser::Netscape); });
    netscape->hint = QStringLiteral("Netscape Preview");
    netscape->icon = QStringLiteral("browser-1");
    const CommandRow msie = add("MSExplorerPreview1", "MS Explorer Preview", {},
                                [&] { preview.previewExternal(ExternalBrowser::Explorer); });
    msie->hint = QStringLiteral("MS Explorer Preview");
    msie->icon = QStringLiteral("browser-2");

    add("LauchImageEditor1", "Lauch &Image Editor", {},
        [&] { preview.launchHelper(HelperApp::Editor); });
    add("LaunchImageMapEditor1", "Launch Image &Map Editor", {},
        [&] { preview.launchHelper(HelperApp::Imagemap); });

    add("WelcometoQuillonPro1", "&Welcome to Quillon Pro", {}, [&] { help.openHelpProject(); });
    const CommandRow onTop =
        add("ShowHelpOnTop1", "Show Help On &Top", QKeySequence(QStringLiteral("Ctrl+/")),
            [&] { dialogs.showHelpOnTop(); });
    onTop->enabled = [&] { return !dialogs.helpOnTopShown(); };
    add("FrequentlyAskedQuestions1", "Frequently Asked Questions", {}, [&] { dialogs.showFaq(); });
    const CommandRow instructions =
        add("Instructions1", "&Instructions", {}, [&] { help.instructions(); });
    instructions->hint = QStringLiteral("Help");
    instructions->icon = QStringLiteral("help");

    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::HelperApps,
                        QStringLiteral("He&lper Apps"),
                        PreviewCommands::HelperAppsMenuOrder,
                        {},
                        {entry("LauchImageEditor1"), entry("LaunchImageMapEditor1")}};
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Tools,
                        {},
                        0,
                        Group::ToolsOptions,
                        {separator(), entry("Settings1")}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarTools,
                        {entry("NetscapePreview1"), entry("MSExplorerPreview1"), entry("Settings1"),
                         entry("Instructions1")}};
    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::Editor,
                        {},
                        0,
                        Group::PopupOptions,
                        {separator(), entry("Settings1")}};
    return t;
}
