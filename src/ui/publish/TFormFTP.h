// TFormFTP: the FTP screen's window over FtpScreen. Four pages (hosts, files to send, transfer,
// instructions) and "Close" below them; no close box: "Close" is the way out.
#pragma once

#include "project/SiteOutline.h"

#include <QDialog>
#include <functional>
#include <vector>

class FtpScreen;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class UploadCheck;

class TFormFTP : public QDialog {
    Q_OBJECT
public:
    // startFolder: where the "Files" page starts; homeDirectory: the drive box's second entry.
    TFormFTP(FtpScreen& screen, const QString& startFolder, const QString& homeDirectory,
             QWidget* parent = nullptr);
    ~TFormFTP() override;

    FtpScreen& screen() { return m_screen; }
    QTabWidget* pages() const { return m_pages; }
    QTabWidget* filePages() const { return m_filePages; }
    QPlainTextEdit* logView() const { return m_log; }
    // The "Files" page's folder.
    const QString& folder() const { return m_folder; }
    void setFolder(const QString& folder);

    void ButtonCloseClick();
    // "Transfer Files": the pages about to go out are checked first (when a check is set); the
    // user may stop the upload from its report.
    void ButtonTransferClick();
    // "Synchronise": compares the site with the server; a folder is asked for when neither a
    // project nor a site folder names the files.
    void ButtonSynchroniseClick();
    // The differences found: ticked, then checked like any upload and sent. Tests look at the
    // dialog (and press its buttons) through onSyncDialog; without it the dialog runs modal.
    void showDifferences();
    std::function<void(class TFormSync&)> onSyncDialog;
    UploadCheck* uploadCheck = nullptr;

protected:
    // Escape runs "Close" as the button does.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildHostPage();
    QWidget* buildFilesPage();
    QWidget* buildTransferPage();
    QWidget* buildInstructionsPage();
    void pullFields();
    void BrowseSiteFolderClick();
    // Each redraws the part of the window that shows one part of the screen.
    void showConnection();
    void showLocalFiles();
    void showRemote();
    void showRemoteFolder();
    void showTransfer();
    void setBusyPointer(bool busy);
    static QList<int> selectedRows(const QListWidget* list);

    FtpScreen& m_screen;
    QString m_home;
    QString m_folder;
    bool m_pointerSet = false;
    int m_logShown = 0;
    std::vector<ProjectPage> m_shownPages;

    QTabWidget* m_pages = nullptr;
    QTabWidget* m_filePages = nullptr;
    QLineEdit* m_profile = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_account = nullptr;
    QLineEdit* m_directory = nullptr;
    QCheckBox* m_savePassword = nullptr;
    QComboBox* m_protocol = nullptr;
    QComboBox* m_dataConnection = nullptr;
    QComboBox* m_security = nullptr;
    QLineEdit* m_siteFolder = nullptr;
    QLineEdit* m_fingerprint = nullptr;
    QListWidget* m_hosts = nullptr;
    QListWidget* m_transfer = nullptr;
    QListWidget* m_auto = nullptr;
    QComboBox* m_projects = nullptr;
    QTreeWidget* m_outline = nullptr;
    QComboBox* m_drives = nullptr;
    QListWidget* m_folders = nullptr;
    QListWidget* m_files = nullptr;
    QLabel* m_hostLabel = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_bytes = nullptr;
    QProgressBar* m_gauge = nullptr;
    QListWidget* m_remoteDirs = nullptr;
    QListWidget* m_remoteFiles = nullptr;
    QLabel* m_remoteFolder = nullptr;
    QLabel* m_folderLabel = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_disconnect = nullptr;
    QPushButton* m_stop = nullptr;
    QList<QPushButton*> m_serverCommands;
    QLabel* m_notice = nullptr;
    QPushButton* m_close = nullptr;
};

// The image-folder dialog "Image Directory".
class FileChooser;
class Prompter;

class TFormFTPImageLoc : public QDialog {
    Q_OBJECT
public:
    TFormFTPImageLoc(FileChooser& chooser, Prompter& prompter, const QString& current,
                     const QString& startFolder, QWidget* parent = nullptr);
    // The folder chosen once "&OK" closed the dialog with one.
    const QString& result() const { return m_result; }
    QLineEdit* locationField() const { return m_field; }

    void SelectClick();
    void OkClick();

private:
    FileChooser& m_chooser;
    Prompter& m_prompter;
    QString m_start;
    QString m_result;
    QLineEdit* m_field = nullptr;
};
