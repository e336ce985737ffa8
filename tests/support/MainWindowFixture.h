// The main window over a temporary program folder, with scripted questions and file choices
// and a clipboard of its own: the set-up the window tests share.
#pragma once

#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "ui/TForm1.h"

#include <gtest/gtest.h>
#include <memory>

class MainWindowFixture : public ::testing::Test {
protected:
    // A new window over the folder as it stands now: the window reads its settings at start-up.
    void openWindow() {
        form = std::make_unique<TForm1>(dir.path(), prompter, chooser, clipboard,
                                        TForm1::Options::withoutBanner());
    }

    TempDir dir;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    MemoryClipboard clipboard;
    std::unique_ptr<TForm1> form;
};
