// The page dialog's texts and checks.
#include "project/ProjectDialogs.h"

#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/SiteOutline.h"

#include <QFileInfo>

namespace {
bool isExistingFile(const QString& path) {
    // By the bytes on disk: a page whose name holds Latin-1 letters exists too.
    return !path.isEmpty() && regularFileSize(path) >= 0;
}
} // namespace

QString PageDialogModel::windowTitle() {
    return QStringLiteral("Adding/Changing Web Pages");
}
QString PageDialogModel::intro1Text() {
    return QStringLiteral("To add a web page to your site, it must already exist as an HTML file.");
}
QString PageDialogModel::intro2Text() {
    return QStringLiteral("There are 2 simple steps to add a web page to your site. First, enter "
                          "the Title for the page -- this title will appear in your outline. "
                          "Second, enter the actual path to the HTML file on your hard drive.");
}
QString PageDialogModel::intro3Text() {
    return QStringLiteral("To change the Title or Path for an existing page, just type in the new "
                          "data below and click OK.");
}
QString PageDialogModel::titleGroupText() {
    return QStringLiteral("#1  Enter/Change Title for this web page:");
}
QString PageDialogModel::titleHintText() {
    return QStringLiteral("(ex:  Ostra Shareware Zone    --- this descriptive text appears in "
                          "the oultine)");
}
QString PageDialogModel::pathGroupText() {
    return QStringLiteral("#2  Path to HTML file for this web page: ");
}
QString PageDialogModel::pathHintText() {
    return QStringLiteral("(ex: c:\\webfiles\\homepage.html       --- or click Select button to "
                          "find it)");
}
QString PageDialogModel::selectFileText() {
    return QStringLiteral("Select/Change File");
}
QString PageDialogModel::noSuchFileText() {
    return QStringLiteral("HTML file does not exist. Please enter a valid HTML file path.");
}
QString PageDialogModel::noTitleText() {
    return QStringLiteral("You must enter a Title for this Web Page.");
}
QString PageDialogModel::confirmDeleteText() {
    return QStringLiteral("Are you sure you want to remove this file from your project?");
}
QString PageDialogModel::removedPagesText(const QString& title, int pagesBelow) {
    const QString page = QStringLiteral("Page: \"%1\"").arg(title);
    if (pagesBelow <= 0)
        return page;
    if (pagesBelow == 1)
        return page + QStringLiteral(", and the 1 page below it");
    return page + QStringLiteral(", and the %1 pages below it").arg(pagesBelow);
}
QString PageDialogModel::doNotShowAgainText() {
    return QStringLiteral("Do not show this confirmation screen in the future.");
}

void PageDialogModel::show(const PageDialogRequest& request, const QString& filter,
                           const QString& lastHtmlDirectory) {
    m_filter = filter;
    m_lastHtmlDirectory = lastHtmlDirectory;
    m_result = {};
    m_result.cancelled = false;
    m_focus = Field::Title;
    m_selectAll = false;
    if (request.change) {
        title = request.title;
        path = request.path;
        m_focus = request.focusPath ? Field::Path : Field::Title;
        m_selectAll = true;
    } else {
        title.clear();
        path = lastHtmlDirectory;
    }
}

void PageDialogModel::selectFile() {
    FileDialogRequest r;
    r.title = QStringLiteral("Open");
    r.filter = m_filter;
    r.filterIndex = 1;
    if (isExistingFile(path)) {
        const QFileInfo info(path);
        r.initialDirectory = info.absolutePath();
        r.fileName = info.fileName();
    } else {
        r.initialDirectory = m_lastHtmlDirectory;
    }
    const std::optional<QString> chosen = m_chooser.openFile(r);
    if (!chosen)
        return;
    path = *chosen;
    m_result.path = *chosen;
}

bool PageDialogModel::ok() {
    if (!isExistingFile(path)) {
        m_prompter.inform(noSuchFileText());
        m_focus = Field::Path;
        return false;
    }
    // Leading blanks and TABs would read back as levels: the title is kept without them.
    const QString kept = outlineTitle(title);
    if (kept.isEmpty()) {
        m_prompter.inform(noTitleText());
        m_focus = Field::Title;
        return false;
    }
    m_result.title = kept;
    m_result.path = path;
    m_result.cancelled = false;
    return true;
}

void PageDialogModel::cancel() {
    m_result.cancelled = true;
}
