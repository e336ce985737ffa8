// UserDictionary: ".udt" INI lists and read-only ".dic" word files.
#include "spell/UserDictionary.h"

#include "platform/IniText.h"
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
    UserDictionaryLists lists;
    if (m_readOnly) {
        const FileBytesResult file = readFileBytes(m_path);
        if (!file.ok) {
            m_readable = false;
            return;
        }
        lists = UserDictionaryLists::fromDic(file.bytes);
    } else {
        QFile probe(m_path);
        if (!probe.open(QIODevice::ReadOnly)) {
            m_readable = false;
            return;
        }
        probe.close();
        lists = UserDictionaryLists::fromUdt(loadIniText(IniFile(m_path)));
    }
    m_words = lists.words;
    m_wordSet = QSet<QString>(m_words.cbegin(), m_words.cend());
    m_acOrder = lists.acOrder;
    m_ac = lists.ac;
}

UserDictionaryLists UserDictionaryLists::fromDic(const QByteArray& bytes) {
    UserDictionaryLists lists;
    QSet<QString> seen;
    const QString text = toCrLf(decodeText(bytes).text);
    for (const QStringView line : QStringView(text).tokenize(u"\r\n")) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        QString word = trimmed.toString();
        if (!seen.contains(word)) {
            seen.insert(word);
            lists.words << std::move(word);
        }
    }
    return lists;
}

UserDictionaryLists UserDictionaryLists::fromUdt(const IniText& ini) {
    UserDictionaryLists lists;
    QSet<QString> seen;
    for (const QString& word :
         readIniList(ini.readSectionValues(AddedSection), QStringLiteral("IGN"))) {
        if (storable(word) && !seen.contains(word)) {
            lists.words << word;
            seen.insert(word);
        }
    }
    // Kept sorted; a file sorted some other way is sorted on reading.
    if (!std::is_sorted(lists.words.cbegin(), lists.words.cend(), wordLess))
        std::sort(lists.words.begin(), lists.words.end(), wordLess);
    for (const QString& entry :
         readIniList(ini.readSectionValues(AutoCorrectSection), QStringLiteral("AC"))) {
        const qsizetype at = entry.indexOf(UserDictionary::separator());
        if (at <= 0)
            continue;
        const QString word = entry.left(at);
        const QString replacement = entry.mid(at + UserDictionary::separator().size());
        if (!lists.ac.contains(word))
            lists.acOrder << word;
        lists.ac.insert(word, replacement);
    }
    return lists;
}

bool UserDictionaryLists::writeUdt(IniText& ini) const {
    IniValues added;
    appendIniList(added, QStringLiteral("IGN"), words);
    QStringList pairs;
    for (const QString& word : acOrder)
        pairs << word + UserDictionary::separator() + ac.value(word);
    IniValues corrections;
    appendIniList(corrections, QStringLiteral("AC"), pairs);
    return ini.replaceSection(AddedSection, added) &&
           ini.replaceSection(AutoCorrectSection, corrections);
}

void UserDictionary::reload() {
    save();
    read();
}

bool UserDictionary::save() {
    if (m_readOnly || !m_modified || !m_readable)
        return true;
    const IniFile file(m_path);
    IniText ini = loadIniText(file);
    const bool ok = UserDictionaryLists{m_words, m_acOrder, m_ac}.writeUdt(ini) && saveIniText(file, ini);
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
