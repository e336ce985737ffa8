// Find, replace and slash replacement over the editor's text.
//
// Searches run over a snapshot of the text taken when a search begins and after every
// replacement, forward only, never wrapping; matches may overlap, and a replacement is never
// searched again. Match case is the only option honoured: without it the snapshot and the
// pattern are upper-cased, one character for one, so snapshot positions stay editor positions.
#pragma once

#include "services/TagColors.h"

#include <QString>

class EditWindow;
class HtmlDocument;
class Prompter;
class UiPump;

struct FindState {
    QString snapshot;
    int position = -1; // where the next search starts; -1: no search going on
    QString pattern;   // upper-cased when matchCase is off, like the snapshot
    QString replacement;
    bool matchCase = false;
    // Set when the Find or Replace dialog opens: its first Find Next begins a new search.
    bool freshSearch = false;
};

// Upper case, one character for one (a character whose upper case is longer keeps its form).
QString upperSameLength(const QString& text);

// Where the in-tags slash replacement changes a line: the back slashes inside double-quoted
// stretches that close before the ">" of their tag. A quoted value running past ">" is skipped
// whole, and a "<" with no ">" after it on the line ends the line's work.
QList<int> slashPositionsInLine(QStringView line);

class FindReplace {
public:
    FindReplace(EditWindow& editor, Prompter& prompter, HtmlDocument& document, UiPump& pump,
                StopColoring& stop, const bool& wrapSetting);

    FindState& state() { return m_state; }

    // Find (Ctrl+F) and Replace (Ctrl+R): the dialog's find text starts as the selected text,
    // and its first Find Next takes a new snapshot.
    QString openDialog();
    // Begins a search over a new snapshot from the start of the text.
    void beginSearch(const QString& pattern, bool matchCase);
    // FindNextMatch: selects the next match and returns true, or returns false.
    bool findNextMatch();
    // ReplaceCurrent: the selection becomes the replacement; a new snapshot; the search goes on
    // after the replacement; the document is marked as changed.
    void replaceCurrent();

    // Find Next (F3): on failure the not-found message naming findDialogText.
    bool findNext(const QString& findDialogText);
    // The Find Next button of the Find and the Replace dialog.
    bool findNextButton(const QString& findText, bool matchCase);
    // The Replace button: replaces the selection when it equals findText, case ignored.
    bool replaceButton(const QString& findText, const QString& replaceText);
    // Replace All: every match from the start, computed in one pass and applied as one edit (one
    // undo step); no message. Returns the number of replacements.
    int replaceAll(const QString& findText, const QString& replaceText, bool matchCase);

    // Ctrl+\ and Ctrl+Shift+\: after the confirmation; the count, or -1 when declined or
    // stopped.
    int slashReplaceAll();
    int slashReplaceInTags();

    static QString notFoundText(const QString& findText);
    static QString slashAllQuestion();
    static QString slashInTagsQuestion();
    static QString slashCountText(int count);

private:
    QString fold(const QString& text) const;
    // The snapshot loop's result, computed in one pass.
    int replaceAllMatches();

    EditWindow& m_editor;
    Prompter& m_prompter;
    HtmlDocument& m_document;
    UiPump& m_pump;
    StopColoring& m_stop;
    const bool& m_wrapSetting;
    FindState m_state;
};
