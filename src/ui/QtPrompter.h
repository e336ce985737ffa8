// QtPrompter: the program's message and input boxes as QMessageBox and QInputDialog.
#pragma once

#include "platform/Prompter.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    MessageAnswer message(MessageKind kind, MessageButtons buttons, const QString& text) override;
    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& initial) override;
    std::optional<QString> secret(const QString& caption, const QString& prompt) override;

    // Sets up a box for a message: the application title as caption, the kind's icon, the
    // button set, and the button that closing the box stands for.
    static void configure(QMessageBox& box, MessageKind kind, MessageButtons buttons,
                          const QString& text);
    // The width a box needs for the window manager to show its whole title.
    static int titleRoom(const QString& title, const QFont& font);
    // The answer for the button the box returned; anything else is the box being closed.
    static MessageAnswer answerFor(int result, MessageButtons buttons);

private:
    std::optional<QString> ask(const QString& caption, const QString& prompt,
                               const QString& initial, QLineEdit::EchoMode echo);

    QPointer<QWidget> m_parent;
};
