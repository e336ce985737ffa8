// TFormCustom, "Custom Tags": adds one custom tag (add mode) or deletes custom tags (delete mode).
#pragma once

#include <QDialog>
#include <QStringList>

class Prompter;
class QLineEdit;
class QListWidget;

class TFormCustom : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Delete };
    // entries: the user's custom entries, listed in delete mode. prompter: the add checks'
    // messages and question.
    TFormCustom(Mode mode, Prompter& prompter, const QStringList& entries = {},
                QWidget* parent = nullptr);

    // Add mode, after "&Add Tag" passed its checks.
    QString name() const;
    QString startTag() const;
    QString endTag() const;
    // Delete mode: the entries left in the list.
    QStringList entries() const;

    static QString addNote();
    static QString deleteNote();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addTagClick();
    void deleteTagClick();

    Prompter& m_prompter;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
    QListWidget* m_list = nullptr;
};
