// The Find and Replace dialogs: Find what, Replace with (Replace only), Match case, Find Next,
// Replace, Replace All, Cancel. Modeless; one of each lives as long as the main window.
#pragma once

#include <QDialog>

class FindReplace;
class QCheckBox;
class QLineEdit;
class QPushButton;

class TFormFindReplace : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Find, Replace };
    TFormFindReplace(Mode mode, FindReplace& find, QWidget* parent);

    // Shows the dialog with its find text set.
    void open(const QString& findText);
    QString findText() const;
    QLineEdit* findEdit() const { return m_findEdit; }
    QLineEdit* replaceEdit() const { return m_replaceEdit; }
    QCheckBox* matchCase() const { return m_matchCase; }

private:
    FindReplace& m_find;
    QLineEdit* m_findEdit = nullptr;
    QLineEdit* m_replaceEdit = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QPushButton* m_findNext = nullptr;
};
