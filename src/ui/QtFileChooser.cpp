// QtFileChooser: the open and save dialogs as QFileDialog.
#include "ui/QtFileChooser.h"

#include "platform/FileFilters.h"

void QtFileChooser::configure(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
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

std::optional<QString> QtFileChooser::openFile(const FileDialogRequest& request) {
    return run(request, false);
}

std::optional<QString> QtFileChooser::saveFile(const FileDialogRequest& request) {
    return run(request, true);
}
