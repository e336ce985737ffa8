// The stand-ins a benchmark gives the logic for the window's questions and file dialogs: no
// question is expected during a measured run, so one that comes is printed, never waited for.
#pragma once

#include "platform/FileChooser.h"
#include "platform/Prompter.h"

#include <cstdio>
#include <optional>

struct SilentPrompter : Prompter {
    MessageAnswer message(MessageKind, MessageButtons, const QString& text) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return MessageAnswer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

// For runs that go through questions: every one is answered Yes.
struct YesPrompter : Prompter {
    MessageAnswer message(MessageKind, MessageButtons, const QString&) override {
        return MessageAnswer::Yes;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

struct NoChooser : FileChooser {
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};
