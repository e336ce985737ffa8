// The website project builder: a new project made from HTML files that exist already.
//
// The wizard's state is its lists: the files picked (in the order added), the same files in
// project order, one page name per file, the names indented by five blanks per level, and the
// project's name. ProjectBuilder holds them and carries out the buttons of each tab; the dialog
// shows them. The project is written as the two files of any project, into the projects folder;
// the builder does not open it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class Prompter;

// The title of the page in path, as the TITLE element gives it, or "NO TITLE: " and the path.
// nullopt when the file cannot be read.
std::optional<QString> pageTitleFromFile(const QString& path);

class ProjectBuilder {
public:
    // The blanks that make one level in the hierarchy list.
    static constexpr int IndentWidth = 5;

    explicit ProjectBuilder(QString programDirectory)
        : m_programDirectory(std::move(programDirectory)) {}

    // Select Files. The folder's files matching mask ("*.htm;*.html"), by name, each once.
    static QStringList listFiles(const QString& folder, const QString& mask);
    // The folder and a file name with one separator, also for the root folder.
    static QString filePath(const QString& folder, const QString& name);
    void addFiles(const QString& folder, const QStringList& names);
    // The selected rows of the files chosen, by index.
    void removeFiles(const QList<int>& rows);
    void clearFiles();
    const QStringList& selectedFiles() const { return m_selected; }

    // Sort/Order Files: row moved one place; returns the row it is on afterwards (-1: none).
    int moveUp(int row);
    int moveDown(int row);
    const QStringList& orderedFiles() const { return m_order; }

    // Assign Names: one name per file of the project order, from its file name or its TITLE.
    // A file that cannot be read ends the loading with the names so far.
    void loadNames(bool useTitle);
    QStringList names; // MemoNames, freely edited
    static QString nameFromFileName(const QString& path);

    // Build Hierarchy: the names again (leaving Assign Names), then indented by hand.
    void rebuildHierarchy() { m_hierarchy = names; }
    void indent(const QList<int>& rows);
    void unindent(const QList<int>& rows);
    const QStringList& hierarchy() const { return m_hierarchy; }
    // A line's level: its leading blanks over five, when it starts with five of them.
    static int level(const QString& line);
    // The first pair of neighbouring lines where the second is more than one level deeper than
    // the first, by their rows; {-1, 0} when the first line itself is indented.
    std::optional<std::pair<int, int>> checkTreeLevels() const;

    // Finish. Saves as programDirectory/projects/NAME.out and .fil after the questions; returns
    // true when the project was written and the dialog closes.
    bool save(const QString& projectName, Prompter& prompter) const;
    // The outline file's lines: leading blanks as one TAB per five, the title without blanks of
    // its own in front (they would read back as levels).
    QStringList outlineLines() const;

    static QString treeLevelsText();
    static QString firstPageIndentedText();
    static QString noNameText();
    static QString badNameText();
    static QString replaceQuestion();
    static QString savedText();
    static QString namesDoNotMatchText(int names, int files);
    static QString initialProjectName();
    static QString filterText();

private:
    QString m_programDirectory;
    QStringList m_selected;
    QStringList m_order;
    QStringList m_hierarchy;
};
