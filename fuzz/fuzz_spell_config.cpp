// Fuzzes the spell checker's configuration file: any bytes as spell.cfg give a configuration
// (read or made from the folder), and what is saved reads back the same.
#include "spell/SpellConfig.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/spell.cfg");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    SpellConfig c = loadSpellConfig(path, QStringLiteral("default"));
    if (c.userIndex < -1 || c.userIndex >= c.userDictionaries.size())
        __builtin_trap();
    // Paths that would not survive an INI value are not what this harness is about.
    for (auto* list : {&c.mainDictionaries, &c.userDictionaries})
        for (SpellDictionaryEntry& d : *list) {
            d.path = d.path.trimmed();
            d.description = d.description.trimmed();
        }
    if (!saveSpellConfig(path, QStringLiteral("default"), c))
        return 0;
    const SpellConfig back = loadSpellConfig(path, QStringLiteral("default"));
    if (back.options != c.options || back.userIndex != c.userIndex ||
        back.userDictionaries.size() != c.userDictionaries.size())
        __builtin_trap();
    return 0;
}
