// Tag colouring: the ten colour names, the six tag kinds and their colours, and the pass that
// colours every tag of the editor's text by its kind.
#pragma once

#include "app/ShellParts.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>

class EditWindow;
class HtmlDocument;
class UiPump;

// The ten names a tag colour is stored as, in the order of the settings dialog's lists.
const QStringList& colorNames();
// A stored name's colour; names compare exactly. A name outside the ten (a hand-edited settings
// file) gives red, the stored default.
QColor ColorFromName(const QString& name);
// A colour's place in the settings dialog's lists (0 to 9); a colour of none of the ten names
// gives the place of red, the default, so the list always shows a valid entry.
int ColorListIndex(const QColor& color);

// The kinds in the order of the Colors keys of OPTIONS.INI (DEFAULT, HREF, IMG, FONT, TABLE,
// LIST), which is also the order of Settings::tagColors.
enum class TagKind { Default = 0, Anchor = 1, Image = 2, Font = 3, Table = 4, List = 5 };

// The kind of a tag's text: substring tests on the lower-cased text, a later kind of the order
// anchor, font, image, table, list winning over an earlier one.
TagKind tagKindOf(const QString& tagText);
TagKind tagKindOf(QStringView tagText);
// Of two kinds found in parts of one tag's text, the one the whole text has: the later in the
// order anchor, font, image, table, list. No kind's pattern spans a line end, so a tag written
// over several lines has the later of its lines' kinds.
TagKind laterKind(TagKind a, TagKind b);

struct TagColors {
    std::array<QColor, 6> colors{Qt::red, Qt::red, Qt::red, Qt::red, Qt::red, Qt::red};

    static TagColors fromNames(const std::array<QString, 6>& names);
    const QColor& of(TagKind kind) const { return colors[static_cast<size_t>(kind)]; }
};

// One tag found on a line: its start in the line and its length.
struct TagSpan {
    int start;
    int length;
    TagKind kind;
};

// Pairs the "<" and ">" of one line as the colouring and the in-tags slash replacement both
// need it: the k-th "<" with the k-th ">". A ">" standing before the next "<" (the end of a tag
// begun on an earlier line) is passed over, and a "<" with no ">" after it ends the line's work.
// Calls onPair with the positions of the pair's "<" and ">". Every ">" inside a pair's span but
// its last has been dealt with already (it closed an earlier pair or was passed over).
void forEachTagPair(QStringView line,
                    const std::function<void(qsizetype lt, qsizetype gt)>& onPair);

// The kind of a pair's span of a line, as the pairing leaves it: a ">" before the span's last
// character was dealt with earlier and counts as no ">" (it cannot end a "<b>" pattern).
TagKind tagKindOfPair(QStringView span);

// The tags of one line: the k-th "<" paired with the k-th ">". A ">" standing before the next
// "<" (the end of a tag begun on an earlier line) is passed over, and a "<" with no ">" after it
// ends the line's work, so nothing outside the line is ever coloured and the scan always ends.
QList<TagSpan> tagSpansOfLine(QStringView line);

// The stop flag that the stop button and a press in the editor set, shared by the colouring
// pass and the in-tags slash replacement.
struct StopColoring {
    bool stop = false;
};

// ColorTags over the editor. Lines are taken from one copy of the text made when the pass
// starts; before a line, whenever the pump is due, pending events run and a stop seen after
// them ends the pass there.
class TagColoringPass : public TagColouring {
public:
    // wrapSetting: the "Wrap" setting the editor's word wrap returns to.
    TagColoringPass(EditWindow& editor, UiPump& pump, StopColoring& stop, const bool& wrapSetting);

    void setColors(const TagColors& colors) { m_colors = colors; }
    // The document the editor holds: a pass ends, touching nothing more, as soon as it finds
    // that the document it started on was replaced or closed while the window ran.
    void setDocument(const HtmlDocument* document) { m_document = document; }
    const TagColors& colors() const { return m_colors; }

    // Returns false when the pass was stopped.
    bool colorTags();
    // TagColouring: run after a file is loaded while "Color" is on.
    void colourText() override { colorTags(); }
    // "Color Tags Now": only while a document is open (the untitled one counts).
    void colorTagsNow(const HtmlDocument& document);

private:
    EditWindow& m_editor;
    UiPump& m_pump;
    StopColoring& m_stop;
    const bool& m_wrapSetting;
    TagColors m_colors;
    const HtmlDocument* m_document = nullptr;
};
