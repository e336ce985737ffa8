// The website project builder.
#include "project/ProjectBuilder.h"

#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/FilesTab.h"
#include "project/ProjectFiles.h"
#include "project/SiteOutline.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

namespace {
const QString crLf = QStringLiteral("\r\n");

QString noTitle(const QString& path) {
    return QStringLiteral("NO TITLE: ") + path;
}

QString joinLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + crLf;
    return text;
}
} // namespace

std::optional<QString> pageTitleFromFile(const QString& path) {
    const TextReadResult file = readTextFile(path);
    if (!file.ok)
        return std::nullopt;
    const QString tag = QStringLiteral("<title>");
    const QStringList lines = file.text.split(crLf);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        // Found without regard to case in the line itself, so the position is the line's.
        const qsizetype at = line.indexOf(tag, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        if (line.size() == tag.size()) {
            // The tag alone on its line: the title is on the next one.
            if (i + 1 >= lines.size())
                return noTitle(path);
            const QString& next = lines[i + 1];
            if (next.isEmpty() || next.startsWith(QLatin1Char('<')))
                return noTitle(path);
            const qsizetype lt = next.indexOf(QLatin1Char('<'));
            return lt < 0 ? next : next.left(lt);
        }
        const qsizetype from = at + tag.size();
        const qsizetype lt = line.indexOf(QLatin1Char('<'), from);
        return lt < 0 ? line.mid(from) : line.mid(from, lt - from);
    }
    return noTitle(path);
}

QStringList ProjectBuilder::listFiles(const QString& folder, const QString& mask) {
    return FilesTab::listFiles(folder, mask);
}

QString ProjectBuilder::filePath(const QString& folder, const QString& name) {
    return FilesTab::joinPath(folder, name);
}

void ProjectBuilder::addFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        m_selected << filePath(folder, name);
    m_order = m_selected;
}

void ProjectBuilder::removeFiles(const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted) {
        if (row >= 0 && row < m_selected.size())
            m_selected.removeAt(row);
    }
    m_order = m_selected;
}

void ProjectBuilder::clearFiles() {
    m_selected.clear();
    m_order.clear();
}

int ProjectBuilder::moveUp(int row) {
    if (row <= 0 || row >= m_order.size())
        return row < m_order.size() ? row : -1;
    m_order.swapItemsAt(row, row - 1);
    m_selected = m_order;
    return row - 1;
}

int ProjectBuilder::moveDown(int row) {
    if (row < 0 || row + 1 >= m_order.size())
        return row < m_order.size() ? row : -1;
    m_order.swapItemsAt(row, row + 1);
    m_selected = m_order;
    return row + 1;
}

QString ProjectBuilder::nameFromFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

void ProjectBuilder::loadNames(bool useTitle) {
    names.clear();
    for (const QString& path : m_order) {
        if (!useTitle) {
            names << nameFromFileName(path);
            continue;
        }
        const std::optional<QString> title = pageTitleFromFile(path);
        if (!title)
            return;
        names << *title;
    }
}

int ProjectBuilder::level(const QString& line) {
    const QString indent(IndentWidth, QLatin1Char(' '));
    if (!line.startsWith(indent))
        return 0;
    qsizetype blanks = 0;
    while (blanks < line.size() && line[blanks] == QLatin1Char(' '))
        ++blanks;
    return static_cast<int>(blanks / IndentWidth);
}

void ProjectBuilder::indent(const QList<int>& rows) {
    for (int row : rows) {
        if (row >= 0 && row < m_hierarchy.size())
            m_hierarchy[row].prepend(QString(IndentWidth, QLatin1Char(' ')));
    }
}

void ProjectBuilder::unindent(const QList<int>& rows) {
    const QString indent(IndentWidth, QLatin1Char(' '));
    for (int row : rows) {
        if (row >= 0 && row < m_hierarchy.size() && m_hierarchy[row].startsWith(indent))
            m_hierarchy[row].remove(0, IndentWidth);
    }
}

std::optional<std::pair<int, int>> ProjectBuilder::checkTreeLevels() const {
    // An indented first page would make an outline file that cannot be read back: the first
    // line of a project must be at the top level.
    if (!m_hierarchy.isEmpty() && level(m_hierarchy.first()) > 0)
        return std::pair{-1, 0};
    for (qsizetype i = 0; i + 1 < m_hierarchy.size(); ++i) {
        if (level(m_hierarchy[i + 1]) > level(m_hierarchy[i]) + 1)
            return std::pair{static_cast<int>(i), static_cast<int>(i + 1)};
    }
    return std::nullopt;
}

QStringList ProjectBuilder::outlineLines() const {
    QStringList lines;
    for (qsizetype i = 0; i < m_hierarchy.size(); ++i) {
        const QString& line = m_hierarchy[i];
        const int tabs = level(line);
        // Blanks or TABs left in front of the title would read back as further levels.
        QString title = outlineTitle(line);
        // An empty line would be passed over on reading, and every page after it would take
        // the next page's file.
        if (title.isEmpty())
            title = noTitle(i < m_order.size() ? m_order[i] : QString());
        lines << QString(tabs, QLatin1Char('\t')) + title;
    }
    return lines;
}

QString ProjectBuilder::treeLevelsText() {
    return QStringLiteral("Sub-pages can only be one indent level below their parent. You must "
                          "unindent the second marked page by at least one level, then continue.");
}
QString ProjectBuilder::firstPageIndentedText() {
    return QStringLiteral("The first page of a project cannot be indented. You must unindent the "
                          "marked page, then continue.");
}
QString ProjectBuilder::badNameText() {
    return QStringLiteral("A project name cannot hold \"/\" or \"..\": the project is saved in "
                          "the projects folder. Please enter a name without them.");
}
QString ProjectBuilder::noNameText() {
    return QStringLiteral("You must enter a name for this Project.");
}
QString ProjectBuilder::replaceQuestion() {
    return QStringLiteral("A project with this name already exists. Do you really want to replace "
                          "it with this new project?");
}
QString ProjectBuilder::savedText() {
    return QStringLiteral("Project saved. You can now open it from OPEN PROJECT under the FILE "
                          "menu.");
}
QString ProjectBuilder::namesDoNotMatchText(int names, int files) {
    return QStringLiteral("There are %1 page names for %2 files. Each file needs one name, one "
                          "to a line: please correct the names on the Assign Names tab.")
        .arg(names)
        .arg(files);
}
QString ProjectBuilder::initialProjectName() {
    return QStringLiteral("Enter Project Name Here");
}
QString ProjectBuilder::filterText() {
    return QStringLiteral("HTML Files|*.htm;*.html;*.shtml;*.asp;*.cgi|All files (*.*)|*.*");
}

bool ProjectBuilder::save(const QString& projectName, Prompter& prompter) const {
    if (projectName.isEmpty()) {
        prompter.inform(noNameText());
        return false;
    }
    // The project goes into the projects folder, where Open Project finds it: a name that
    // reaches out of that folder would write the files somewhere else entirely.
    if (projectName.contains(QLatin1Char('/')) || projectName.contains(QStringLiteral(".."))) {
        prompter.inform(badNameText());
        return false;
    }
    // The n-th line of one file and the n-th of the other are the same page.
    if (m_hierarchy.size() != m_order.size()) {
        prompter.inform(namesDoNotMatchText(static_cast<int>(m_hierarchy.size()),
                                            static_cast<int>(m_order.size())));
        return false;
    }
    const QString base = m_programDirectory + QStringLiteral("projects/") + projectName;
    const QString outline = base + QStringLiteral(".out");
    if (pathExists(outline) && prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                                                replaceQuestion()) == MessageAnswer::No)
        return false;
    // A file whose name holds Latin-1 bytes is linked by those bytes: the link file is then
    // Latin-1 text, as the name is (it falls back to UTF-8 when a name needs it).
    const bool latin1Names = std::any_of(m_order.begin(), m_order.end(), [](const QString& p) {
        return nativePath(p) != p.toUtf8();
    });
    const ProjectWrite w = writeProjectTexts(
        outline, joinLines(outlineLines()), TextEncoding::Utf8, joinLines(m_order),
        latin1Names ? TextEncoding::Latin1 : TextEncoding::Utf8);
    if (!w.ok) {
        prompter.error(w.message);
        return false;
    }
    prompter.inform(savedText());
    return true;
}
