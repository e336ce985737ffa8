// Prompter: the program's message boxes and input boxes.
//
// Messages come in three kinds with fixed button sets; the exact texts of the program pass
// through here so that tests can assert them with a scripted prompter.
#pragma once

#include <QString>
#include <optional>

enum class MessageKind { Information, Confirmation, Warning, Error };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;

    // Shows text and returns the button pressed. Closing the box without a button gives Cancel
    // for YesNoCancel, No for YesNo and Ok for Ok.
    virtual MessageAnswer message(MessageKind kind, MessageButtons buttons,
                                  const QString& text) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& caption, const QString& prompt,
                                         const QString& initial) = 0;
    // An input box that does not show what is typed (a password); nullopt when cancelled.
    virtual std::optional<QString> secret(const QString& caption, const QString& prompt) {
        return input(caption, prompt, {});
    }

    void inform(const QString& text) {
        message(MessageKind::Information, MessageButtons::Ok, text);
    }
    void warn(const QString& text) { message(MessageKind::Warning, MessageButtons::Ok, text); }
    void error(const QString& text) { message(MessageKind::Error, MessageButtons::Ok, text); }
};
