// Find, replace and slash replacement over the editor's text.
//
// Searches run over a snapshot of the text taken when a search begins and after every
// replacement, forward only, never wrapping; matches may overlap, and a replacement is never
// searched again. Match case is the only option honoured: without it the snapshot and the
// pattern are upper-cased, one character for one, so snapshot positions stay editor positions.
#pragma once

#include "services/TagColors.h"

#include <QList>
#include <QString>

#include <optional>

class EditWindow;
class HtmlDocument;
class Prompter;
class UiPump;

// Beyond the plain search: whole words, backwards, wrapping round at the end, regular
// expressions. With none of them the search is the plain one described above; with any, Find Next
// searches the live text from the selection as editors do, and Replace All replaces the matches
// that do not overlap.
struct FindOptions {
    bool wholeWord = false;
    bool backwards = false;
    bool wrapAround = false;
    bool regularExpression = false;

    bool plain() const { return !wholeWord && !backwards && !wrapAround && !regularExpression; }
};

// One match of a search in the editor's text (positions as the editor counts them) and what
// Replace puts in its place (the replacement with a regular expression's \1 ... \9 filled in).
struct TextMatch {
    int start = 0;
    int length = 0;
    QString replacement;
};

struct MatchSearch {
    QList<TextMatch> matches; // from the start, none overlapping
    QString error;            // a regular expression that is not valid: why
};

// Every match of findText in text under the options (the direction and the wrapping play no part
// here). A regular expression sees each line end as one "\n"; "\\" in the replacement is a back
// slash.
MatchSearch findAllMatches(const QString& text, const QString& findText, const QString& replaceText,
                           bool matchCase, const FindOptions& options);

struct FindState {
    QString snapshot;
    int position = -1; // where the next search starts; -1: no search going on
    QString pattern;   // upper-cased when matchCase is off, like the snapshot
    QString replacement;
    bool matchCase = false;
    // Set when the Find or Replace dialog opens: its first Find Next begins a new search.
    bool freshSearch = false;
    // The options of the last search begun, and its text as typed (for Find Next).
    FindOptions options;
    QString typedPattern;
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
    bool findNextButton(const QString& findText, bool matchCase, const FindOptions& options = {});
    // The Replace button: replaces the selection when it equals findText, case ignored. With
    // options beyond the plain search: when the selection is a match, it is replaced and the next
    // match selected.
    bool replaceButton(const QString& findText, const QString& replaceText, bool matchCase = false,
                       const FindOptions& options = {});
    // Replace All: every match from the start, computed in one pass and applied as one edit (one
    // undo step); no message (but for a regular expression that is not valid). Returns the
    // number of replacements.
    int replaceAll(const QString& findText, const QString& replaceText, bool matchCase,
                   const FindOptions& options = {});

    // Ctrl+\ and Ctrl+Shift+\: after the confirmation; the count, or -1 when declined or
    // stopped.
    int slashReplaceAll();
    int slashReplaceInTags();

    static QString notFoundText(const QString& findText);
    static QString badExpressionText(const QString& findText, const QString& error);
    static QString slashAllQuestion();
    static QString slashInTagsQuestion();
    static QString slashCountText(int count);

private:
    QString fold(const QString& text) const;
    // The search with options: the next (or previous) match from the selection, wrapping round
    // if asked; selects it. Tells of a bad expression or of nothing found.
    bool findWithOptions(const QString& findText, bool matchCase, const FindOptions& options,
                         const QString& shownText);
    // The matches of the live text, or nullopt after telling of a bad expression.
    std::optional<QList<TextMatch>> liveMatches(const QString& findText, const QString& replaceText,
                                                bool matchCase, const FindOptions& options);
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
