// Snips: the "URL Manager" and "Misc Text" lists of the Snips tab, each kept in a text file of
// the program folder (urlsnips.dat, missnips.dat), one entry per CR LF line.
#pragma once

#include "app/ShellParts.h"
#include "platform/TextFile.h"

#include <QString>
#include <QStringList>

class Clipboard;
class EditWindow;
class HtmlDocument;
class Prompter;

// One list and its file. Loading and adding keep it sorted without regard to case; an edited
// entry keeps its place until the next load. Every change rewrites the file at once.
class SnipList {
public:
    SnipList(QString path, Prompter& prompter);

    const QString& path() const { return m_path; }
    const QStringList& entries() const { return m_entries; }
    // The selected entry, -1 for none.
    int selected() const { return m_selected; }
    // A press on the list: the entry under the mouse, or -1 below the last one.
    void select(int index);
    QString selectedText() const;

    // Reads the file if it exists; a missing or unreadable file leaves the list empty, silently.
    void load();
    // "&Add": nothing for an empty text; otherwise the text at its sorted place, then the save.
    bool add(const QString& text);
    // "&Delete": the selected entry goes; the one before it is selected unless it was the first.
    bool deleteSelected();
    // The Edit Entry dialog's result for the selected entry: the cancel marker changes nothing.
    bool replaceSelected(const QString& text);
    // The whole list to its file, atomically; a failure is shown with the file name and the
    // reason, the old file stays, and the list keeps the change.
    bool save();

    static QString cancelMarker() { return QStringLiteral("#$#"); }
    static QString cannotWriteText(const QString& path, const QString& reason);

    // A snip file in memory: its bytes as sorted entries and the encoding they were read in,
    // and the entries as the file's text, one CR LF line each.
    struct FileEntries {
        QStringList entries;
        TextEncoding encoding = TextEncoding::Utf8;
    };
    static FileEntries readEntries(const QByteArray& bytes);
    static QString fileText(const QStringList& entries);
    // Where add() puts a text: after the entries equal to it without regard to case.
    static void insertSorted(QStringList& entries, const QString& text);

private:
    QString m_path;
    Prompter& m_prompter;
    QStringList m_entries;
    int m_selected = -1;
    TextEncoding m_encoding = TextEncoding::Utf8;
};

// The "Edit Entry" dialog: the edited text on OK, SnipList::cancelMarker() on Cancel.
class SnipEntryEditor {
public:
    virtual ~SnipEntryEditor() = default;
    virtual QString editEntry(const QString& text) = 0;
};

class Snips : public SnippetLists {
public:
    Snips(const QString& programDirectory, Prompter& prompter);

    SnipList& urls() { return m_urls; }
    SnipList& misc() { return m_misc; }

    // SnippetLists: both files at start-up.
    void loadSnippets() override;

    // The "Paste Option": "Paste into HTML Editor" (true, the default at every start) or "Copy
    // to Clipboard Only".
    bool pasteIntoEditor = true;

    // A double-click on an entry: to the clipboard, and into the page if so chosen.
    void pasteSnip(const QString& text, EditWindow& editor, Clipboard& clipboard,
                   HtmlDocument& document) const;
    // "Edit" and "Edit Snip": the dialog over the list's selected entry.
    void editSnip(SnipList& list, SnipEntryEditor& dialog);

    // The list last pressed with the right button and the entry's text then, for "Edit Snip".
    void rightPressed(SnipList& list) {
        m_rightList = &list;
        m_rightText = list.selectedText();
    }
    SnipList* rightPressedList() const { return m_rightList; }
    const QString& rightPressedText() const { return m_rightText; }

    static QString nothingSelectedText();

private:
    Prompter& m_prompter;
    SnipList m_urls;
    SnipList m_misc;
    SnipList* m_rightList = nullptr;
    QString m_rightText;
};
