// Live colouring in the main window: the "Color" switch puts the live highlighter over the
// editor's document (and takes it away), and every new document is taken in. New tag colours
// come through the room's colourText (Settings, Apply) or colorTagsNow.
#pragma once

#include "services/LiveTagHighlighter.h"
#include "services/ServicesRoom.h"

#include <QObject>

class AppState;
class PlainTextEditWindow;

class LiveColouringUi : public QObject, public LiveColouring {
    Q_OBJECT
public:
    LiveColouringUi(AppState& state, PlainTextEditWindow& editor, QObject* parent);

    // The "Color" switch.
    void setOn(bool on);
    bool liveColouringOn() const override { return m_on; }
    // "Color Tags Now" while the switch is on: the colours stored now, over the whole text.
    void colourAgain() override;
    void endUncolouring() override { m_highlighter.finishUncolouring(); }
    LiveTagHighlighter& highlighter() { return m_highlighter; }

private:
    void followDocument();

    AppState& m_state;
    PlainTextEditWindow& m_editor;
    LiveTagHighlighter m_highlighter;
    bool m_on = false;
};
