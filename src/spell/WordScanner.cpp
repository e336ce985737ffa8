// WordScanner: tags, character references, addresses and quoted lines are passed over.
#include "spell/WordScanner.h"

#include <QHash>

namespace {
// The named references of HTML for the characters of Latin-1 and the few letters and marks
// beyond it that pages write by name.
struct NamedReference {
    const char* name;
    char16_t character;
};
constexpr NamedReference kNamed[] = {
    {"nbsp", 160},   {"iexcl", 161},  {"cent", 162},   {"pound", 163},  {"curren", 164},
    {"yen", 165},    {"brvbar", 166}, {"sect", 167},   {"uml", 168},    {"copy", 169},
    {"ordf", 170},   {"laquo", 171},  {"not", 172},    {"shy", 173},    {"reg", 174},
    {"macr", 175},   {"deg", 176},    {"plusmn", 177}, {"sup2", 178},   {"sup3", 179},
    {"acute", 180},  {"micro", 181},  {"para", 182},   {"middot", 183}, {"cedil", 184},
    {"sup1", 185},   {"ordm", 186},   {"raquo", 187},  {"frac14", 188}, {"frac12", 189},
    {"frac34", 190}, {"iquest", 191}, {"Agrave", 192}, {"Aacute", 193}, {"Acirc", 194},
    {"Atilde", 195}, {"Auml", 196},   {"Aring", 197},  {"AElig", 198},  {"Ccedil", 199},
    {"Egrave", 200}, {"Eacute", 201}, {"Ecirc", 202},  {"Euml", 203},   {"Igrave", 204},
    {"Iacute", 205}, {"Icirc", 206},  {"Iuml", 207},   {"ETH", 208},    {"Ntilde", 209},
    {"Ograve", 210}, {"Oacute", 211}, {"Ocirc", 212},  {"Otilde", 213}, {"Ouml", 214},
    {"times", 215},  {"Oslash", 216}, {"Ugrave", 217}, {"Uacute", 218}, {"Ucirc", 219},
    {"Uuml", 220},   {"Yacute", 221}, {"THORN", 222},  {"szlig", 223},  {"agrave", 224},
    {"aacute", 225}, {"acirc", 226},  {"atilde", 227}, {"auml", 228},   {"aring", 229},
    {"aelig", 230},  {"ccedil", 231}, {"egrave", 232}, {"eacute", 233}, {"ecirc", 234},
    {"euml", 235},   {"igrave", 236}, {"iacute", 237}, {"icirc", 238},  {"iuml", 239},
    {"eth", 240},    {"ntilde", 241}, {"ograve", 242}, {"oacute", 243}, {"ocirc", 244},
    {"otilde", 245}, {"ouml", 246},   {"divide", 247}, {"oslash", 248}, {"ugrave", 249},
    {"uacute", 250}, {"ucirc", 251},  {"uuml", 252},   {"yacute", 253}, {"thorn", 254},
    {"yuml", 255},   {"OElig", 338},  {"oelig", 339},  {"Scaron", 352}, {"scaron", 353},
    {"Yuml", 376},   {"fnof", 402},   {"lsquo", 8216}, {"rsquo", 8217}, {"apos", 39},
    {"amp", 38},     {"lt", 60},      {"gt", 62},      {"quot", 34},
};

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

std::optional<CharacterReference> characterReferenceAt(const QString& text, int pos, int end) {
    end = qMin<int>(end, static_cast<int>(text.size()));
    if (pos < 0 || pos + 3 > end || text.at(pos) != u'&')
        return std::nullopt;
    // References are short: a long run of letters after "&" is no reference.
    const int limit = qMin(end, pos + 12);
    int j = pos + 1;
    if (text.at(j) == u'#') {
        ++j;
        const bool hex = j < limit && (text.at(j) == u'x' || text.at(j) == u'X');
        if (hex)
            ++j;
        const int digits = j;
        uint value = 0;
        while (j < limit) {
            const char16_t c = text.at(j).unicode();
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0)
                break;
            value = value * (hex ? 16 : 10) + static_cast<uint>(digit);
            ++j;
        }
        if (j == digits || j >= limit || text.at(j) != u';' || value == 0 || value > 0xFFFF ||
            QChar::isSurrogate(value))
            return std::nullopt;
        return CharacterReference{QChar(static_cast<char16_t>(value)), j + 1 - pos};
    }
    while (j < limit && isAsciiAlnum(text.at(j)))
        ++j;
    if (j >= limit || text.at(j) != u';' || j == pos + 1)
        return std::nullopt;
    const QStringView name = QStringView(text).mid(pos + 1, j - pos - 1);
    for (const NamedReference& r : kNamed)
        if (name == QLatin1String(r.name))
            return CharacterReference{QChar(r.character), j + 1 - pos};
    return std::nullopt;
}

QString characterReferenceFor(QChar character) {
    for (const NamedReference& r : kNamed)
        if (r.character == character.unicode())
            return u'&' + QLatin1String(r.name) + u';';
    return QStringLiteral("&#%1;").arg(character.unicode());
}

QString wordText(const QString& text, const ScannedWord& word, std::vector<int>* positions) {
    QString out;
    out.reserve(word.length);
    if (positions)
        positions->clear();
    for (int i = word.start; i < word.end();) {
        if (positions)
            positions->push_back(i);
        if (text.at(i) == u'&') {
            if (const auto ref = characterReferenceAt(text, i, word.end())) {
                out += ref->character;
                i += ref->length;
                continue;
            }
        }
        out += text.at(i);
        ++i;
    }
    if (positions)
        positions->push_back(word.end());
    return out;
}

QString writtenLike(const QString& replacement, const QString& writtenWord) {
    if (!writtenWord.contains(u'&'))
        return replacement;
    // How the word wrote each character it wrote by reference.
    QHash<char16_t, QString> written;
    for (int i = 0; i < writtenWord.size(); ++i) {
        if (const auto ref = characterReferenceAt(writtenWord, i, int(writtenWord.size()))) {
            written.insert(ref->character.unicode(), writtenWord.mid(i, ref->length));
            i += ref->length - 1;
        }
    }
    QString out;
    for (const QChar ch : replacement) {
        if (ch.unicode() < 0x80)
            out += ch;
        else
            out += written.value(ch.unicode(), characterReferenceFor(ch));
    }
    return out;
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
        // A reference to a letter starts a word ("&Eacute;cole").
        const auto referenceToLetter = [&](int at) {
            if (!options.html || text.at(at) != u'&')
                return 0;
            const auto ref = characterReferenceAt(text, at, end);
            return ref && isWordCharacter(ref->character) ? ref->length : 0;
        };
        if (options.html && ch == u'&' && referenceToLetter(i) == 0) {
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
        if (!isWordCharacter(ch) && referenceToLetter(i) == 0) {
            ++i;
            continue;
        }
        int j = i;
        while (j < end) {
            if (isWordCharacter(text.at(j))) {
                ++j;
            } else if (const int length = referenceToLetter(j)) {
                j += length;
            } else {
                break;
            }
        }
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
