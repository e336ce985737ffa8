// Preview in the embedded view and in external browsers; the helper applications.
#include "preview/Preview.h"

#include "app/AppState.h"
#include "editor/EditWindow.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString TempName = QStringLiteral("$$temp.htm");

QString folderOfFile(const QString& path) {
    return folderWithSeparator(QFileInfo(path).absolutePath());
}

} // namespace

Preview::Preview(AppState& state, EditWindow& editor, Prompter& prompter, ProcessLauncher& launcher,
                 QObject* parent)
    : QObject(parent), m_state(state), m_editor(editor), m_prompter(prompter),
      m_launcher(&launcher) {
}

bool Preview::writePreviewText(const QString& path, PreviewTarget& target) {
    // The document's own encoding, so the browser shows exactly the characters the editor holds.
    const TextWriteResult w = writeTextFile(path, m_editor.text(), m_state.document().encoding());
    target.path = path;
    target.ok = w.ok;
    target.error = w.error;
    return w.ok;
}

bool Preview::isHelpPage(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("hxp"), Qt::CaseInsensitive) == 0;
}

PreviewTarget Preview::writeHelpCopy() {
    PreviewTarget target;
    writePreviewText(m_state.programDirectory() + QStringLiteral("help/$$temp.html"), target);
    return target;
}

PreviewTarget Preview::previewFile() {
    HtmlDocument& doc = m_state.document();
    const Settings& s = m_state.settings();
    const QString current = doc.currentHtmlFile();
    PreviewTarget target;

    // A help page is read-only: no mode saves it or hands it out as it is. Every browser gets
    // the copy in help/, named ".html" so that it is shown as a page.
    if (isHelpPage(current))
        return writeHelpCopy();
    // The untitled document has no file of its own to show or to save into (saving would make
    // "new.html" in the program folder): its text is always shown from a temporary copy.
    if (doc.isUntitled()) {
        writePreviewText(folderWithSeparator(s.lastHtmlDirectory) + TempName, target);
        return target;
    }
    if (s.previewOption == QLatin1String("auto")) {
        // A failure to save is not the preview's business: the browser shows what is there.
        PreviewTarget saved;
        if (writePreviewText(current, saved))
            doc.setHtmlModified(false);
        target.ok = true;
        target.path = current;
        return target;
    }
    if (s.previewOption == QLatin1String("nosave")) {
        target.ok = true;
        target.path = current;
        return target;
    }
    writePreviewText(folderOfFile(current) + TempName, target);
    return target;
}

QString Preview::fileUrl(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return QStringLiteral("file:///") + p;
}

QStringList Preview::browserNames() {
    return {QStringLiteral("firefox"),       QStringLiteral("firefox-esr"),
            QStringLiteral("chromium"),      QStringLiteral("chromium-browser"),
            QStringLiteral("google-chrome"), QStringLiteral("google-chrome-stable"),
            QStringLiteral("epiphany"),      QStringLiteral("epiphany-browser"),
            QStringLiteral("konqueror"),     QStringLiteral("falkon")};
}

QStringList Preview::foundBrowsers(const QStringList& folders) {
    QStringList found;
    for (const QString& name : browserNames()) {
        const QString path = QStandardPaths::findExecutable(name, folders);
        if (!path.isEmpty() && !found.contains(path))
            found << path;
    }
    return found;
}

void Preview::previewExternal(ExternalBrowser browser) {
    Settings& s = m_state.settings();
    QString Settings::*location =
        browser == ExternalBrowser::Netscape ? &Settings::browser1 : &Settings::browser2;
    if ((s.*location).isEmpty()) {
        m_prompter.inform(locateBrowserText(browser));
        if (SettingsDialog* dialog = m_state.parts().settingsDialog)
            dialog->openSettingsDialogOn(SettingsPage::WebBrowsers);
    }
    // Still none for this command while the other one is set: the user has just been told where
    // to set it. With neither set, the desktop's own browser shows the page.
    const bool desktopBrowser = s.browser1.isEmpty() && s.browser2.isEmpty();
    if ((s.*location).isEmpty() && !desktopBrowser)
        return;
    const PreviewTarget target = previewFile();
    const bool started =
        target.ok && (desktopBrowser ? m_launcher->openWithDesktop(target.path)
                                     : m_launcher->startDetached(s.*location, {target.path}));
    if (!started)
        m_prompter.inform(launchErrorText(browser));
}

void Preview::setBrowserActive(bool active) {
    m_browserActive = active;
    emit browserActiveChanged(active);
}

void Preview::previewEmbedded() {
    if (!m_state.hasEmbeddedBrowser() || !m_view || !m_view->showView()) {
        m_prompter.inform(noEmbeddedBrowserText());
        return;
    }
    HtmlDocument& doc = m_state.document();
    // Each way out without a page goes back to the editor, so what is typed next lands there
    // and not under a view of the page shown before.
    if (doc.isUntitled() && m_editor.length() == 0) {
        m_prompter.inform(noDataText());
        showEditWindow();
        return;
    }
    const PreviewTarget target = previewFile();
    if (!target.ok) {
        m_prompter.inform(cannotPrepareText());
        showEditWindow();
        return;
    }
    setBrowserActive(true);
    if (!m_view->navigate(fileUrl(target.path))) {
        m_prompter.inform(cannotLoadText());
        showEditWindow();
        return;
    }
    if (m_state.settings().msieControl)
        m_view->showControlPanel(true);
}

void Preview::showEditWindow() {
    if (m_view) {
        m_view->showControlPanel(false);
        m_view->hideView();
    }
    setBrowserActive(false);
    m_editor.setFocus();
}

void Preview::viewLost() {
    showEditWindow();
    m_prompter.inform(noEmbeddedBrowserText());
}

void Preview::back() {
    if (!m_view)
        return;
    if (!m_view->canGoBack()) {
        m_prompter.inform(initialPageText());
        return;
    }
    m_view->goBack();
}

void Preview::next() {
    if (!m_view)
        return;
    if (!m_view->canGoForward()) {
        m_prompter.inform(lastPageText());
        return;
    }
    m_view->goForward();
}

void Preview::stop() {
    if (m_view)
        m_view->stop();
}

void Preview::go(const QString& address) {
    if (!m_view)
        return;
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (address.trimmed().isEmpty() || !url.isValid() || !m_view->navigate(url.toString()))
        m_prompter.inform(badAddressText());
}

void Preview::hideControlPanel() {
    if (m_view)
        m_view->showControlPanel(false);
}

bool Preview::isHtmlName(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix();
    for (const QString& ext : m_state.htmlExtensions()) {
        if (suffix.compare(ext, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void Preview::documentOpened(const QString& path) {
    if (!m_browserActive || !m_view)
        return;
    QString shown = path;
    if (isHelpPage(path)) {
        // The page is in the editor already; the view gets its copy, never the .hxp itself.
        const PreviewTarget copy = writeHelpCopy();
        if (!copy.ok) {
            m_prompter.inform(cannotFollowText());
            return;
        }
        shown = copy.path;
    } else if (!isHtmlName(path) || !QFileInfo(path).isFile()) {
        // A file opened anyway (a script, a text file) is no page to show.
        return;
    }
    if (!m_view->navigate(fileUrl(shown)))
        m_prompter.inform(cannotFollowText());
}

void Preview::cycleMode() {
    Settings& s = m_state.settings();
    const QString next = s.previewModeLabel == QLatin1String("S")   ? QStringLiteral("temp")
                         : s.previewModeLabel == QLatin1String("T") ? QStringLiteral("nosave")
                                                                    : QStringLiteral("auto");
    m_state.store().set(s, &Settings::previewOption, next);
    m_state.notifyPreviewModeChanged();
}

void Preview::launchHelper(HelperApp app) {
    const QString path = app == HelperApp::Editor ? m_state.settings().imageEditor
                                                  : m_state.settings().imagemapEditor;
    if (path.isEmpty()) {
        m_prompter.inform(noHelperText());
        if (SettingsDialog* dialog = m_state.parts().settingsDialog)
            dialog->openSettingsDialogOn(SettingsPage::HelperApps);
        return;
    }
    if (!m_launcher->startDetached(path, {}))
        m_prompter.inform(cannotLaunchHelperText(path));
}

QString Preview::locateBrowserText(ExternalBrowser browser) {
    return browser == ExternalBrowser::Netscape
               ? QStringLiteral("You must locate Netscape Navigator first...Press OK to continue..")
               : QStringLiteral(
                     "You must locate MS Internet Explorer first...Press OK to continue..");
}

QString Preview::launchErrorText(ExternalBrowser browser) {
    return browser == ExternalBrowser::Netscape
               ? QStringLiteral("Error launching file to Netscape.")
               : QStringLiteral("Error launching file to MSIE.");
}

QString Preview::noEmbeddedBrowserText() {
    return QStringLiteral("You do not appear to have Microsoft Internet Explorer v3.0 (or higher) "
                          "installed. You cannot use this MSIE browser preview screen without it. "
                          "We recommend you download a free copy at: https://www.quillon.example/");
}

QString Preview::noDataText() {
    return QStringLiteral("There is no open HTML data to preview.");
}

QString Preview::cannotPrepareText() {
    return QStringLiteral("Unable to load MS Internet Explorer preview window. Please be sure "
                          "MSIE v3.0 or greater is installed correctly to use this feature.");
}

QString Preview::cannotLoadText() {
    return QStringLiteral("Unable to load file in internal MS Internet Explorer v3.0. Please be "
                          "sure MSIE v3.0 or greater is installed correctly.");
}

QString Preview::cannotFollowText() {
    return QStringLiteral("Unable to launch internal MS Internet Explorer. Please be sure it is "
                          "installed correctly.");
}

QString Preview::initialPageText() {
    return QStringLiteral("You are at the initial page -- you cannot go back further.");
}

QString Preview::lastPageText() {
    return QStringLiteral("You are at the last page -- there is no NEXT page to view.");
}

QString Preview::badAddressText() {
    return QStringLiteral("Unable to connect to address listed. Please be sure it is a valid web "
                          "address (http://....)");
}

QString Preview::noHelperText() {
    return QStringLiteral("You have not selected a helper app for this yet. We will now jump to "
                          "the OPTIONS screen where you can select an application to associate "
                          "with this menu item.");
}

QString Preview::cannotLaunchHelperText(const QString& path) {
    return QStringLiteral("Sorry, could not launch the program: \"") + path +
           QStringLiteral("\".  To connect this menu ") +
           QStringLiteral("to a valid application, go to the OPTIONS screen and select a new "
                          "Helper App.");
}

QString Preview::initialAddressText() {
    return QStringLiteral("Enter an HTTP web address here");
}
