// QtFileChooser: the open and save dialogs as QFileDialog.
#include "ui/QtFileChooser.h"

#include "platform/FileFilters.h"

#include <QFileIconProvider>
#include <QMimeDatabase>

namespace {

// Icons and type names from the file name alone. The stock provider reads a file's first bytes
// when its name does not tell the type, which blocks for good on a kernel file of /proc or on
// a pipe: the dialog never opens a file it lists.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir())
            return icon(QAbstractFileIconProvider::Folder);
        const QIcon themed = QIcon::fromTheme(mimeType(info).iconName());
        return themed.isNull() ? icon(QAbstractFileIconProvider::File) : themed;
    }

    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return QStringLiteral("Folder");
        const QMimeType mime = mimeType(info);
        if (mime.isDefault())
            return QStringLiteral("File");
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType mimeType(const QFileInfo& info) const {
        return m_mime.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase m_mime;
};

QAbstractFileIconProvider* nameOnlyIconProvider() {
    // Lives as long as the program: dialogs and their models keep a plain pointer to it.
    static NameOnlyIconProvider* provider = new NameOnlyIconProvider;
    return provider;
}

} // namespace

void QtFileChooser::configure(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
    // The program's own dialog on every platform theme, so that listing a folder never opens
    // the files in it.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setIconProvider(nameOnlyIconProvider());
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = toQtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        // The program counts its file types from 1; an index out of range keeps the first.
        const qsizetype index = request.filterIndex - 1;
        dialog.selectNameFilter(filters.at(index >= 0 && index < filters.size() ? index : 0));
    }
    if (!request.initialDirectory.isEmpty())
        dialog.setDirectory(request.initialDirectory);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
}

std::optional<QString> QtFileChooser::run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(m_parent);
    configure(dialog, request, save);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

std::optional<QString> QtFileChooser::chooseFolder(const FileDialogRequest& request) {
    const QString folder =
        QFileDialog::getExistingDirectory(m_parent, request.title, request.initialDirectory);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QString> QtFileChooser::openFile(const FileDialogRequest& request) {
    return run(request, false);
}

std::optional<QString> QtFileChooser::saveFile(const FileDialogRequest& request) {
    return run(request, true);
}
