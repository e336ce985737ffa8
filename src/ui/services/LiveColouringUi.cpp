// Live colouring in the main window.
#include "ui/services/LiveColouringUi.h"

#include "app/AppState.h"
#include "ui/PlainTextEditWindow.h"

#include <QPlainTextEdit>

LiveColouringUi::LiveColouringUi(AppState& state, PlainTextEditWindow& editor, QObject* parent)
    : QObject(parent), m_state(state), m_editor(editor) {
    // A big page comes in a document of its own; a small one into the same document, which the
    // highlighter has followed already.
    connect(&state.document(), &HtmlDocument::documentReplaced, this, [this] { followDocument(); });
}

void LiveColouringUi::setOn(bool on) {
    if (on == m_on || !m_editor.editor())
        return;
    m_on = on;
    m_editor.setLiveColouring(on);
    if (on) {
        m_highlighter.setColors(TagColors::fromNames(m_state.settings().tagColors));
        m_highlighter.attach(m_editor.editor()->document());
    } else {
        m_highlighter.attach(nullptr);
    }
}

void LiveColouringUi::colourAgain() {
    if (!m_on)
        return;
    m_highlighter.setColors(TagColors::fromNames(m_state.settings().tagColors));
}

void LiveColouringUi::followDocument() {
    if (m_on && m_editor.editor() && m_highlighter.attached() != m_editor.editor()->document())
        m_highlighter.attach(m_editor.editor()->document());
}
