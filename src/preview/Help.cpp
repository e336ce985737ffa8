// The help project, the Help On Top page list, the FAQ and the Instructions.
#include "preview/Help.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/Project.h"

#include <QFileInfo>

std::optional<QStringList> loadHelpPageList(const QString& filPath) {
    const TextReadResult file = readTextFile(filPath);
    if (!file.ok)
        return std::nullopt;
    QStringList pages;
    for (const QString& line : file.text.split(QStringLiteral("\r\n"))) {
        if (!line.trimmed().isEmpty())
            pages << line.trimmed();
    }
    return pages;
}

int helpOnTopStartPage(const QStringList& pages, const QString& projectFileName,
                       const QString& openFile) {
    if (projectFileName.toLower() != QLatin1String("welcome.out"))
        return 0;
    const QString name = QFileInfo(openFile).fileName();
    int found = 0;
    for (int i = 0; i < pages.size(); ++i) {
        if (QFileInfo(pages[i]).fileName() == name)
            found = i;
    }
    return found;
}

QString helpPagePath(const QString& programDirectory, const QString& entry) {
    if (entry.startsWith(QLatin1Char('/')))
        return entry;
    return programDirectory + QStringLiteral("help/") + entry;
}

Help::Help(AppState& state, Project& project, Prompter& prompter, HelpWindow& window,
           QObject* parent)
    : QObject(parent), m_state(state), m_project(project), m_prompter(prompter), m_window(window) {
}

QString Help::helpFolder() const {
    return m_state.programDirectory() + QStringLiteral("help/");
}

void Help::openHelpProject() {
    m_window.tickWrap();
    HtmlDocument& doc = m_state.document();
    if (doc.confirmCloseHtml() == MessageAnswer::Cancel)
        return;
    if (!m_state.askToSaveProject(Project::saveProjectQuestion(m_state.project().projectFileName),
                                  [this] { return m_project.saveProjectFiles(); }))
        return;
    m_state.runBackupReminder();
    if (!m_project.openHelpProject(helpFolder() + QStringLiteral("welcome.out")))
        return;
    // The help pages are listed by name; they live beside the help project.
    m_project.resolveRelativeLinks(helpFolder());
    const QString welcome = helpFolder() + QStringLiteral("welcome.hxp");
    if (!doc.loadDocument(welcome).ok) {
        m_prompter.inform(cannotOpenHelpText());
        doc.startUntitled();
    }
    doc.setHelpPageMode(true);
    m_window.showEditWindow();
}

void Help::instructions() {
    m_prompter.inform(instructionsText());
}

QString Help::instructionsText() {
    return QStringLiteral("The help file for this program is presented in an outline form. Select "
                          "WELCOME TO QUILLON PRO from the Help menu to see this outline.");
}

QString Help::cannotOpenHelpText() {
    return QStringLiteral("Unable to open the Help files. Have you deleted them?\r"
                          "Reinstall Quillon Pro to recreate the Help files.");
}
