// The analysis room's commands and where they go.
#include "analysis/AnalysisCommands.h"

#include "app/CommandPlaces.h"

CommandTable analysisCommands(std::function<void()> open) {
    CommandTable t;
    Command tools;
    tools.id = QStringLiteral("AnalyzePageSite1");
    tools.caption = QStringLiteral("Analyze Page/Site");
    tools.shortcut = QKeySequence(QStringLiteral("Ctrl+F2"));
    tools.hint = QStringLiteral("Site/Page Analysis");
    tools.icon = QStringLiteral("site-analysis");
    tools.run = open;
    t.commands << tools;
    Command popup;
    popup.id = QStringLiteral("PageSiteAnalysis1");
    popup.caption = QStringLiteral("Page/Site Analysis");
    popup.run = open;
    t.commands << popup;

    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Tools,
                        {},
                        0,
                        Group::ToolsAnalysis,
                        {entry(QStringLiteral("AnalyzePageSite1"))}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarTools,
                        {entry(QStringLiteral("AnalyzePageSite1"))}};
    return t;
}
