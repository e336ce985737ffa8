// TFormBackup: the "Backup Project Files" dialog. Its buttons call project/ProjectBackup.
#pragma once

#include "project/ProjectBackup.h"

#include <QDialog>
#include <memory>

class AppState;
class FolderBrowser;
class ProgressStrip;
class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class UiPump;

class TFormBackup : public QDialog, public LongPassView {
    Q_OBJECT
public:
    // openProjectPath: the open project's outline file, wherever it was read from.
    TFormBackup(AppState& state, Prompter& prompter, QWidget* parent = nullptr,
                const QString& openProjectPath = {});
    ~TFormBackup() override;

    ProjectBackup& model() { return *m_model; }
    QComboBox* projectsBox() const { return m_projects; }
    FolderBrowser* browser() const { return m_browser; }
    QLineEdit* newSubEdit() const { return m_newSub; }
    QPushButton* createButton() const { return m_create; }
    QLineEdit* backupPathEdit() const { return m_path; }
    QPushButton* backupButton() const { return m_backup; }
    QLabel* statusPanel() const { return m_status; }
    QProgressBar* bar() const;

    void chooseProject(const QString& text);
    void createSubFolder();
    void backupNow();

    // Close and Escape: while a run goes on, it stops first and the dialog closes after it.
    void reject() override;

    // LongPassView
    void runStarted(int barMaximum) override;
    void fileStarted(int index) override;
    void runEnded() override;
    void setStatus(const QString& text) override;

private:
    void pushFields();

    std::unique_ptr<UiPump> m_pump;
    std::unique_ptr<ProjectBackup> m_model;
    bool m_closeAfterRun = false;
    QComboBox* m_projects = nullptr;
    FolderBrowser* m_browser = nullptr;
    QLineEdit* m_newSub = nullptr;
    QPushButton* m_create = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_backup = nullptr;
    QPushButton* m_close = nullptr;
    QLabel* m_status = nullptr;
    std::unique_ptr<ProgressStrip> m_strip;
};
