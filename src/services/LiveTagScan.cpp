// The line scanner of live tag colouring.
#include "services/LiveTagScan.h"

namespace {

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return isAsciiDigit(c) || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v';
}

// Whether the text at `at` is `word` (lower case ASCII), in any case, followed by no letter or
// digit.
bool isName(QStringView s, qsizetype at, QLatin1StringView word) {
    if (at + word.size() > s.size())
        return false;
    if (s.mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype after = at + word.size();
    return after == s.size() || !(isAsciiLetter(s[after]) || isAsciiDigit(s[after]));
}

// The end of an entity ("&name;", "&#123;", "&#x1F;") starting at `at`, or -1.
qsizetype entityEnd(QStringView s, qsizetype at) {
    qsizetype j = at + 1;
    const qsizetype n = s.size();
    if (j < n && s[j] == u'#') {
        ++j;
        const bool hex = j < n && (s[j] == u'x' || s[j] == u'X');
        if (hex)
            ++j;
        const qsizetype digits = j;
        while (j < n && (hex ? isHexDigit(s[j]) : isAsciiDigit(s[j])))
            ++j;
        if (j == digits)
            return -1;
    } else {
        if (j >= n || !isAsciiLetter(s[j]))
            return -1;
        while (j < n && (isAsciiLetter(s[j]) || isAsciiDigit(s[j])))
            ++j;
    }
    return j < n && s[j] == u';' ? j + 1 : -1;
}

constexpr int ModeBits = 3;
constexpr int RawBits = 2;
constexpr int KindBits = 3;

} // namespace

int LiveScanState::pack() const {
    return int(mode) | int(raw) << ModeBits | int(prefixKind) << (ModeBits + RawBits) |
           linesOpen << (ModeBits + RawBits + KindBits);
}

LiveScanState LiveScanState::unpack(int packed) {
    LiveScanState s;
    s.mode = Mode(packed & 7);
    s.raw = Raw((packed >> ModeBits) & 3);
    s.prefixKind = TagKind((packed >> (ModeBits + RawBits)) & 7);
    s.linesOpen = (packed >> (ModeBits + RawBits + KindBits)) & 1023;
    return s;
}

LiveLine scanLiveLine(QStringView s, const LiveScanState& start) {
    LiveLine out;
    LiveScanState st = start;
    const qsizetype n = s.size();
    qsizetype i = 0;
    int tag = -1;
    qsizetype tagFrom = 0;
    qsizetype openFrom = 0; // the start of a value or comment on this line
    const auto piece = [&out](qsizetype from, qsizetype to, LivePiece::Role role, int t) {
        if (to > from)
            out.pieces.append({int(from), int(to - from), role, t});
    };
    const auto endTag = [&](qsizetype to) {
        piece(tagFrom, to, LivePiece::Tag, tag);
        out.tagKinds.append(tagKindOf(s.mid(tagFrom, to - tagFrom)));
    };
    if (st.inTag()) {
        tag = 0;
        out.firstContinues = true;
    }
    // The tag or comment open at the line's start is still the one open.
    bool continuing = st.inTag() || st.mode == LiveScanState::Comment;

    while (i < n) {
        const QChar c = s[i];
        switch (st.mode) {
        case LiveScanState::Text:
            if (c == u'<') {
                if (s.mid(i, 4) == u"<!--") {
                    st.mode = LiveScanState::Comment;
                    openFrom = i;
                    i += 4;
                    // A comment opened at the line's end is drawn here (nothing is left to scan).
                    if (i >= n)
                        piece(openFrom, n, LivePiece::Comment, -1);
                    break;
                }
                const QChar next = i + 1 < n ? s[i + 1] : QChar();
                const bool endTagStart = next == u'/' && i + 2 < n && isAsciiLetter(s[i + 2]);
                if (isAsciiLetter(next) || endTagStart || next == u'!' || next == u'?') {
                    ++tag;
                    tagFrom = i;
                    st.mode = LiveScanState::InTag;
                    st.raw = isName(s, i + 1, QLatin1StringView("script")) ? LiveScanState::Script
                             : isName(s, i + 1, QLatin1StringView("style"))
                                 ? LiveScanState::Style
                                 : LiveScanState::NoRaw;
                    ++i;
                    break;
                }
            } else if (c == u'&') {
                const qsizetype end = entityEnd(s, i);
                if (end > 0) {
                    piece(i, end, LivePiece::Entity, -1);
                    i = end;
                    break;
                }
            }
            ++i;
            break;
        case LiveScanState::InTag:
            if (c == u'>') {
                endTag(i + 1);
                st.mode = st.raw == LiveScanState::Script  ? LiveScanState::ScriptText
                          : st.raw == LiveScanState::Style ? LiveScanState::StyleText
                                                           : LiveScanState::Text;
                st.raw = LiveScanState::NoRaw;
                st.prefixKind = TagKind::Default;
                st.linesOpen = 0;
                continuing = false;
            } else if (c == u'=') {
                st.mode = LiveScanState::AfterEquals;
            }
            ++i;
            break;
        case LiveScanState::AfterEquals:
            if (isSpace(c)) {
                ++i;
            } else if (c == u'"' || c == u'\'') {
                st.mode = c == u'"' ? LiveScanState::DoubleQuoted : LiveScanState::SingleQuoted;
                openFrom = i;
                ++i;
            } else if (c == u'>') {
                st.mode = LiveScanState::InTag; // the ">" ends the tag there
            } else {
                qsizetype j = i;
                while (j < n && !isSpace(s[j]) && s[j] != u'>')
                    ++j;
                piece(i, j, LivePiece::Value, tag);
                st.mode = LiveScanState::InTag;
                i = j;
            }
            break;
        case LiveScanState::DoubleQuoted:
        case LiveScanState::SingleQuoted: {
            const qsizetype q = s.indexOf(st.mode == LiveScanState::DoubleQuoted ? u'"' : u'\'', i);
            const qsizetype to = q < 0 ? n : q + 1;
            piece(openFrom, to, LivePiece::Value, tag);
            if (q >= 0)
                st.mode = LiveScanState::InTag;
            i = to;
            break;
        }
        case LiveScanState::Comment: {
            const qsizetype k = s.indexOf(u"-->", i);
            const qsizetype to = k < 0 ? n : k + 3;
            piece(openFrom, to, LivePiece::Comment, -1);
            if (k >= 0) {
                st.mode = LiveScanState::Text;
                st.linesOpen = 0;
                continuing = false;
            }
            i = to;
            break;
        }
        case LiveScanState::ScriptText:
        case LiveScanState::StyleText: {
            // The content ends where the element's end tag begins; that tag is read as text is.
            const auto endTagName = st.mode == LiveScanState::ScriptText
                                        ? QLatin1StringView("</script")
                                        : QLatin1StringView("</style");
            const qsizetype k = s.indexOf(endTagName, i, Qt::CaseInsensitive);
            if (k < 0) {
                i = n;
            } else {
                st.mode = LiveScanState::Text;
                i = k;
            }
            break;
        }
        }
    }

    // What goes on past the line end.
    if (st.inTag()) {
        endTag(n);
        st.prefixKind =
            laterKind(continuing ? start.prefixKind : TagKind::Default, out.tagKinds.last());
        st.linesOpen = (continuing ? start.linesOpen : 0) + 1;
        out.lastContinues = true;
    } else if (st.mode == LiveScanState::Comment) {
        st.linesOpen = (continuing ? start.linesOpen : 0) + 1;
    }
    if (st.linesOpen >= (st.mode == LiveScanState::Comment ? MaxCommentLines : MaxTagLines)) {
        // Too long to be a tag or a comment: it ends here.
        st = LiveScanState{};
        out.lastContinues = false;
    }
    out.end = st;
    return out;
}
