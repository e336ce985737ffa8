// Listing parse time against plain line splitting, for 200,000-line listings of each server
// style the client reads and for listings built to be hard (stray blanks before VMS names,
// long lines without a date, names full of dates). Both passes cut the same text into lines the
// way the engine does; the parse pass also runs ParseListingLine on each. The goal is a ratio
// of at most 3: parsing must stay linear in the listing's size whatever the server sends.
// Usage: ftp_listing_bench [lines]   (default 200000)
#include "ftp/FtpListing.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

QByteArray build(qsizetype lines, const std::function<QByteArray(qsizetype)>& line) {
    QByteArray text;
    for (qsizetype i = 0; i < lines; ++i) {
        text += line(i);
        text += kCrLf;
    }
    return text;
}

QByteArray number(qsizetype i) {
    return QByteArray::number(static_cast<qlonglong>(i));
}

QByteArray unixLine(qsizetype i) {
    switch (i % 5) {
    case 0:
        return "-rw-r--r--   1 webmaster staff   " + number(i * 37 % 99999) +
               " Apr  8 12:34 my page " + number(i) + ".html";
    case 1:
        return "drwxr-xr-x   2 1000     1000      4096 Dec 31  1999 old site " + number(i);
    case 2:
        return "lrwxrwxrwx   1 owner            11 Mar  1 10:00 link " + number(i) + " -> target";
    case 3:
        return "-rw-r--r--   1 user group   3000 8 Apr 12:34 caf\xe9 " + number(i) + ".txt";
    default:
        return "-rw-r--r--   1 user     group       100 2024-04-08 12:34 iso " + number(i);
    }
}

QByteArray dosLine(qsizetype i) {
    if (i % 3 == 0)
        return "04-08-94  02:34PM       <DIR>          my folder " + number(i);
    return "04-08-1994  11:05AM             " + number(i * 13 % 999999) + " my page " + number(i) +
           ".html";
}

QByteArray vmsLine(qsizetype i) {
    if (i % 4 == 0)
        return "A_VERY_LONG_NAME_THAT_WRAPS_" + number(i) + ".HTML;12";
    if (i % 4 == 1)
        return "                    9/9   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)";
    if (i % 4 == 2)
        return "IMAGES" + number(i) + ".DIR;1        1/3   1-JAN-2000 10:00 [WEB] (RWE,RWE,RE,RE)";
    return "INDEX" + number(i) + ".HTML;3        4/8   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)";
}

QByteArray vmLine(qsizetype i) {
    return "PAGE" + number(i) +
           "  HTML     A1 V         80          5          1  1/01/00 10:00:00";
}

QByteArray vmsStrayBlankLine(qsizetype i) {
    // Every line blank-led and with a ";": the kind of listing that once joined each line
    // to the next.
    return " STRAY" + number(i) + ".TXT;1";
}

QByteArray longNoDateLine(qsizetype i) {
    // 4 KB of short fields and no date: the search for one looks at every field.
    QByteArray line = "-rw-r--r-- 1 u g 5 ";
    while (line.size() < 4096)
        line += "12 Apr 12 ";
    return line + number(i);
}

QByteArray datesInNameLine(qsizetype i) {
    QByteArray line = "-rw-r--r--   1 user group 100 Apr  8 12:34 ";
    for (int k = 0; k < 40; ++k)
        line += "Apr 8 12:34 ";
    return line + number(i);
}

struct Timing {
    double splitMs;
    double parseMs;
    qsizetype entries;
};

// One pass over the text: each line cut out as the engine cuts it, parsed when asked.
Timing timeOnce(const QByteArray& text, TFTPServerType type) {
    Timing t{0, 0, 0};
    qsizetype sink = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const bool parse = pass == 1;
        qsizetype entries = 0;
        QElapsedTimer clock;
        clock.start();
        qsizetype pos = 0;
        qsizetype end;
        while ((end = text.indexOf(kCrLf, pos)) >= 0) {
            const QByteArray line = text.mid(pos, end - pos);
            pos = end + 2;
            sink += line.size();
            if (parse) {
                const ListingEntry e = ParseListingLine(line, type);
                entries += e.isEntry ? 1 : 0;
                sink += e.name.size();
            }
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        (parse ? t.parseMs : t.splitMs) = ms;
        if (parse)
            t.entries = entries;
    }
    if (sink == -1)
        std::printf("unreachable\n");
    return t;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const qsizetype lines = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200000;
    struct Kind {
        const char* name;
        TFTPServerType type;
        std::function<QByteArray(qsizetype)> line;
        qsizetype lines;
    };
    // The long-line listing is cut to keep its size near the others'.
    const std::vector<Kind> kinds = {
        {"unix", ftpstUNIX, unixLine, lines},
        {"dos", ftpstDefault, dosLine, lines},
        {"vms", ftpstVmsMultinet, vmsLine, lines},
        {"vm", ftpstVM, vmLine, lines},
        {"vmvps", ftpstVMVPS, vmLine, lines},
        {"vms-stray-blanks", ftpstVmsUcx, vmsStrayBlankLine, lines},
        {"unix-dates-in-names", ftpstUNIX, datesInNameLine, lines / 4},
        {"unix-4k-lines-no-date", ftpstUNIX, longNoDateLine, lines / 40},
    };
    constexpr int Rounds = 5;
    bool met = true;
    std::printf("ParseListingLine against line splitting, median of %d rounds\n", Rounds);
    for (const Kind& kind : kinds) {
        const QByteArray text = build(kind.lines, kind.line);
        std::vector<double> ratios, splits, parses;
        qsizetype entries = 0;
        for (int round = 0; round < Rounds; ++round) {
            const Timing t = timeOnce(text, kind.type);
            splits.push_back(t.splitMs);
            parses.push_back(t.parseMs);
            ratios.push_back(t.parseMs / t.splitMs);
            entries = t.entries;
        }
        const double ratio = median(ratios);
        met = met && ratio <= 3.0;
        std::printf("%-22s %7lld lines %6.1f MB %6lld entries  split %7.1f ms  parse %7.1f ms\n",
                    kind.name, static_cast<long long>(kind.lines), text.size() / 1048576.0,
                    static_cast<long long>(entries), median(splits), median(parses));
        std::printf("ratio parse/split %s: %.2f\n", kind.name, ratio);
    }
    std::printf("goal ratio <= 3: %s\n", met ? "met" : "missed");
    return 0;
}
