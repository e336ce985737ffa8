// QtPrinter: drawing printed pages with QPainter.
#include "ui/QtPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QTextLayout>

#include <algorithm>
#include <map>

namespace {
// Positioned text is laid out in pixels of a 300-dot-per-inch page.
constexpr int PositionedDpi = 300;
} // namespace

QtPrinter::QtPrinter(QWidget* parent) : m_parent(parent), m_printer(QPrinter::HighResolution) {
    m_printer.setResolution(PositionedDpi);
}

void QtPrinter::setPdfOutput(const QString& path) {
    m_pdfOutput = path;
}

QFont QtPrinter::textFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(10);
    return f;
}

QString QtPrinter::proposedFileName(const QString& lastFile, const QString& jobTitle) {
    const QFileInfo last(lastFile);
    QString name = jobTitle;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString suffix = last.suffix().isEmpty() ? QStringLiteral("pdf") : last.suffix();
    return last.absolutePath() + QLatin1Char('/') + name + QLatin1Char('.') + suffix;
}

namespace {
// The runs of each line of a page by their places from the left, as (line, runs) pairs.
std::map<int, std::vector<const PrintRun*>> linesOf(const PrintPage& page) {
    std::map<int, std::vector<const PrintRun*>> lines;
    for (const PrintRun& r : page.runs)
        lines[r.y].push_back(&r);
    for (auto& [y, runs] : lines)
        std::sort(runs.begin(), runs.end(),
                  [](const PrintRun* a, const PrintRun* b) { return a->x < b->x; });
    return lines;
}
} // namespace

QFont QtPrinter::columnFont(const std::vector<PrintPage>& pages, const QFont& base,
                            QPaintDevice* device) {
    QFont f = base;
    const auto clear = [&](const QFont& font) {
        const QFontMetrics metrics(font, device);
        for (const PrintPage& page : pages) {
            const auto lines = linesOf(page);
            if (lines.empty())
                continue;
            const std::vector<const PrintRun*>& headings = lines.begin()->second;
            for (size_t i = 0; i + 1 < headings.size(); ++i)
                if (headings[i]->x + metrics.horizontalAdvance(headings[i]->text) + ColumnGap >
                    headings[i + 1]->x)
                    return false;
        }
        return true;
    };
    while (!clear(f) && f.pointSizeF() > 6.0)
        f.setPointSizeF(std::max(6.0, f.pointSizeF() - 0.5));
    return f;
}

bool QtPrinter::choosePrinter(const QString& jobTitle) {
    m_printer.setDocName(jobTitle);
    // A print to file proposes the report in hand, not the file the last report went into.
    if (m_pdfOutput.isEmpty() && !m_printer.outputFileName().isEmpty())
        m_printer.setOutputFileName(proposedFileName(m_printer.outputFileName(), jobTitle));
    if (!m_pdfOutput.isEmpty()) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(m_pdfOutput);
        return true;
    }
    QPrintDialog dialog(&m_printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    return dialog.exec() == QDialog::Accepted;
}

namespace {
QTextOption printOption(const QFontMetrics& metrics, QTextOption::WrapMode wrap) {
    QTextOption option;
    option.setWrapMode(wrap);
    option.setTabStopDistance(8 * metrics.horizontalAdvance(QLatin1Char(' ')));
    return option;
}
} // namespace

QStringList QtPrinter::wrapLines(const QStringList& lines, const QFont& font, QPaintDevice* device,
                                 int width) {
    QStringList out;
    const QTextOption option =
        printOption(QFontMetrics(font, device), QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& line : lines) {
        QTextLayout layout(line, font, device);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = out.size();
        for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
            piece.setLineWidth(width);
            out << line.mid(piece.textStart(), piece.textLength());
        }
        layout.endLayout();
        if (out.size() == before)
            out << QString();
    }
    return out;
}

bool QtPrinter::printLines(const QString& jobTitle, const QStringList& lines,
                           const std::optional<QFont>& font) {
    m_printer.setResolution(PositionedDpi);
    const QFont f = font.value_or(textFont());
    const QFontMetrics metrics(f, &m_printer);
    const QRect page = m_printer.pageLayout().paintRectPixels(m_printer.resolution());
    const std::vector<PrintPage> pages = layoutTextLines(
        wrapLines(lines, f, &m_printer, page.width()), {page.height(), metrics.lineSpacing()});
    return draw(jobTitle, pages, f, 1.0);
}

bool QtPrinter::printPages(const QString& jobTitle, const std::vector<PrintPage>& pages,
                           const std::optional<QFont>& font) {
    m_printer.setResolution(PositionedDpi);
    // The grid's columns lie 250 pixels (under an inch) apart: a small proportional font keeps
    // each heading clear of the next.
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSize(8);
    const QFont f = font.value_or(columnFont(pages, small, &m_printer));
    // A page smaller than the layout (letter paper with wide margins) gets all of it, smaller.
    const QRect page = m_printer.pageLayout().paintRectPixels(m_printer.resolution());
    const QFontMetrics metrics(f, &m_printer);
    int right = 0;
    int bottom = 0;
    for (const PrintPage& p : pages) {
        for (const PrintRun& r : p.runs) {
            right = std::max(right, r.x + metrics.horizontalAdvance(r.text));
            bottom = std::max(bottom, r.y + metrics.height());
        }
        for (const QRect& r : p.filledRects) {
            right = std::max(right, r.right() + 1);
            bottom = std::max(bottom, r.bottom() + 1);
        }
    }
    double scale = 1.0;
    if (right > page.width() && right > 0)
        scale = std::min(scale, double(page.width()) / right);
    if (bottom > page.height() && bottom > 0)
        scale = std::min(scale, double(page.height()) / bottom);
    return draw(jobTitle, pages, f, scale);
}

bool QtPrinter::draw(const QString& jobTitle, const std::vector<PrintPage>& pages,
                     const QFont& font, double scale) {
    m_error.clear();
    m_printer.setDocName(jobTitle);
    if (m_printer.outputFormat() != QPrinter::PdfFormat || m_printer.outputFileName().isEmpty()) {
        if (paint(m_printer, pages, font, scale))
            return true;
        m_error = QStringLiteral("the printer could not print the job.");
        return false;
    }
    // Into a file: written through a file of our own, so that a file that cannot be written (a
    // full disk, a folder without access) is reported with the system's reason instead of
    // leaving an empty or cut file behind in silence.
    QFile file(m_printer.outputFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setTitle(jobTitle);
    writer.setPageLayout(m_printer.pageLayout());
    writer.setResolution(m_printer.resolution());
    const bool painted = paint(writer, pages, font, scale);
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    if (!painted)
        m_error = QStringLiteral("the file could not be printed.");
    return painted;
}

bool QtPrinter::paint(QPagedPaintDevice& device, const std::vector<PrintPage>& pages,
                      const QFont& font, double scale) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.scale(scale, scale);
    painter.setFont(font);
    const QFontMetrics metrics(font, &device);
    const QTextOption option = printOption(metrics, QTextOption::NoWrap);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        for (const QRect& r : pages[i].filledRects)
            painter.fillRect(r, Qt::black);
        for (const auto& [y, runs] : linesOf(pages[i])) {
            for (size_t r = 0; r < runs.size(); ++r) {
                const PrintRun& run = *runs[r];
                // A text that would run into the next one on its line (a long page title in
                // the grid) is cut short with "..."; lines of text come wrapped to the page.
                QString text = run.text;
                if (r + 1 < runs.size())
                    text = metrics.elidedText(text, Qt::ElideRight,
                                              std::max(0, runs[r + 1]->x - run.x - ColumnGap));
                const QRectF box(run.x, run.y, 1e6, metrics.height());
                painter.drawText(box, text, option);
            }
        }
    }
    return painter.end();
}
