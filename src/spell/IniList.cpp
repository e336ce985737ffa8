// The list layout of the spell checker's INI files.
#include "spell/IniList.h"

#include <QHash>

namespace {
QString folded(const QString& s) {
    return s.toCaseFolded();
}
} // namespace

QString iniValue(const IniValues& values, const QString& key, const QString& def) {
    const QString wanted = folded(key);
    for (const auto& [k, v] : values)
        if (folded(k) == wanted)
            return v;
    return def;
}

QStringList readIniList(const IniValues& values, const QString& name) {
    QHash<QString, QString> byKey;
    for (const auto& [k, v] : values)
        byKey.insert(folded(k), v);
    bool ok = false;
    const qint64 count = byKey.value(folded(name + QStringLiteral("_ListCount"))).toLongLong(&ok);
    QStringList entries;
    if (!ok || count <= 0)
        return entries;
    // The count is outside input: never walk further than there are keys.
    const qint64 last = qMin<qint64>(count, values.size());
    for (qint64 i = 0; i < last; ++i) {
        const auto it = byKey.constFind(folded(name + u'_' + QString::number(i)));
        if (it != byKey.constEnd())
            entries << *it;
    }
    return entries;
}

void appendIniList(IniValues& values, const QString& name, const QStringList& entries) {
    values.append({name + QStringLiteral("_ListCount"), QString::number(entries.size())});
    for (qsizetype i = 0; i < entries.size(); ++i)
        values.append({name + u'_' + QString::number(i), entries.at(i)});
}
