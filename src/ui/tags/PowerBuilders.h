// The Power dialogs that build multi-part texts: the table (TFormTable), the list (TFormList),
// the horizontal rule (TFormHoriz), the frames builder (Tformframes) and the FRAMESET and FRAME
// dialogs (TFormFrameSet, TFormFrameDialog).
#pragma once

#include "tags/FramesBuilder.h"
#include "tags/TagInsertion.h"

#include <QDialog>
#include <QList>
#include <array>

class Clipboard;
class FileChooser;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QWidget;

class TFormTable : public QDialog {
    Q_OBJECT
public:
    // The largest table the dialog makes, and the part of it the grid offers for typing: a
    // table of any size is built in one pass, the grid never grows past what can be typed into.
    static constexpr int maxRows = 1000;
    static constexpr int maxColumns = 100;
    static constexpr int gridRows = 50;
    static constexpr int gridColumns = 20;

    TFormTable(Clipboard& clipboard, QWidget* parent = nullptr);
    void setLowerCase(bool on) { m_lowerCase = on; }
    const TagDialogResult& result() const { return m_result; }
    QString composedText() const;
    // The three sample cells as drawn, in the sampler's own coordinates (before its scale).
    QList<QRect> samplerCells() const;
    // How much the sampler is drawn enlarged, so that "Cell 1" fits its cell in this font.
    qreal samplerScale() const { return m_samplerScale; }

private:
    void gridFollows();
    Clipboard& m_clipboard;
    TagDialogResult m_result;
    bool m_lowerCase = false;
    qreal m_samplerScale = 1;
    QSpinBox* m_rows = nullptr;
    QSpinBox* m_columns = nullptr;
    QRadioButton* m_percentMode = nullptr;
    QRadioButton* m_pixelMode = nullptr;
    QSpinBox* m_pixels = nullptr;
    QSpinBox* m_percent = nullptr;
    QSpinBox* m_border = nullptr;
    QComboBox* m_align = nullptr;
    QSpinBox* m_padding = nullptr;
    QSpinBox* m_spacing = nullptr;
    QComboBox* m_valign = nullptr;
    QLineEdit* m_caption = nullptr;
    QRadioButton* m_captionBottom = nullptr;
    QTableWidget* m_grid = nullptr;
    QLabel* m_gridNote = nullptr;
    QWidget* m_sampler = nullptr;
    QLabel* m_samplerNote = nullptr;
};

class TFormList : public QDialog {
    Q_OBJECT
public:
    TFormList(Clipboard& clipboard, QWidget* parent = nullptr);
    void setLowerCase(bool on) { m_lowerCase = on; }
    const TagDialogResult& result() const { return m_result; }
    QString composedText() const;

private:
    void showFields();
    Clipboard& m_clipboard;
    TagDialogResult m_result;
    bool m_lowerCase = false;
    QRadioButton* m_ordered = nullptr;
    QSpinBox* m_rows = nullptr;
    std::array<QLineEdit*, 10> m_items{};
    QCheckBox* m_noIndent = nullptr;
};

class TFormHoriz : public QDialog {
    Q_OBJECT
public:
    TFormHoriz(Clipboard& clipboard, QWidget* parent = nullptr);
    void setLowerCase(bool on) { m_lowerCase = on; }
    const TagDialogResult& result() const { return m_result; }
    QString composedText() const;
    // The sample line in its 320-pixel area.
    QRect sampleLine() const;

private:
    Clipboard& m_clipboard;
    TagDialogResult m_result;
    bool m_lowerCase = false;
    QComboBox* m_align = nullptr;
    QSpinBox* m_thickness = nullptr;
    QRadioButton* m_percentMode = nullptr;
    QSpinBox* m_percent = nullptr;
    QSpinBox* m_pixels = nullptr;
    QCheckBox* m_noShade = nullptr;
    QWidget* m_sample = nullptr;
};

// The data fields of one frame: URL, name, scrolling, the two options, and a browse button.
class FrameDataPanel;

class Tformframes : public QDialog {
    Q_OBJECT
public:
    Tformframes(Clipboard& clipboard, FileChooser& chooser, const QString& pageFolder,
                QWidget* parent = nullptr);
    void setLowerCase(bool on) { m_lowerCase = on; }
    const TagDialogResult& result() const { return m_result; }
    FrameWizard& wizard() { return m_wizard; }
    // The design chosen on the templates tab, 1 to 5.
    int design() const { return m_design; }
    void chooseDesign(int design);
    // A click on the layout picture at a point of the wizard panel.
    void clickPicture(const QPoint& at);

    // Only the dialog's own buttons leave it: no close box, and Escape does nothing.
    void reject() override {}

private:
    void showStep();
    void readPanel();
    void writePanel();
    void next();
    void back();
    void finishTemplate();
    void leave();

    Clipboard& m_clipboard;
    TagDialogResult m_result;
    bool m_lowerCase = false;
    FrameWizard m_wizard;
    int m_design = 1;
    QLabel* m_title = nullptr;
    QWidget* m_step1 = nullptr;
    QRadioButton* m_rows = nullptr;
    QSpinBox* m_count = nullptr;
    QWidget* m_picture = nullptr;
    std::array<QSpinBox*, 5> m_dials{};
    QLabel* m_step2Notes = nullptr;
    FrameDataPanel* m_panel = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    std::array<QWidget*, 5> m_designs{};
    std::array<FrameDataPanel*, 3> m_colorGroups{}; // yellow, white, pink
};

class TFormFrameSet : public QDialog {
    Q_OBJECT
public:
    // The text on the clipboard (the cut selection) is what the frameset goes round.
    TFormFrameSet(Clipboard& clipboard, QWidget* parent = nullptr);
    void setLowerCase(bool on) { m_lowerCase = on; }
    const TagDialogResult& result() const { return m_result; }
    QString composedText() const;

private:
    Clipboard& m_clipboard;
    TagDialogResult m_result;
    bool m_lowerCase = false;
    QString m_selected;
    QLineEdit* m_cols = nullptr;
    QLineEdit* m_rowsField = nullptr;
};

class TFormFrameDialog : public QDialog {
    Q_OBJECT
public:
    TFormFrameDialog(Clipboard& clipboard, QWidget* parent = nullptr);
    void setLowerCase(bool on) { m_lowerCase = on; }
    const TagDialogResult& result() const { return m_result; }
    QString composedText() const;

private:
    Clipboard& m_clipboard;
    TagDialogResult m_result;
    bool m_lowerCase = false;
    QLineEdit* m_source = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_scrolling = nullptr;
    QCheckBox* m_noResize = nullptr;
    QCheckBox* m_noBorder = nullptr;
};
