// Fuzzes the main dictionary reader: any bytes as a .dct file must be refused with a reason or
// read so that lookups and suggestions stay inside the file's arrays.
#include "spell/MainDictionary.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    MainDictionary d;
    const MainDictionary::Result r = d.load(bytes);
    if (!r.ok) {
        if (r.error.isEmpty() || d.contains("a"))
            __builtin_trap();
        return 0;
    }
    // Words from the file's own bytes, so that the trees are walked deep.
    for (const QByteArray& w : {QByteArray("a"), QByteArray("the"), bytes.mid(280, 6),
                                bytes.right(5), bytes.mid(300, 12)})
        d.contains(w);
    QList<QByteArray> list;
    d.suggest(bytes.right(4), list);
    d.suggest("spel", list);
    if (list.size() > d.suggestionLimit + 1)
        __builtin_trap();
    return 0;
}
