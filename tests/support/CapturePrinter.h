// A Printer for tests: answers the print dialog as queued and keeps every job it is given.
// Strict like the other doubles: a print dialog with no answer queued fails the test.
#pragma once

#include "platform/Printer.h"

#include <deque>
#include <gtest/gtest.h>

class CapturePrinter : public Printer {
public:
    struct Job {
        QString title;
        QStringList lines;            // a text stream
        std::vector<PrintPage> pages; // positioned text
        std::optional<QFont> font;
    };

    void queue(bool confirmed) { m_answers.push_back(confirmed); }

    bool choosePrinter(const QString& jobTitle) override {
        m_dialogs << jobTitle;
        if (m_answers.empty()) {
            ADD_FAILURE() << "print dialog shown with no answer queued: " << jobTitle.toStdString();
            return false;
        }
        const bool a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    bool printLines(const QString& jobTitle, const QStringList& lines,
                    const std::optional<QFont>& font) override {
        jobs.push_back({jobTitle, lines, {}, font});
        return failWith.isEmpty();
    }
    bool printPages(const QString& jobTitle, const std::vector<PrintPage>& pages,
                    const std::optional<QFont>& font) override {
        jobs.push_back({jobTitle, {}, pages, font});
        return failWith.isEmpty();
    }
    QString errorText() const override { return failWith; }

    const QStringList& dialogs() const { return m_dialogs; }
    std::vector<Job> jobs;
    QString failWith; // set: every job fails with this reason

private:
    std::deque<bool> m_answers;
    QStringList m_dialogs;
};
