// A Prompter for tests: records every text shown and returns queued answers. It is strict: a
// message or input box that the test did not queue an answer for fails the test, naming its
// text, so an unexpected question never passes silently.
#pragma once

#include "platform/Prompter.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        MessageKind kind;
        MessageButtons buttons;
        QString text;
    };

    // Answers are used in order, one per box; an information box wants its Ok queued too.
    void queue(MessageAnswer answer, int times = 1) {
        for (int i = 0; i < times; ++i)
            m_answers.push_back(answer);
    }
    void queueInput(const std::optional<QString>& value) {
        m_inputs.push_back({value.has_value(), value.value_or(QString())});
    }

    // Called with each message text as it is shown, to look at the world at that moment.
    std::function<void(const QString&)> onMessage;

    MessageAnswer message(MessageKind kind, MessageButtons buttons, const QString& text) override {
        m_shown.push_back({kind, buttons, text});
        if (onMessage)
            onMessage(text);
        if (m_answers.empty()) {
            ADD_FAILURE() << "message shown with no answer queued: " << text.toStdString();
            // What closing the box would answer, so the flow under test stops safely.
            return buttons == MessageButtons::Ok      ? MessageAnswer::Ok
                   : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                      : MessageAnswer::Cancel;
        }
        const MessageAnswer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }

    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& initial) override {
        m_inputPrompts << caption + QStringLiteral("|") + prompt + QStringLiteral("|") + initial;
        if (m_inputs.empty()) {
            ADD_FAILURE() << "input box shown with no answer queued: " << prompt.toStdString();
            return std::nullopt;
        }
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
    bool answersLeft() const { return !m_answers.empty() || !m_inputs.empty(); }
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
