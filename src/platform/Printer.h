// Printer: printed output as the program produces it, either lines of plain text sent as a
// stream or text placed at positions of its own, page by page.
//
// The Qt implementation (ui/QtPrinter) asks with the system's print dialog and draws through
// QPrinter onto a CUPS printer or into a PDF file; tests capture what would be printed.
#pragma once

#include "platform/PrintLayout.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Printer {
public:
    virtual ~Printer() = default;
    // The system's print dialog for a job of this title; false when it was not confirmed.
    virtual bool choosePrinter(const QString& jobTitle) = 0;
    // Lines of plain text in font (none: the printer's text font). A line longer than the page
    // is wrapped as the editor wraps it, at a blank where there is one. False on a printer
    // error, with errorText() saying why.
    virtual bool printLines(const QString& jobTitle, const QStringList& lines,
                            const std::optional<QFont>& font) = 0;
    // Text placed in printer pixels (300 to the inch), page by page.
    virtual bool printPages(const QString& jobTitle, const std::vector<PrintPage>& pages,
                            const std::optional<QFont>& font) = 0;
    // Why the last print failed, in the system's words.
    virtual QString errorText() const { return {}; }
};
