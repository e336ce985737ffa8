// EditorInput: the editor's keys and presses.
#include "ui/shell/EditorInput.h"

#include "app/EditorPresses.h"
#include "app/HtmlDocument.h"
#include "ui/shell/ActionRegistry.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

EditorInput::EditorInput(QPlainTextEdit& editor, ActionRegistry& registry, HtmlDocument& document,
                         QObject* parent)
    : QObject(parent), m_editor(editor), m_registry(registry), m_document(document) {
    editor.installEventFilter(this);
    editor.viewport()->installEventFilter(this);
}

bool EditorInput::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // The editor claims some keys of the window's commands for itself (Shift+Return,
        // Line Break, would become a line break of its own): those run the command.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_registry.windowShortcuts().contains(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (keyPressChangesDocument(key->key(), QKeySequence(key->keyCombination()),
                                    m_registry.windowShortcuts()))
            m_document.editorPressed();
        break;
    }
    case QEvent::MouseButtonPress:
        m_document.editorPressed();
        emit mousePressed();
        break;
    case QEvent::MouseButtonDblClick:
        m_document.editorPressed();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == &m_editor)
            emit geometryChanged();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
