// TipOfTheDay: the tip window's logic.
#include "app/TipOfTheDay.h"

#include "app/SettingsTable.h"
#include "app/ShellWindow.h"
#include "app/Tips.h"
#include "platform/RandomSource.h"

#include <QTimer>

TipOfTheDay::TipOfTheDay(Settings& settings, const SettingsStore& store, RandomSource& random,
                         ShellWindow& window)
    : m_settings(settings), m_store(store), m_random(random), m_window(window) {
}

bool TipOfTheDay::showsAtStartUp() const {
    return m_settings.showTips;
}

int TipOfTheDay::drawTip() {
    return m_random.bounded(static_cast<int>(tipTexts().size()));
}

void TipOfTheDay::show() {
    const bool showAtStartUp = m_window.showTipWindow(
        tipTexts(), [this] { return drawTip(); }, m_settings.showTips);
    // Only a changed choice is written: closing the window leaves the settings file alone.
    if (showAtStartUp != m_settings.showTips)
        m_store.set(m_settings, &Settings::showTips, showAtStartUp);
}

void TipOfTheDay::post() {
    QTimer::singleShot(0, this, &TipOfTheDay::show);
}

void TipOfTheDay::offerAtStartUp() {
    if (showsAtStartUp())
        post();
}
