// TFormSpellCheck: the "Spell Check" dialog. It stays up for a whole run and, for each word the
// checker puts to it, waits for one of its buttons.
#pragma once

#include "spell/TAddictSpell.h"

#include <QDialog>
#include <QRect>

#include <functional>

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

    // Where the word put to the user stands on the screen (global coordinates); the dialog
    // keeps clear of it. Unset or empty: the dialog stays where it is.
    std::function<QRect()> wordArea;
    // Where a dialog whose frame is `dialog` goes so that it does not cover `word`: where it is
    // when it covers nothing of it, else below the word, else above it, else beside it, always
    // inside `screen`.
    static QPoint placeClearOf(const QRect& dialog, const QRect& word, const QRect& screen);

private:
    void answer(SpellAction action);
    void suggestWider();
    void openOptions();
    void showHelp();
    void keepClearOfWord();

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
