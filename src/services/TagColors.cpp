// Tag colouring: colour names, tag kinds and the colouring pass.
#include "services/TagColors.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/UiPump.h"

namespace {

struct NamedColor {
    const char* name;
    int red, green, blue;
};

constexpr NamedColor NamedColors[] = {
    {"clBlack", 0, 0, 0},     {"clRed", 255, 0, 0},      {"clMaroon", 128, 0, 0},
    {"clBlue", 0, 0, 255},    {"clNavy", 0, 0, 128},     {"clGreen", 0, 128, 0},
    {"clOlive", 128, 128, 0}, {"clPurple", 128, 0, 128}, {"clGray", 128, 128, 128},
    {"clTeal", 0, 128, 128},
};
constexpr int RedIndex = 1;

bool holdsAny(const QString& text, std::initializer_list<const char*> patterns) {
    for (const char* p : patterns)
        if (text.contains(QLatin1String(p)))
            return true;
    return false;
}

} // namespace

const QStringList& colorNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const NamedColor& c : NamedColors)
            n << QLatin1String(c.name);
        return n;
    }();
    return names;
}

QColor ColorFromName(const QString& name) {
    for (const NamedColor& c : NamedColors)
        if (name == QLatin1String(c.name))
            return QColor(c.red, c.green, c.blue);
    return QColor(255, 0, 0);
}

int ColorListIndex(const QColor& color) {
    for (int i = 0; i < static_cast<int>(std::size(NamedColors)); ++i) {
        const NamedColor& c = NamedColors[i];
        if (color.red() == c.red && color.green() == c.green && color.blue() == c.blue)
            return i;
    }
    return RedIndex;
}

TagKind tagKindOf(const QString& tagText) {
    const QString t = tagText.toLower();
    TagKind kind = TagKind::Default;
    if (holdsAny(t, {"<a href", "</a", "<a name"}))
        kind = TagKind::Anchor;
    if (holdsAny(t, {"<font", "</font", "<b>", "</b>", "<i>", "</i>", "<u>", "</u>"}))
        kind = TagKind::Font;
    if (holdsAny(t, {"<img"}))
        kind = TagKind::Image;
    if (holdsAny(t, {"<table", "</table", "<tr", "</tr", "<td", "</td", "<th", "</th"}))
        kind = TagKind::Table;
    if (holdsAny(t, {"<ol", "</ol", "<ul", "</ul", "<dl", "</dl", "<li", "</li", "<dd", "</dd",
                     "<dt", "</dt"}))
        kind = TagKind::List;
    return kind;
}

TagColors TagColors::fromNames(const std::array<QString, 6>& names) {
    TagColors t;
    for (size_t i = 0; i < names.size(); ++i)
        t.colors[i] = ColorFromName(names[i]);
    return t;
}

void forEachTagPair(
    const QString& line,
    const std::function<void(const QString& marked, qsizetype lt, qsizetype gt)>& onPair) {
    // The working copy: each "<" and ">" dealt with becomes "$", so the next search finds the
    // next pair. The searches go on from the last ones: everything before them is dealt with.
    QString w = line;
    const qsizetype n = w.size();
    qsizetype fromLt = 0;
    qsizetype fromGt = 0;
    for (;;) {
        const qsizetype a = w.indexOf(QLatin1Char('<'), fromLt);
        if (a < 0)
            break;
        const qsizetype b = w.indexOf(QLatin1Char('>'), fromGt);
        if (b < 0)
            break;
        if (b < a) {
            // The close of something begun before: no tag; pair the next ">" instead.
            w[b] = QLatin1Char('$');
            fromGt = b + 1;
            continue;
        }
        onPair(w, a, b);
        if (b >= n - 1)
            break;
        w[a] = QLatin1Char('$');
        w[b] = QLatin1Char('$');
        fromLt = a + 1;
        fromGt = b + 1;
    }
}

QList<TagSpan> tagSpansOfLine(const QString& line) {
    QList<TagSpan> spans;
    forEachTagPair(line, [&](const QString& marked, qsizetype a, qsizetype b) {
        spans.append({static_cast<int>(a), static_cast<int>(b - a + 1),
                      tagKindOf(marked.mid(a, b - a + 1))});
    });
    return spans;
}

TagColoringPass::TagColoringPass(EditWindow& editor, UiPump& pump, StopColoring& stop,
                                 const bool& wrapSetting)
    : m_editor(editor), m_pump(pump), m_stop(stop), m_wrapSetting(wrapSetting) {
}

bool TagColoringPass::colorTags() {
    m_stop.stop = false;
    // Unwrapped, the editor's lines are the document's lines.
    m_editor.setWordWrap(false);
    const QString text = m_editor.text();
    const QString lineEnd = QStringLiteral("\r\n");
    qsizetype lineStart = 0;
    int lastStart = -1;
    int lastLength = 0;
    while (lineStart < text.size()) {
        m_pump.pump();
        if (m_stop.stop) {
            // The selection stands on the last tag coloured, as it would after selecting each.
            if (lastStart >= 0) {
                m_editor.setSelStart(lastStart);
                m_editor.setSelLength(lastLength);
            }
            m_editor.setWordWrap(m_wrapSetting);
            return false;
        }
        qsizetype lineEndAt = text.indexOf(lineEnd, lineStart);
        if (lineEndAt < 0)
            lineEndAt = text.size();
        const QString line = text.mid(lineStart, lineEndAt - lineStart);
        for (const TagSpan& span : tagSpansOfLine(line)) {
            lastStart = static_cast<int>(lineStart) + span.start;
            lastLength = span.length;
            m_editor.colorRange(lastStart, lastLength, m_colors.of(span.kind));
        }
        lineStart = lineEndAt + lineEnd.size();
    }
    m_editor.setWordWrap(m_wrapSetting);
    m_editor.setSelStart(0);
    return true;
}

void TagColoringPass::colorTagsNow(const HtmlDocument& document) {
    if (document.currentHtmlFile().isEmpty())
        return;
    colorTags();
}
