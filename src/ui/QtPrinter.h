// QtPrinter: the Printer over QPrinter, asked for with QPrintDialog (a CUPS printer or "Print to
// File (PDF)").
#pragma once

#include "platform/Printer.h"

#include <QPrinter>

class QWidget;

class QtPrinter : public Printer {
public:
    explicit QtPrinter(QWidget* parent = nullptr);

    // Print into this PDF file without showing the dialog (batch use and tests).
    void setPdfOutput(const QString& path);
    QPrinter& printer() { return m_printer; }

    bool choosePrinter(const QString& jobTitle) override;
    bool printLines(const QString& jobTitle, const QStringList& lines,
                    const std::optional<QFont>& font) override;
    bool printPages(const QString& jobTitle, const std::vector<PrintPage>& pages,
                    const std::optional<QFont>& font) override;

    QString errorText() const override { return m_error; }

    // The font lines are printed in when none is given.
    static QFont textFont();
    // The file a print to file proposes: the report being printed (its job title) in the folder
    // and with the kind of the file printed to last.
    static QString proposedFileName(const QString& lastFile, const QString& jobTitle);
    // The font for text placed in columns: base, made smaller (to no less than 6 points) until
    // each page's headings (its first line) end clear of the next heading on the line.
    static QFont columnFont(const std::vector<PrintPage>& pages, const QFont& base,
                            QPaintDevice* device);
    // Room left between a run of positioned text and the next one on its line.
    static constexpr int ColumnGap = 24;
    // Each line cut into the pieces that fit width device pixels in font, as the editor wraps a
    // long line: after a blank where there is one, else anywhere. An empty line stays one line.
    static QStringList wrapLines(const QStringList& lines, const QFont& font, QPaintDevice* device,
                                 int width);

private:
    bool draw(const QString& jobTitle, const std::vector<PrintPage>& pages, const QFont& font,
              double scale);
    bool paint(QPagedPaintDevice& device, const std::vector<PrintPage>& pages, const QFont& font,
               double scale);

    QWidget* m_parent;
    QString m_pdfOutput;
    QPrinter m_printer;
    QString m_error;
};
