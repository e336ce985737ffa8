// Shared pieces of the tag dialogs' texts.
#include "tags/TagText.h"

#include <QDir>
#include <QFileInfo>

QString attributeValue(const QString& typed) {
    QString value = typed;
    value.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    return value;
}

QString relativeLink(const QString& file, const QString& pageFolder) {
    if (pageFolder.isEmpty())
        return QFileInfo(file).fileName();
    // Both sides cleaned, so "a/./b" and a trailing "/" do not count as extra folders.
    return QDir(QDir::cleanPath(pageFolder)).relativeFilePath(QDir::cleanPath(file));
}

QString joinLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QString names(QLatin1String literal, bool lower) {
    return lower ? QString(literal).toLower() : QString(literal);
}

QString tagCase(const QString& markup, bool lower) {
    if (!lower)
        return markup;
    QString out = markup;
    const qsizetype n = out.size();
    const auto lowerAt = [&out](qsizetype i) { out[i] = out[i].toLower(); };
    qsizetype i = 0;
    while (i < n) {
        if (out[i] != QLatin1Char('<')) {
            ++i;
            continue;
        }
        // A comment or a declaration is left whole.
        if (i + 1 < n && (out[i + 1] == QLatin1Char('!') || out[i + 1] == QLatin1Char('?'))) {
            const bool comment = QStringView(out).mid(i, 4) == QLatin1String("<!--");
            const qsizetype end = comment ? out.indexOf(QLatin1String("-->"), i + 4)
                                          : out.indexOf(QLatin1Char('>'), i + 2);
            i = end < 0 ? n : end + (comment ? 3 : 1);
            continue;
        }
        ++i;
        if (i < n && out[i] == QLatin1Char('/'))
            ++i;
        while (i < n && !out[i].isSpace() && out[i] != QLatin1Char('>') &&
               out[i] != QLatin1Char('<'))
            lowerAt(i++);
        // The attributes: each name lowered, each value passed over.
        while (i < n && out[i] != QLatin1Char('>') && out[i] != QLatin1Char('<')) {
            if (out[i].isSpace() || out[i] == QLatin1Char('/')) {
                ++i;
                continue;
            }
            while (i < n && !out[i].isSpace() && out[i] != QLatin1Char('=') &&
                   out[i] != QLatin1Char('>') && out[i] != QLatin1Char('<'))
                lowerAt(i++);
            qsizetype k = i;
            while (k < n && out[k].isSpace())
                ++k;
            if (k >= n || out[k] != QLatin1Char('='))
                continue;
            i = k + 1;
            while (i < n && out[i].isSpace())
                ++i;
            if (i < n && (out[i] == QLatin1Char('"') || out[i] == QLatin1Char('\''))) {
                const qsizetype close = out.indexOf(out[i], i + 1);
                i = close < 0 ? n : close + 1;
            } else {
                while (i < n && !out[i].isSpace() && out[i] != QLatin1Char('>'))
                    ++i;
            }
        }
        if (i < n && out[i] == QLatin1Char('>'))
            ++i;
    }
    return out;
}
