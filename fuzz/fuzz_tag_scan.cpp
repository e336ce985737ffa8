// Fuzzes the scans of a line of HTML that colouring and the in-tags slash replacement make: any
// text gives tags that start at a "<" and end at a ">" inside the line, back slashes inside the
// line, and always ends. The tags and their kinds must be those of the plain reading of the
// pairing rule, which marks each bracket dealt with in a copy of the line, and of substring
// tests on the lower-cased tag.
#include "services/FindReplace.h"
#include "services/TagColors.h"

#include <cstddef>
#include <cstdint>

namespace {

bool holdsAny(const QString& text, std::initializer_list<const char*> patterns) {
    for (const char* p : patterns)
        if (text.contains(QLatin1String(p)))
            return true;
    return false;
}

// The kind by substring tests on the lower-cased text, a later kind winning.
TagKind referenceKind(const QString& tag) {
    const QString t = tag.toLower();
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

// The k-th "<" with the k-th ">", brackets dealt with overwritten by "$" in a working copy.
QList<TagSpan> markingReference(const QString& line) {
    QList<TagSpan> spans;
    QString w = line;
    for (;;) {
        const qsizetype a = w.indexOf(u'<');
        if (a < 0)
            break;
        const qsizetype b = w.indexOf(u'>');
        if (b < 0)
            break;
        if (b < a) {
            w[b] = u'$';
            continue;
        }
        spans.append(
            {static_cast<int>(a), static_cast<int>(b - a + 1), referenceKind(w.mid(a, b - a + 1))});
        if (b >= w.size() - 1)
            break;
        w[a] = u'$';
        w[b] = u'$';
    }
    return spans;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<TagSpan> spans = tagSpansOfLine(line);
    const QList<TagSpan> reference = markingReference(line);
    if (spans.size() != reference.size())
        __builtin_trap();
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const TagSpan& s = spans[i];
        if (s.start != reference[i].start || s.length != reference[i].length ||
            s.kind != reference[i].kind)
            __builtin_trap();
        if (s.start < 0 || s.length < 1 || s.start + s.length > line.size() ||
            line[s.start] != u'<' || line[s.start + s.length - 1] != u'>')
            __builtin_trap();
    }
    int previous = -1;
    for (int p : slashPositionsInLine(line)) {
        if (p <= previous || p >= line.size() || line[p] != u'\\')
            __builtin_trap();
        previous = p;
    }
    return 0;
}
