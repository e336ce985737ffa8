// SpellConfig: the spell checker's configuration, one section of "spell/spell.cfg".
//
// Keys: ID (1 marks a saved configuration), the lists "U_MU_DCT" (main dictionaries, each "T" or
// "F" and the path), "M_DCT" (their descriptions) and "U_DCT" (user dictionaries, "T"/"F" and
// the path), the options soUpcase ... soUser4 as 1/0, and UserIndex, the user dictionary that
// receives added words. A section without ID is no configuration: one is made from the
// dictionary files in the folder of the configuration file.
#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

class IniText;

enum SpellOption {
    soUpcase,
    soNumbers,
    soAutoSuggest,
    soPrimaryOnly,
    soRecheck,
    soRepeated,
    soDualCaps,
    soHTML,
    soInternet,
    soQuoted,
    soUser1,
    soUser2,
    soUser3,
    soUser4,
    SpellOptionCount
};

struct SpellDictionaryEntry {
    bool enabled = false;
    QString path;
    QString description; // main dictionaries only
    bool operator==(const SpellDictionaryEntry&) const = default;
};

struct SpellConfig {
    QList<SpellDictionaryEntry> mainDictionaries;
    QList<SpellDictionaryEntry> userDictionaries;
    std::array<bool, SpellOptionCount> options = defaultOptions();
    int userIndex = -1;
    // Made anew rather than read: written when the configuration is next saved.
    bool changed = false;

    bool option(SpellOption o) const { return options[o]; }
    void setOption(SpellOption o, bool on) { options[o] = on; }

    static std::array<bool, SpellOptionCount> defaultOptions();
    static const char* optionKey(SpellOption o);
    bool operator==(const SpellConfig&) const = default;
};

inline QString defaultMainDictionaryName() {
    return QStringLiteral("american.dct");
}
inline QString defaultUserDictionaryName() {
    return QStringLiteral("default.udt");
}

// Reads configuration key from the file; a section without ID gives a new configuration made
// from the folder of the file.
SpellConfig loadSpellConfig(const QString& path, const QString& key);
// The new configuration of a folder (with a trailing "/"): every ".dct" a main dictionary, the
// default one enabled; every ".udt" a user dictionary, the default one enabled and receiving
// added words; "default.udt" alone when there is none.
SpellConfig newSpellConfig(const QString& folder);
// Writes the whole section (and makes the folder). Returns false when the file was not written.
bool saveSpellConfig(const QString& path, const QString& key, const SpellConfig& config);

// The configuration saved under key in a spell.cfg read into memory; nothing when the section
// holds none (no ID). It is as the text says: loadSpellConfig then disables the main dictionaries
// whose files are missing and describes those listed in undescribed from their files.
struct SpellConfigRead {
    SpellConfig config;
    QList<qsizetype> undescribed;
};
std::optional<SpellConfigRead> readSpellConfig(const IniText& ini, const QString& key);
// Replaces section key of a spell.cfg in memory; false when the text takes no change.
bool writeSpellConfig(IniText& ini, const QString& key, const SpellConfig& config);
