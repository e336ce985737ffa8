// TFormSpellCheck: the "Spell Check" dialog. It stays up for a whole run and, for each word the
// checker puts to it, waits for one of its buttons.
#pragma once

#include "spell/TAddictSpell.h"

#include <QDialog>

class QEventLoop;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TFormSpellCheck : public QDialog, public SpellDialogHost {
    Q_OBJECT
public:
    explicit TFormSpellCheck(QWidget* parent = nullptr);

    SpellReply ask(TAddictSpell& checker, const SpellQuery& query) override;
    void runFinished() override;
    void hideForNow() override;

    QLineEdit* notFoundEdit() const { return m_notFound; }
    QLineEdit* replaceEdit() const { return m_replace; }
    QListWidget* suggestionList() const { return m_suggestions; }
    QLabel* notFoundLabel() const { return m_notFoundLabel; }
    // The button with this caption (as it stands, with its "&").
    QPushButton* button(const QString& caption) const;
    bool waiting() const { return m_loop != nullptr; }
    // Escape and the close box: Cancel while a word waits.
    void reject() override;

private:
    void answer(SpellAction action);
    void suggestWider();
    void openOptions();
    void showHelp();

    TAddictSpell* m_checker = nullptr;
    QEventLoop* m_loop = nullptr;
    SpellReply m_reply;
    QLabel* m_notFoundLabel = nullptr;
    QLineEdit* m_notFound = nullptr;
    QLineEdit* m_replace = nullptr;
    QListWidget* m_suggestions = nullptr;
    QList<QPushButton*> m_buttons;
    QPushButton* m_undo = nullptr;
};
