// The text stream's page layout.
#include "platform/PrintLayout.h"

#include <algorithm>

std::vector<PrintPage> layoutTextLines(const QStringList& lines, const LineMetrics& metrics) {
    std::vector<PrintPage> pages(1);
    const int spacing = std::max(1, metrics.lineSpacing);
    int y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + spacing > metrics.pageHeight) {
            pages.emplace_back();
            y = 0;
        }
        pages.back().runs.push_back({0, y, line});
        y += spacing;
    }
    return pages;
}
