// WordScanner: tags, character references, addresses and quoted lines are passed over.
#include "spell/WordScanner.h"

namespace {
bool isAsciiAlnum(QChar ch) {
    const char16_t u = ch.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

bool isAddressScheme(const QString& text, int start, int length, QChar next) {
    const QStringView word = QStringView(text).mid(start, length);
    if (next == u':')
        for (const char* s : {"http", "https", "ftp", "news", "mailto"})
            if (word.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
                return true;
    return next == u'.' && word.compare(QLatin1String("www"), Qt::CaseInsensitive) == 0;
}
} // namespace

bool isAddressTerminator(QChar ch) {
    switch (ch.unicode()) {
    case '\r':
    case '\n':
    case '\t':
    case ' ':
    case '"':
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
    case ',':
    case '<':
    case '>':
    case '\'':
        return true;
    default:
        return false;
    }
}

std::optional<ScannedWord> nextWord(const QString& text, int from, int end,
                                    const ScanOptions& options) {
    end = qMin<int>(end, static_cast<int>(text.size()));
    int i = qMax(0, from);
    while (i < end) {
        const QChar ch = text.at(i);
        if (options.quoted && (i == 0 || text.at(i - 1) == u'\n') &&
            options.quoteCharacters.contains(ch)) {
            const qsizetype lf = text.indexOf(u'\n', i);
            i = lf < 0 ? end : static_cast<int>(lf) + 1;
            continue;
        }
        if (options.html && ch == u'<') {
            const qsizetype close = text.indexOf(u'>', i + 1);
            i = close < 0 ? end : static_cast<int>(close) + 1;
            continue;
        }
        if (options.html && ch == u'&') {
            int j = i + 1;
            if (j < end && text.at(j) == u'#')
                ++j;
            while (j < end && isAsciiAlnum(text.at(j)))
                ++j;
            if (j < end && text.at(j) == u';' && j > i + 1) {
                i = j + 1;
                continue;
            }
            ++i;
            continue;
        }
        if (!isWordCharacter(ch)) {
            ++i;
            continue;
        }
        int j = i;
        while (j < end && isWordCharacter(text.at(j)))
            ++j;
        if (options.internet && j < end &&
            (text.at(j) == u'@' || isAddressScheme(text, i, j - i, text.at(j)))) {
            while (j < end && !isAddressTerminator(text.at(j)))
                ++j;
            i = j;
            continue;
        }
        return ScannedWord{i, j - i};
    }
    return std::nullopt;
}
