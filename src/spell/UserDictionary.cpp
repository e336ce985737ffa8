// UserDictionary: ".udt" INI lists and read-only ".dic" word files.
#include "spell/UserDictionary.h"

#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "spell/IniList.h"

#include <QFileInfo>

#include <algorithm>

namespace {
const QString AddedSection = QStringLiteral("Added");
const QString AutoCorrectSection = QStringLiteral("Auto Correct");

// Sorted without regard to case first, so that a word and its capitalised form sit together.
bool wordLess(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

// A word that would not read back as itself from an INI value or a line is not taken.
bool storable(const QString& word) {
    return !word.isEmpty() && word == word.trimmed() && !word.contains(u'\r') &&
           !word.contains(u'\n');
}
} // namespace

UserDictionary::UserDictionary(QString path) : m_path(std::move(path)) {
    m_readOnly = QFileInfo(m_path).suffix().toLower() == QStringLiteral("dic");
    read();
}

UserDictionary::~UserDictionary() {
    save();
}

void UserDictionary::read() {
    m_words.clear();
    m_wordSet.clear();
    m_ac.clear();
    m_acOrder.clear();
    m_modified = false;
    m_readable = true;
    const QFileInfo info(m_path);
    if (!info.exists())
        return;
    if (!info.isFile()) {
        m_readable = false;
        return;
    }
    if (m_readOnly) {
        const TextReadResult r = readTextFile(m_path);
        if (!r.ok) {
            m_readable = false;
            return;
        }
        for (const QString& line : r.text.split(QStringLiteral("\r\n"))) {
            const QString word = line.trimmed();
            if (!word.isEmpty() && !m_wordSet.contains(word)) {
                m_words << word;
                m_wordSet.insert(word);
            }
        }
        return;
    }
    QFile probe(m_path);
    if (!probe.open(QIODevice::ReadOnly)) {
        m_readable = false;
        return;
    }
    probe.close();
    const IniFile ini(m_path);
    for (const QString& word :
         readIniList(ini.readSectionValues(AddedSection), QStringLiteral("IGN"))) {
        if (storable(word) && !m_wordSet.contains(word)) {
            m_words << word;
            m_wordSet.insert(word);
        }
    }
    // Kept sorted; a file sorted some other way is sorted on reading.
    std::sort(m_words.begin(), m_words.end(), wordLess);
    for (const QString& entry :
         readIniList(ini.readSectionValues(AutoCorrectSection), QStringLiteral("AC"))) {
        const qsizetype at = entry.indexOf(separator());
        if (at <= 0)
            continue;
        const QString word = entry.left(at);
        const QString replacement = entry.mid(at + separator().size());
        if (!m_ac.contains(word))
            m_acOrder << word;
        m_ac.insert(word, replacement);
    }
}

void UserDictionary::reload() {
    save();
    read();
}

bool UserDictionary::save() {
    if (m_readOnly || !m_modified || !m_readable)
        return true;
    const IniFile ini(m_path);
    IniValues added;
    appendIniList(added, QStringLiteral("IGN"), m_words);
    QStringList pairs;
    for (const QString& word : m_acOrder)
        pairs << word + separator() + m_ac.value(word);
    IniValues corrections;
    appendIniList(corrections, QStringLiteral("AC"), pairs);
    const bool ok = ini.replaceSection(AddedSection, added) &&
                    ini.replaceSection(AutoCorrectSection, corrections);
    if (ok)
        m_modified = false;
    return ok;
}

void UserDictionary::insertSorted(const QString& word) {
    m_words.insert(std::lower_bound(m_words.begin(), m_words.end(), word, wordLess), word);
    m_wordSet.insert(word);
}

bool UserDictionary::addWord(const QString& word) {
    if (m_readOnly || !storable(word) || m_wordSet.contains(word))
        return false;
    insertSorted(word);
    m_modified = true;
    return true;
}

bool UserDictionary::removeWord(const QString& word) {
    if (m_readOnly || !m_wordSet.contains(word))
        return false;
    m_words.removeOne(word);
    m_wordSet.remove(word);
    m_modified = true;
    return true;
}

std::optional<QString> UserDictionary::autoCorrection(const QString& word) const {
    const auto it = m_ac.constFind(word);
    if (it == m_ac.constEnd())
        return std::nullopt;
    return *it;
}

bool UserDictionary::addAutoCorrection(const QString& word, const QString& replacement) {
    if (m_readOnly || !storable(word) || word.contains(separator()) ||
        replacement.contains(u'\r') || replacement.contains(u'\n'))
        return false;
    if (!m_ac.contains(word))
        m_acOrder << word;
    m_ac.insert(word, replacement);
    m_modified = true;
    return true;
}
