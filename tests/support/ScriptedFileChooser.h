// A FileChooser for tests: records every request and returns queued paths (nullopt = Cancel).
#pragma once

#include "platform/FileChooser.h"

#include <deque>
#include <vector>

class ScriptedFileChooser : public FileChooser {
public:
    struct Request {
        bool save;
        FileDialogRequest request;
    };

    void queue(std::optional<QString> path) { m_paths.push_back(std::move(path)); }

    std::optional<QString> openFile(const FileDialogRequest& request) override {
        return take(false, request);
    }
    std::optional<QString> saveFile(const FileDialogRequest& request) override {
        return take(true, request);
    }

    const std::vector<Request>& requests() const { return m_requests; }

private:
    std::optional<QString> take(bool save, const FileDialogRequest& request) {
        m_requests.push_back({save, request});
        if (m_paths.empty())
            return std::nullopt;
        auto p = m_paths.front();
        m_paths.pop_front();
        return p;
    }

    std::deque<std::optional<QString>> m_paths;
    std::vector<Request> m_requests;
};
