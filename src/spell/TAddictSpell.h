// TAddictSpell: the spell checker the main window drives.
//
// It holds the configuration, the main and user dictionaries, the ignore-all and change-all
// lists of a run, and walks a range of an EditWindow word by word. Each word that needs the
// user (not found, or a repeated word) is selected in the editor and put to the check dialog
// through SpellDialogHost; the answer changes the editor's text in place. A run normally lasts
// one check; with keepActive it lasts until endRun(), so that a command checking a selection
// and then the rest of the text keeps one dialog and one set of lists.
#pragma once

#include "spell/MainDictionary.h"
#include "spell/SpellConfig.h"
#include "spell/UserDictionary.h"
#include "spell/WordFrequencies.h"
#include "spell/WordScanner.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class EditWindow;
class Prompter;
class TAddictSpell;

enum class SpellAction { Change, ChangeAll, Ignore, IgnoreAll, Add, AutoCorrect, Undo, Cancel };

struct SpellQuery {
    QString word;
    bool repeated = false;   // "Repeated Word:" rather than "Not Found:"
    QStringList suggestions; // ranked, at most MaxSuggestions; empty without soAutoSuggest
    bool canUndo = false;    // whether "Undo Last" has something to undo
};

struct SpellReply {
    SpellAction action = SpellAction::Cancel;
    QString replacement; // for Change, Change All and Auto-Correct
};

// The interactive check dialog as the checker sees it.
class SpellDialogHost {
public:
    virtual ~SpellDialogHost() = default;
    // Puts the word to the user and waits for the answer. The dialog may call back into the
    // checker meanwhile (Suggest, Options).
    virtual SpellReply ask(TAddictSpell& checker, const SpellQuery& query) = 0;
    // The run is over: the dialog may go.
    virtual void runFinished() {}
    // The run waits for a question of the program: the dialog steps aside until the next word.
    virtual void hideForNow() {}
};

class TAddictSpell {
public:
    static constexpr int MaxSuggestions = 15;
    static constexpr int UndoDepth = 20;

    TAddictSpell(QString configPath, QString configKey);
    ~TAddictSpell();

    // Reads the configuration (start-up); dictionaries open when first needed.
    void configure();
    const SpellConfig& configuration() const { return m_config; }
    // Takes a changed configuration from the configuration dialog: written to the file, the
    // user dictionaries written and read again, the main dictionaries opened anew.
    void setConfiguration(const SpellConfig& config);
    bool saveConfiguration();
    const QString& configPath() const { return m_configPath; }
    // Where configure() reads from, when it is known only after the checker was made.
    void setConfigurationFile(QString path, QString key) {
        m_configPath = std::move(path);
        m_configKey = std::move(key);
    }

    // Opens the enabled dictionaries that are not open yet; returns a message for each that
    // cannot be used.
    QStringList openDictionaries();
    QList<const MainDictionary*> mainDictionaries() const;
    // The frequency table that orders suggestions: that of the first enabled main dictionary
    // that has one beside it; null when none has.
    const WordFrequencies* frequencies() const { return m_frequencies; }

    void setDialog(SpellDialogHost* dialog) { m_dialog = dialog; }
    // Where the component's own messages go (missing dictionaries, the end of a check).
    void setPrompter(Prompter* prompter) { m_prompter = prompter; }

    // Events: dictionaries ready at the start of a check, a check complete, a check cancelled,
    // and every change of the editor's text.
    std::function<void()> onCreated;
    std::function<void()> onComplete;
    std::function<void()> onCancelled;
    std::function<void()> onTextChanged;

    void checkSelection(EditWindow& editor);
    // Checks [start, end) in EditWindow positions.
    void checkRange(EditWindow& editor, int start, int end);
    bool checkCancelled() const { return m_cancelled; }
    // How much longer (or shorter, negative) the last check made the text.
    int lastLengthChange() const { return m_lengthChange; }
    int wordsChecked() const { return m_wordsChecked; }

    void setKeepActive(bool on) { m_keepActive = on; }
    bool keepActive() const { return m_keepActive; }
    // Ends a run kept active: the lists go and the dialog closes.
    void endRun();
    // Hides the dialog of a run kept active, while the program asks something of its own.
    void hideDialog();

    // The words of one check: whether a word (as scanned) needs the user.
    bool isWordCorrect(QStringView word) const;
    bool isWordCorrect(const QString& word) const { return isWordCorrect(QStringView(word)); }
    // Ranked suggestions for a misspelt word, at most MaxSuggestions.
    QStringList suggestionsFor(const QString& word) const;
    // The wider search of the Suggest button: up to two changes over the letters a to z and
    // the apostrophe, from all dictionaries, until more than MaxSuggestions are found.
    QStringList wideSuggestionsFor(const QString& word) const;

    void resetIgnoreAll() { m_ignoreAll.clear(); }
    void resetChangeAll() { m_changeAll.clear(); }
    const QSet<QString>& ignoreAllList() const { return m_ignoreAll; }

    ScanOptions scanOptions() const;

    // A scanned word with its ignored start and end cut off.
    struct Prepared {
        int start = 0;
        int length = 0;
        QString core;
    };
    static Prepared prepare(const QString& text, const ScannedWord& w);
    // The same without copying the word out.
    static Prepared prepareView(const QString& text, const ScannedWord& w);

    // The next word of [from, end) that needs the user, without asking: what the interactive
    // walk and the benchmark both use. previousWord carries the repeated-word check along.
    struct Problem {
        Prepared word;
        bool repeated = false;
        int previousStart = -1; // the word it repeats
        int previousEnd = -1;
    };
    struct ScanState {
        int previousStart = -1;
        int previousEnd = -1;
        int wordsScanned = 0;
    };
    std::optional<Problem> findProblem(const QString& text, int from, int end,
                                       ScanState& state) const;

private:
    struct UndoEntry {
        SpellAction action;
        QString word;      // the word as it was found
        int resumeAt = 0;  // where the scan goes back to
        int editStart = 0; // the change of the text, if any
        QString oldText;
        QString newText;
        bool changed = false;
        bool added = false; // Add put the word into a user dictionary
    };

    void check(EditWindow& editor, int start, int end);
    void beginRunIfIdle();
    bool knownWord(QStringView core, bool capitalisedWord, bool upperWord) const;
    void refreshActive();
    std::optional<QString> autoCorrection(const QString& core) const;
    UserDictionary* userDictionaryForAdding() const;
    void replace(EditWindow& editor, int start, int length, const QString& text);
    void releaseUserDictionaries();

    QString m_configPath;
    QString m_configKey;
    SpellConfig m_config;
    std::map<QString, std::unique_ptr<MainDictionary>> m_mainByPath; // opened once each
    // Index as in the config; empty where a dictionary is off (and receives no words).
    std::vector<std::unique_ptr<UserDictionary>> m_users;
    // The user dictionaries marked on: the only ones looked up and auto-corrected from.
    QList<const UserDictionary*> m_lookupUsers;
    QList<const MainDictionary*> m_active; // the enabled main dictionaries that opened
    // Each main dictionary's frequency table, read once with it; empty when it has none.
    std::map<QString, std::unique_ptr<WordFrequencies>> m_frequenciesByPath;
    const WordFrequencies* m_frequencies = nullptr;
    bool m_usersOpen = false;
    SpellDialogHost* m_dialog = nullptr;
    Prompter* m_prompter = nullptr;

    bool m_keepActive = false;
    bool m_inRun = false;
    // The dictionaries that could not be used were told in this run.
    bool m_problemsShown = false;
    bool m_cancelled = false;
    int m_lengthChange = 0;
    int m_wordsChecked = 0;
    QSet<QString> m_ignoreAll;
    QHash<QString, QString> m_changeAll;
    std::vector<UndoEntry> m_undo;
};

// Texts of the component.
namespace SpellTexts {
inline QString checkComplete() {
    return QStringLiteral("Spell Check Complete");
}
inline QString wordsChecked() {
    return QStringLiteral("Words Checked: ");
}
inline QString unableToFind() {
    return QStringLiteral("Unable to find dictionary file:");
}
} // namespace SpellTexts
