// QtFileChooser: the open and save dialogs as QFileDialog.
#pragma once

#include "platform/FileChooser.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}

    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(const FileDialogRequest& request) override;

    // Sets up a dialog for a request: title, name filters with the requested one chosen, start
    // folder and file name, default suffix and the overwrite question.
    static void configure(QFileDialog& dialog, const FileDialogRequest& request, bool save);

private:
    std::optional<QString> run(const FileDialogRequest& request, bool save);

    QPointer<QWidget> m_parent;
};
