// PlainTextEditWindow: the EditWindow operations over the main window's QPlainTextEdit.
//
// The document keeps one character per line end where EditWindow positions count two (CR LF);
// every position is converted both ways here. Tag colours are kept here as runs of the document
// and drawn as the formats of each block's layout, the way a syntax highlighter draws: colouring
// never enters the undo history, never modifies the document and costs no layout of its own.
// Edits move the runs the way character formats would move.
#pragma once

#include "editor/EditWindow.h"

#include <QColor>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

#include <vector>

class PlainTextEditWindow : public EditWindow {
public:
    // The widget stays owned by its parent; after it is gone every operation does nothing.
    explicit PlainTextEditWindow(QPlainTextEdit* editor);

    QPlainTextEdit* editor() const { return m_editor; }

    QString text() const override;
    // A small document's raw text (a quick copy), its line ends made CR LF on the thread that
    // asks; a big one's text with CR LF line ends, copied a slice of blocks at a time.
    std::optional<TextCopy> textCopy(const std::function<bool(qint64)>& between) const override;
    void setText(const QString& text) override;
    void clear() override;
    // A big text is built into a new document of its own, a piece at a time, and takes the old
    // one's place only when it is whole: cancelled, the editor never held any of it.
    bool loadText(const QString& text, LongStep* steps, const QString& label) override;
    // Texts from this size on (in characters) load as a long step.
    static constexpr qsizetype StepLoadFrom = 1 << 20;
    int length() const override;
    int selStart() const override;
    void setSelStart(int position) override;
    int selLength() const override;
    void setSelLength(int length) override;
    QString selText() const override;
    void replaceSelection(const QString& text) override;
    void replaceRanges(const QList<TextReplacement>& replacements,
                       bool joinPrevious = false) override;
    void undo() override;
    void setFocus() override;
    bool wordWrap() const override;
    void setWordWrap(bool on) override;
    void colorRange(int start, int length, const QColor& color) override;
    void setMaxLength(int maxLength) override;
    // The document's blocks are its lines: read one at a time, never the whole text.
    int lineCount() const override;
    QString line(int index) const override;

    // While live colouring draws the tags, the colours of the pass are dropped and this adapter
    // leaves the blocks' formats alone.
    void setLiveColouring(bool on);
    bool liveColouring() const { return m_live; }

    // Puts the colours given so far on screen now; otherwise they follow at the next turn of the
    // event loop, in one batch, so that a colouring pass hands the widget its work once.
    void applyColors();
    // The tag colour the widget draws the character at an edit position in (what its block's
    // layout holds), or an invalid colour for text drawn in the editor's own colour.
    QColor colorAt(int position) const;

    // Position conversions: document positions count one character per line end.
    int toDocumentPosition(qint64 position) const;
    int toEditPosition(int documentPosition) const;

    // A stretch of the document in one colour; runs are sorted and never overlap.
    struct ColorRun {
        int from;
        int to;
        QRgb rgb;
    };
    // One replaced stretch in document positions before the change: [from, to) became count
    // characters.
    struct DocumentEdit {
        int from;
        int to;
        int count;
    };
    // How runs follow edits given in ascending order: text put in place of a stretch takes the
    // colour of the stretch's first character, text inserted takes the colour of the character
    // before it, and text removed takes its colour with it.
    static void moveRuns(std::vector<ColorRun>& runs, const std::vector<DocumentEdit>& edits);
    // Paints top over base: where top has a run, its colour wins.
    static std::vector<ColorRun> overlay(const std::vector<ColorRun>& base,
                                         const std::vector<ColorRun>& top);

private:
    // Forgets the colours and the edit state of the text being replaced.
    void resetForNewText();
    void watchDocument();
    // Gives the editor a new, empty document like its own and returns the old one, kept as the
    // editor's child.
    QTextDocument* swapInEmptyDocument();

    struct PendingColor {
        int start;
        int length;
        QRgb rgb;
    };
    void onContentsChange(int position, int removed, int added);
    // Gives the blocks that hold document positions from..to their formats from the runs.
    void refreshFormats(int from, int to);
    // Cuts what the last edit brought in beyond maxLength(), in that edit's undo step.
    void keepToMaxLength();

    QPointer<QPlainTextEdit> m_editor;
    std::vector<ColorRun> m_runs;
    std::vector<PendingColor> m_pending;
    QTimer m_colorTimer;
    // Set while this adapter changes the document itself and moves the runs on its own.
    bool m_ownEdit = false;
    // Some block was given formats since the text was set: edits must keep the blocks right
    // even when the runs are gone.
    bool m_formatsShown = false;
    bool m_live = false;
    // The document's revision after the last replaceRanges: a joining call joins only if nothing
    // changed the document since.
    int m_rangesRevision = -1;
    // The stretch of the document the last edit from outside this adapter put in.
    int m_lastEditPosition = 0;
    int m_lastEditAdded = 0;
    QMetaObject::Connection m_contentsWatch;
};
