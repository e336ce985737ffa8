// A FileChooser for tests: records every request and returns queued paths (nullopt = Cancel).
// It is strict: a dialog the test did not queue a choice for fails the test, naming its title.
#pragma once

#include "platform/FileChooser.h"

#include <deque>
#include <gtest/gtest.h>
#include <vector>

class ScriptedFileChooser : public FileChooser {
public:
    struct Request {
        bool save;
        FileDialogRequest request;
    };

    void queue(const std::optional<QString>& path) {
        m_paths.push_back({path.has_value(), path.value_or(QString())});
    }

    std::optional<QString> openFile(const FileDialogRequest& request) override {
        return take(false, request);
    }
    std::optional<QString> saveFile(const FileDialogRequest& request) override {
        return take(true, request);
    }
    // A folder dialog takes its choice from the same queue (recorded as an open dialog).
    std::optional<QString> chooseFolder(const FileDialogRequest& request) override {
        return take(false, request);
    }

    const std::vector<Request>& requests() const { return m_requests; }
    bool choicesLeft() const { return !m_paths.empty(); }

private:
    std::optional<QString> take(bool save, const FileDialogRequest& request) {
        m_requests.push_back({save, request});
        if (m_paths.empty()) {
            ADD_FAILURE() << (save ? "save" : "open")
                          << " dialog shown with no choice queued: " << request.title.toStdString();
            return std::nullopt;
        }
        const Entry e = m_paths.front();
        m_paths.pop_front();
        if (!e.chosen)
            return std::nullopt;
        return e.path;
    }

    // Kept as flag and text: GCC 12 warns falsely about copies of optional<QString>.
    struct Entry {
        bool chosen;
        QString path;
    };
    std::deque<Entry> m_paths;
    std::vector<Request> m_requests;
};
