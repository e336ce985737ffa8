// ProjectPrint: the print command.
#include "project/ProjectPrint.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "editor/EditWindow.h"
#include "platform/Printer.h"
#include "platform/Prompter.h"

ProjectPrint::ProjectPrint(AppState& app, const SiteOutline& outline, EditWindow& editor,
                           PrintOptionsWindow& options, Printer& printer, PrintFonts fonts)
    : m_app(app), m_outline(outline), m_editor(editor), m_options(options), m_printer(printer),
      m_fonts(std::move(fonts)) {
}

QString ProjectPrint::nothingOpenText() {
    return QStringLiteral("There is no project or HTML file open to print.");
}

QStringList ProjectPrint::outlineLines(const SiteOutline& outline, bool withLinks, bool fullPaths) {
    QStringList lines;
    for (const ProjectPage& p : outline.pages()) {
        QString line = QString(p.level - 1, QLatin1Char('\t')) + p.title;
        if (withLinks) {
            const QString link =
                fullPaths ? p.link : p.link.mid(p.link.lastIndexOf(QLatin1Char('/')) + 1);
            line += QStringLiteral("  (") + link + QLatin1Char(')');
        }
        lines << line;
    }
    return lines;
}

void ProjectPrint::printProjectHtml() {
    const QString& html = m_app.document().currentHtmlFile();
    const QString& project = m_app.project().projectFileName;
    if (html.isEmpty() && project.isEmpty()) {
        m_app.prompter().inform(nothingOpenText());
        return;
    }
    const PrintOptionsResult choice = m_options.run(!html.isEmpty());
    if (choice.cancelled)
        return;
    const bool document = choice.mode == PrintOptionsResult::HtmlFile && !html.isEmpty();
    const QString title = document ? html : project;
    if (!m_printer.choosePrinter(title))
        return;
    bool printed = false;
    if (document) {
        QStringList lines;
        const int count = m_editor.lineCount();
        for (int i = 0; i < count; ++i)
            lines << m_editor.line(i);
        printed = m_printer.printLines(
            title, lines, m_fonts.editor ? std::optional<QFont>(m_fonts.editor()) : std::nullopt);
    } else {
        printed = m_printer.printLines(
            title,
            outlineLines(m_outline, choice.mode == PrintOptionsResult::OutlineWithLinks,
                         choice.fullPaths),
            m_fonts.outline ? std::optional<QFont>(m_fonts.outline()) : std::nullopt);
    }
    // A printout that did not come out is never passed over in silence.
    if (!printed)
        m_app.prompter().error(printFailedText(title, m_printer.errorText()));
}

QString ProjectPrint::printFailedText(const QString& title, const QString& reason) {
    return QStringLiteral("\"%1\" was not printed: %2")
        .arg(title, reason.isEmpty() ? QStringLiteral("the printer reported an error.") : reason);
}

CommandTable printCommands(ProjectPrint& print) {
    CommandTable t;
    Command c;
    c.id = QStringLiteral("PrintProjectHTML1");
    c.caption = QStringLiteral("&Print Project/HTML");
    c.shortcut = QKeySequence(QStringLiteral("Ctrl+P"));
    c.hint = QStringLiteral("Print");
    c.icon = QStringLiteral("document-print");
    c.run = [&print] { print.printProjectHtml(); };
    t.commands << c;
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarTools,
                        {entry(QStringLiteral("PrintProjectHTML1"))}};
    t.layouts << Layout{
        LayoutPlace::Popup,
        PopupId::Editor,
        {},
        0,
        Group::PopupPrint,
        {separator(), entry(QStringLiteral("PrintProjectHTML1"), QStringLiteral("Print"))}};
    return t;
}
