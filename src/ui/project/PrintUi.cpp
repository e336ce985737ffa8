// The print command's window side.
#include "ui/project/PrintUi.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "project/Project.h"
#include "project/ProjectPrint.h"
#include "ui/QtPrinter.h"
#include "ui/project/TFormPrintOptions.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"

#include <QPlainTextEdit>
#include <QTreeWidget>
#include <memory>

namespace {

// Forwards to the system's printers, or to a test's.
class SwitchPrinter : public Printer {
public:
    explicit SwitchPrinter(QWidget* parent) : m_system(parent) {}
    Printer* other = nullptr;
    Printer& target() { return other ? *other : m_system; }
    bool choosePrinter(const QString& t) override { return target().choosePrinter(t); }
    bool printLines(const QString& t, const QStringList& l,
                    const std::optional<QFont>& f) override {
        return target().printLines(t, l, f);
    }
    bool printPages(const QString& t, const std::vector<PrintPage>& p,
                    const std::optional<QFont>& f) override {
        return target().printPages(t, p, f);
    }
    QString errorText() const override { return other ? other->errorText() : m_system.errorText(); }

private:
    QtPrinter m_system;
};

class PrintUi : public QObject {
    Q_OBJECT
public:
    PrintUi(ActionRegistry& registry, Shell& c, const SiteOutline& outline) : QObject(&registry) {
        setObjectName(QStringLiteral("PrintUi"));
        QWidget* window = &c.messageParent;
        // Without a parent the options window is centred on the screen.
        m_options = std::make_unique<TFormPrintOptions>();
        printer = std::make_unique<SwitchPrinter>(window);
        QTreeWidget* tree = &c.outline;
        QPlainTextEdit* editor = &c.editorWidget;
        PrintFonts fonts;
        fonts.outline = [tree] { return tree->font(); };
        fonts.editor = [editor] { return editor->font(); };
        print = std::make_unique<ProjectPrint>(c.state, outline, c.editor, *m_options, *printer,
                                               std::move(fonts));
    }
    std::unique_ptr<SwitchPrinter> printer;
    std::unique_ptr<ProjectPrint> print;

private:
    std::unique_ptr<TFormPrintOptions> m_options;
};

} // namespace

CommandTable installPrinting(ActionRegistry& registry, Shell& c) {
    ProjectPanes* project = c.projectPanes;
    if (!project)
        return {};
    auto* ui = new PrintUi(registry, c, project->project().outline());
    return printCommands(*ui->print);
}

void setPrintingPrinter(ActionRegistry& registry, Printer* printer) {
    if (auto* ui = registry.findChild<PrintUi*>(QString(), Qt::FindDirectChildrenOnly))
        ui->printer->other = printer;
}

#include "PrintUi.moc"
