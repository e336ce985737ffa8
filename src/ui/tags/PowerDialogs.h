// The Power dialogs of the BODY tag, the anchor and the image: TFormBody, TFormAnchor and
// TFormImageView. Each composes its text with the tag room's generators and hands it over
// through the clipboard and its TagDialogResult.
#pragma once

#include "tags/PowerCommands.h"
#include "tags/TPMultiImage.h"

#include <QColor>
#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class Clipboard;
struct BodyFields;
class FileChooser;
class IniFile;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QPushButton;
class QSpinBox;
class QWidget;

// What the Power dialogs draw on.
struct PowerDialogEnv {
    Clipboard& clipboard;
    Prompter& prompter;
    FileChooser& chooser;
    const IniFile& options; // OPTIONS.INI
    QString programDirectory = {};
    QString lastHtmlDirectory = {};
    QString htmlFilePattern = {};
    QString pageFolder = {}; // the open page's folder: chosen files are linked as seen from it
    QString relImage = {};
    // The folder the image dialog listed last ("" for none yet).
    QString imageFolder = {};
    // "Write tags in lower case".
    bool lowerCase = false;
    bool useAnchor = false;
    QString anchorPath = {};
    // The editor's selected text: the anchor's description.
    QString selectedText = {};
    // The file the Files tab has selected ("" for none): the image dialog opens on it, and
    // says so when it is no picture it can read.
    QString filesTabImage = {};
    // The colour chooser; nullopt when cancelled.
    std::function<std::optional<QColor>(const QColor&)> chooseColor = {};
};

// Puts text on the clipboard and fills the hand-over; accept: the main window inserts it.
void handOverText(Clipboard& clipboard, TagDialogResult& result, const QString& text, bool accept);

// Shows one Power dialog modally and returns what it left.
PowerDialogOutcome showPowerDialog(PowerDialog which, PowerDialogEnv& env, QWidget* parent);

class TFormBody : public QDialog {
    Q_OBJECT
public:
    enum Slot { Bg, Text, Link, VLink, ALink };
    TFormBody(PowerDialogEnv& env, QWidget* parent = nullptr);
    ~TFormBody() override;

    const TagDialogResult& result() const { return m_result; }
    // What the relative-path field holds, as the user left it: the example it shows until then
    // is no path.
    QString relativePath() const;
    int color(Slot slot) const { return m_colors[slot]; }
    // A colour as the chooser would set it: the preview follows and the tag is recomposed.
    void setColor(Slot slot, int color);
    void pickColor(Slot slot);
    QString composedText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BodyFields fields() const;
    void recompose();
    void saveColors() const;
    void selectImage();
    void updatePreview();
    void finish(bool insert);

    PowerDialogEnv& m_env;
    TagDialogResult m_result;
    std::array<int, 5> m_colors{};
    QString m_imageFile;
    QPlainTextEdit* m_display = nullptr;
    QWidget* m_preview = nullptr;
    QLabel* m_previewImage = nullptr;
    std::array<QLabel*, 4> m_colorLabels{};
    QRadioButton* m_solid = nullptr;
    QRadioButton* m_tiled = nullptr;
    QPushButton* m_selectColor = nullptr;
    QPushButton* m_selectImage = nullptr;
    QLabel* m_imageName = nullptr;
    QCheckBox* m_useRelative = nullptr;
    QLineEdit* m_relative = nullptr;
    QCheckBox* m_endTag = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_keywords = nullptr;
    QCheckBox* m_html = nullptr;
    QCheckBox* m_head = nullptr;
    QCheckBox* m_titleTag = nullptr;
    QCheckBox* m_meta = nullptr;
};

class TFormAnchor : public QDialog {
    Q_OBJECT
public:
    // selected: the editor's selected text, the link's description.
    TFormAnchor(PowerDialogEnv& env, const QString& selected, QWidget* parent = nullptr);

    const TagDialogResult& result() const { return m_result; }
    bool relativeChosen() const;
    QString relativePath() const;
    QString composedText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void recompose();
    void chooseFile();
    void finish(bool insert);

    PowerDialogEnv& m_env;
    TagDialogResult m_result;
    QLineEdit* m_href = nullptr;
    QLineEdit* m_description = nullptr;
    QRadioButton* m_hrefTag = nullptr;
    QRadioButton* m_nameTag = nullptr;
    QRadioButton* m_filenameOnly = nullptr;
    QRadioButton* m_relativeFile = nullptr;
    QLineEdit* m_path = nullptr;
    QPlainTextEdit* m_display = nullptr;
};

class TFormImageView : public QDialog {
    Q_OBJECT
public:
    TFormImageView(PowerDialogEnv& env, QWidget* parent = nullptr);

    const TagDialogResult& result() const { return m_result; }
    QString relativePath() const;
    QString composedText() const;
    // The folder whose pictures the list shows; the drive box and the folder line show it.
    void setFolder(const QString& folder);
    const QString& folder() const { return m_folder; }
    // Loads a picture and fills the fields (a click in the list, or the Files tab's picture);
    // false, after the message and with every field as it was, when it cannot be read.
    bool choose(const QString& path, bool fromFilesTab = false);

private:
    void recompose();
    void finish(bool insert);
    // A click on a file of the list: a failed load also takes back the name that the move of
    // the selection put into Source.
    void fileClicked(const QString& name);
    bool eventFilter(QObject* watched, QEvent* event) override;

    PowerDialogEnv& m_env;
    TagDialogResult m_result;
    TPMultiImage m_image;
    QString m_folder;
    QString m_sourceBeforeClick; // Source before the last mouse press in the file list
    QComboBox* m_drives = nullptr;
    QLabel* m_folderLine = nullptr;
    QListWidget* m_folders = nullptr;
    QListWidget* m_files = nullptr;
    QLabel* m_preview = nullptr;
    QLabel* m_dim = nullptr;
    QLabel* m_size = nullptr;
    QLabel* m_path = nullptr;
    QLineEdit* m_source = nullptr;
    QLineEdit* m_alt = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QComboBox* m_align = nullptr;
    QSpinBox* m_border = nullptr;
    QCheckBox* m_ismap = nullptr;
    QCheckBox* m_useRelative = nullptr;
    QLineEdit* m_relative = nullptr;
    QPlainTextEdit* m_display = nullptr;
};
