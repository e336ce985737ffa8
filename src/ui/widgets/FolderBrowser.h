// FolderBrowser: a drive box and a folder list, as the Backup dialog and the project builder
// show them. A double click on a folder (or "..") moves into it; the drive box offers the root
// and the home folder.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

class FolderBrowser : public QWidget {
    Q_OBJECT
public:
    FolderBrowser(const QString& homeDirectory, const char* driveName, const char* folderName,
                  QWidget* parent = nullptr);

    const QString& folder() const { return m_folder; }
    // Shows folder (and says so through folderChanged).
    void setFolder(const QString& folder);
    // Lists the folder again (a folder was created in it).
    void refresh();
    QComboBox* drives() const { return m_drives; }
    QListWidget* folders() const { return m_folders; }

signals:
    void folderChanged(const QString& folder);

private:
    QString m_folder;
    QString m_home;
    QComboBox* m_drives = nullptr;
    QLabel* m_path = nullptr;
    QListWidget* m_folders = nullptr;
};
