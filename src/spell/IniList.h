// The list layout of the spell checker's INI files (spell.cfg and .udt user dictionaries): a
// count key NAME_ListCount and one key NAME_i per entry, i counting from 0.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

using IniValues = QList<std::pair<QString, QString>>;

// The entries of list name among a section's values. A count that is missing, negative or
// larger than the keys present reads only the entries that exist; a missing entry is skipped.
QStringList readIniList(const IniValues& values, const QString& name);
// Appends the count key and the entries of a list.
void appendIniList(IniValues& values, const QString& name, const QStringList& entries);
// The value of key (compared without regard to case) among values, or def.
QString iniValue(const IniValues& values, const QString& key, const QString& def = QString());
