// FilesPane: the "Files" tab's widgets: the drive box, the folder list, the type filter and the
// file list, over the Files tab's rules (project/FilesTab.h).
#pragma once

#include <QString>
#include <QWidget>

class ElidedLabel;
class FilesTab;
class QComboBox;
class QListWidget;

class FilesPane : public QWidget {
    Q_OBJECT
public:
    // filter: "label|pattern|..." as start-up builds it for the Files tab.
    FilesPane(FilesTab& logic, const QString& homeDirectory, const QString& filter,
              QWidget* parent = nullptr);

    // The tab became active: the start folder and the current type.
    void activate();
    // New file types (the HTML extensions changed): the chosen entry stays chosen and the list
    // is filled anew.
    void setFilter(const QString& filter);
    void setFolder(const QString& folder);
    const QString& folder() const { return m_folder; }

    QComboBox* driveBox() const { return m_drives; }
    ElidedLabel* folderLabel() const { return m_path; }
    QListWidget* folderList() const { return m_folders; }
    QComboBox* typeBox() const { return m_types; }
    QListWidget* fileList() const { return m_files; }

private:
    void refillFiles();

    FilesTab& m_logic;
    QString m_folder;
    QString m_home;
    QStringList m_patterns;
    QComboBox* m_drives = nullptr;
    ElidedLabel* m_path = nullptr;
    QListWidget* m_folders = nullptr;
    QComboBox* m_types = nullptr;
    QListWidget* m_files = nullptr;
};
