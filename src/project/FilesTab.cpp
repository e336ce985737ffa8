// FilesTab: what the Files tab lists and opens.
#include "project/FilesTab.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "project/Project.h"

#include <QDir>
#include <QFileInfo>

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

QStringList FilesTab::listFiles(const QString& folder, const QString& pattern) {
    QStringList patterns;
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns << (p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
    const QDir dir(folder);
    return visibleNames(
        dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted));
}

QString FilesTab::joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString FilesTab::notHtmlQuestion() {
    return QStringLiteral("This does not appear to be a valid HTML file type. Do you wish to open "
                          "it in the editing window anyways?");
}

void FilesTab::clickFile(const QString& folder, const QString& name) {
    const QFileInfo info(joinPath(folder, name));
    if (!info.isFile())
        return;
    emit fileSizeTextChanged(Project::fileSizeText(info.size()));
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
    if (!load.ok && !load.cancelled)
        m_prompter.inform(HtmlDocument::cannotOpenLinkedFileText());
}
