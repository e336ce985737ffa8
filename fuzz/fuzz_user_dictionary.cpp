// Fuzzes the user dictionaries: any bytes as a .udt or .dic file give words and pairs or an
// empty dictionary, and a changed .udt writes back and reads again as written.
#include "spell/UserDictionary.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* name : {"/fuzz.udt", "/fuzz.dic"}) {
        const QString path = dir.path() + QLatin1String(name);
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return 0;
            file.write(bytes);
        }
        QStringList words;
        {
            UserDictionary d(path);
            for (const QString& w : d.words())
                if (!d.contains(w))
                    __builtin_trap();
            for (const QString& w : d.autoCorrectWords())
                d.autoCorrection(w);
            d.addWord(QStringLiteral("fuzzword"));
            d.addAutoCorrection(QStringLiteral("fuzzwrod"), QStringLiteral("fuzzword"));
            if (!d.words().isEmpty())
                d.removeWord(d.words().constFirst());
            words = d.words();
            if (!d.save())
                return 0;
        }
        UserDictionary back(path);
        if (!back.readOnly() && back.words() != words)
            __builtin_trap();
    }
    return 0;
}
