// The editor services of the main window.
#include "services/ServicesRoom.h"

#include "app/AppState.h"

ServicesRoom::ServicesRoom(AppState& state, EditWindow& editor, Prompter& prompter, UiPump& pump)
    : m_state(state), m_colouring(editor, pump, m_stop, state.settings().wrap),
      m_find(editor, prompter, state.document(), pump, m_stop, state.settings().wrap),
      m_snips(state.programDirectory(), prompter) {
    m_colouring.setDocument(&state.document());
}

void ServicesRoom::colourText() {
    // Live colouring takes a new page in by itself; here it takes the colours stored now.
    if (m_live && m_live->liveColouringOn()) {
        m_live->colourAgain();
        return;
    }
    if (m_live)
        m_live->endUncolouring();
    // The settings dialog may have stored new names since the last pass.
    m_colouring.setColors(TagColors::fromNames(m_state.settings().tagColors));
    m_colouring.colorTags();
}

void ServicesRoom::colorTagsNow() {
    if (m_live && m_live->liveColouringOn()) {
        if (!m_state.document().currentHtmlFile().isEmpty())
            m_live->colourAgain();
        return;
    }
    if (m_live)
        m_live->endUncolouring();
    m_colouring.setColors(TagColors::fromNames(m_state.settings().tagColors));
    m_colouring.colorTagsNow(m_state.document());
}
