// Fuzzes the snip files' reader and writer: any bytes as a snip file must give a sorted list of
// one-line entries that is written back and reads back the same, never a crash or a hang.
#include "platform/Prompter.h"
#include "services/Snips.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

// A save in the fuzzer's own folder cannot fail; if it does, the harness says so.
struct CountingPrompter : Prompter {
    int shown = 0;
    MessageAnswer message(MessageKind, MessageButtons, const QString&) override {
        ++shown;
        return MessageAnswer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/urlsnips.dat");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    CountingPrompter prompter;
    SnipList list(path, prompter);
    list.load();
    const QStringList read = list.entries();
    if (!sorted(read) || !oneLineEach(read) || list.selected() != -1)
        __builtin_trap();

    // Written back whole and read again: the same entries in the same order.
    if (!list.save() || prompter.shown != 0)
        __builtin_trap();
    SnipList again(path, prompter);
    again.load();
    if (again.entries() != read)
        __builtin_trap();

    // An entry added goes to its sorted place and into the file; taken out again, the file reads
    // as it did. (The entry is part of a line already there, so a file read as Latin-1 keeps
    // the bytes that made it so.)
    QString added = read.isEmpty() ? QStringLiteral("x") : read.constLast().left(3);
    if (!added.isEmpty() && added.back().isHighSurrogate())
        added.chop(1);
    if (added.isEmpty())
        return 0;
    list.add(added);
    again.load();
    if (!sorted(list.entries()) || again.entries() != list.entries() ||
        list.entries().size() != read.size() + 1)
        __builtin_trap();
    list.select(static_cast<int>(list.entries().lastIndexOf(added)));
    list.replaceSelected(SnipList::cancelMarker());
    list.deleteSelected();
    again.load();
    if (again.entries() != read || prompter.shown != 0)
        __builtin_trap();
    return 0;
}
