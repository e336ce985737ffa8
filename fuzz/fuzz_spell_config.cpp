// Fuzzes the spell checker's configuration in memory: any bytes as spell.cfg give a saved
// configuration or none, and what is written back reads back the same.
#include "platform/IniText.h"
#include "spell/SpellConfig.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniText ini(bytes);
    const QString key = QStringLiteral("default");
    std::optional<SpellConfigRead> read = readSpellConfig(ini, key);
    if (!read)
        return 0;
    SpellConfig& c = read->config;
    if (c.userIndex < -1 || c.userIndex >= c.userDictionaries.size())
        __builtin_trap();
    for (const qsizetype i : read->undescribed)
        if (i < 0 || i >= c.mainDictionaries.size() || !c.mainDictionaries[i].description.isEmpty())
            __builtin_trap();
    for (const auto* list : {&c.mainDictionaries, &c.userDictionaries})
        for (const SpellDictionaryEntry& d : *list)
            if (d.path.isEmpty())
                __builtin_trap();
    // Paths that would not survive an INI value are not what this harness is about.
    for (auto* list : {&c.mainDictionaries, &c.userDictionaries})
        for (SpellDictionaryEntry& d : *list) {
            d.path = d.path.trimmed();
            d.description = d.description.trimmed();
        }
    if (!writeSpellConfig(ini, key, c))
        __builtin_trap();
    const std::optional<SpellConfigRead> back = readSpellConfig(IniText(ini.bytes()), key);
    if (!back || back->config.options != c.options || back->config.userIndex != c.userIndex ||
        back->config.userDictionaries.size() != c.userDictionaries.size() ||
        !back->undescribed.isEmpty())
        __builtin_trap();
    return 0;
}
