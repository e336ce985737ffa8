// The checks room in the main window: Check Links of the Tools menu, and the check an upload
// runs first (ShellParts::uploadCheck). A pass shows its progress with a Stop button; its report
// opens in TFormCheckReport, from which a double-click opens a page at its line.
#pragma once

#include "app/Commands.h"
#include "app/ShellParts.h"
#include "checks/CheckRuns.h"
#include "ui/shell/Shell.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class ActionRegistry;
class Printer;
class TFormCheckReport;
class UiPump;

class ChecksUi : public QObject, public UploadCheck, public CheckView {
    Q_OBJECT
public:
    ChecksUi(ActionRegistry& registry, Shell& context);
    ~ChecksUi() override;

    // Tools, "Check Links...": every page of the open project.
    void checkLinks();
    // UploadCheck: what a transfer calls before it starts.
    bool checkBeforeUpload(const QStringList& files, const QString& siteFolder) override;

    // CheckView
    CheckReport runPass(PageChecker& checker, const QStringList& pages,
                        const QString& title) override;
    bool askGoOn(const CheckReport& report) override;
    void showReport(const CheckReport& report) override;

    // A row of a report: the page into the editor at that line.
    void openPageAt(const QString& page, int line);
    void printReport(const CheckReport& report, const QString& title);

    // Check Links' window, once it has been opened.
    TFormCheckReport* linksWindow() const;
    // Tests look at the modal report before an upload from here.
    std::function<void(TFormCheckReport&)> onAsk;
    // Printing goes here instead of the system's printers when set (tests).
    void setPrinter(Printer* printer) { m_testPrinter = printer; }
    // The pump of the passes (tests press Stop from it).
    void setPump(UiPump* pump) { m_testPump = pump; }

    static ChecksUi* of(const ActionRegistry& registry);

private:
    QStringList projectPages() const;
    QWidget* window() const;
    UiPump& pump();

    ActionRegistry& m_registry;
    Shell& m_context;
    std::unique_ptr<UiPump> m_pump;
    UiPump* m_testPump = nullptr;
    Printer* m_testPrinter = nullptr;
    QPointer<TFormCheckReport> m_linksWindow;
};

// The composition root's line for the checks room.
CommandTable installChecks(ActionRegistry& registry, Shell& context);
