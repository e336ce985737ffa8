// The frames builder's model and texts.
#include "tags/FramesBuilder.h"

#include "tags/TagText.h"

#include <QStringList>
#include <algorithm>

namespace {

const int pictureLeft = 16;
const int pictureTop = 36;
const int pictureWidth = 320;
const int pictureHeight = 240;

QString letter(int k) {
    return QString(QLatin1Char(static_cast<char>('A' + k - 1)));
}

} // namespace

QString frameSizeList(int parts) {
    QString list;
    for (int i = 1; i < parts; ++i)
        list += QString::number(100 / parts) + QStringLiteral("%,");
    return list + QLatin1Char('*');
}

QString frameLine(const QString& indent, const FrameSlot& frame) {
    QString line = indent + QStringLiteral("<FRAME NAME=\"") + attributeValue(frame.name) +
                   QStringLiteral("\" SRC=\"") + attributeValue(frame.source) +
                   QStringLiteral("\" SCROLLING=\"") + frame.scrolling + QStringLiteral("\" ");
    if (frame.noResize)
        line += QStringLiteral("NORESIZE");
    if (frame.noBorder)
        line += QStringLiteral(" FRAMEBORDER=\"0\"");
    return line + QLatin1Char('>');
}

// Wizard ----------------------------------------------------------------------------------------

void FrameWizard::setMainCount(int count) {
    m_mainCount = std::clamp(count, 2, maxFrames);
}

void FrameWizard::setSubCount(int n, int count) {
    if (n >= 1 && n <= maxFrames)
        m_subCounts[static_cast<size_t>(n - 1)] = std::clamp(count, 1, maxFrames);
}

QString FrameWizard::caption(int k) const {
    const int n = (k - 1) / 5 + 1;
    const int sub = (k - 1) % 5 + 1;
    QString text = QStringLiteral("Frame") + QString::number(n);
    if (subCount(n) >= 2)
        text += letter(sub);
    return text;
}

QList<FrameRectangle> FrameWizard::rectangles() const {
    QList<FrameRectangle> out;
    const bool columns = m_orientation == FrameOrientation::Columns;
    for (int i = 0; i < m_mainCount; ++i) {
        QRect main;
        if (columns) {
            const int w = pictureWidth / m_mainCount;
            main = QRect(pictureLeft + i * w, pictureTop, w, pictureHeight);
        } else {
            const int h = pictureHeight / m_mainCount;
            main = QRect(pictureLeft, pictureTop + i * h, pictureWidth, h);
        }
        const int first = i * 5 + 1;
        out << FrameRectangle{first, QStringLiteral("Frame") + QString::number(i + 1), main, false};
        const int k = subCount(i + 1);
        if (k < 2)
            continue;
        for (int j = 0; j < k; ++j) {
            QRect sub = main;
            if (columns) {
                sub.setTop(pictureTop + j * (pictureHeight / k));
                sub.setHeight(pictureHeight / k);
            } else {
                sub.setLeft(pictureLeft + j * (pictureWidth / k));
                sub.setWidth(pictureWidth / k);
            }
            out << FrameRectangle{first + j, caption(first + j), sub, true};
        }
    }
    return out;
}

void FrameWizard::storePanel() {
    slotRef(m_current) = panel;
}

void FrameWizard::loadSlot(int k) {
    panel = slot(k);
    if (panel.name == QLatin1String("*"))
        panel.name = caption(k);
    m_current = k;
}

bool FrameWizard::next() {
    if (m_step == 1) {
        for (int n = m_mainCount + 1; n <= maxFrames; ++n)
            setSubCount(n, 1);
        m_step = 2;
        return false;
    }
    if (m_step == 2) {
        // Only the first slot follows the split of main frame 1 by its default name.
        FrameSlot& first = slotRef(1);
        if (subCount(1) >= 2) {
            if (first.name == QLatin1String("Frame1"))
                first.name = QStringLiteral("Frame1A");
        } else if (first.name == QLatin1String("Frame1A")) {
            first.name = QStringLiteral("Frame1");
        }
        loadSlot(1);
        m_step = 3;
        return false;
    }
    if (m_step == 3) {
        storePanel();
        for (int n = 1; n <= maxFrames; ++n) {
            for (int sub = 1; sub <= 5; ++sub) {
                FrameSlot& s = slotRef((n - 1) * 5 + sub);
                if (s.name != QLatin1String("*"))
                    continue;
                s.name = QStringLiteral("Frame") + QString::number(n);
                if (sub >= 2 || subCount(n) >= 2)
                    s.name += letter(sub);
            }
        }
        m_step = 4;
        return true;
    }
    return m_step == 4;
}

void FrameWizard::back() {
    if (m_step == 3)
        storePanel();
    if (m_step > 1 && m_step < 4)
        --m_step;
}

void FrameWizard::clickSlot(int k) {
    if (m_step != 3 || k < 1 || k > 25)
        return;
    storePanel();
    loadSlot(k);
}

QString FrameWizard::text(bool lowerCase) const {
    const bool columns = m_orientation == FrameOrientation::Columns;
    const QString main = columns ? QStringLiteral("COLS") : QStringLiteral("ROWS");
    const QString other = columns ? QStringLiteral("ROWS") : QStringLiteral("COLS");
    QStringList lines;
    lines << QStringLiteral("<FRAMESET ") + other + QStringLiteral("=\"100%\" ") + main +
                 QStringLiteral("=\"") + frameSizeList(m_mainCount) + QStringLiteral("\">");
    for (int n = 1; n <= m_mainCount; ++n) {
        const int k = subCount(n);
        const int first = (n - 1) * 5 + 1;
        if (k < 2) {
            lines << frameLine(QStringLiteral("    "), slot(first));
            continue;
        }
        lines << QStringLiteral("    <FRAMESET ") + other + QStringLiteral("=\"") +
                     frameSizeList(k) + QStringLiteral("\">");
        for (int j = 0; j < k; ++j)
            lines << frameLine(QStringLiteral("        "), slot(first + j));
        lines << QStringLiteral("    </FRAMESET>");
    }
    lines << QStringLiteral("<NOFRAME>") << QStringLiteral("</NOFRAME>")
          << QStringLiteral("</FRAMESET>");
    // Nothing but the program's tags, every value in quotes.
    return tagCase(joinLines(lines), lowerCase);
}

// Templates -------------------------------------------------------------------------------------

bool frameTemplateUsesPink(int design) {
    return design == 3 || design == 4;
}

QString frameTemplateText(int design, const FrameSlot& yellow, const FrameSlot& white,
                          const FrameSlot& pink, bool lowerCase) {
    const QString four = QStringLiteral("    ");
    QStringList lines;
    switch (design) {
    default:
    case 1:
        lines << QStringLiteral("<FRAMESET ROWS=\"100%\" COLS=\"20%,*\">")
              << frameLine(four, yellow) << frameLine(four, white);
        break;
    case 2:
        lines << QStringLiteral("<FRAMESET COLS=\"100%\" ROWS=\"20%,*\">")
              << frameLine(four, yellow) << frameLine(four, white);
        break;
    case 3:
        lines << QStringLiteral("<FRAMESET COLS=\"100%\" ROWS=\"20%,60%,*\">")
              << frameLine(four, yellow) << frameLine(four, white) << frameLine(four, pink);
        break;
    case 4:
        lines << QStringLiteral("<FRAMESET ROWS=\"100%\" COLS=\"20%,*\">")
              << frameLine(four, yellow) << QStringLiteral("    <FRAMESET ROWS=\"20%,*\">")
              << frameLine(four + four, pink) << frameLine(four + four, white)
              << QStringLiteral("    </FRAMESET>");
        break;
    case 5:
        lines << QStringLiteral("<FRAMESET COLS=\"100%\" ROWS=\"80%,*\">") << frameLine(four, white)
              << frameLine(four, yellow);
        break;
    }
    lines << QStringLiteral("<NOFRAME>") << QStringLiteral("</NOFRAME>")
          << QStringLiteral("</FRAMESET>");
    return tagCase(joinLines(lines), lowerCase);
}

// The FRAMESET and FRAME dialogs ----------------------------------------------------------------

QString framesetText(const QString& cols, const QString& rows, const QString& selected,
                     bool lowerCase) {
    QString first = QStringLiteral("<FRAMESET");
    if (!cols.isEmpty())
        first += QStringLiteral(" COLS=\"") + attributeValue(cols) + QLatin1Char('"');
    if (!rows.isEmpty())
        first += QStringLiteral(" ROWS=\"") + attributeValue(rows) + QLatin1Char('"');
    QStringList lines{tagCase(first + QLatin1Char('>'), lowerCase)};
    if (!selected.isEmpty()) {
        QString text = selected;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QStringList cut = text.split(QLatin1Char('\n'));
        // An empty last line after a final line break is no line.
        if (cut.last().isEmpty())
            cut.removeLast();
        for (const QString& line : cut)
            lines << QStringLiteral("    ") + line;
    }
    lines << names(QLatin1String("</FRAMESET>"), lowerCase);
    return joinLines(lines);
}

QString frameDialogText(const FrameSlot& frame, bool lowerCase) {
    QString line = QStringLiteral("<FRAME NAME=\"") + attributeValue(frame.name) +
                   QStringLiteral("\" SRC=\"") + attributeValue(frame.source) +
                   QStringLiteral("\" SCROLLING=\"") + frame.scrolling + QStringLiteral("\" ");
    if (frame.noResize)
        line += QStringLiteral(" NORESIZE");
    if (frame.noBorder)
        line += QStringLiteral(" FRAMEBORDER=\"0\"");
    return joinLines({tagCase(line + QLatin1Char('>'), lowerCase)});
}
