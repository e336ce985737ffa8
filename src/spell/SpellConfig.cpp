// SpellConfig: reading, making and writing the spell checker's configuration.
#include "spell/SpellConfig.h"

#include "platform/IniText.h"
#include "spell/IniList.h"
#include "spell/MainDictionary.h"

#include <QDir>
#include <QFileInfo>

namespace {

QList<SpellDictionaryEntry> parseEntries(const QStringList& entries) {
    QList<SpellDictionaryEntry> list;
    for (const QString& e : entries) {
        // "T" or "F" and the path; anything else counts as disabled, the whole text its path.
        SpellDictionaryEntry d;
        if (e.startsWith(u'T') || e.startsWith(u'F')) {
            d.enabled = e.startsWith(u'T');
            d.path = e.mid(1);
        } else {
            d.path = e;
        }
        if (!d.path.isEmpty())
            list.append(d);
    }
    return list;
}

QStringList formatEntries(const QList<SpellDictionaryEntry>& list) {
    QStringList entries;
    for (const SpellDictionaryEntry& d : list)
        entries << (d.enabled ? QStringLiteral("T") : QStringLiteral("F")) + d.path;
    return entries;
}

} // namespace

std::array<bool, SpellOptionCount> SpellConfig::defaultOptions() {
    std::array<bool, SpellOptionCount> o{};
    for (SpellOption on : {soUpcase, soAutoSuggest, soPrimaryOnly, soRecheck, soRepeated, soHTML,
                           soInternet, soQuoted})
        o[on] = true;
    return o;
}

const char* SpellConfig::optionKey(SpellOption o) {
    static const char* const keys[SpellOptionCount] = {
        "soUpcase",   "soNumbers",  "soAutoSuggest", "soPrimaryOnly", "soRecheck",
        "soRepeated", "soDualCaps", "soHTML",        "soInternet",    "soQuoted",
        "soUser1",    "soUser2",    "soUser3",       "soUser4"};
    return keys[o];
}

SpellConfig newSpellConfig(const QString& folder) {
    SpellConfig c;
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : files) {
        const QString suffix = f.suffix().toLower();
        if (suffix == QStringLiteral("dct")) {
            c.mainDictionaries.append({f.fileName().toLower() == defaultMainDictionaryName(),
                                       f.filePath(),
                                       MainDictionary::readDescription(f.filePath())});
        } else if (suffix == QStringLiteral("udt")) {
            const bool isDefault = f.fileName().toLower() == defaultUserDictionaryName();
            if (isDefault && c.userIndex < 0)
                c.userIndex = static_cast<int>(c.userDictionaries.size());
            c.userDictionaries.append({isDefault, f.filePath(), {}});
        }
    }
    if (c.userDictionaries.isEmpty()) {
        c.userDictionaries.append({true, QDir(folder).filePath(defaultUserDictionaryName()), {}});
        c.userIndex = 0;
    }
    c.changed = true;
    return c;
}

std::optional<SpellConfigRead> readSpellConfig(const IniText& ini, const QString& key) {
    const IniValues values = ini.readSectionValues(key);
    bool ok = false;
    if (iniValue(values, QStringLiteral("ID")).toInt(&ok) == 0 || !ok)
        return std::nullopt;

    SpellConfigRead read;
    SpellConfig& c = read.config;
    c.mainDictionaries = parseEntries(readIniList(values, QStringLiteral("U_MU_DCT")));
    // Descriptions go by index, so that one missing entry does not shift the others.
    const QString none(QChar(0));
    for (qsizetype i = 0; i < c.mainDictionaries.size(); ++i) {
        const QString description = iniValue(values, QStringLiteral("M_DCT_%1").arg(i), none);
        if (description != none)
            c.mainDictionaries[i].description = description;
        else
            read.undescribed.append(i);
    }
    c.userDictionaries = parseEntries(readIniList(values, QStringLiteral("U_DCT")));
    for (int o = 0; o < SpellOptionCount; ++o) {
        const auto so = static_cast<SpellOption>(o);
        bool isNumber = false;
        const int v = iniValue(values, QLatin1String(SpellConfig::optionKey(so))).toInt(&isNumber);
        if (isNumber)
            c.options[so] = v != 0;
    }
    bool isNumber = false;
    const int index = iniValue(values, QStringLiteral("UserIndex")).toInt(&isNumber);
    c.userIndex = isNumber && index >= 0 && index < c.userDictionaries.size() ? index : -1;
    return read;
}

SpellConfig loadSpellConfig(const QString& path, const QString& key) {
    std::optional<SpellConfigRead> read = readSpellConfig(loadIniText(IniFile(path)), key);
    if (!read)
        return newSpellConfig(QFileInfo(path).absolutePath() + u'/');
    SpellConfig& c = read->config;
    for (SpellDictionaryEntry& d : c.mainDictionaries)
        if (!QFileInfo(d.path).isFile())
            d.enabled = false;
    for (const qsizetype i : read->undescribed)
        c.mainDictionaries[i].description =
            MainDictionary::readDescription(c.mainDictionaries[i].path);
    return c;
}

bool writeSpellConfig(IniText& ini, const QString& key, const SpellConfig& config) {
    IniValues values;
    values.append({QStringLiteral("ID"), QStringLiteral("1")});
    appendIniList(values, QStringLiteral("U_MU_DCT"), formatEntries(config.mainDictionaries));
    QStringList descriptions;
    for (const SpellDictionaryEntry& d : config.mainDictionaries)
        descriptions << d.description;
    appendIniList(values, QStringLiteral("M_DCT"), descriptions);
    appendIniList(values, QStringLiteral("U_DCT"), formatEntries(config.userDictionaries));
    for (int o = 0; o < SpellOptionCount; ++o) {
        const auto so = static_cast<SpellOption>(o);
        values.append({QLatin1String(SpellConfig::optionKey(so)),
                       config.options[so] ? QStringLiteral("1") : QStringLiteral("0")});
    }
    values.append({QStringLiteral("UserIndex"), QString::number(config.userIndex)});
    return ini.replaceSection(key, values);
}

bool saveSpellConfig(const QString& path, const QString& key, const SpellConfig& config) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const IniFile file(path);
    IniText ini = loadIniText(file);
    return writeSpellConfig(ini, key, config) && saveIniText(file, ini);
}
