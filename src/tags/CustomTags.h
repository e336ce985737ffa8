// Custom tags: the user's named start and end tag pairs, kept in custom.dat in the program
// folder and offered by the Custom tab's list, and the checks and completions of the dialog that
// adds them.
//
// A line of custom.dat is the name, " * ", the start tag and the end tag. The list always starts
// with two fixed entries; the user's entries follow in alphabetical order without regard to case.
#pragma once

#include "app/ShellParts.h"
#include "platform/TextFile.h"

#include <QString>
#include <QStringList>
#include <optional>

class Prompter;

struct CustomTagParts {
    QString start;
    QString end; // may be empty
};

// The start tag runs from the first "<" to the ">" after it, the end tag from the next "<" to the
// ">" after that (empty when there is no further "<"). A line without a "<" or without a ">"
// after it (edited by hand) gives nothing.
std::optional<CustomTagParts> customTagParts(const QString& entry);

// Where the add dialog's check sends the focus when it refuses, or Accepted.
enum class CustomTagCheck { Accepted, FocusName, FocusStart, FocusEnd };
// The five checks of "&Add Tag", in order, each refusal with its message; the question about an
// empty end tag goes through prompter too.
CustomTagCheck checkNewCustomTag(const QString& name, const QString& start, const QString& end,
                                 Prompter& prompter);

// A field after a key release: the text and where the caret goes.
struct CompletedField {
    QString text;
    int caret = 0;
};
// The Start Tag field completed to "<...>", and the End Tag field it implies.
struct CompletedStart {
    CompletedField start;
    QString end;
};
std::optional<CompletedStart> completeStartTag(const QString& text);
std::optional<CompletedField> completeEndTag(const QString& text);

class CustomTags : public CustomTagList {
public:
    // path: custom.dat in the program folder. prompter: told when the file cannot be written.
    CustomTags(QString path, Prompter& prompter);

    static QString selectEntry(); // "  Select a Custom Tag to Insert"
    static QString noneEntry();   // " NONE"

    // Reads custom.dat; a file that cannot be read leaves only the fixed entries (and is not
    // written over later).
    void loadCustomTags() override;
    // The list as the Custom tab shows it: the fixed entries, then the user's entries.
    QStringList entries() const;
    // The user's entries alone, as the delete dialog lists them.
    const QStringList& customEntries() const { return m_custom; }
    // What picking the entry at index inserts; nothing for the fixed entries and for a line
    // that has no start tag.
    std::optional<CustomTagParts> pick(int index) const;

    // Adds name + " * " + start + end at its sorted place and rewrites custom.dat. Returns
    // whether the file was written (a failure was told to the user; the entry stays in the list
    // for this run).
    bool add(const QString& name, const QString& start, const QString& end);
    // Replaces the user's entries (the delete dialog's OK) and rewrites custom.dat.
    bool replaceAll(const QStringList& entries);

    static QString writeFailedText(const QString& path, const QString& reason);
    // The reason given when custom.dat is there but could not be read at start-up: it is then
    // never written, and the changes of this run are not saved.
    static QString unreadableReason(const QString& error);

private:
    bool save();

    QString m_path;
    Prompter& m_prompter;
    QStringList m_custom;
    QString m_unreadable; // why custom.dat could not be read, when it is there
    // Written back in the encoding it was read in.
    TextEncoding m_encoding = TextEncoding::Utf8;
};
