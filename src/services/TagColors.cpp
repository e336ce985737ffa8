// Tag colouring: colour names, tag kinds and the colouring pass.
#include "services/TagColors.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/UiPump.h"

#include <algorithm>

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

// The patterns of the kinds after their "<", lower case, with the rank of their kind: a kind
// later in the order anchor, font, image, table, list wins over an earlier one.
struct KindPattern {
    const char* text;
    TagKind kind;
    int rank;
};

constexpr KindPattern KindPatterns[] = {
    {"a href", TagKind::Anchor, 1}, {"/a", TagKind::Anchor, 1},    {"a name", TagKind::Anchor, 1},
    {"font", TagKind::Font, 2},     {"/font", TagKind::Font, 2},   {"b>", TagKind::Font, 2},
    {"/b>", TagKind::Font, 2},      {"i>", TagKind::Font, 2},      {"/i>", TagKind::Font, 2},
    {"u>", TagKind::Font, 2},       {"/u>", TagKind::Font, 2},     {"img", TagKind::Image, 3},
    {"table", TagKind::Table, 4},   {"/table", TagKind::Table, 4}, {"tr", TagKind::Table, 4},
    {"/tr", TagKind::Table, 4},     {"td", TagKind::Table, 4},     {"/td", TagKind::Table, 4},
    {"th", TagKind::Table, 4},      {"/th", TagKind::Table, 4},    {"ol", TagKind::List, 5},
    {"/ol", TagKind::List, 5},      {"ul", TagKind::List, 5},      {"/ul", TagKind::List, 5},
    {"dl", TagKind::List, 5},       {"/dl", TagKind::List, 5},     {"li", TagKind::List, 5},
    {"/li", TagKind::List, 5},      {"dd", TagKind::List, 5},      {"/dd", TagKind::List, 5},
    {"dt", TagKind::List, 5},       {"/dt", TagKind::List, 5},
};
constexpr qsizetype LongestPattern = 6;

// Lower case for the patterns' letters. Outside ASCII no character lower-cases to a letter of
// a pattern as one character, so those can match nothing and read as 0. (The one that
// lower-cases to a letter and more is dealt with where the text is read.)
char patternChar(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return static_cast<char>(u - u'A' + 'a');
    return u < 0x80 ? static_cast<char>(u) : '\0';
}

// The kind of a tag's text by substring tests, without copying or lower-casing the text: every
// pattern begins with "<", so only the places of a "<" can match. deadGreaterThan: a ">" counts
// only as the text's last character.
TagKind kindOf(QStringView t, bool deadGreaterThan) {
    int rank = 0;
    TagKind kind = TagKind::Default;
    const qsizetype n = t.size();
    for (qsizetype lt = t.indexOf(u'<'); lt >= 0; lt = t.indexOf(u'<', lt + 1)) {
        // The lower-cased characters after the "<". A capital I with a dot lower-cases to an
        // "i" and a combining dot, so it can end a pattern such as "<li".
        char after[LongestPattern + 1] = {};
        qsizetype filled = 0;
        for (qsizetype at = lt + 1; at < n && filled < LongestPattern; ++at) {
            if (t[at] == QChar(0x0130)) {
                after[filled++] = 'i';
                if (filled < LongestPattern)
                    after[filled++] = '\x01';
                continue;
            }
            after[filled++] =
                deadGreaterThan && t[at] == u'>' && at != n - 1 ? '$' : patternChar(t[at]);
        }
        for (const KindPattern& p : KindPatterns) {
            if (p.rank <= rank)
                continue;
            qsizetype i = 0;
            while (p.text[i] != '\0' && p.text[i] == after[i])
                ++i;
            if (p.text[i] == '\0') {
                rank = p.rank;
                kind = p.kind;
            }
        }
    }
    return kind;
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
    return kindOf(tagText, false);
}

TagKind tagKindOf(QStringView tagText) {
    return kindOf(tagText, false);
}

TagKind laterKind(TagKind a, TagKind b) {
    const auto rank = [](TagKind k) {
        for (const KindPattern& p : KindPatterns)
            if (p.kind == k)
                return p.rank;
        return 0;
    };
    return rank(b) > rank(a) ? b : a;
}

TagKind tagKindOfPair(QStringView span) {
    return kindOf(span, true);
}

TagColors TagColors::fromNames(const std::array<QString, 6>& names) {
    TagColors t;
    for (size_t i = 0; i < names.size(); ++i)
        t.colors[i] = ColorFromName(names[i]);
    return t;
}

void forEachTagPair(QStringView line,
                    const std::function<void(qsizetype lt, qsizetype gt)>& onPair) {
    // Each "<" and ">" dealt with lies before the searches' starting points, so the next
    // searches find the next pair without marking anything.
    const qsizetype n = line.size();
    qsizetype fromLt = 0;
    qsizetype fromGt = 0;
    for (;;) {
        const qsizetype a = line.indexOf(u'<', fromLt);
        if (a < 0)
            break;
        const qsizetype b = line.indexOf(u'>', fromGt);
        if (b < 0)
            break;
        if (b < a) {
            // The close of something begun before: no tag; pair the next ">" instead.
            fromGt = b + 1;
            continue;
        }
        onPair(a, b);
        if (b >= n - 1)
            break;
        fromLt = a + 1;
        fromGt = b + 1;
    }
}

QList<TagSpan> tagSpansOfLine(QStringView line) {
    QList<TagSpan> spans;
    forEachTagPair(line, [&](qsizetype a, qsizetype b) {
        spans.append({static_cast<int>(a), static_cast<int>(b - a + 1),
                      tagKindOfPair(line.mid(a, b - a + 1))});
    });
    return spans;
}

TagColoringPass::TagColoringPass(EditWindow& editor, UiPump& pump, StopColoring& stop,
                                 const bool& wrapSetting)
    : m_editor(editor), m_pump(pump), m_stop(stop), m_wrapSetting(wrapSetting) {
}

bool TagColoringPass::colorTags() {
    m_stop.stop = false;
    const quint64 document = m_document ? m_document->generation() : 0;
    // The pass reads the document's own lines, one at a time: it needs neither the word wrap
    // turned off (which lays a big page out twice) nor a copy of the whole text before its first
    // line, so the window runs again within moments of the start.
    const int lines = m_editor.lineCount();
    qint64 lineStart = 0;
    int lastStart = -1;
    int lastLength = 0;
    for (int i = 0; i < lines; ++i) {
        if (m_pump.due()) {
            m_pump.pump();
            if (m_document && m_document->generation() != document) {
                // Another page came in meanwhile (and was coloured if "Color" is on): none of
                // this pass's work belongs to it.
                m_editor.setWordWrap(m_wrapSetting);
                return false;
            }
            if (m_stop.stop) {
                // The selection stands on the last tag coloured, as it would after selecting
                // each.
                if (lastStart >= 0) {
                    m_editor.setSelStart(lastStart);
                    m_editor.setSelLength(lastLength);
                }
                m_editor.setWordWrap(m_wrapSetting);
                return false;
            }
        }
        const QString text = m_editor.line(i);
        const QStringView line(text);
        forEachTagPair(line, [&](qsizetype a, qsizetype b) {
            lastStart = static_cast<int>(lineStart + a);
            lastLength = static_cast<int>(b - a + 1);
            m_editor.colorRange(lastStart, lastLength,
                                m_colors.of(tagKindOfPair(line.mid(a, b - a + 1))));
        });
        lineStart += text.size() + 2;
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
