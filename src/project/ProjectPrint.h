// ProjectPrint: the one print command of the main window, for the project outline (with or
// without each page's linked file) or the open HTML document.
#pragma once

#include "app/Commands.h"
#include "project/SiteOutline.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>

class AppState;
class EditWindow;
class Printer;

// What the "Print Options" window hands back.
struct PrintOptionsResult {
    enum Mode { OutlineOnly = 1, OutlineWithLinks = 2, HtmlFile = 3 };
    int mode = OutlineOnly;
    bool fullPaths = false; // the linked files with their whole path
    bool cancelled = false; // only its Cancel button sets it
};

class PrintOptionsWindow {
public:
    virtual ~PrintOptionsWindow() = default;
    // Modal; the third choice is offered only when an HTML file is open.
    virtual PrintOptionsResult run(bool htmlFileOpen) = 0;
};

// The fonts the window shows the outline and the document in: printing uses the same.
struct PrintFonts {
    std::function<QFont()> outline;
    std::function<QFont()> editor;
};

class ProjectPrint {
public:
    ProjectPrint(AppState& app, const SiteOutline& outline, EditWindow& editor,
                 PrintOptionsWindow& options, Printer& printer, PrintFonts fonts);

    // File "&Print Project/HTML", the tool-bar button, the outline's and the editor's pop-ups.
    void printProjectHtml();

    static QString nothingOpenText();
    static QString printFailedText(const QString& title, const QString& reason);
    // One line per page: (level - 1) TABs and the title, as the outline file holds it; with
    // links, two blanks and the linked file (or its name alone) in round brackets.
    static QStringList outlineLines(const SiteOutline& outline, bool withLinks, bool fullPaths);

private:
    AppState& m_app;
    const SiteOutline& m_outline;
    EditWindow& m_editor;
    PrintOptionsWindow& m_options;
    Printer& m_printer;
    PrintFonts m_fonts;
};

// The table row of the print command and its tool-bar button and editor pop-up entry.
CommandTable printCommands(ProjectPrint& print);
