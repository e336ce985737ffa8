// TipOfTheDay: when the tip window shows, which tip it starts with, and where its
// show-at-start-up choice is kept (OPTIONS.INI, Help, ShowTips).
#pragma once

#include <QObject>

class RandomSource;
class SettingsStore;
class ShellWindow;
struct Settings;

class TipOfTheDay : public QObject {
    Q_OBJECT
public:
    TipOfTheDay(Settings& settings, const SettingsStore& store, RandomSource& random,
                ShellWindow& window);

    // Whether the window opens by itself at start-up: the stored choice.
    bool showsAtStartUp() const;
    // Shows the window now, and keeps the choice made in it. The first tip and each next one are
    // drawn by chance (a tip may come again).
    void show();
    // One draw: an index into tipTexts().
    int drawTip();
    // Shows it once the current event is done: the Help command posts it so that its menu has
    // closed first, and start-up posts it so that the main window is up.
    void post();
    // At start-up: posts the window when the stored choice says so.
    void offerAtStartUp();

private:
    Settings& m_settings;
    const SettingsStore& m_store;
    RandomSource& m_random;
    ShellWindow& m_window;
};
