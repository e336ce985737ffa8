// The list layout of the spell checker's INI files.
#include "spell/IniList.h"

#include <QList>

QString iniValue(const IniValues& values, const QString& key, const QString& def) {
    // Compared in place: folding a copy of every key for every look-up made reading a long list
    // of keys cost the square of its length in copies.
    for (const auto& [k, v] : values)
        if (k.size() == key.size() && k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    return def;
}

QStringList readIniList(const IniValues& values, const QString& name) {
    // Keys are compared in place, without regard to case; of equal keys the last one counts.
    const QString countKey = name + QStringLiteral("_ListCount");
    const QString* countValue = nullptr;
    for (const auto& [k, v] : values)
        if (k.size() == countKey.size() && k.compare(countKey, Qt::CaseInsensitive) == 0)
            countValue = &v;
    bool ok = false;
    const qint64 count = countValue ? countValue->toLongLong(&ok) : 0;
    QStringList entries;
    if (!ok || count <= 0)
        return entries;
    // The count is outside input: never more places than there are keys.
    const qsizetype last = static_cast<qsizetype>(qMin<qint64>(count, values.size()));
    QList<const QString*> places(last, nullptr);
    const qsizetype digitsFrom = name.size() + 1;
    for (const auto& [k, v] : values) {
        if (k.size() <= digitsFrom || k.at(name.size()) != u'_' ||
            QStringView(k).left(name.size()).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // The index as it is written: decimal digits, no sign, no leading zero.
        const QStringView digits = QStringView(k).mid(digitsFrom);
        if (digits.size() > 1 && digits.front() == u'0')
            continue;
        qint64 index = 0;
        for (const QChar c : digits) {
            if (c < u'0' || c > u'9' || index >= last) {
                index = last;
                break;
            }
            index = index * 10 + (c.unicode() - u'0');
        }
        if (index < last)
            places[index] = &v;
    }
    for (const QString* entry : places)
        if (entry)
            entries << *entry;
    return entries;
}

void appendIniList(IniValues& values, const QString& name, const QStringList& entries) {
    values.reserve(values.size() + entries.size() + 1);
    values.append({name + QStringLiteral("_ListCount"), QString::number(entries.size())});
    for (qsizetype i = 0; i < entries.size(); ++i)
        values.append({name + u'_' + QString::number(i), entries.at(i)});
}
