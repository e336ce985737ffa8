// Listing, SYST, PORT, PASV/EPSV and PWD text rules of the FTP client. Listing lines are read as
// bytes and each on its own, in one pass over the parts that matter, so that any listing costs time
// in proportion to its size and every name keeps the server's spelling.
#include "ftp/FtpListing.h"

#include "platform/TextFile.h"

#include <QRegularExpression>

#include <algorithm>

#include <string_view>

namespace {

ListingEntry noEntry() {
    return {};
}

ListingEntry entry(QByteArrayView name, bool isDirectory) {
    return {true, isDirectory, name.toByteArray()};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a field of 1 to maxDigits digits, else -1.
int smallNumber(QByteArrayView field, int maxDigits) {
    if (field.isEmpty() || field.size() > maxDigits)
        return -1;
    int value = 0;
    for (const char c : field) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool allDigits(QByteArrayView field) {
    if (field.isEmpty())
        return false;
    for (const char c : field) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isDay(QByteArrayView field) {
    const int day = smallNumber(field, 2);
    return day >= 1 && day <= 31;
}

bool isYear(QByteArrayView field) {
    return field.size() == 4 && allDigits(field);
}

// "H:MM" or "HH:MM", and with seconds "HH:MM:SS" when they are allowed.
bool isClock(QByteArrayView field, bool withSeconds) {
    const qsizetype colon = field.indexOf(':');
    if (colon < 1)
        return false;
    const int hours = smallNumber(field.first(colon), 2);
    QByteArrayView rest = field.sliced(colon + 1);
    if (hours < 0 || hours > 23 || rest.size() < 2)
        return false;
    const int minutes = smallNumber(rest.first(2), 2);
    if (minutes < 0 || minutes > 59)
        return false;
    rest = rest.sliced(2);
    if (rest.isEmpty())
        return true;
    if (!withSeconds || rest.size() != 3 || rest[0] != ':')
        return false;
    const int seconds = smallNumber(rest.sliced(1), 2);
    return seconds >= 0 && seconds <= 60;
}

// "YYYY-MM-DD", as servers that list with ISO dates write them.
bool isIsoDate(QByteArrayView field) {
    if (field.size() != 10 || field[4] != '-' || field[7] != '-')
        return false;
    const int month = smallNumber(field.sliced(5, 2), 2);
    return isYear(field.first(4)) && month >= 1 && month <= 12 && isDay(field.sliced(8, 2));
}

struct Field {
    qsizetype begin;
    qsizetype end; // one past the last byte: the space after the field, or the line's end
};
QByteArrayView fieldText(QByteArrayView line, const Field& field) {
    return line.sliced(field.begin, field.end - field.begin);
}

// The date of an "ls -l" line stands within its first fields: permissions, link count, owner,
// group (which some servers write with spaces in them) and size come before it. Looking no
// further keeps the work on a line independent of how long its name is.
constexpr qsizetype kDateSearchFields = 16;
// A date is at most three fields before the one that ends it ("Tue Apr 8", "4月 8日"), and the
// end may carry two more (the year after a time with seconds, a zone after a full time).
constexpr qsizetype kMostDateFields = 3;

// Cuts a line into space-separated fields on demand, runs of spaces counting as one separator,
// so that a search that stops early does not walk the rest of the line.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView line) : m_line(line) {}

    // Whether the line has a field i among its first kMaxFields.
    bool has(qsizetype i) {
        while (m_count <= i && readNext()) {
        }
        return i < m_count;
    }
    QByteArrayView text(qsizetype i) const { return fieldText(m_line, m_fields[i]); }
    qsizetype end(qsizetype i) const { return m_fields[i].end; }

private:
    static constexpr qsizetype kMaxFields = kDateSearchFields + kMostDateFields + 4;

    bool readNext() {
        const qsizetype size = m_line.size();
        while (m_pos < size && m_line[m_pos] == ' ')
            ++m_pos;
        if (m_pos == size || m_count == kMaxFields)
            return false;
        const qsizetype begin = m_pos;
        while (m_pos < size && m_line[m_pos] != ' ')
            ++m_pos;
        m_fields[m_count++] = {begin, m_pos};
        return true;
    }

    QByteArrayView m_line;
    Field m_fields[kMaxFields];
    qsizetype m_count = 0;
    qsizetype m_pos = 0;
};

constexpr qsizetype kNoDate = -1;
constexpr qsizetype kNoName = -2;

// What a field can be within a date, found in one pass over it.
struct DateField {
    bool time = false;        // "HH:MM", "HH:MM:SS", "HH:MM:SS.fraction"
    bool withSeconds = false; // a time with its seconds
    bool year = false;        // 1900 to 2099
    bool wholeDate = false;   // "2024-04-08", "08.04.2024", "2024/04/08", "2024年4月8日"
    bool monthAndDay = false; // "04-08", "8.4.", "4月8日"
    bool day = false;         // "8", "08", "8.", "8日"
    bool inside = false;      // may stand inside a date: a month in any language, a day, ...
};

DateField dateField(QByteArrayView field) {
    DateField d;
    int runs = 0;    // runs of digits
    int longest = 0; // the longest of them
    int leading = 0; // digits before anything else
    int leadValue = 0;
    int run = 0;
    bool colon = false;
    bool other = false;
    for (const char c : field) {
        if (isDigit(c)) {
            if (run++ == 0)
                ++runs;
            longest = std::max(longest, run);
            if (!other && leading < 3) {
                ++leading;
                leadValue = leadValue * 10 + (c - '0');
            }
        } else {
            run = 0;
            other = true;
            colon = colon || c == ':';
        }
    }
    const bool onlyDigits = !other && runs == 1;
    if (colon) {
        // A time: a fraction of its seconds stands after a dot.
        QByteArrayView clock = field;
        const qsizetype dot = field.indexOf('.');
        if (dot < 0 || (dot == 8 && allDigits(field.sliced(dot + 1)))) {
            if (dot >= 0)
                clock = field.first(dot);
            d.time = isClock(clock, true);
            d.withSeconds = d.time && clock.size() == 8;
        }
        return d;
    }
    d.year = onlyDigits && field.size() == 4 && leadValue >= 190 && leadValue <= 209;
    d.wholeDate = runs == 3 && longest <= 4 && leading > 0;
    d.monthAndDay = runs == 2 && longest <= 2;
    d.day = runs == 1 && leading >= 1 && leading <= 2 && leadValue >= 1 && leadValue <= 31;
    // Owners, groups and sizes are numbers of more than two digits; no date part is long.
    d.inside = field.size() <= 12 && !(onlyDigits && field.size() > 2);
    return d;
}

// "+0200", "-0500": the zone after a full time.
bool isZone(QByteArrayView field) {
    return field.size() == 5 && (field[0] == '+' || field[0] == '-') && allDigits(field.sliced(1));
}

// With the size in field `size`, the last field of the date that follows it, or -1. The date
// runs up to the first field that is a time, a year or a whole date; before a time or a year
// it must have given a month and a day: two or three fields with a day among them, or one
// field holding both. So a date is found in any language and order, and the fields before the
// size (owner, group, link count) cannot pass for one.
qsizetype dateEnd(FieldReader& f, qsizetype size) {
    bool day = false;
    bool monthAndDay = false; // the one field before this one held both
    for (qsizetype k = 0; k <= kMostDateFields; ++k) {
        const qsizetype i = size + 1 + k;
        if (!f.has(i))
            return -1;
        const DateField d = dateField(f.text(i));
        if (d.wholeDate) {
            // "2024-04-08 12:34": the time after the date belongs to it.
            if (f.has(i + 1)) {
                const DateField next = dateField(f.text(i + 1));
                if (next.time)
                    return next.withSeconds && f.has(i + 2) && isZone(f.text(i + 2)) ? i + 2
                                                                                     : i + 1;
            }
            return i;
        }
        if (d.time || d.year) {
            if (!((k >= 2 && day) || (k == 1 && monthAndDay)))
                return -1;
            // "Apr 8 12:34:56 2021": a time with seconds may have the year after it.
            if (d.withSeconds && f.has(i + 1) && dateField(f.text(i + 1)).year)
                return i + 1;
            return i;
        }
        if (!d.inside)
            return -1;
        day = day || d.day || d.monthAndDay;
        monthAndDay = d.monthAndDay;
    }
    return -1;
}

// Where the name begins in an "ls -l" style line: right after the one space that follows the
// date, so that names keep their spaces (also leading ones). The columns are permissions, link
// count, owner, group, size and the date; the link count, the group or both may be missing
// and owners and groups may be numbers, so the size is the first number (third field or later)
// that a date follows. Searching from the left keeps a date-like part of the name itself from
// being taken. kNoDate when no size and date can be told apart, kNoName when nothing follows.
qsizetype unixNameStart(QByteArrayView line) {
    FieldReader f(line);
    for (qsizetype size = 2; size < kDateSearchFields && f.has(size + 1); ++size) {
        if (!allDigits(f.text(size)))
            continue;
        const qsizetype last = dateEnd(f, size);
        if (last < 0)
            continue;
        const qsizetype nameStart = f.end(last) + 1;
        if (nameStart >= line.size())
            return kNoName;
        // Blanks alone after the date are padding, not a name.
        for (qsizetype p = nameStart; p < line.size(); ++p) {
            if (line[p] != ' ')
                return nameStart;
        }
        return kNoName;
    }
    return kNoDate;
}

// A link is listed as "name -> target"; only the name is the entry. A name that merely holds
// "->" without the spaces around it is not cut.
QByteArrayView withoutLinkTarget(QByteArrayView text) {
    const qsizetype arrow = text.indexOf(QByteArrayView(" -> "));
    return arrow > 0 ? text.first(arrow) : text;
}

// Unix-style "ls -l" lines; the first character tells files from directories and links.
ListingEntry parseUnixLine(QByteArrayView line) {
    if (line.isEmpty())
        return noEntry();
    bool isDirectory;
    switch (line[0]) {
    case '-':
    case 'f':
        isDirectory = false;
        break;
    case 'd':
    case 'l':
        isDirectory = true;
        break;
    default:
        return noEntry();
    }
    const bool isLink = line[0] == 'l';
    const qsizetype nameStart = unixNameStart(line);
    if (nameStart == kNoName)
        return noEntry();
    if (nameStart >= 0) {
        QByteArrayView name = line.sliced(nameStart);
        if (isLink)
            name = withoutLinkTarget(name);
        return entry(name, isDirectory);
    }
    // No date to go by: the name is the last field, as it is on servers with simple names.
    QByteArrayView text = isLink ? withoutLinkTarget(line) : line;
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    const qsizetype lastSpace = text.lastIndexOf(' ');
    // A line without a space has no name field at all (a bare word, a server message).
    if (lastSpace < 0 || lastSpace + 1 == text.size())
        return noEntry();
    return entry(text.sliced(lastSpace + 1), isDirectory);
}

// "MM-DD-YY", "MM-DD-YYYY" (also with "/") or "YYYY-MM-DD".
bool isDosDate(QByteArrayView field) {
    if (field.size() == 10 && isIsoDate(field))
        return true;
    if ((field.size() != 8 && field.size() != 10) || field[2] != field[5] ||
        (field[2] != '-' && field[2] != '/'))
        return false;
    const int month = smallNumber(field.first(2), 2);
    const QByteArrayView year = field.sliced(6);
    return month >= 1 && month <= 12 && isDay(field.sliced(3, 2)) && allDigits(year);
}

// "HH:MM" on a 24-hour clock, or "HH:MMAM" / "HH:MMPM" on a 12-hour one.
bool isDosTime(QByteArrayView field) {
    if (field.size() >= 6) {
        const char a = lowerAscii(field[field.size() - 2]);
        const char m = lowerAscii(field[field.size() - 1]);
        if ((a == 'a' || a == 'p') && m == 'm') {
            const QByteArrayView clock = field.first(field.size() - 2);
            const qsizetype colon = clock.indexOf(':');
            const int hours = colon > 0 ? smallNumber(clock.first(colon), 2) : -1;
            return isClock(clock, false) && hours >= 1 && hours <= 12;
        }
    }
    return isClock(field, false);
}

bool isDosSize(QByteArrayView field) {
    bool digit = false;
    for (const char c : field) {
        if (isDigit(c))
            digit = true;
        else if (c != ',' && c != '.')
            return false;
    }
    return digit;
}

// MS-DOS style lines as Windows servers send them, whatever their SYST reply said:
// "04-08-94  02:34PM       <DIR>          my folder" and "04-08-1994  02:34PM  12345 my page.html".
// The columns are padded, so the name is everything after the blanks that follow the size or
// "<DIR>"; Windows names cannot end in blanks, so trailing ones are padding too.
bool parseDosLine(QByteArrayView line, ListingEntry& result) {
    if (line.size() < 8 || !isDigit(line[0]))
        return false;
    Field fields[3];
    qsizetype pos = 0;
    const qsizetype size = line.size();
    for (Field& field : fields) {
        while (pos < size && line[pos] == ' ')
            ++pos;
        field.begin = pos;
        while (pos < size && line[pos] != ' ')
            ++pos;
        field.end = pos;
        if (field.begin == field.end)
            return false;
    }
    if (!isDosDate(fieldText(line, fields[0])) || !isDosTime(fieldText(line, fields[1])))
        return false;
    const QByteArrayView kind = fieldText(line, fields[2]);
    const bool isDirectory = kind.compare(QByteArrayView("<DIR>"), Qt::CaseInsensitive) == 0;
    if (!isDirectory && !isDosSize(kind))
        return false;
    while (pos < size && line[pos] == ' ')
        ++pos;
    QByteArrayView name = line.sliced(pos);
    while (!name.isEmpty() && name.back() == ' ')
        name.chop(1);
    result = name.isEmpty() ? noEntry() : entry(name, isDirectory);
    return true;
}

// VMS lines: "NAME.TYPE;VERSION  size  date  owner  protection". A name too long for its
// column stands alone on its line and its details follow on the next, blank-led line. The
// name line alone is the entry, so nothing is held from one line to the next: the details
// line has no ";" in its first field and gives nothing, and a stray blank or a broken wrap
// cannot join lines together.
ListingEntry parseVmsLine(QByteArrayView line) {
    qsizetype start = 0;
    while (start < line.size() && line[start] == ' ')
        ++start;
    const QByteArrayView rest = line.sliced(start);
    const qsizetype fieldEnd = rest.indexOf(' ');
    const QByteArrayView field = fieldEnd < 0 ? rest : rest.first(fieldEnd);
    // Every VMS file name carries its version after a ";"; a first field without one is a
    // heading ("Directory ..."), a total or the details of a wrapped name.
    const qsizetype semicolon = field.indexOf(';');
    if (semicolon <= 0)
        return noEntry();
    const QByteArrayView name = field.first(semicolon);
    // Only the ".DIR" type makes a directory; ".DIR" alone is no name.
    if (name.size() >= 4 &&
        name.sliced(name.size() - 4).compare(QByteArrayView(".DIR"), Qt::CaseInsensitive) == 0)
        return name.size() == 4 ? noEntry() : entry(name.first(name.size() - 4), true);
    return entry(name, false);
}

// Field n of a line as ListingToken finds it, without copying it.
QByteArrayView tokenView(QByteArrayView line, int n) {
    const qsizetype size = line.size();
    qsizetype pos = 0;
    for (int field = 0;; ++field) {
        qsizetype end = pos;
        while (end < size && line[end] != ' ')
            ++end;
        if (end == size)
            return {};
        if (field == n)
            return line.sliced(pos, end - pos);
        pos = end;
        while (pos < size && line[pos] == ' ')
            ++pos;
    }
}

ListingEntry parseVmLine(QByteArrayView line) {
    const QByteArrayView name = tokenView(line, 0);
    const QByteArrayView type = tokenView(line, 1);
    if (name.isEmpty() || type.isEmpty())
        return noEntry();
    QByteArray full;
    full.reserve(name.size() + 1 + type.size());
    full.append(name).append('.').append(type);
    return {true, false, full};
}

// Headings and totals of a VM/VPS listing hold "=", "totals:", " rf trks" or "track limit".
// Three of them start with a "t", so one look at each "t" finds them all.
bool isVmVpsHeading(QByteArrayView line) {
    const std::string_view text(line.data(), static_cast<size_t>(line.size()));
    if (text.find('=') != std::string_view::npos)
        return true;
    for (size_t t = text.find('t'); t != std::string_view::npos; t = text.find('t', t + 1)) {
        const std::string_view at = text.substr(t);
        if (at.starts_with("totals:") || at.starts_with("track limit"))
            return true;
        if (at.starts_with("trks") && t >= 4 && text.substr(t - 4, 4) == " rf ")
            return true;
    }
    return false;
}

ListingEntry parseVmVpsLine(QByteArrayView line) {
    if (isVmVpsHeading(line))
        return noEntry();
    const QByteArrayView field = tokenView(line, 1);
    if (field.isEmpty())
        return noEntry();
    QByteArray name;
    name.reserve(field.size() + 1);
    name.append('.').append(field);
    return {true, false, name};
}

} // namespace

QString RemoteNameText(const QByteArray& bytes) {
    return decodeText(bytes).text;
}

QByteArray ListingToken(QByteArrayView line, int n) {
    // One pass: a run of spaces is one separator, so a leading run makes field 0 empty.
    return tokenView(line, n).toByteArray();
}

ListingEntry ParseListingLine(QByteArrayView line, TFTPServerType type) {
    // Windows servers send MS-DOS style lines whatever their SYST reply says, and no other
    // style's line reads as one.
    ListingEntry dos;
    if (parseDosLine(line, dos))
        return dos;
    switch (type) {
    case ftpstDefault:
    case ftpstUNIX:
    case ftpstULTRIX:
    case ftpstU5000:
    case ftpstSINTFTPD:
        return parseUnixLine(line);
    case ftpstVmsMultinet:
    case ftpstVmsUcx:
        return parseVmsLine(line);
    case ftpstVM:
        return parseVmLine(line);
    case ftpstVMVPS:
        return parseVmVpsLine(line);
    default:
        return noEntry();
    }
}

TFTPServerType ServerTypeFromSyst(const QString& reply) {
    if (reply.startsWith(QLatin1Char('5')))
        return ftpstDefault;
    const QString system = reply.mid(4, 99).toUpper();
    auto has = [&system](const char* word) { return system.contains(QLatin1String(word)); };
    TFTPServerType type = ftpstDefault;
    if (has("UNIX"))
        type = ftpstUNIX;
    if (has("CLIX"))
        type = ftpstClix;
    if (has("ULTRIX"))
        type = ftpstULTRIX;
    if (has("MVS"))
        type = ftpstMVS;
    if (has("QVT"))
        type = ftpstQVT;
    if (has("NCSA"))
        type = ftpstNCSA;
    if (has("CHAMELEON"))
        type = ftpstChameleon;
    if (has("VMS"))
        type = has("MULTINET") ? ftpstVmsMultinet : ftpstVmsUcx;
    else if (has("VM"))
        type = has("VPS") ? ftpstVMVPS : ftpstVM;
    return type;
}

QString PortArgument(const QString& dottedAddress, std::uint16_t port) {
    QString argument = dottedAddress;
    argument.replace(QLatin1Char('.'), QLatin1Char(','));
    return argument + QStringLiteral(",%1,%2").arg(port / 256).arg(port % 256);
}

QString DirectoryFromPwdReply(const QString& reply) {
    const qsizetype open = reply.indexOf(QLatin1Char('"'));
    if (open < 0)
        return {};
    // Inside the quotes a doubled quote stands for one quote of the name (257 "/""x""" is the
    // directory /"x"); a single quote ends the name. Without a closing quote the name runs to
    // the end of the line.
    QString name;
    for (qsizetype i = open + 1; i < reply.size() && name.size() < 999; ++i) {
        if (reply.at(i) == QLatin1Char('"')) {
            if (i + 1 >= reply.size() || reply.at(i + 1) != QLatin1Char('"'))
                break;
            ++i;
        }
        name.append(reply.at(i));
    }
    return name;
}

PassiveTarget PassiveTargetFromPasvReply(const QString& reply) {
    // The numbers may stand in brackets or not, and servers add text before and after them:
    // the first run of six comma-joined numbers after the code counts.
    static const QRegularExpression six(
        QStringLiteral("(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3})"));
    const QRegularExpressionMatch match = six.match(reply, qMin<qsizetype>(3, reply.size()));
    if (!match.hasMatch())
        return {};
    int n[6];
    for (int i = 0; i < 6; ++i) {
        n[i] = match.captured(i + 1).toInt();
        if (n[i] > 255)
            return {};
    }
    PassiveTarget target;
    target.address = QStringLiteral("%1.%2.%3.%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]);
    target.port = static_cast<std::uint16_t>(n[4] * 256 + n[5]);
    return target;
}

std::uint16_t PortFromEpsvReply(const QString& reply) {
    // "(" then the same delimiter three times, the port, and the delimiter again.
    const qsizetype open = reply.indexOf(QLatin1Char('('));
    if (open < 0 || open + 5 > reply.size())
        return 0;
    const QChar d = reply.at(open + 1);
    if (d.isDigit() || reply.at(open + 2) != d || reply.at(open + 3) != d)
        return 0;
    const qsizetype close = reply.indexOf(d, open + 4);
    if (close < 0 || close + 1 >= reply.size() || reply.at(close + 1) != QLatin1Char(')'))
        return 0;
    bool ok = false;
    const QStringView digits = QStringView(reply).mid(open + 4, close - open - 4);
    const uint port = digits.toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || digits.isEmpty() || !digits.at(0).isDigit())
        return 0;
    return static_cast<std::uint16_t>(port);
}

// ---- sizes and times ----

QDateTime ParseMachineTime(QByteArrayView text) {
    if (text.size() < 14)
        return {};
    for (int i = 0; i < 14; ++i)
        if (text[i] < '0' || text[i] > '9')
            return {};
    const auto number = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    int ms = 0;
    if (text.size() > 14) {
        // A fraction of a second: ".sss" with one digit or more; nothing else may follow.
        if (text[14] != '.' || text.size() == 15)
            return {};
        int scale = 100;
        for (qsizetype i = 15; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9')
                return {};
            ms += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const QTime time(number(8, 2), number(10, 2), number(12, 2), ms);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

std::optional<RemoteEntry> ParseMachineListingLine(QByteArrayView line) {
    // The facts end at the first space; the name is everything after it, spaces included.
    const qsizetype space = line.indexOf(' ');
    if (space <= 0 || space + 1 >= line.size())
        return std::nullopt;
    RemoteEntry entry;
    entry.name = line.sliced(space + 1).toByteArray();
    if (entry.name.contains('/'))
        return std::nullopt;
    bool typed = false;
    for (QByteArrayView fact : QByteArrayView(line.first(space)).toByteArray().split(';')) {
        const qsizetype eq = fact.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = fact.first(eq).toByteArray().toLower();
        const QByteArrayView value = fact.sliced(eq + 1);
        if (key == "type") {
            const QByteArray type = value.toByteArray().toLower();
            if (type == "file")
                entry.isDirectory = false;
            else if (type == "dir")
                entry.isDirectory = true;
            else
                return std::nullopt; // cdir, pdir, links and devices
            typed = true;
        } else if (key == "size") {
            bool ok = false;
            const qint64 size = value.toByteArray().toLongLong(&ok);
            if (ok && size >= 0)
                entry.size = size;
        } else if (key == "modify") {
            entry.modified = ParseMachineTime(value);
            entry.time = entry.modified.isValid() ? RemoteEntry::Time::Exact : RemoteEntry::Time::None;
        }
    }
    if (!typed)
        return std::nullopt;
    entry.text = RemoteNameText(entry.name);
    return entry;
}

namespace {

int monthNumber(QByteArrayView word) {
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    if (word.size() != 3)
        return 0;
    const QByteArray lower = word.toByteArray().toLower();
    for (int i = 0; i < 12; ++i)
        if (lower == months[i])
            return i + 1;
    return 0;
}

} // namespace

void ReadListingDetails(QByteArrayView line, QDate today, RemoteEntry& entry) {
    if (line.isEmpty() || !QByteArrayView("-dl").contains(line[0]))
        return;
    // The size stands right before the month; owner and group may be one field or two.
    for (int n = 3; n <= 5; ++n) {
        const int month = monthNumber(tokenView(line, n + 1));
        const QByteArrayView size = tokenView(line, n);
        const QByteArrayView day = tokenView(line, n + 2);
        const QByteArrayView when = tokenView(line, n + 3);
        if (month == 0 || !allDigits(size) || !allDigits(day) || when.isEmpty())
            continue;
        entry.size = size.toByteArray().toLongLong();
        const int dayNumber = day.toByteArray().toInt();
        if (allDigits(when)) {
            const QDate date(when.toByteArray().toInt(), month, dayNumber);
            if (!date.isValid())
                return;
            entry.modified = QDateTime(date, QTime(0, 0), Qt::UTC);
            entry.time = RemoteEntry::Time::ServerDay;
            return;
        }
        const QTime time = QTime::fromString(QString::fromLatin1(when), QStringLiteral("H:mm"));
        if (!time.isValid())
            return;
        QDate date(today.year(), month, dayNumber);
        if (!date.isValid() || date > today.addDays(1))
            date = QDate(today.year() - 1, month, dayNumber);
        if (!date.isValid())
            return;
        entry.modified = QDateTime(date, time, Qt::UTC);
        entry.time = RemoteEntry::Time::ServerMinute;
        return;
    }
}
