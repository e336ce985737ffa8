// A Prompter for tests: records every text shown and returns queued answers.
#pragma once

#include "platform/Prompter.h"

#include <QStringList>
#include <deque>
#include <functional>

class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        MessageKind kind;
        MessageButtons buttons;
        QString text;
    };

    // Answers are used in order; with none queued a message gets Ok / Yes and an input box is
    // cancelled.
    void queue(MessageAnswer answer) { m_answers.push_back(answer); }
    void queueInput(const std::optional<QString>& value) {
        m_inputs.push_back({value.has_value(), value.value_or(QString())});
    }

    // Called with each message text as it is shown, to look at the world at that moment.
    std::function<void(const QString&)> onMessage;

    MessageAnswer message(MessageKind kind, MessageButtons buttons, const QString& text) override {
        m_shown.push_back({kind, buttons, text});
        if (onMessage)
            onMessage(text);
        if (!m_answers.empty()) {
            const MessageAnswer a = m_answers.front();
            m_answers.pop_front();
            return a;
        }
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }

    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& initial) override {
        m_inputPrompts << caption + QStringLiteral("|") + prompt + QStringLiteral("|") + initial;
        if (m_inputs.empty())
            return std::nullopt;
        const Input v = m_inputs.front();
        m_inputs.pop_front();
        if (!v.given)
            return std::nullopt;
        return v.text;
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    QStringList texts() const {
        QStringList t;
        for (const auto& s : m_shown)
            t << s.text;
        return t;
    }
    const QStringList& inputPrompts() const { return m_inputPrompts; }
    bool answersLeft() const { return !m_answers.empty(); }
    void clearShown() { m_shown.clear(); }

private:
    std::deque<MessageAnswer> m_answers;
    // Kept as flag and text: GCC 12 warns falsely about copies of optional<QString>.
    struct Input {
        bool given;
        QString text;
    };
    std::deque<Input> m_inputs;
    std::vector<Shown> m_shown;
    QStringList m_inputPrompts;
};
