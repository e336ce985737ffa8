// TFormOptions: the "Settings" dialog. Its tabs show the values in effect; "&Apply" hands them to
// ApplySettings (app/ApplySettings.h). The browser locations are written when chosen, the backup
// choice takes effect when clicked, and Change File Path rewrites the open project's links.
#pragma once

#include "app/ApplySettings.h"
#include "app/ShellParts.h"

#include <QDialog>
#include <array>

class AppState;
class FileChooser;
class Project;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

class TFormOptions : public QDialog {
    Q_OBJECT
public:
    // project: the open project for Change File Path (null: the tab lists nothing).
    TFormOptions(AppState& state, Project* project, Prompter& prompter, FileChooser& chooser,
                 SettingsPage page, QWidget* parent = nullptr);

    // The values as the fields hold them now.
    SettingsValues values() const;
    // "&Apply": ApplySettings, then the dialog closes.
    void apply();

    QTabWidget* tabs() const { return m_tabs; }
    // The colour caption of tag kind i, drawn in its colour.
    QLabel* colorCaption(int i) const { return m_colorCaptions[static_cast<size_t>(i)]; }
    QComboBox* colorList(int i) const { return m_colorLists[static_cast<size_t>(i)]; }

private:
    QWidget* buildFiles();
    QWidget* buildTagOptions();
    QWidget* buildBrowsers();
    QWidget* buildHelpers();
    QWidget* buildBackup();
    QWidget* buildFtp();
    QWidget* buildChangeFilePath();
    void addExtensionClicked();
    void redrawColorCaptions();
    std::optional<QString> browse();
    void chooseBrowser(bool first, const QString& path);

    AppState& m_state;
    Project* m_project;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    SettingsValues m_initial;

    QTabWidget* m_tabs = nullptr;
    // Files
    QListWidget* m_extensions = nullptr;
    QLineEdit* m_newExt = nullptr;
    QLineEdit* m_defaultExt = nullptr;
    QLineEdit* m_template = nullptr;
    QLineEdit* m_imagePath = nullptr;
    QCheckBox* m_useDefaultFiles = nullptr;
    QLineEdit* m_defaultFiles = nullptr;
    QCheckBox* m_confirm = nullptr;
    QCheckBox* m_editProblem = nullptr;
    QCheckBox* m_lowerCase = nullptr;
    // Tag Options
    std::array<QComboBox*, 6> m_colorLists{};
    std::array<QLabel*, 6> m_colorCaptions{};
    QCheckBox* m_strong = nullptr;
    QCheckBox* m_em = nullptr;
    // Web Browsers
    QLineEdit* m_net = nullptr;
    QLineEdit* m_msie = nullptr;
    QRadioButton* m_autoSave = nullptr;
    QRadioButton* m_temp = nullptr;
    QRadioButton* m_noSave = nullptr;
    QCheckBox* m_hideControl = nullptr;
    // Helper Apps
    QLineEdit* m_image = nullptr;
    QLineEdit* m_map = nullptr;
    // Back Up
    QRadioButton* m_noBackup = nullptr;
    QRadioButton* m_promptBackup = nullptr;
    QSpinBox* m_promptFreq = nullptr;
    // FTP
    QCheckBox* m_ftpAuto = nullptr;
    QCheckBox* m_flush = nullptr;
    QCheckBox* m_checkBeforeUpload = nullptr;
    QSpinBox* m_sizeLimit = nullptr;
    QCheckBox* m_tidyWarnings = nullptr;
    // Change File Path
    QListWidget* m_paths = nullptr;
    QPushButton* m_selectNewPath = nullptr;
    QPushButton* m_changePath = nullptr;
    QLabel* m_newPath = nullptr;
    QString m_newFolder;
};
