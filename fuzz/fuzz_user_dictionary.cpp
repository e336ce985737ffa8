// Fuzzes the user dictionaries in memory: any bytes as a .udt or .dic file give words and pairs
// or an empty dictionary, and changed lists written into a .udt read back as written.
#include "platform/IniText.h"
#include "spell/UserDictionary.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

namespace {

// Each word once, none empty or with blanks at its ends, and one replacement for each pair.
bool wellFormed(const UserDictionaryLists& lists) {
    const QSet<QString> words(lists.words.cbegin(), lists.words.cend());
    const QSet<QString> corrected(lists.acOrder.cbegin(), lists.acOrder.cend());
    if (words.size() != lists.words.size() || corrected.size() != lists.acOrder.size() ||
        lists.ac.size() != lists.acOrder.size())
        return false;
    for (const QString& w : lists.words)
        if (w.isEmpty() || w != w.trimmed())
            return false;
    for (const QString& w : lists.acOrder)
        if (w.isEmpty() || !lists.ac.contains(w) || w.contains(UserDictionary::separator()))
            return false;
    return true;
}

bool sortedIgnoringCase(const QStringList& words) {
    for (qsizetype i = 1; i < words.size(); ++i)
        if (QString::compare(words[i - 1], words[i], Qt::CaseInsensitive) > 0)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const UserDictionaryLists dic = UserDictionaryLists::fromDic(bytes);
    if (!wellFormed(dic) || !dic.acOrder.isEmpty())
        __builtin_trap();

    IniText ini(bytes);
    const UserDictionaryLists udt = UserDictionaryLists::fromUdt(ini);
    if (!wellFormed(udt) || !sortedIgnoringCase(udt.words))
        __builtin_trap();

    // A word and a pair added, the first word removed: written and read again, the same lists.
    UserDictionaryLists changed = udt;
    if (!changed.words.isEmpty())
        changed.words.removeFirst();
    if (!changed.words.contains(QStringLiteral("fuzzword")))
        changed.words.append(QStringLiteral("fuzzword"));
    if (!changed.ac.contains(QStringLiteral("fuzzwrod")))
        changed.acOrder.append(QStringLiteral("fuzzwrod"));
    changed.ac.insert(QStringLiteral("fuzzwrod"), QStringLiteral("fuzzword"));
    if (!changed.writeUdt(ini)) {
        if (ini.readable())
            __builtin_trap();
        return 0;
    }
    const UserDictionaryLists back = UserDictionaryLists::fromUdt(IniText(ini.bytes()));
    const QSet<QString> wanted(changed.words.cbegin(), changed.words.cend());
    if (QSet<QString>(back.words.cbegin(), back.words.cend()) != wanted ||
        back.words.size() != changed.words.size() || !sortedIgnoringCase(back.words) ||
        back.acOrder != changed.acOrder || back.ac != changed.ac)
        __builtin_trap();
    return 0;
}
