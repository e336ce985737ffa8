// The checks room's commands and where they go.
#include "checks/ChecksCommands.h"

#include "app/CommandPlaces.h"

CommandTable checksCommands(std::function<void()> checkLinks) {
    CommandTable t;
    Command c;
    c.id = QStringLiteral("CheckLinks1");
    // The Tools menu's other entries carry no letter of their own, so L is free in it.
    c.caption = QStringLiteral("Check &Links...");
    c.hint = QStringLiteral("Check the links, images and HTML of every page of the project");
    c.run = std::move(checkLinks);
    t.commands << c;
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Tools,
                        {},
                        0,
                        Group::ToolsAnalysis,
                        {entry(QStringLiteral("CheckLinks1"))}};
    return t;
}
