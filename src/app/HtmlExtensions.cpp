// The extensions that count as HTML and the file-dialog filters built from them.
#include "app/HtmlExtensions.h"

#include "platform/TextFile.h"

QStringList defaultHtmlExtensions() {
    return {QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("shtml"),
            QStringLiteral("shtm"), QStringLiteral("asp")};
}

QStringList loadHtmlExtensions(const QString& path) {
    const TextReadResult file = readTextFile(path);
    if (!file.ok)
        return defaultHtmlExtensions();
    QStringList result;
    for (QString line : file.text.split(QStringLiteral("\r\n"))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('.')))
            line.remove(0, 1);
        if (line.isEmpty())
            continue;
        result << line;
        if (result.size() == MaxHtmlExtensions)
            break;
    }
    // A file without a single usable line would leave every HTML dialog without a pattern.
    return result.isEmpty() ? defaultHtmlExtensions() : result;
}

QString htmlFilePattern(const QStringList& extensions) {
    QStringList parts;
    for (const QString& e : extensions)
        parts << QStringLiteral("*.") + e;
    return parts.join(QLatin1Char(';'));
}

QString filesTabFilter(const QString& htmlPattern) {
    return QStringLiteral("All Files|*.*|Image Files|*.jpg;*.gif|HTML Files|") + htmlPattern +
           QStringLiteral("|All Web Files|*.jpg;*.gif;") + htmlPattern;
}

QString mainOpenFilter(const QString& htmlPattern) {
    return QStringLiteral("HTML Files|") + htmlPattern +
           QStringLiteral("|Project Files|*.out|EXE Files|*.exe|All Files|*.*");
}

QString pageDialogFilter(const QString& htmlPattern) {
    return QStringLiteral("HTML Files|") + htmlPattern + QStringLiteral("|All Files|*.*");
}

QString sharedSaveFilter() {
    return QStringLiteral(
        "Project File|*.out|HTML Files|*.html;*.shtml;*.htm;*.sht;*.asp;*.cgi;|All Files|*.*");
}
