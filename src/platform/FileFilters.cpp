// The program's file-type filters as the Qt file dialogs want them.
#include "platform/FileFilters.h"

QStringList toQtNameFilters(const QString& filter) {
    QStringList result;
    if (filter.trimmed().isEmpty())
        return result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        // A lone last part ("*.*" on its own) is a pattern that labels itself.
        const QString patternText = i + 1 < parts.size() ? parts.at(i + 1) : parts.at(i);
        QStringList patterns;
        for (QString pattern : patternText.split(u';')) {
            pattern = pattern.trimmed();
            if (pattern.isEmpty())
                continue;
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
            if (!patterns.contains(pattern))
                patterns << pattern;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        QString label = parts.at(i).trimmed();
        if (label.isEmpty())
            label = patterns.join(u' ');
        result << QStringLiteral("%1 (%2)").arg(label, patterns.join(u' '));
    }
    return result;
}
