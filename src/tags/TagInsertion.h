// The insertion routines every tag command ends in: a tag wrapped round the selection or put at
// a point, a multi-line block round the selected lines, an empty table, the hand-over of a tag
// dialog's text, and the Comment, Mail To and Last Modified commands built on them.
//
// Every routine changes the text in one replacement, so one undo step takes an insertion back;
// the clipboard effects of the block, table and dialog insertions (the clipboard holds the
// inserted text) hold all the same.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Clipboard;
class EditWindow;

// The sixteen texts inserted at a point rather than round the selection (exact comparison).
const QStringList& pointTags();

// Who asked for a wrapped insertion: Mail To and Comment leave the caret before their closing
// text instead of selecting what they inserted.
enum class TagInvoker { Other, MailTo, Comment };

// The lines a block is assembled in, with the line rules of a plain multi-line edit control:
// pasted text keeps its line breaks; an empty last line after a final break is not counted;
// appending after an empty last line writes the line and a break, after a non-empty one a break
// and the line; a line put at the top is followed by a break.
//
// Every operation is one pass over the text: a block round a whole page of many thousand lines
// costs no more than copying it.
class ScratchLines {
public:
    void clear() { m_text.clear(); }
    void paste(const QString& text) { m_text += text; }
    int lineCount() const;
    // Puts prefix in front of every counted line, empty lines included; the line breaks stay.
    void prefixLines(const QString& prefix);
    void insertFirst(const QString& line);
    void append(const QString& line);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The hand-over of a tag dialog: set only by its OK button, after it put the generated text on
// the clipboard.
struct TagDialogResult {
    bool accepted = false;
    int length = 0;
};

// The text of a block around selected text: tagName is UL, OL, DL, FRAMESET, NOFRAMES or NEW.
// lowerCase: the tags in lower case; the selected text stays as it is.
QString blockText(const QString& tagName, const QString& selected, bool lowerCase = false);
// The empty table of rows by columns (1 to 5 each; other values are clamped).
QString tableGridText(int rows, int columns, bool lowerCase = false);
// "Last Modified: Monday, Dec 7, 2026, at 02:57 AM" between "<!--" and "-->", in English
// whatever the machine's language, so that a page does not change language with the machine.
QString lastModifiedText(const QDateTime& when);

class TagInserter {
public:
    // markModified: sets HtmlModified; called by each routine that changed the text.
    TagInserter(EditWindow& editor, Clipboard& clipboard, std::function<void()> markModified);
    // Where the "Write tags in lower case" setting is read, as it stands when a command runs.
    // Unset: upper case.
    void setLowerCase(std::function<bool()> lowerCase) { m_lowerCase = std::move(lowerCase); }
    bool lowerCase() const { return m_lowerCase && m_lowerCase(); }

    void insertTag(const QString& text, TagInvoker invoker = TagInvoker::Other);
    // A wrapped command: start text, the selected text and end text joined; the tags in the
    // case of the setting.
    void wrap(const QString& start, const QString& end, TagInvoker invoker = TagInvoker::Other);
    void insertBlock(const QString& tagName);
    void insertTableGrid(int rows, int columns);
    // After a tag dialog closed: pastes its text and selects it. Nothing when not accepted.
    void pasteDialogResult(const TagDialogResult& result, bool collapseFirst);
    void comment();
    // Mail To with the address the dialog gave (nullopt: cancelled, nothing inserted). Returns
    // whether it inserted, so that the caller stores the address.
    bool mailTo(const std::optional<QString>& address);
    void insertLastModified(const QDateTime& when);

    // The tag panel's two lists: a tag entry with a "." round the selection, one without in
    // front of it; an attribute in front of the selection with the caret after it.
    void insertPanelTag(const QString& entry);
    void insertPanelAttribute(const QString& attribute);
    // A custom tag: start tag, selected text, end tag, all of it left selected.
    void insertCustomTag(const QString& start, const QString& end);

    void markModified() { m_markModified(); }
    EditWindow& editor() { return m_editor; }
    Clipboard& clipboard() { return m_clipboard; }

private:
    void selectInserted(int start, const QString& text);

    EditWindow& m_editor;
    Clipboard& m_clipboard;
    std::function<void()> m_markModified;
    std::function<bool()> m_lowerCase;
};
