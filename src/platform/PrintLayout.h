// The page layout of printed output: pure functions from lines of text to positioned text runs,
// so that what lands where on which page can be checked exactly without a printer.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

// One piece of text whose box starts at (x, y): the top left of the text, not its baseline.
struct PrintRun {
    int x = 0;
    int y = 0;
    QString text;
    bool operator==(const PrintRun&) const = default;
};

struct PrintPage {
    std::vector<PrintRun> runs;
    std::vector<QRect> filledRects; // drawn as solid rules
    bool operator==(const PrintPage&) const = default;
};

// What the text stream needs to know about the page and the font.
struct LineMetrics {
    int pageHeight = 0;  // of the printable area, in device pixels
    int lineSpacing = 1; // from one line's top to the next
};

// Lines from the top of the printable area down, one line each, a new page whenever the next
// line would not fit. A page takes at least one line however tall the line is. No lines: one
// empty page (the job still prints a page).
std::vector<PrintPage> layoutTextLines(const QStringList& lines, const LineMetrics& metrics);
