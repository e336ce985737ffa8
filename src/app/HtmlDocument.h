// HtmlDocument: the open HTML document of the main window and its commands.
//
// Holds CurrentHtmlFile, HtmlModified and HelpPageMode, runs the save question that guards
// every command replacing or closing the document, and carries out New, Open, Open Template,
// Save, Save As and Close over the EditWindow. It tells the window what changed through its
// signals; the colouring pass and the settings dialog, which later rooms bring, are reached
// through the ShellParts handed in at start-up.
#pragma once

#include "app/ShellParts.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class ChangedList;
class Clipboard;
class EditWindow;
class FileChooser;
class SettingsStore;
struct Settings;

// The outcome of loading a file into the editor.
struct DocumentLoad {
    bool ok = false;
    QString error;          // the system's reason when !ok
    bool cancelled = false; // the user cancelled a long load: nothing to tell
};

class HtmlDocument : public QObject {
    Q_OBJECT
public:
    HtmlDocument(EditWindow& editor, Prompter& prompter, FileChooser& chooser, Clipboard& clipboard,
                 Settings& settings, const SettingsStore& store, ChangedList& changedList,
                 QString programDirectory, QObject* parent = nullptr);

    // The later rooms' parts this document calls on (colouring, the settings dialog); null or
    // a null member: that step is skipped.
    void setParts(const ShellParts* parts) { m_parts = parts; }
    // The filter of the main open dialog, built from the HTML extensions at start-up.
    void setOpenFilter(const QString& filter) { m_openFilter = filter; }

    const QString& currentHtmlFile() const { return m_currentHtmlFile; }
    bool htmlModified() const { return m_htmlModified; }
    bool helpPageMode() const { return m_helpPageMode; }
    TextEncoding encoding() const { return m_encoding; }
    // Which document the editor holds: it changes whenever the text is replaced whole or
    // emptied (a page opened, a new page, the page closed). A long pass that lets the window
    // run compares it afterwards and ends, touching nothing, when the document it started on
    // is gone.
    quint64 generation() const { return m_generation; }
    void setHtmlModified(bool modified);
    void setHelpPageMode(bool on);
    // The save commands can run: not while a help page is open.
    bool saveCommandsEnabled() const { return !m_helpPageMode; }

    // The one rule of HtmlModified: a key press that counts (app/EditorPresses.h) or a mouse
    // press in the editor, and every command that changes the text, set it; a change of text by
    // itself does not.
    void editorPressed() { setHtmlModified(true); }
    // Runs an editing command (cut, paste, undo, an inserted tag) and marks the document.
    void changeText(const std::function<void()>& edit);

    // ProgramDirectory + "new." + Ext.
    QString untitledName() const;
    // The document has no file of its own yet (a new page, a template, a closed page, or no
    // name at all): saving it asks for a name. A state of the document, whatever it is called.
    bool isUntitled() const { return m_untitled || m_currentHtmlFile.isEmpty(); }
    // The document at start and after Close HTML File: untitled, not modified.
    void startUntitled();

    // The save question. saveCommand: called by Save HTML File, which saves without asking.
    // Returns Yes, No or Cancel; every caller stops on Cancel. A save that fails to write
    // answers Cancel too, so that nothing replaces the unsaved text.
    MessageAnswer confirmCloseHtml(bool saveCommand = false);

    void newHtmlFile();
    void openHtmlFile();
    // Open HTML File with the file already chosen (a path the program was started with): the
    // same save question and the same loading steps, without the dialog.
    void openHtmlFilePath(const QString& path);
    void openHtmlTemplate();
    void saveHtmlFile();
    void saveHtmlFileAs();
    void closeHtmlFile();
    // The "Wrap" and "Color" switches above the editor, stored in DEFAULT.INI.
    void setWrap(bool on);
    void setColored(bool on);

    // The loading steps every open path shares: clears HtmlModified, replaces the text, shows
    // the name, colours when colouring is on. When the file cannot be read, the open document,
    // its name and its flag stay as they were.
    DocumentLoad loadDocument(const QString& path);

    // The nine lines a new page starts with.
    static QString newPageSkeleton();
    static QString productAddress();
    static QString statusText(const QString& path);
    static QString saveAsTitle();
    static QString askSaveChangesText();
    static QString noTemplateText();
    static QString cannotOpenLinkedFileText();
    // Told once per document, before a Latin-1 page that no longer fits Latin-1 is saved.
    static QString savedAsUtf8Text(const QString& path);

signals:
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& path);
    // The third status-bar field: "Open HTML File:  " and the file that Save would write.
    void statusTextChanged(const QString& text);
    // Save HTML File and Save HTML File As, in the File menu, on the tool bar and in the pop-up.
    void saveCommandsEnabledChanged(bool enabled);
    // The editor's text was replaced whole or emptied (the generation moved on): a pass waiting
    // on the user, such as the spell check, gives up its run.
    void documentReplaced();

private:
    void setFileName(const QString& path);
    std::optional<QString> askSaveName();
    bool writeTo(const QString& path);
    // False when the user cancelled a long load: the document is as it was.
    bool takeDocument(const QString& name, const TextReadResult& file, bool untitled = false);
    void emptyEditor();
    void rememberHtmlFolder(const QString& chosenFile);
    // The question to save the document before another text takes its place (confirmCloseHtml).
    // Empty on Cancel; else what puts the document back as it was when nothing took its place:
    // a No to the question only meant "do not save it for this open".
    std::optional<std::function<void()>> confirmReplace();
    void openChosenFile(const QString& chosen, const std::function<void()>& keepDocument);
    void showStatus();
    void enableSaveCommands(bool on);
    void colourIfOn();

    EditWindow& m_editor;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    Clipboard& m_clipboard;
    Settings& m_settings;
    const SettingsStore& m_store;
    ChangedList& m_changedList;
    QString m_programDirectory;
    const ShellParts* m_parts = nullptr;
    QString m_openFilter;

    QString m_currentHtmlFile;
    bool m_htmlModified = false;
    bool m_helpPageMode = false;
    bool m_untitled = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_toldSavedAsUtf8 = false;
    quint64 m_generation = 0;
};
