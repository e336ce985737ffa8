// Fuzzes the snip files' reader and writer in memory: any bytes as a snip file must give a
// sorted list of one-line entries that is written back and reads back the same, never a crash
// or a hang.
#include "services/Snips.h"

#include <cstddef>
#include <cstdint>

namespace {

bool sorted(const QStringList& entries) {
    for (qsizetype i = 1; i < entries.size(); ++i)
        if (entries[i - 1].compare(entries[i], Qt::CaseInsensitive) > 0)
            return false;
    return true;
}

bool oneLineEach(const QStringList& entries) {
    for (const QString& e : entries)
        if (e.contains(u'\r') || e.contains(u'\n'))
            return false;
    return true;
}

QByteArray written(const QStringList& entries, TextEncoding encoding) {
    return encodeText(SnipList::fileText(entries), encoding).bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SnipList::FileEntries read = SnipList::readEntries(bytes);
    if (!sorted(read.entries) || !oneLineEach(read.entries))
        __builtin_trap();

    // Written back whole and read again: the same entries in the same order.
    const SnipList::FileEntries again = SnipList::readEntries(written(read.entries, read.encoding));
    if (again.entries != read.entries)
        __builtin_trap();

    // An entry added goes to its sorted place and into the file; taken out again, the file reads
    // as it did. (The entry is part of a line already there, so a file read as Latin-1 keeps
    // the bytes that made it so.)
    QString added = read.entries.isEmpty() ? QStringLiteral("x") : read.entries.constLast().left(3);
    if (!added.isEmpty() && added.back().isHighSurrogate())
        added.chop(1);
    if (added.isEmpty())
        return 0;
    QStringList entries = read.entries;
    SnipList::insertSorted(entries, added);
    if (!sorted(entries) || entries.size() != read.entries.size() + 1 ||
        SnipList::readEntries(written(entries, read.encoding)).entries != entries)
        __builtin_trap();
    entries.removeAt(entries.lastIndexOf(added));
    if (SnipList::readEntries(written(entries, read.encoding)).entries != read.entries)
        __builtin_trap();
    return 0;
}
