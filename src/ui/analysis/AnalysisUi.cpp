// The analysis room in the main window.
#include "ui/analysis/AnalysisUi.h"

#include "analysis/AnalysisCommands.h"
#include "analysis/SiteAnalysis.h"
#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "platform/Prompter.h"
#include "platform/UiPump.h"
#include "project/Project.h"
#include "ui/QtPrinter.h"
#include "ui/analysis/TFormLoadSize.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"

AnalysisUi::AnalysisUi(ActionRegistry& registry, Shell& context)
    : QObject(&registry), m_registry(registry), m_context(context),
      m_pump(std::make_unique<EventLoopPump>()) {
    setObjectName(QStringLiteral("AnalysisUi"));
}

AnalysisUi::~AnalysisUi() {
    if (m_context.state.parts().pageAnalysis == this)
        m_context.state.parts().pageAnalysis = nullptr;
}

AnalysisUi* AnalysisUi::of(const ActionRegistry& registry) {
    return registry.findChild<AnalysisUi*>(QString(), Qt::FindDirectChildrenOnly);
}

void AnalysisUi::openAnalysis() {
    open({}, {}, false);
}

void AnalysisUi::analyzeWebPage(const QString& folder, const QString& fileName) {
    analyzeFile(folder, fileName);
}

void AnalysisUi::analyzeFile(const QString& folder, const QString& fileName) {
    if (fileName.isEmpty()) {
        m_context.prompter.inform(SiteAnalysis::noPageSelectedText());
        return;
    }
    open(folder, fileName, true);
}

void AnalysisUi::open(const QString& folder, const QString& fileName, bool preselected) {
    AppState& state = m_context.state;
    SiteAnalysis logic(state.programDirectory(), state.settings(), state.store(),
                       m_context.prompter, *m_pump);
    QWidget* window = &m_context.messageParent;
    QtPrinter systemPrinter(window);
    Printer& printer = m_testPrinter ? *m_testPrinter : static_cast<Printer&>(systemPrinter);
    TFormLoadSize form(logic, m_context.prompter, m_context.chooser, printer, window);
    AnalysisStart start;
    start.projectFileName = state.project().projectFileName;
    if (ProjectPanes* project = m_context.projectPanes) {
        start.outline = project->project().outline();
        start.selectedItem = project->project().selectedItem();
    }
    logic.open(start);
    if (preselected) {
        logic.preselectFile(folder, fileName);
        form.setPreselectedNotice(true);
    }
    if (onShown)
        form.afterShown = [this, &form] { onShown(form); };
    form.exec();
}

CommandTable installAnalysis(ActionRegistry& registry, Shell& context) {
    auto* ui = new AnalysisUi(registry, context);
    context.state.parts().provide(&ShellParts::pageAnalysis, ui, "pageAnalysis");
    return analysisCommands([ui] { ui->openAnalysis(); });
}
