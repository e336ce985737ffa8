// TAddictSpell: word preparation, lookup in all dictionaries and the interactive walk.
#include "spell/TAddictSpell.h"

#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "spell/SuggestionRanking.h"

#include <QFileInfo>
#include <QVarLengthArray>

namespace {

bool isApostrophe(QChar ch) {
    return ch == u'\'' || ch == QChar(0x2019);
}

bool hasLetter(const QString& s) {
    for (QChar ch : s)
        if (ch.isLetter())
            return true;
    return false;
}

bool isAllUpper(const QString& s) {
    bool letter = false;
    for (QChar ch : s) {
        if (ch.isLower())
            return false;
        letter = letter || ch.isLetter();
    }
    return letter;
}

bool isCapitalised(const QString& s) {
    if (s.isEmpty() || !s.at(0).isUpper())
        return false;
    for (qsizetype i = 1; i < s.size(); ++i)
        if (s.at(i).isUpper())
            return false;
    return true;
}

QString capitalised(const QString& lower) {
    return lower.isEmpty() ? lower : lower.left(1).toUpper() + lower.mid(1);
}

// The forms a word may stand in the dictionaries under: as typed, and in lower case (or
// capitalised) when it starts a sentence or is written in capitals.
QStringList lookupForms(const QString& word) {
    QStringList forms{word};
    if (isCapitalised(word)) {
        forms << word.toLower();
    } else if (isAllUpper(word) && word.size() > 1) {
        forms << word.toLower() << capitalised(word.toLower());
    }
    return forms;
}

// Dictionary bytes; nullopt for words the one-byte dictionaries cannot hold.
std::optional<QByteArray> toDictionaryBytes(const QString& word) {
    QString w = word;
    w.replace(QChar(0x2019), u'\'');
    for (QChar ch : w)
        if (ch.unicode() > 0xff)
            return std::nullopt;
    return w.toLatin1();
}

bool onlyBlanks(const QString& text, int from, int to) {
    if (to <= from)
        return false;
    for (int i = from; i < to; ++i) {
        const QChar ch = text.at(i);
        if (ch != u' ' && ch != u'\t' && ch != u'\r' && ch != u'\n')
            return false;
    }
    return true;
}

} // namespace

TAddictSpell::TAddictSpell(QString configPath, QString configKey)
    : m_configPath(std::move(configPath)), m_configKey(std::move(configKey)) {
}

TAddictSpell::~TAddictSpell() {
    releaseUserDictionaries();
}

void TAddictSpell::configure() {
    releaseUserDictionaries();
    m_config = loadSpellConfig(m_configPath, m_configKey);
    refreshActive();
}

bool TAddictSpell::saveConfiguration() {
    const bool ok = saveSpellConfig(m_configPath, m_configKey, m_config);
    if (ok)
        m_config.changed = false;
    return ok;
}

void TAddictSpell::setConfiguration(const SpellConfig& config) {
    releaseUserDictionaries();
    m_config = config;
    m_config.changed = true;
    refreshActive();
    saveConfiguration();
    openDictionaries();
}

void TAddictSpell::releaseUserDictionaries() {
    // Each one writes back its changes as it goes.
    m_lookupUsers.clear();
    m_users.clear();
    m_usersOpen = false;
}

QStringList TAddictSpell::openDictionaries() {
    QStringList problems;
    for (const SpellDictionaryEntry& d : m_config.mainDictionaries) {
        if (!d.enabled)
            continue;
        auto& slot = m_mainByPath[d.path];
        if (!slot)
            slot = std::make_unique<MainDictionary>();
        const MainDictionary::Result r = slot->open(d.path);
        if (!r.ok)
            problems << (QFileInfo::exists(d.path) ? r.error
                                                   : SpellTexts::unableToFind() + u'\n' + d.path);
        auto& table = m_frequenciesByPath[d.path];
        if (!table && r.ok) {
            // Optional: without a table suggestions are ordered by their edits alone, so a
            // missing or damaged one is no reason to trouble the user.
            table = std::make_unique<WordFrequencies>();
            const QString frq = WordFrequencies::pathFor(d.path);
            const WordFrequencies::Result fr = table->open(frq);
            if (!fr.ok && QFileInfo::exists(frq))
                qWarning("%s", qPrintable(fr.error));
        }
    }
    refreshActive();
    if (!m_usersOpen) {
        // Only a dictionary marked on takes part in the check. The one that receives added
        // words is opened for that even when it is off, but its words count only when on.
        m_users.clear();
        m_lookupUsers.clear();
        for (qsizetype i = 0; i < m_config.userDictionaries.size(); ++i) {
            const SpellDictionaryEntry& d = m_config.userDictionaries.at(i);
            const bool receives = i == m_config.userIndex;
            m_users.push_back(d.enabled || receives ? std::make_unique<UserDictionary>(d.path)
                                                    : nullptr);
            if (d.enabled)
                m_lookupUsers.push_back(m_users.back().get());
        }
        m_usersOpen = true;
    }
    return problems;
}

QList<const MainDictionary*> TAddictSpell::mainDictionaries() const {
    return m_active;
}

void TAddictSpell::refreshActive() {
    m_active.clear();
    m_frequencies = nullptr;
    for (const SpellDictionaryEntry& d : m_config.mainDictionaries) {
        if (!d.enabled)
            continue;
        const auto it = m_mainByPath.find(d.path);
        if (it == m_mainByPath.end() || !it->second->isLoaded())
            continue;
        m_active << it->second.get();
        const auto table = m_frequenciesByPath.find(d.path);
        if (!m_frequencies && table != m_frequenciesByPath.end() && table->second &&
            !table->second->isEmpty())
            m_frequencies = table->second.get();
    }
}

ScanOptions TAddictSpell::scanOptions() const {
    ScanOptions o;
    o.html = m_config.option(soHTML);
    o.internet = m_config.option(soInternet);
    o.quoted = m_config.option(soQuoted);
    return o;
}

TAddictSpell::Prepared TAddictSpell::prepare(const QString& text, const ScannedWord& w) {
    Prepared p = prepareView(text, w);
    if (p.core.isEmpty())
        p.core = text.mid(p.start, p.length);
    return p;
}

namespace {
// The word [start, end) of text without the "'" it may start with and the "'s" or "'" it may
// end with.
std::pair<int, int> withoutApostrophes(QStringView text, int start, int end) {
    while (start < end && isApostrophe(text.at(start)))
        ++start;
    while (end > start && isApostrophe(text.at(end - 1)))
        --end;
    if (end - start >= 2 && isApostrophe(text.at(end - 2)) &&
        (text.at(end - 1) == u's' || text.at(end - 1) == u'S'))
        end -= 2;
    while (end > start && isApostrophe(text.at(end - 1)))
        --end;
    return {start, end};
}
} // namespace

TAddictSpell::Prepared TAddictSpell::prepareView(const QString& text, const ScannedWord& w) {
    if (QStringView(text).mid(w.start, w.length).contains(u'&')) {
        // A word holding references is checked as the text it stands for; start and length
        // still cover the word as written, so a change replaces all of it.
        std::vector<int> at;
        const QString read = wordText(text, w, &at);
        const auto [start, end] = withoutApostrophes(read, 0, static_cast<int>(read.size()));
        const int from = at[static_cast<size_t>(start)];
        return Prepared{from, at[static_cast<size_t>(end)] - from, read.mid(start, end - start)};
    }
    const auto [start, end] = withoutApostrophes(text, w.start, w.end());
    return Prepared{start, end - start, {}};
}

namespace {
// What the checks need to know of a word, in one pass over it.
struct WordShape {
    bool letter = false;
    bool digit = false;
    bool lower = false; // some lower-case letter
    bool upperAfterFirst = false;
    bool firstUpper = false;
    bool latin1 = true;
};

WordShape shapeOf(QStringView w) {
    WordShape s;
    for (qsizetype i = 0; i < w.size(); ++i) {
        const QChar ch = w.at(i);
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            const bool up = u >= 'A' && u <= 'Z';
            const bool low = u >= 'a' && u <= 'z';
            s.letter = s.letter || up || low;
            s.digit = s.digit || (u >= '0' && u <= '9');
            s.lower = s.lower || low;
            if (i == 0)
                s.firstUpper = up;
            else
                s.upperAfterFirst = s.upperAfterFirst || up;
            continue;
        }
        if (u > 0xff && u != 0x2019)
            s.latin1 = false;
        s.letter = s.letter || ch.isLetter();
        s.digit = s.digit || ch.isDigit();
        s.lower = s.lower || ch.isLower();
        if (i == 0)
            s.firstUpper = ch.isUpper();
        else
            s.upperAfterFirst = s.upperAfterFirst || ch.isUpper();
    }
    return s;
}

// The word as dictionary bytes, lowered from position from on when asked; false when it has
// characters the one-byte dictionaries cannot hold.
template <typename Buffer> bool toBytes(QStringView w, Buffer& out, qsizetype lowerFrom) {
    out.resize(w.size());
    for (qsizetype i = 0; i < w.size(); ++i) {
        QChar ch = w.at(i);
        if (ch.unicode() == 0x2019)
            ch = u'\'';
        if (i >= lowerFrom)
            ch = ch.toLower();
        if (ch.unicode() > 0xff)
            return false;
        out[i] = static_cast<char>(ch.unicode());
    }
    return true;
}
} // namespace

bool TAddictSpell::knownWord(QStringView core, bool capitalisedWord, bool upperWord) const {
    QVarLengthArray<char, 64> bytes;
    const auto inMain = [&]() {
        const QByteArrayView view(bytes.constData(), bytes.size());
        for (const MainDictionary* d : m_active)
            if (d->contains(view))
                return true;
        return false;
    };
    if (toBytes(core, bytes, core.size()) && inMain())
        return true;
    // A capitalised word may stand in lower case; one in capitals in either form.
    if ((capitalisedWord || upperWord) && toBytes(core, bytes, 0) && inMain())
        return true;
    if (upperWord && toBytes(core, bytes, 1) && inMain())
        return true;
    for (const UserDictionary* user : m_lookupUsers) {
        if (user->words().isEmpty())
            continue;
        for (const QString& f : lookupForms(core.toString()))
            if (user->contains(f))
                return true;
    }
    return false;
}

bool TAddictSpell::isWordCorrect(QStringView word) const {
    const WordShape s = shapeOf(word);
    if (!s.letter)
        return true;
    if (m_config.option(soNumbers) && s.digit)
        return true;
    const bool upper = !s.lower;
    if (m_config.option(soUpcase) && upper)
        return true;
    if (!m_ignoreAll.isEmpty() && m_ignoreAll.contains(word.toString()))
        return true;
    const bool capitalisedWord = s.firstUpper && !s.upperAfterFirst;
    if (!knownWord(word, capitalisedWord, upper && word.size() > 1))
        return false;
    // Two capitals before lower-case letters ("THe") count as a typing slip when asked for.
    if (m_config.option(soDualCaps) && word.size() > 2 && word.at(0).isUpper() &&
        word.at(1).isUpper() && s.lower) {
        for (qsizetype i = 2; i < word.size(); ++i)
            if (word.at(i).isUpper())
                return true;
        return false;
    }
    return true;
}

std::optional<QString> TAddictSpell::autoCorrection(const QString& core) const {
    for (const UserDictionary* user : m_lookupUsers)
        if (std::optional<QString> r = user->autoCorrection(core))
            return r;
    return std::nullopt;
}

QStringList TAddictSpell::suggestionsFor(const QString& word) const {
    const QList<const MainDictionary*> dicts = mainDictionaries();
    const bool primaryOnly = m_config.option(soPrimaryOnly);
    QStringList candidates;
    const auto add = [&](const QString& s) {
        if (!s.isEmpty() && s != word && !candidates.contains(s))
            candidates << s;
    };
    if (const std::optional<QByteArray> bytes = toDictionaryBytes(word))
        for (const QByteArray& s : suggestFromDictionaries(dicts, *bytes, primaryOnly))
            add(QString::fromLatin1(s));
    // A capitalised or upper-case word is looked for in lower case too, and what is found is
    // given the typed word's case back.
    const bool upper = isAllUpper(word) && word.size() > 1;
    if (isCapitalised(word) || upper) {
        if (const std::optional<QByteArray> bytes = toDictionaryBytes(word.toLower()))
            for (const QByteArray& s : suggestFromDictionaries(dicts, *bytes, primaryOnly)) {
                const QString found = QString::fromLatin1(s);
                add(upper ? found.toUpper() : capitalised(found));
            }
    }
    if (m_config.option(soDualCaps) && word.size() > 2 && word.at(0).isUpper() &&
        word.at(1).isUpper())
        add(word.left(1) + word.mid(1).toLower());
    // A dropped first letter is a common slip that the dictionaries' methods leave alone.
    if (const std::optional<QByteArray> lower = toDictionaryBytes(word.toLower())) {
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            const QByteArray candidate = letter + *lower;
            for (const MainDictionary* d : dicts) {
                if (d->contains(candidate)) {
                    const QString found = QString::fromLatin1(candidate);
                    add(upper ? found.toUpper() : isCapitalised(word) ? capitalised(found) : found);
                    break;
                }
            }
        }
    }
    QStringList ranked = rankSuggestions(word, candidates, m_frequencies);
    if (ranked.size() > MaxSuggestions)
        ranked.erase(ranked.begin() + MaxSuggestions, ranked.end());
    return ranked;
}

QStringList TAddictSpell::wideSuggestionsFor(const QString& word) const {
    const QList<const MainDictionary*> dicts = mainDictionaries();
    const std::optional<QByteArray> typed = toDictionaryBytes(word);
    if (!typed || typed->isEmpty())
        return {};
    const QByteArray letters("abcdefghijklmnopqrstuvwxyz'");
    const auto edits = [&](const QByteArray& w) {
        QList<QByteArray> out;
        for (qsizetype i = 0; i < w.size(); ++i) {
            const char ch = w.at(i);
            if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z')) {
                QByteArray c = w;
                c[i] = static_cast<char>(ch ^ 0x20);
                out << c;
            }
            if (i + 1 < w.size()) {
                QByteArray c = w;
                std::swap(c[i], c[i + 1]);
                out << c;
            }
            out << QByteArray(w).remove(i, 1);
            for (char l : letters) {
                QByteArray c = w;
                c[i] = l;
                out << c;
            }
        }
        for (qsizetype i = 0; i <= w.size(); ++i)
            for (char l : letters)
                out << QByteArray(w).insert(i, l);
        for (qsizetype a = 1; a < w.size(); ++a)
            out << w.left(a) + ' ' + w.mid(a);
        return out;
    };
    const auto holds = [&](const QByteArray& c) {
        if (c.isEmpty())
            return false;
        const auto has = [&](const QByteArray& part) {
            for (const MainDictionary* d : dicts)
                if (d->contains(part))
                    return true;
            return false;
        };
        const qsizetype space = c.indexOf(' ');
        if (space >= 0)
            return c.indexOf(' ', space + 1) < 0 && has(c.left(space)) && has(c.mid(space + 1));
        return has(c);
    };
    QStringList found;
    const auto take = [&](const QByteArray& c) {
        const QString s = QString::fromLatin1(c);
        if (s != word && !found.contains(s) && holds(c))
            found << s;
        return found.size() > MaxSuggestions;
    };
    const QList<QByteArray> first = edits(*typed);
    for (const QByteArray& c : first)
        if (take(c))
            return rankSuggestions(word, found, m_frequencies).mid(0, MaxSuggestions);
    QStringList ranked = rankSuggestions(word, found, m_frequencies);
    for (const QByteArray& c : first) {
        if (c.contains(' '))
            continue;
        for (const QByteArray& d : edits(c))
            if (!d.contains(' ') || !c.contains(' ')) {
                const QString s = QString::fromLatin1(d);
                if (s != word && !ranked.contains(s) && holds(d)) {
                    ranked << s;
                    if (ranked.size() > MaxSuggestions)
                        return ranked.mid(0, MaxSuggestions);
                }
            }
    }
    return ranked;
}

std::optional<TAddictSpell::Problem> TAddictSpell::findProblem(const QString& text, int from,
                                                               int end, ScanState& state) const {
    const ScanOptions options = scanOptions();
    int pos = from;
    while (const std::optional<ScannedWord> w = nextWord(text, pos, end, options)) {
        pos = w->end();
        const Prepared p = prepareView(text, *w);
        if (p.length == 0)
            continue;
        ++state.wordsScanned;
        // The text of the word as it reads (its references replaced), else as it stands.
        const QStringView core =
            p.core.isEmpty() ? QStringView(text).mid(p.start, p.length) : QStringView(p.core);
        const bool repeated =
            m_config.option(soRepeated) && state.previousEnd >= 0 &&
            core.compare(
                QStringView(text).mid(state.previousStart, state.previousEnd - state.previousStart),
                Qt::CaseInsensitive) == 0 &&
            onlyBlanks(text, state.previousEnd, p.start) && hasLetter(core.toString());
        Problem problem{p, repeated, state.previousStart, state.previousEnd};
        state.previousStart = p.start;
        state.previousEnd = p.start + p.length;
        if (repeated || !isWordCorrect(core)) {
            problem.word.core = core.toString();
            return problem;
        }
    }
    return std::nullopt;
}

void TAddictSpell::beginRunIfIdle() {
    if (m_inRun)
        return;
    m_inRun = true;
    m_ignoreAll.clear();
    m_changeAll.clear();
}

void TAddictSpell::endRun() {
    m_inRun = false;
    m_problemsShown = false;
    m_keepActive = false;
    m_ignoreAll.clear();
    m_changeAll.clear();
    m_undo.clear();
    // Words added during the run are kept on disk from now on, not only when the program ends.
    for (const auto& user : m_users)
        if (user)
            user->save();
    if (m_dialog)
        m_dialog->runFinished();
}

void TAddictSpell::checkSelection(EditWindow& editor) {
    const int start = editor.selStart();
    check(editor, start, start + editor.selLength());
}

void TAddictSpell::checkRange(EditWindow& editor, int start, int end) {
    check(editor, start, end);
}

UserDictionary* TAddictSpell::userDictionaryForAdding() const {
    const int i = m_config.userIndex;
    if (i < 0 || i >= static_cast<int>(m_users.size()) || !m_users[i] || m_users[i]->readOnly())
        return nullptr;
    return m_users[i].get();
}

void TAddictSpell::replace(EditWindow& editor, int start, int length, const QString& text) {
    editor.setSelStart(start);
    editor.setSelLength(length);
    editor.replaceSelection(text);
    m_lengthChange += static_cast<int>(text.size()) - length;
    if (onTextChanged)
        onTextChanged();
}

void TAddictSpell::check(EditWindow& editor, int start, int end) {
    m_cancelled = false;
    m_lengthChange = 0;
    m_undo.clear();
    beginRunIfIdle();
    const QStringList problems = openDictionaries();
    if (onCreated)
        onCreated();
    // A dictionary that cannot be used is told once per run, not again for the rest of the
    // text after the selection.
    if (m_prompter && !m_problemsShown)
        for (const QString& p : problems)
            m_prompter->warn(p);
    m_problemsShown = true;

    QString text = editor.text();
    const int length = static_cast<int>(text.size());
    start = qBound(0, start, length);
    end = qBound(start, end, length);
    // Changes move the end of the range; its distance from the end of the text stays.
    const int tail = length - end;
    int pos = start;
    ScanState state;
    m_wordsChecked = 0;

    while (true) {
        const int rangeEnd = static_cast<int>(text.size()) - tail;
        const int before = state.wordsScanned;
        std::optional<Problem> problem = findProblem(text, pos, rangeEnd, state);
        m_wordsChecked += state.wordsScanned - before;
        if (!problem)
            break;
        const Prepared& w = problem->word;
        pos = w.start + w.length;

        if (!problem->repeated) {
            // Words the user already settled in this run change without asking.
            std::optional<QString> automatic;
            if (const auto it = m_changeAll.constFind(w.core); it != m_changeAll.constEnd())
                automatic = *it;
            else
                automatic = autoCorrection(w.core);
            if (automatic) {
                const QString written = writtenLike(*automatic, text.mid(w.start, w.length));
                replace(editor, w.start, w.length, written);
                text = editor.text();
                pos = w.start + static_cast<int>(written.size());
                state = ScanState{};
                continue;
            }
        }

        if (!m_dialog) {
            m_cancelled = true;
            break;
        }
        editor.setSelStart(w.start);
        editor.setSelLength(w.length);
        SpellQuery query{w.core, problem->repeated, {}, !m_undo.empty()};
        if (!problem->repeated && m_config.option(soAutoSuggest))
            query.suggestions = suggestionsFor(w.core);
        const SpellReply reply = m_dialog->ask(*this, query);

        UndoEntry entry{reply.action, w.core, w.start, w.start, {}, {}, false, false};
        switch (reply.action) {
        case SpellAction::Cancel:
            m_cancelled = true;
            break;
        case SpellAction::Ignore:
            break;
        case SpellAction::IgnoreAll:
            m_ignoreAll.insert(w.core);
            break;
        case SpellAction::Add:
            if (UserDictionary* user = userDictionaryForAdding(); user && user->addWord(w.core)) {
                entry.added = true;
                // Added to a dictionary that is off: the word still passes for the rest of
                // the run.
                if (!m_lookupUsers.contains(user))
                    m_ignoreAll.insert(w.core);
            } else {
                m_ignoreAll.insert(w.core);
            }
            break;
        case SpellAction::Change:
        case SpellAction::ChangeAll:
        case SpellAction::AutoCorrect: {
            int editStart = w.start;
            int editLength = w.length;
            if (problem->repeated) {
                // Undo goes back to the first of the two, so that the pair is seen again.
                entry.resumeAt = problem->previousStart;
                // An empty replacement of a repeated word takes the blanks before it too.
                if (reply.replacement.isEmpty()) {
                    editStart = problem->previousEnd;
                    editLength = w.start + w.length - problem->previousEnd;
                }
            } else if (reply.action == SpellAction::ChangeAll) {
                m_changeAll.insert(w.core, reply.replacement);
            } else if (reply.action == SpellAction::AutoCorrect) {
                if (UserDictionary* user = userDictionaryForAdding())
                    user->addAutoCorrection(w.core, reply.replacement);
            }
            entry.editStart = editStart;
            entry.oldText = text.mid(editStart, editLength);
            // The whole word as written goes, and the replacement is written as it was.
            entry.newText = problem->repeated ? reply.replacement
                                              : writtenLike(reply.replacement, entry.oldText);
            entry.changed = true;
            replace(editor, editStart, editLength, entry.newText);
            text = editor.text();
            pos = m_config.option(soRecheck) ? editStart
                                             : editStart + static_cast<int>(entry.newText.size());
            if (problem->repeated && !reply.replacement.isEmpty() && m_config.option(soRecheck))
                pos = w.start;
            state = ScanState{};
            break;
        }
        case SpellAction::Undo: {
            if (m_undo.empty()) {
                // Nothing left to undo: the same word is asked again.
                pos = w.start;
                state = ScanState{};
                continue;
            }
            const UndoEntry last = m_undo.back();
            m_undo.pop_back();
            if (last.changed) {
                replace(editor, last.editStart, static_cast<int>(last.newText.size()),
                        last.oldText);
                text = editor.text();
            }
            if (last.action == SpellAction::IgnoreAll || last.action == SpellAction::Add)
                m_ignoreAll.remove(last.word);
            if (last.added)
                if (UserDictionary* user = userDictionaryForAdding())
                    user->removeWord(last.word);
            if (last.action == SpellAction::ChangeAll)
                m_changeAll.remove(last.word);
            pos = last.resumeAt;
            state = ScanState{};
            continue;
        }
        }
        if (m_cancelled)
            break;
        m_undo.push_back(entry);
        if (static_cast<int>(m_undo.size()) > UndoDepth)
            m_undo.erase(m_undo.begin());
    }

    const bool ownRun = !m_keepActive;
    // A run of one check ends here, its dialog closed before the closing message is shown.
    if (ownRun)
        endRun();
    if (m_cancelled) {
        if (onCancelled)
            onCancelled();
    } else {
        if (ownRun && m_prompter)
            m_prompter->inform(SpellTexts::checkComplete() + QStringLiteral("\n\n") +
                               SpellTexts::wordsChecked() + QString::number(m_wordsChecked));
        if (onComplete)
            onComplete();
    }
}

void TAddictSpell::hideDialog() {
    if (m_dialog)
        m_dialog->hideForNow();
}
