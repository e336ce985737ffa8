// The line scanner behind live tag colouring: what each stretch of one line is (a piece of a tag,
// an attribute value, a comment, an entity) given how the line before it ended, and how this line
// ends. Tags and comments may span lines; the content of a SCRIPT or STYLE element is no markup.
#pragma once

#include "services/TagColors.h"

#include <QList>
#include <QStringView>

// Where a line ends, as the next line starts.
struct LiveScanState {
    enum Mode : int {
        Text = 0,
        InTag = 1,    // names and attribute names of a tag
        AfterEquals = 2, // an attribute's "=" read, its value not begun
        DoubleQuoted = 3,
        SingleQuoted = 4,
        Comment = 5,
        ScriptText = 6, // the content of a SCRIPT element, up to its end tag
        StyleText = 7,
    };
    enum Raw : int { NoRaw = 0, Script = 1, Style = 2 };

    Mode mode = Text;
    // The element whose content the tag being read opens (set by a SCRIPT or STYLE start tag).
    Raw raw = NoRaw;
    // The tag's kind by its text on the lines so far.
    TagKind prefixKind = TagKind::Default;
    // Lines of the open tag or comment so far (0 outside one).
    int linesOpen = 0;

    bool inTag() const { return mode >= InTag && mode <= SingleQuoted; }
    bool operator==(const LiveScanState&) const = default;

    // Packed into the low 18 bits of a block state (never negative).
    int pack() const;
    static LiveScanState unpack(int packed);
};

// A tag that has not ended after this many lines ends with its last line, and so does a comment
// after its own number, so that typing a "<" or a quote never colours the rest of a big page
// again line by line.
constexpr int MaxTagLines = 64;
constexpr int MaxCommentLines = 1000;

struct LivePiece {
    enum Role { Tag, Value, Comment, Entity };
    int start;
    int length;
    Role role;
    // For Tag and Value: which tag of the line the piece belongs to (0 the first).
    int tag;
};

struct LiveLine {
    QList<LivePiece> pieces;
    // The kind of each tag of the line by its text on this line alone (tagKindOf).
    QList<TagKind> tagKinds;
    // The first tag began on an earlier line; the last one goes on to the next line.
    bool firstContinues = false;
    bool lastContinues = false;
    LiveScanState end;
};

// Scans one line (a block's text, no line end) that starts in the state `start`.
LiveLine scanLiveLine(QStringView line, const LiveScanState& start);
