// HtmlDocument: the open HTML document of the main window and its commands.
//
// Holds CurrentHtmlFile, HtmlModified and HelpPageMode, runs the save question that guards
// every command replacing or closing the document, and carries out New, Open, Open Template,
// Save, Save As and Close over the EditWindow.
#pragma once

#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"

#include <QString>
#include <functional>

class ChangedList;
class Clipboard;
class EditWindow;
class FileChooser;
struct Settings;

class HtmlDocument {
public:
    // What the window shows and does around the document.
    struct Hooks {
        std::function<void(const QString&)> showStatus;   // third status-bar field
        std::function<void(bool)> setSaveCommandsEnabled; // File menu and tool bar
        std::function<void()> colourText;                 // the colouring pass, when on
        std::function<void()> openSettingsDialog;         // modal settings dialog
    };

    HtmlDocument(EditWindow& editor, Prompter& prompter, FileChooser& chooser, Clipboard& clipboard,
                 Settings& settings, IniFile defaultIni, ChangedList& changedList,
                 QString programDirectory);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // The filter of the main open dialog, built from the HTML extensions at start-up.
    void setOpenFilter(const QString& filter) { m_openFilter = filter; }

    const QString& currentHtmlFile() const { return m_currentHtmlFile; }
    bool htmlModified() const { return m_htmlModified; }
    bool helpPageMode() const { return m_helpPageMode; }
    TextEncoding encoding() const { return m_encoding; }
    // Key and mouse presses in the editor and every inserting command set the flag.
    void setHtmlModified(bool modified) { m_htmlModified = modified; }
    void setHelpPageMode(bool on);

    // ProgramDirectory + "new." + Ext.
    QString untitledName() const;
    // The document at start and after Close HTML File: untitled, not modified.
    void startUntitled();

    // The save question. saveCommand: called by Save HTML File, which saves without asking.
    // Returns Yes, No or Cancel; every caller stops on Cancel. A save that fails to write
    // answers Cancel too, so that nothing replaces the unsaved text.
    MessageAnswer confirmCloseHtml(bool saveCommand = false);

    void newHtmlFile();
    void openHtmlFile();
    void openHtmlTemplate();
    void saveHtmlFile();
    void saveHtmlFileAs();
    void closeHtmlFile();
    void setWrap(bool on);

    // The loading steps every open path shares: clears HtmlModified, replaces the text, shows
    // the name, colours when colouring is on. Returns false when the file cannot be read (error
    // receives the reason); the open document, its name and its flag then stay as they were.
    bool loadDocument(const QString& path, QString* error = nullptr);

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

private:
    bool isUntitled() const;
    std::optional<QString> askSaveName();
    bool writeTo(const QString& path);
    void takeDocument(const QString& name, const TextReadResult& file);
    void rememberHtmlFolder(const QString& chosenFile);
    void showStatus();
    void enableSaveCommands(bool on);
    void colourIfOn();

    EditWindow& m_editor;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    Clipboard& m_clipboard;
    Settings& m_settings;
    IniFile m_defaultIni;
    ChangedList& m_changedList;
    QString m_programDirectory;
    Hooks m_hooks;
    QString m_openFilter;

    QString m_currentHtmlFile;
    bool m_htmlModified = false;
    bool m_helpPageMode = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_toldSavedAsUtf8 = false;
};
