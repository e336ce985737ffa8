// The project tools' command table.
#include "project/ProjectToolsCommands.h"

#include "app/CommandPlaces.h"

CommandTable projectToolsCommands(std::function<void()> backup,
                                  std::function<void()> projectBuilder) {
    CommandTable t;
    const CommandTableBuilder add(t);
    const CommandRow b = add("BackupHTMLfiles1", "Backup HTML files", backup);
    b->shortcut = QKeySequence(QStringLiteral("Ctrl+F1"));
    b->hint = QStringLiteral("Backup Project Files");
    b->icon = QStringLiteral("project-backup");
    // The File menu and the outline's pop-up place it under this name already.
    add("ProjectBuilder1", "Project Builder", projectBuilder);
    add("WebsiteProjectBuilder1", "Website Project Builder", projectBuilder);

    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Tools,
                        {},
                        0,
                        Group::ToolsProject,
                        {entry(QStringLiteral("BackupHTMLfiles1")),
                         entry(QStringLiteral("WebsiteProjectBuilder1"))}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarProject,
                        {entry(QStringLiteral("BackupHTMLfiles1"))}};
    return t;
}
