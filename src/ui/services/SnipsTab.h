// The "Snips" tab of the left-hand tab set: "URL Manager" and "Misc Text", each a list with its
// entry field and Add, Delete and Edit buttons, and the shared "Paste Option".
#pragma once

#include "services/Snips.h"

#include <QWidget>

class Clipboard;
class EditWindow;
class HtmlDocument;
class QListWidget;
class QLineEdit;
class QRadioButton;

class SnipsTab : public QWidget, public SnipEntryEditor {
    Q_OBJECT
public:
    SnipsTab(Snips& snips, EditWindow& editor, Clipboard& clipboard, HtmlDocument& document,
             QWidget* parent = nullptr);

    // Shows a list's entries again after it changed or was loaded.
    void refresh();
    QListWidget* list(SnipList& of) const;

    // SnipEntryEditor: the modal "Edit Entry" dialog.
    QString editEntry(const QString& text) override;

private:
    struct Pane {
        SnipList* model = nullptr;
        QListWidget* list = nullptr;
        QLineEdit* field = nullptr;
    };
    QWidget* buildPane(Pane& pane, SnipList& model, const QString& name);
    void show(const Pane& pane);

    Snips& m_snips;
    EditWindow& m_editor;
    Clipboard& m_clipboard;
    HtmlDocument& m_document;
    Pane m_urls;
    Pane m_misc;
    QRadioButton* m_paste = nullptr;
};
