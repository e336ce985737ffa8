// TFormBigReplace: the "Extended Replace" dialog. Its buttons call services/ExtendedReplace.
#pragma once

#include "services/ExtendedReplace.h"

#include <QDialog>
#include <memory>

class AppState;
class FileChooser;
class ProgressStrip;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class ElidedLabel;
class UiPump;

class TFormBigReplace : public QDialog, public ExtendedReplaceView {
    Q_OBJECT
public:
    TFormBigReplace(AppState& state, Prompter& prompter, FileChooser& chooser,
                    QWidget* parent = nullptr);
    ~TFormBigReplace() override;

    ExtendedReplace& model() { return *m_model; }
    QLineEdit* textEdit() const { return m_text; }
    QLineEdit* replacementEdit() const { return m_replacement; }
    QCheckBox* caseBox() const { return m_case; }
    QRadioButton* projectRadio() const { return m_radioProj; }
    QRadioButton* filesRadio() const { return m_radioFiles; }
    QComboBox* projectsBox() const { return m_projects; }
    QListWidget* filesList() const { return m_files; }
    QPushButton* addFileButton() const { return m_addFile; }
    QPushButton* removeButton() const { return m_remove; }
    QCheckBox* backupBox() const { return m_backup; }
    QLineEdit* backupDirEdit() const { return m_backupDir; }
    QProgressBar* bar() const;
    ElidedLabel* statusPanel() const { return m_status; }
    ElidedLabel* reportPanel() const { return m_report; }
    QListWidget* resultsList() const { return m_results; }
    QPushButton* replaceAllButton() const { return m_replaceAll; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* addFolderButton() const { return m_addFolder; }
    QPushButton* stopButton() const;

    // Button1 "&Replace All".
    void replaceAll();
    // The first matches, nothing written.
    void preview();
    void addFile();
    // Every HTML file of a folder and its sub-folders.
    void addFolder();
    void removeFile();

    // Exit and Escape: while a run goes on, it stops first and the dialog closes after it.
    void reject() override;

    // ExtendedReplaceView
    void runStarted(int fileCount) override;
    void fileStarted(int index) override;
    void runEnded() override;
    void setStatus(const QString& text) override;
    void setReport(const QString& text) override;
    void clearResults() override;
    void addResult(const QString& line) override;

private:
    void setMode(bool projects);
    // The dialog's fields into the model, before a run or a preview.
    void takeFields();
    void showFiles();

    std::unique_ptr<UiPump> m_pump;
    std::unique_ptr<ExtendedReplace> m_model;
    FileChooser& m_chooser;
    // Where Add File starts: the last HTML folder, then the folder of the file added last.
    QString m_addFolderStart;
    bool m_closeAfterRun = false;

    QLineEdit* m_text = nullptr;
    QLineEdit* m_replacement = nullptr;
    QCheckBox* m_case = nullptr;
    QRadioButton* m_radioProj = nullptr;
    QRadioButton* m_radioFiles = nullptr;
    QComboBox* m_projects = nullptr;
    QListWidget* m_files = nullptr;
    QPushButton* m_addFile = nullptr;
    QPushButton* m_remove = nullptr;
    QCheckBox* m_backup = nullptr;
    QLineEdit* m_backupDir = nullptr;
    std::unique_ptr<ProgressStrip> m_strip;
    ElidedLabel* m_status = nullptr;
    ElidedLabel* m_report = nullptr;
    QListWidget* m_results = nullptr;
    QPushButton* m_addFolder = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_replaceAll = nullptr;
    QPushButton* m_exit = nullptr;
};
