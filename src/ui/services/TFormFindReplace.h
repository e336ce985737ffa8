// The Find and Replace dialogs: Find what, Replace with (Replace only), Match case, Find Next,
// Replace, Replace All, Cancel; and, off unless ticked, whole words, backwards, wrapping round
// and regular expressions. Modeless; one of each lives as long as the main window.
#pragma once

#include <QDialog>

class FindReplace;
struct FindOptions;
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
    QCheckBox* wholeWord() const { return m_wholeWord; }
    QCheckBox* backwards() const { return m_backwards; }
    QCheckBox* wrapAround() const { return m_wrapAround; }
    QCheckBox* regularExpression() const { return m_regex; }
    // The boxes beyond Match case, as the search takes them.
    FindOptions options() const;

private:
    FindReplace& m_find;
    QLineEdit* m_findEdit = nullptr;
    QLineEdit* m_replaceEdit = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_backwards = nullptr;
    QCheckBox* m_wrapAround = nullptr;
    QCheckBox* m_regex = nullptr;
    QPushButton* m_findNext = nullptr;
};
