// EditWindow: the editor of the main window as every command sees it.
//
// All positions are character offsets in which each line end counts as two characters (CR LF),
// as the program's algorithms expect; text() returns the text with CR LF line ends and setText()
// accepts any line ends. TextBuffer holds the text in memory (tests, hidden editors); the widget
// adapter in ui/ maps the same operations onto a QPlainTextEdit.
#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Clipboard;
class LongStep;

// One stretch of the text to replace: start and length in the positions above.
struct TextReplacement {
    int start;
    int length;
    QString text;
};

class EditWindow {
public:
    virtual ~EditWindow() = default;

    virtual QString text() const = 0;
    // The whole text in two steps, for a save that runs beside the window: a copy of what the
    // editor holds, taken now, and the work that makes text() of it, which may run on any
    // thread. A big text may be copied in pieces: between them `between` is called with the
    // share done (in thousandths) and lets the window draw; the caller keeps the user's input
    // away meanwhile. It returns false to stop the copy, which then gives nullopt. By default
    // the copy is text() itself, taken at once.
    struct TextCopy {
        QString held;
        QString (*toText)(const QString& held) = nullptr;
        QString text() const { return toText ? toText(held) : held; }
    };
    virtual std::optional<TextCopy> textCopy(const std::function<bool(qint64)>& between) const {
        (void)between;
        return TextCopy{text()};
    }
    // Replaces the whole text; line ends become CR LF; caret at 0, nothing selected.
    virtual void setText(const QString& text) = 0;
    virtual void clear() { setText(QString()); }
    // setText for a page just read: a big text goes in as a long step (labelled label) that
    // reports to steps, which may cancel it; the text is then left as it was and false is
    // returned. Editors that take any text at once (and a null steps) just set it.
    virtual bool loadText(const QString& text, LongStep* steps, const QString& label) {
        (void)steps;
        (void)label;
        setText(text);
        return true;
    }
    // Length of text() (line ends counted twice).
    virtual int length() const = 0;

    virtual int selStart() const = 0;
    // Moves the caret (clamped to the text); removes the selection. A position between the CR
    // and the LF of a line end goes to the start of that line end.
    virtual void setSelStart(int position) = 0;
    virtual int selLength() const = 0;
    // Selects length characters from the selection start (clamped to the text).
    virtual void setSelLength(int length) = 0;
    virtual QString selText() const = 0;
    // Replaces the selection (or inserts at the caret); the caret ends after the new text with
    // nothing selected. Line ends of the new text become CR LF.
    virtual void replaceSelection(const QString& text) = 0;
    void selectAll();
    // Replaces several stretches of the text, given in ascending order and not overlapping, all
    // positions taken before the first replacement, as one step of the undo history. With
    // joinPrevious the step is the one the previous replaceRanges made, as long as nothing else
    // changed the text in between: a long pass that puts in its work batch by batch stays one
    // step. The caret ends after the last replacement's text, nothing selected.
    virtual void replaceRanges(const QList<TextReplacement>& replacements,
                               bool joinPrevious = false) = 0;

    // Through the clipboard given to setClipboard(): cut and copy empty it first.
    void cut();
    void copy();
    void paste();
    void setClipboard(Clipboard* clipboard) { m_clipboard = clipboard; }
    Clipboard* clipboard() const { return m_clipboard; }

    // One step of the editor's own undo.
    virtual void undo() = 0;
    virtual void setFocus() = 0;
    virtual bool wordWrap() const = 0;
    virtual void setWordWrap(bool on) = 0;
    // Colours a range of characters (positions as above) for tag colouring.
    virtual void colorRange(int start, int length, const QColor& color) = 0;
    // The most characters (line ends counted twice) the editor takes from typing, pasting,
    // dropping and inserted text; 0: no limit. Text that would go past it is cut at its end;
    // a text set whole (a file loaded) is never cut. The window's editor keeps to it; in-memory
    // buffers only hold the value.
    virtual void setMaxLength(int maxLength) { m_maxLength = maxLength; }
    int maxLength() const { return m_maxLength; }

    // Lines of the text, without their line ends; an empty text has no lines, and a text
    // ending with a line end has no empty last line. A long pass reads a big page line by line
    // through these, without a copy of the whole text first.
    virtual int lineCount() const;
    virtual QString line(int index) const;

private:
    Clipboard* m_clipboard = nullptr;
    int m_maxLength = 0;
};
