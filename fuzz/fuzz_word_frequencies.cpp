// Fuzzes the frequency file of a main dictionary: any bytes give a table or a refusal with an
// empty table, and a table written out reads back the same.
#include "spell/WordFrequencies.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    WordFrequencies table;
    const WordFrequencies::Result r = table.load(bytes);
    if (!r.ok) {
        if (!table.isEmpty() || r.error.isEmpty())
            __builtin_trap();
        return 0;
    }
    const QHash<QString, int> classes = table.classes();
    for (auto it = classes.constBegin(); it != classes.constEnd(); ++it) {
        if (it.value() < 1 || it.value() >= WordFrequencies::Unlisted)
            __builtin_trap();
        if (table.wordClass(it.key()) > it.value())
            __builtin_trap();
    }
    table.wordClass(QStringLiteral("a b"));
    WordFrequencies back;
    if (!back.load(WordFrequencies::write(classes)).ok)
        __builtin_trap();
    if (back.classes() != classes)
        __builtin_trap();
    return 0;
}
