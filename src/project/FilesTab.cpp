// FilesTab: what the Files tab lists and opens.
#include "project/FilesTab.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "project/Project.h"

#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

FilesTab::FilesTab(AppState& app, Prompter& prompter,
                   std::function<void(const QString&)> powerImage, QObject* parent)
    : QObject(parent), m_app(app), m_prompter(prompter), m_powerImage(std::move(powerImage)) {
}

QStringList FilesTab::drives(const QString& homeDirectory) {
    return {QStringLiteral("/"), homeDirectory};
}

QString FilesTab::startFolder() const {
    const Settings& s = m_app.settings();
    return s.filesUseSelected ? s.filesSelected : s.filesLocation;
}

QStringList FilesTab::visibleNames(const QStringList& listed) {
    QStringList names;
    for (const QString& n : listed)
        if (names.isEmpty() || names.last() != n)
            names << n;
    return names;
}

QString FilesTab::driveOf(const QString& folder, const QString& homeDirectory) {
    const QString home = QDir::cleanPath(homeDirectory);
    const QString f = QDir::cleanPath(folder);
    if (!home.isEmpty() && home != QStringLiteral("/") &&
        (f == home || f.startsWith(home + QLatin1Char('/'))))
        return homeDirectory;
    return QStringLiteral("/");
}

namespace {
// The next run of digits or of other characters of s from i.
QStringView chunkAt(const QString& s, qsizetype i) {
    const bool digits = s[i].isDigit();
    qsizetype end = i;
    while (end < s.size() && s[end].isDigit() == digits)
        ++end;
    return QStringView(s).mid(i, end - i);
}

int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}
} // namespace

bool FilesTab::namesInOrder(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView x = chunkAt(a, i);
        const QStringView y = chunkAt(b, j);
        const bool numbers = x.front().isDigit() && y.front().isDigit();
        const int c = numbers ? compareNumbers(x, y) : x.compare(y, Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        i += x.size();
        j += y.size();
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    // Names that differ only in case or in leading zeros: a fixed order all the same.
    return a < b;
}

void FilesTab::sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), &FilesTab::namesInOrder);
}

QStringList FilesTab::listFiles(const QString& folder, const QString& pattern) {
    std::vector<QRegularExpression> patterns;
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns.push_back(QRegularExpression::fromWildcard(
            p == QStringLiteral("*.*") ? QStringLiteral("*") : p, Qt::CaseInsensitive));
    // Listed by the bytes on disk, so that a name holding Latin-1 letters is there too.
    QStringList names;
    for (const FolderEntry& e : listFolder(folder).entries) {
        if (e.kind != FolderEntry::Kind::File)
            continue;
        if (std::any_of(patterns.begin(), patterns.end(),
                        [&](const QRegularExpression& re) { return re.match(e.name).hasMatch(); }))
            names << e.name;
    }
    sortNames(names);
    return visibleNames(names);
}

QStringList FilesTab::listFolders(const QString& folder) {
    QStringList names;
    for (const FolderEntry& e : listFolder(folder).entries) {
        if (e.kind == FolderEntry::Kind::Folder)
            names << e.name;
    }
    sortNames(names);
    return names;
}

QString FilesTab::joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString FilesTab::notHtmlQuestion() {
    return QStringLiteral("This does not appear to be a valid HTML file type. Do you wish to open "
                          "it in the editing window anyways?");
}

void FilesTab::clickFile(const QString& folder, const QString& name) {
    const qint64 size = regularFileSize(joinPath(folder, name));
    if (size < 0)
        return;
    emit fileSizeTextChanged(Project::fileSizeText(size));
    emit pageLocationTextChanged(Project::pageLocationText(QString()));
}

void FilesTab::doubleClickFile(const QString& folder, const QString& name) {
    m_app.store().set(m_app.settings(), &Settings::filesLocation, folder);
    const QString path = joinPath(folder, name);
    // The extension of the name, from its last dot: Linux names need not have one, and a dot in
    // a folder name is no extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot >= 0 ? name.mid(dot) : QString();
    const QString lower = ext.toLower();
    if (lower == QStringLiteral(".gif") || lower == QStringLiteral(".jpg")) {
        if (m_powerImage)
            m_powerImage(path);
        return;
    }
    static const QStringList html = {QStringLiteral(".htm"), QStringLiteral(".html"),
                                     QStringLiteral(".shtml"), QStringLiteral(".shtm"),
                                     QStringLiteral(".asp")};
    if (!html.contains(ext)) {
        const MessageAnswer a =
            m_prompter.message(MessageKind::Information, MessageButtons::YesNo, notHtmlQuestion());
        if (a != MessageAnswer::Yes)
            return;
    }
    openInEditor(path);
}

void FilesTab::openInEditor(const QString& path) {
    HtmlDocument& doc = m_app.document();
    if (doc.confirmCloseHtml() == MessageAnswer::Cancel)
        return;
    const DocumentLoad load = doc.loadDocument(path);
    if (!load.ok) {
        // A load the user cancelled leaves the open page as it was, with nothing to say.
        if (!load.cancelled)
            m_prompter.inform(HtmlDocument::cannotOpenLinkedFileText());
        return;
    }
    // A page of the user's is no help page: it can be saved, and leaving it asks first.
    doc.setHelpPageMode(false);
}
