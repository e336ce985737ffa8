// The analysis room in the main window: its commands and the "Web Page Analysis" screen they
// open, for the project or for the file selected in the Files tab.
#pragma once

#include "app/Commands.h"
#include "app/ShellParts.h"
#include "ui/shell/Shell.h"

#include <QObject>
#include <functional>
#include <memory>

class ActionRegistry;
class Printer;
class TFormLoadSize;
class UiPump;

class AnalysisUi : public QObject, public PageAnalysisOpener {
    Q_OBJECT
public:
    AnalysisUi(ActionRegistry& registry, Shell& context);
    ~AnalysisUi() override;

    // The tool bar, the Tools menu and the outline's pop-up.
    void openAnalysis();
    // The Files tab's "Analyze Web Page": the file chosen in its list.
    void analyzeWebPage(const QString& folder, const QString& fileName) override;
    // The same for a given file; an empty name is "nothing selected".
    void analyzeFile(const QString& folder, const QString& fileName);

    // Tests look at the open screen from here (it is modal).
    std::function<void(TFormLoadSize&)> onShown;
    // Printing goes here instead of the system's printers when set (tests).
    void setPrinter(Printer* printer) { m_testPrinter = printer; }

    static AnalysisUi* of(const ActionRegistry& registry);

private:
    void open(const QString& folder, const QString& fileName, bool preselected);

    ActionRegistry& m_registry;
    Shell& m_context;
    std::unique_ptr<UiPump> m_pump;
    Printer* m_testPrinter = nullptr;
};

// The composition root's line for the analysis room.
CommandTable installAnalysis(ActionRegistry& registry, Shell& context);
