// What the services' tests share: an editor in memory, a scripted prompter and a real document
// over a temporary program folder.
#pragma once

#include "app/ChangedList.h"
#include "app/HtmlDocument.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/IniFile.h"
#include "platform/UiPump.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

class ServicesTest : public ::testing::Test {
protected:
    ServicesTest()
        : store(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                IniFile(dir.file(QStringLiteral("OPTIONS.INI")))),
          settings(store.load(dir.path(), dir.path())),
          doc(editor, prompter, chooser, clipboard, settings, store, changed, dir.path()) {
        editor.setClipboard(&clipboard);
        doc.startUntitled();
    }
    ~ServicesTest() override { EXPECT_FALSE(prompter.answersLeft()); }

    // Sets the text and clears what setting it did to the document's flag.
    void setText(const QString& text) {
        editor.setText(text);
        doc.setHtmlModified(false);
    }
    void select(int start, int length) {
        editor.setSelStart(start);
        editor.setSelLength(length);
    }

    TempDir dir;
    SettingsStore store;
    Settings settings;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ChangedList changed;
    HtmlDocument doc;
    // Runs the test's callback once per line of a long pass.
    std::function<void()> onPump;
    CallbackPump pump{[this] {
        if (onPump)
            onPump();
    }};
};
