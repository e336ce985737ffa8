// The checks room in the main window.
#include "ui/checks/ChecksUi.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "checks/ChecksCommands.h"
#include "platform/UiPump.h"
#include "project/Project.h"
#include "ui/QtPrinter.h"
#include "ui/checks/TFormCheckReport.h"
#include "ui/shell/ActionRegistry.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>

ChecksUi::ChecksUi(ActionRegistry& registry, Shell& context)
    : QObject(&registry), m_registry(registry), m_context(context),
      m_pump(std::make_unique<EventLoopPump>()) {
    setObjectName(QStringLiteral("ChecksUi"));
}

ChecksUi::~ChecksUi() {
    if (m_context.state.parts().uploadCheck == this)
        m_context.state.parts().uploadCheck = nullptr;
    delete m_linksWindow.data();
}

ChecksUi* ChecksUi::of(const ActionRegistry& registry) {
    return registry.findChild<ChecksUi*>(QString(), Qt::FindDirectChildrenOnly);
}

TFormCheckReport* ChecksUi::linksWindow() const {
    return m_linksWindow.data();
}

QWidget* ChecksUi::window() const {
    return &m_context.messageParent;
}

UiPump& ChecksUi::pump() {
    return m_testPump ? *m_testPump : *m_pump;
}

QStringList ChecksUi::projectPages() const {
    ProjectPanes* project = m_context.projectPanes;
    if (!project || m_context.state.project().projectFileName.isEmpty())
        return {};
    QStringList pages;
    const bool help = m_context.state.project().helpProjectMode;
    for (const QString& link : project->project().outline().pageLinkList()) {
        // The help project names its pages without a folder, as its opening does.
        if (help && !link.isEmpty() && !link.contains(QLatin1Char('/')))
            pages << m_context.state.programDirectory() + QStringLiteral("help/") + link;
        else
            pages << link;
    }
    return pages;
}

void ChecksUi::checkLinks() {
    ::checkLinks(m_context.state, projectPages(), pump(), *this, m_context.prompter);
}

bool ChecksUi::checkBeforeUpload(const QStringList& files, const QString& siteFolder) {
    return ::checkBeforeUpload(m_context.state, files, siteFolder, projectPages(), pump(), *this);
}

CheckReport ChecksUi::runPass(PageChecker& checker, const QStringList& pages,
                              const QString& title) {
    QProgressDialog progress(QStringLiteral("Checking pages..."), QStringLiteral("&Stop"), 0,
                             std::max(1, static_cast<int>(pages.size())), window());
    progress.setObjectName(QStringLiteral("CheckProgress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // A short check shows nothing; a long one its progress within half a second.
    progress.setMinimumDuration(500);
    progress.setMinimumWidth(480);
    connect(&progress, &QProgressDialog::canceled, &checker, &PageChecker::stop);
    connect(&checker, &PageChecker::progress, &progress,
            [&progress, &checker](int done, int total, const QString& page) {
                // Escape and closing the window cancel it without the button's signal.
                if (progress.wasCanceled())
                    checker.stop();
                if (!page.isEmpty())
                    progress.setLabelText(QStringLiteral("Checking page %1 of %2: %3")
                                              .arg(done + 1)
                                              .arg(total)
                                              .arg(QFileInfo(page).fileName()));
                progress.setValue(done);
            });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CheckReport report = checker.check(pages);
    QApplication::restoreOverrideCursor();
    return report;
}

bool ChecksUi::askGoOn(const CheckReport& report) {
    TFormCheckReport form(TFormCheckReport::Mode::BeforeUpload, window());
    form.setReport(report);
    form.openAt = [this](const QString& page, int line) { openPageAt(page, line); };
    form.print = [this, &form] { printReport(form.report(), form.windowTitle()); };
    if (onAsk)
        form.afterShown = [this, &form] { onAsk(form); };
    return form.exec() == QDialog::Accepted;
}

void ChecksUi::showReport(const CheckReport& report) {
    if (!m_linksWindow) {
        m_linksWindow = new TFormCheckReport(TFormCheckReport::Mode::CheckLinks, window());
        // Beside the main window, not over it: the user mends the pages while it stays open.
        m_linksWindow->setModal(false);
        m_linksWindow->setAttribute(Qt::WA_DeleteOnClose, false);
        m_linksWindow->openAt = [this](const QString& page, int line) { openPageAt(page, line); };
        TFormCheckReport* w = m_linksWindow;
        m_linksWindow->print = [this, w] { printReport(w->report(), w->windowTitle()); };
    }
    m_linksWindow->setReport(report);
    m_linksWindow->show();
    m_linksWindow->raise();
    m_linksWindow->activateWindow();
}

void ChecksUi::openPageAt(const QString& page, int line) {
    if (!openPageAtLine(m_context.state.document(), m_context.editor, m_context.prompter, page,
                        line))
        return;
    // From the modeless report, the main window comes forward with the page.
    if (QWidget* w = window(); w && m_linksWindow && m_linksWindow->isActiveWindow()) {
        w->raise();
        w->activateWindow();
    }
}

void ChecksUi::printReport(const CheckReport& report, const QString& title) {
    QtPrinter systemPrinter(window());
    Printer& printer = m_testPrinter ? *m_testPrinter : static_cast<Printer&>(systemPrinter);
    if (!printer.choosePrinter(title))
        return;
    printer.printLines(title, report.lines(), std::nullopt);
}

CommandTable installChecks(ActionRegistry& registry, Shell& context) {
    auto* ui = new ChecksUi(registry, context);
    context.state.parts().provide(&ShellParts::uploadCheck, ui, "uploadCheck");
    return checksCommands([ui] { ui->checkLinks(); });
}
