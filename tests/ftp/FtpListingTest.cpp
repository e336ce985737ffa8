// Table tests of the FTP client's pure text rules: listing fields and lines, server types,
// the PORT argument and the PWD reply.
#include "ftp/FtpListing.h"
#include "ftp/Ftp.h"

#include <gtest/gtest.h>

namespace {

TEST(FtpListingToken, FieldsCountRunsOfSpacesAsOne) {
    struct Case {
        const char* line;
        int n;
        const char* expected;
    };
    const Case cases[] = {
        {"drwxr-xr-x   2 user  group  4096 Jan 1 images", 0, "drwxr-xr-x"},
        {"drwxr-xr-x   2 user  group  4096 Jan 1 images", 3, "group"},
        // The last field has no space after it: empty.
        {"drwxr-xr-x   2 user  group  4096 Jan 1 images", 7, ""},
        {"a b", 1, ""},
        {"a b ", 1, "b"},
        {"a b     ", 2, ""},
        {"a b", 5, ""},
        {"  lead", 0, ""},
        {"  lead x", 1, "lead"},
        {"", 0, ""},
        {"PROFILE  EXEC     A1 V", 1, "EXEC"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListingToken(QByteArrayView(c.line), c.n), QByteArray(c.expected))
            << c.line << " field " << c.n;
    }
}

struct LineCase {
    const char* line;
    TFTPServerType type;
    bool isEntry;
    bool isDirectory;
    const char* name;
};

void expectLines(std::initializer_list<LineCase> cases) {
    for (const LineCase& c : cases) {
        const ListingEntry got = ParseListingLine(QByteArrayView(c.line), c.type);
        EXPECT_EQ(got.isEntry, c.isEntry) << c.line;
        EXPECT_EQ(got.isDirectory, c.isDirectory) << c.line;
        EXPECT_EQ(got.name, QByteArray(c.isEntry ? c.name : "")) << c.line;
    }
}

TEST(FtpParseListingLine, UnixFamily) {
    expectLines({
        {"lrwxrwxrwx   1 user  users  11 Mar  1 10:00 www -> public_html", ftpstUNIX, true, true,
         "www"},
        {"drwxr-xr-x   2 user  users  4096 Mar  1 10:00 images", ftpstUNIX, true, true, "images"},
        {"-rw-r--r--   1 user  users  1234 Mar  1 10:00 index.html", ftpstDefault, true, false,
         "index.html"},
        {"frw-r--r--   1 user  users  1 Mar  1 10:00 f.txt", ftpstU5000, true, false, "f.txt"},
        {"total 12", ftpstUNIX, false, false, ""},
        // No space at all: no name to take, the line is skipped.
        {"-rw-r--r--", ftpstUNIX, false, false, ""},
        {"drwx", ftpstSINTFTPD, false, false, ""},
        {"", ftpstUNIX, false, false, ""},
    });
}

TEST(FtpParseListingLine, UnixNamesKeepTheirSpacesInBothDateForms) {
    expectLines({
        // Recent files carry the time, older ones the year.
        {"-rw-r--r--   1 webmaster staff      2048 Apr  8 12:34 my page.html", ftpstUNIX, true,
         false, "my page.html"},
        {"-rw-r--r--   1 webmaster staff      2048 Apr  8  1994 my page.html", ftpstUNIX, true,
         false, "my page.html"},
        {"drwxr-xr-x   3 webmaster staff      4096 Dec 31 23:59 old site", ftpstUNIX, true, true,
         "old site"},
        {"drwxr-xr-x   3 webmaster staff      4096 Jan  1  2001 old  site  2001", ftpstDefault,
         true, true, "old  site  2001"},
        {"-rw-r--r--   1 user     group         7 Sep 30 9:05 a b c d e.txt", ftpstULTRIX, true,
         false, "a b c d e.txt"},
        // Dates inside the name are part of it: the first date from the left is the real one.
        {"-rw-r--r--   1 user     group       100 Feb 29 2000 report Mar 3 10:00 final.doc",
         ftpstUNIX, true, false, "report Mar 3 10:00 final.doc"},
        // Month names in any case.
        {"-rw-r--r--   1 user     group       100 jun 05 08:00 lower month.txt", ftpstUNIX, true,
         false, "lower month.txt"},
        {"-rw-r--r--   1 user     group       100 OCT 05 08:00 upper month.txt", ftpstUNIX, true,
         false, "upper month.txt"},
        // A time with seconds and the year after it.
        {"-rw-r--r--   1 user     group       100 Apr  8 12:34:56 2021 full time.txt", ftpstUNIX,
         true, false, "full time.txt"},
        // ISO dates.
        {"-rw-r--r--   1 user     group       100 2024-04-08 12:34 iso name.txt", ftpstUNIX, true,
         false, "iso name.txt"},
        {"drwxr-xr-x   2 user     group      4096 2023-12-01 07:00:01 iso dir", ftpstUNIX, true,
         true, "iso dir"},
        // Marks after the permissions (ACLs, security labels) change nothing.
        {"-rw-r--r--+  1 user     group       100 Apr  8 12:34 acl file.txt", ftpstUNIX, true,
         false, "acl file.txt"},
        {"drwxr-xr-x.  2 user     group      4096 Apr  8 12:34 label dir", ftpstUNIX, true, true,
         "label dir"},
    });
}

TEST(FtpParseListingLine, UnixOwnersGroupsAndDayOrder) {
    expectLines({
        // Numeric owners and groups, as servers without user names show them.
        {"-rw-r--r--    1 1000     1000          512 Mar 14 15:09 numeric owner.txt", ftpstUNIX,
         true, false, "numeric owner.txt"},
        {"-rw-r--r--    1 0        0               5 Jan  9  2010 root owned", ftpstUNIX, true,
         false, "root owned"},
        {"drwxr-xr-x    2 0        12           4096 Jan  9 10:10 group 12 dir", ftpstUNIX, true,
         true, "group 12 dir"},
        // No group column.
        {"-rw-r--r--   1 owner     1234 Apr  8 12:34 no group.txt", ftpstUNIX, true, false,
         "no group.txt"},
        {"drwxr-xr-x   1 owner     0 Apr  8  1999 no group dir", ftpstUNIX, true, true,
         "no group dir"},
        // No link count either.
        {"-rw-r--r-- owner group 77 Nov 11 11:11 no links.txt", ftpstUNIX, true, false,
         "no links.txt"},
        {"-rw-r--r-- owner 77 Nov 11 11:11 bare owner.txt", ftpstUNIX, true, false,
         "bare owner.txt"},
        // The day before the month.
        {"-rw-r--r--   1 user group   3000 8 Apr 12:34 day first.html", ftpstUNIX, true, false,
         "day first.html"},
        {"drwxr-xr-x   1 user group      0 31 Dec  2005 day first dir", ftpstUNIX, true, true,
         "day first dir"},
        // An owner called like a month does not pass for the date.
        {"-rw-r--r--   1 jan   may        42 Jun  1 10:00 people.txt", ftpstUNIX, true, false,
         "people.txt"},
    });
}

TEST(FtpParseListingLine, UnixLeadingAndTrailingSpacesBelongToTheName) {
    expectLines({
        // One space separates the time from the name; more are the name's own.
        {"-rw-r--r--   1 user group 1 Apr  8 12:34   two leading.txt", ftpstUNIX, true, false,
         "  two leading.txt"},
        {"-rw-r--r--   1 user group 1 Apr  8 12:34 trailing.htm   ", ftpstUNIX, true, false,
         "trailing.htm   "},
        {"-rw-r--r--   1 user group 1 Apr  8  1994  both  ", ftpstUNIX, true, false, " both  "},
        // Only blanks after the date: padding, no name.
        {"-rw-r--r--   1 user group 1 Apr  8 12:34    ", ftpstUNIX, false, false, ""},
        {"-rw-r--r--   1 user group 1 Apr  8 12:34 ", ftpstUNIX, false, false, ""},
        {"-rw-r--r--   1 user group 1 Apr  8 12:34", ftpstUNIX, false, false, ""},
    });
}

TEST(FtpParseListingLine, UnixLinesWithoutADateFallBackToTheLastField) {
    expectLines({
        // Fields that cannot be told apart: the name is the last field, blanks stripped.
        {"-rw-r--r-- 1 u g 5 Jan 1 a.txt", ftpstUNIX, true, false, "a.txt"},
        {"drwxr-xr-x 2 u g 5 Jan 1 last", ftpstDefault, true, true, "last"},
        {"drwxr-xr-x Apr 8 12:34 dir", ftpstUNIX, true, true, "dir"},
        {"lrwxrwxrwx 1 u g 5 sometime link -> target", ftpstUNIX, true, true, "link"},
        // Other file kinds are no entries, dated or not.
        {"crw-rw-rw-   1 root  root   1,   3 Apr  8 12:34 null", ftpstUNIX, false, false, ""},
        {"brw-rw----   1 root  disk   8,   0 Apr  8 12:34 sda", ftpstUNIX, false, false, ""},
        {"prw-r--r--   1 user  group       0 Apr  8 12:34 fifo", ftpstUNIX, false, false, ""},
    });
}

// Whatever the server's language and date style, the name is what follows the columns:
// permissions, link count, owner, group, size, then the date up to its time or year. Taking
// the last word instead would make "my page.html" into "page.html", and Delete would act on
// another file.
TEST(FtpParseListingLine, UnixDatesInAnyFormKeepNamesWhole) {
    expectLines({
        // Numeric month and day, apart or in one field.
        {"-rw-r--r--   1 user group   2048 04 08 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 4 8 2019 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 04-08 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 04/08 2019 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        // Dotted and slashed dates, with and without a time.
        {"-rw-r--r--   1 user group   2048 08.04.2024 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 2024.04.08 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 08/04/2024 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"drwxr-xr-x   2 user group   4096 2024/04/08 12:34:56 my site", ftpstUNIX, true, true,
         "my site"},
        // Month names of other languages, before or after the day, with their dots.
        {"-rw-r--r--   1 user group   2048 Mär  8 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 avr.  8  2019 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 8 févr. 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 8. Okt. 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 окт  8 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 13 Foo 12:34 odd date   ", ftpstUNIX, true, false,
         "odd date   "},
        // Asian date characters.
        {"-rw-r--r--   1 user group   2048  4月  8 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048  4月  8日 2019 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 4월 8일 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 2024年4月8日 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 user group   2048 4月8日 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        // A weekday first, and the full time with its fraction and zone.
        {"-rw-r--r--   1 user group   2048 Tue Apr  8 12:34:56 2024 my page.html", ftpstUNIX, true,
         false, "my page.html"},
        {"-rw-r--r--   1 user group   2048 2024-04-08 12:34:56.000000000 +0200 my page.html",
         ftpstUNIX, true, false, "my page.html"},
        // Owners, groups and sizes that look like years or days do not pass for the date.
        {"-rw-r--r--   1 1000 1000   2048 04 08 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 1000 staff  2019 4 8 2020 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 1000 12     2048 Mär 8 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        {"-rw-r--r--   1 500 Domain Users 2019 Apr 8 12:34 my page.html", ftpstUNIX, true, false,
         "my page.html"},
        // No size column: the last word is all there is to go by.
        {"-rw-r--r-- user group page one.html", ftpstUNIX, true, false, "one.html"},
    });
}

TEST(FtpParseListingLine, LinksGiveTheNameBeforeTheArrow) {
    expectLines({
        {"lrwxrwxrwx   1 user group 11 Mar  1 10:00 my link -> some target", ftpstUNIX, true, true,
         "my link"},
        {"lrwxrwxrwx   1 user group 11 Mar  1  2010 up -> ../a -> b", ftpstUNIX, true, true, "up"},
        // "->" without the spaces around it is part of the name.
        {"lrwxrwxrwx   1 user group 11 Mar  1 10:00 a->b -> c", ftpstUNIX, true, true, "a->b"},
        {"-rw-r--r--   1 user group 11 Mar  1 10:00 from->to.txt", ftpstUNIX, true, false,
         "from->to.txt"},
        // Only links have targets: a file may be called "x -> y".
        {"-rw-r--r--   1 user group 11 Mar  1 10:00 x -> y", ftpstUNIX, true, false, "x -> y"},
        // A link listed without its target.
        {"lrwxrwxrwx   1 user group 11 Mar  1 10:00 bare link", ftpstUNIX, true, true, "bare link"},
    });
}

TEST(FtpParseListingLine, DosLinesWhateverTheServerType) {
    for (TFTPServerType type :
         {ftpstDefault, ftpstUNIX, ftpstVmsUcx, ftpstVM, ftpstMVS, ftpstNCSA, ftpstChameleon}) {
        SCOPED_TRACE(type);
        expectLines({
            {"04-08-94  02:34PM       <DIR>          my folder", type, true, true, "my folder"},
            {"04-08-94  09:15AM                12345 my page.html", type, true, false,
             "my page.html"},
            {"12-31-1999  11:59PM       <DIR>          y2k", type, true, true, "y2k"},
            {"01-01-2000  12:00AM                    0 empty  file.txt", type, true, false,
             "empty  file.txt"},
            {"03-05-21  1:07pm  <dir>  lower case", type, true, true, "lower case"},
            {"2024-04-08  14:34       <DIR>          iso dir", type, true, true, "iso dir"},
            {"04/08/2024  14:34               1,024 slashed.txt   ", type, true, false,
             "slashed.txt"},
            {"04-08-94  02:34PM       <DIR>", type, false, false, ""},
        });
    }
}

TEST(FtpParseListingLine, DosLookalikesAreNotTakenForDosLines) {
    expectLines({
        // Month 13, hour 25, a 13 o'clock PM and no size: these are not MS-DOS lines, and on a
        // Unix server lines that begin with a digit are no entries.
        {"13-01-94  02:34PM  <DIR>  nope", ftpstUNIX, false, false, ""},
        {"04-08-94  25:34  <DIR>  nope", ftpstUNIX, false, false, ""},
        {"04-08-94  13:34PM  <DIR>  nope", ftpstUNIX, false, false, ""},
        {"04-08-94  02:34PM  big  nope", ftpstUNIX, false, false, ""},
        {"04-08  02:34PM  <DIR>  nope", ftpstUNIX, false, false, ""},
    });
}

TEST(FtpParseListingLine, NamesStayTheServersBytes) {
    expectLines({
        // Latin-1 and UTF-8 names, and bytes no character set makes sense of.
        {"-rw-r--r--   1 user group 5 Apr  8 12:34 caf\xe9 menu.html", ftpstUNIX, true, false,
         "caf\xe9 menu.html"},
        {"-rw-r--r--   1 user group 5 Apr  8 12:34 caf\xc3\xa9 menu.html", ftpstUNIX, true, false,
         "caf\xc3\xa9 menu.html"},
        {"drwxr-xr-x   1 user group 5 Apr  8 12:34 \x93\xfa\x96\x7b", ftpstUNIX, true, true,
         "\x93\xfa\x96\x7b"},
        {"04-08-94  02:34PM  123 \xc4rger \xfc.txt", ftpstDefault, true, false,
         "\xc4rger \xfc.txt"},
        {"-rw-r--r--   1 us\xe9r gr\xfcp 5 Apr  8 12:34 owner bytes", ftpstUNIX, true, false,
         "owner bytes"},
    });
}

TEST(FtpRemoteNameText, Utf8WhenValidElseLatin1) {
    EXPECT_EQ(RemoteNameText("caf\xc3\xa9"), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(RemoteNameText("caf\xe9"), QStringLiteral("caf\u00e9"));
    // Shift-JIS bytes are no valid UTF-8: shown as Latin-1, one character per byte.
    EXPECT_EQ(RemoteNameText("\x93\xfa\x96\x7b"), QStringLiteral("\u0093\u00fa\u0096{"));
    // A UTF-8 sequence cut short is not valid either.
    EXPECT_EQ(RemoteNameText("ab\xc3"), QStringLiteral("ab\u00c3"));
    EXPECT_EQ(RemoteNameText("plain"), QStringLiteral("plain"));
    EXPECT_EQ(RemoteNameText(QByteArray()), QString());
}

TEST(FtpParseListingLine, VmsWithWrappedNames) {
    expectLines({
        {"Directory DISK$USER:[WEB]", ftpstVmsMultinet, false, false, ""},
        {"INDEX.HTML;3        4/8   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)", ftpstVmsMultinet,
         true, false, "INDEX.HTML"},
        {"IMAGES.DIR;1        1/3   1-JAN-2000 10:00 [WEB] (RWE,RWE,RE,RE)", ftpstVmsUcx, true,
         true, "IMAGES"},
        // The name alone on its line is the entry; its details on the next line are none.
        {"A_VERY_LONG_FILE_NAME_FOR_THE_COLUMN.HTML;12", ftpstVmsMultinet, true, false,
         "A_VERY_LONG_FILE_NAME_FOR_THE_COLUMN.HTML"},
        {"                    9/9   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)", ftpstVmsMultinet,
         false, false, ""},
        {"LONG_DIRECTORY_NAME_THAT_WRAPS.DIR;1   ", ftpstVmsUcx, true, true,
         "LONG_DIRECTORY_NAME_THAT_WRAPS"},
        {"   1/3   1-JAN-2000 10:00 [WEB] (RWE,RWE,RE,RE)", ftpstVmsUcx, false, false, ""},
        {"Total of 4 files, 23/27 blocks.", ftpstVmsUcx, false, false, ""},
        // Only the ".DIR" type makes a directory.
        {"A.DIRTY;1   1/3  1-JAN-2000", ftpstVmsUcx, true, false, "A.DIRTY"},
        {"SUB.dir;1   1/3  1-JAN-2000", ftpstVmsUcx, true, true, "SUB"},
        {".DIR;1   1/3  1-JAN-2000", ftpstVmsUcx, false, false, ""},
        {";1   1/3  1-JAN-2000", ftpstVmsUcx, false, false, ""},
        {"NOVERSION.TXT  1/3  [X;Y]", ftpstVmsUcx, false, false, ""},
    });
}

TEST(FtpParseListingLine, VmsBrokenLinesNeitherJoinNorSwallowTheListing) {
    expectLines({
        // A stray blank in front of a name does not hide it.
        {" STRAY.TXT;1        1/3   1-JAN-2000 10:00 [WEB] (RWED)", ftpstVmsMultinet, true, false,
         "STRAY.TXT"},
        {"NEXT.TXT;1        1/3   1-JAN-2000 10:00 [WEB] (RWED)", ftpstVmsMultinet, true, false,
         "NEXT.TXT"},
        // Two names alone in a row: the second is no continuation of the first.
        {"FIRST_ALONE.TXT;1", ftpstVmsMultinet, true, false, "FIRST_ALONE.TXT"},
        {"SECOND_ALONE.TXT;1", ftpstVmsMultinet, true, false, "SECOND_ALONE.TXT"},
        {"   1/3   1-JAN-2000", ftpstVmsMultinet, false, false, ""},
        // A blank-led line right after a details line, with a name of its own.
        {"   AFTER.TXT;2   1/3   1-JAN-2000", ftpstVmsMultinet, true, false, "AFTER.TXT"},
        // A name alone followed by a full line: both are entries.
        {"THIRD_ALONE.TXT;1", ftpstVmsMultinet, true, false, "THIRD_ALONE.TXT"},
        {"FULL.TXT;1        1/3   1-JAN-2000 10:00 [WEB] (RWED)", ftpstVmsMultinet, true, false,
         "FULL.TXT"},
        // Details lines with no name before them, and blank lines.
        {"                    9/9   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)", ftpstVmsUcx, false,
         false, ""},
        {"", ftpstVmsUcx, false, false, ""},
        {"      ", ftpstVmsUcx, false, false, ""},
    });
}

TEST(FtpParseListingLine, VmsListingOfStrayBlanksGivesEveryName) {
    // Each line blank-led with a ";": once the kind of listing that joined every line to the
    // next. Every name comes out, each on its own.
    int entries = 0;
    for (int i = 0; i < 1000; ++i) {
        const QByteArray line = " STRAY" + QByteArray::number(i) + ".TXT;1";
        const ListingEntry e = ParseListingLine(line, ftpstVmsUcx);
        entries += e.name == "STRAY" + QByteArray::number(i) + ".TXT" ? 1 : 0;
    }
    EXPECT_EQ(entries, 1000);
    const QByteArray huge = QByteArray(100000, 'N') + ";1";
    EXPECT_EQ(ParseListingLine(huge, ftpstVmsUcx).name, QByteArray(100000, 'N'));
}

TEST(FtpParseListingLine, VmAndVmVps) {
    expectLines({
        {"PROFILE  EXEC     A1 V         80          5          1  1/01/00 10:00:00", ftpstVM, true,
         false, "PROFILE.EXEC"},
        {"INDEX    HTML     A1 F 80 1 1 1/01/00", ftpstVM, true, false, "INDEX.HTML"},
        {"LONELY", ftpstVM, false, false, ""},
        {"PAGE   HTML   FB  80  12  2", ftpstVMVPS, true, false, ".HTML"},
        {"FILENAME  FILETYPE  =  x", ftpstVMVPS, false, false, ""},
        {"   totals: 3 files", ftpstVMVPS, false, false, ""},
        {"  12 rf trks used", ftpstVMVPS, false, false, ""},
        {"track limit 400", ftpstVMVPS, false, false, ""},
    });
}

TEST(FtpParseListingLine, OtherServerTypesGiveNoEntries) {
    for (TFTPServerType t : {ftpstAutoDetect, ftpstMVS, ftpstMacFtpd, ftpstClix, ftpstQVT,
                             ftpstNCSA, ftpstChameleon}) {
        EXPECT_FALSE(ParseListingLine("-rw-r--r-- 1 u g 1 Jan 1 a.txt", t).isEntry) << t;
    }
}

TEST(FtpServerType, FromSystReply) {
    struct Case {
        const char* reply;
        TFTPServerType type;
    };
    const Case cases[] = {
        {"215 UNIX Type: L8", ftpstUNIX},
        {"215 VMS MultiNet V4.3", ftpstVmsMultinet},
        {"215 VMS", ftpstVmsUcx},
        {"500 SYST not understood", ftpstDefault},
        {"502 UNIX", ftpstDefault},
        {"215 Windows_NT", ftpstDefault},
        {"215 ULTRIX", ftpstULTRIX}, // contains no "UNIX"; ULTRIX alone
        {"215 UNIX CLIX", ftpstClix},
        {"215 MVS is the operating system of this server", ftpstMVS},
        {"215 QVT/Net", ftpstQVT},
        {"215 NCSA Telnet", ftpstNCSA},
        {"215 NetManage Chameleon", ftpstChameleon},
        {"215 VM is the operating system of this server", ftpstVM},
        {"215 VM/VPS", ftpstVMVPS},
        {"215 UNIX emulated by VM", ftpstVM}, // the VM test comes last and wins
        {"215 unix lower case", ftpstUNIX},
        {"215", ftpstDefault},
        {"UNIX", ftpstDefault}, // the text is read from the fifth character on
    };
    for (const Case& c : cases)
        EXPECT_EQ(ServerTypeFromSyst(QString::fromLatin1(c.reply)), c.type) << c.reply;
}

TEST(FtpServerType, OnlyCharactersFiveTo103AreRead) {
    const QString pad(99, QLatin1Char('x'));
    EXPECT_EQ(ServerTypeFromSyst(QStringLiteral("215 ") + pad.left(95) + QStringLiteral("UNIX")),
              ftpstUNIX);
    EXPECT_EQ(ServerTypeFromSyst(QStringLiteral("215 ") + pad.left(96) + QStringLiteral("UNIX")),
              ftpstDefault);
}

TEST(FtpPortArgument, AddressAndPortBytes) {
    EXPECT_EQ(PortArgument(QStringLiteral("10.0.0.5"), 1027), QStringLiteral("10,0,0,5,4,3"));
    EXPECT_EQ(PortArgument(QStringLiteral("127.0.0.1"), 65535),
              QStringLiteral("127,0,0,1,255,255"));
    EXPECT_EQ(PortArgument(QStringLiteral("192.168.1.20"), 256),
              QStringLiteral("192,168,1,20,1,0"));
}

TEST(FtpPwdReply, DirectoryBetweenQuotes) {
    EXPECT_EQ(DirectoryFromPwdReply(QStringLiteral("257 \"/home/user\" is current directory")),
              QStringLiteral("/home/user"));
    EXPECT_EQ(DirectoryFromPwdReply(QStringLiteral("257 /home/user")), QString());
    EXPECT_EQ(DirectoryFromPwdReply(QStringLiteral("257 \"\"")), QString());
    EXPECT_EQ(DirectoryFromPwdReply(QStringLiteral("257 \"/open")), QStringLiteral("/open"));
    const QString longName(1500, QLatin1Char('d'));
    EXPECT_EQ(DirectoryFromPwdReply(QStringLiteral("257 \"") + longName + QLatin1Char('"')).size(),
              999);
}

TEST(FtpErrorTable, SocketErrorsMapToFtpErrors) {
    const std::pair<int, FtpError> cases[] = {
        {10093, FtpError::WinsockNotStarted},
        {10050, FtpError::NetworkDown},
        {10013, FtpError::InvalidAddress},
        {10022, FtpError::Internal},
        {10038, FtpError::Internal},
        {10048, FtpError::Internal},
        {10055, FtpError::GeneralSocket},
        {10053, FtpError::ConnectionAborted},
        {10054, FtpError::ConnectionReset},
        {10060, FtpError::TimeOut},
        {10024, FtpError::OutOfSockets},
        {10051, FtpError::NetworkUnreachable},
        {10049, FtpError::AddressNotAvailable},
        {10061, FtpError::ConnectionRefused},
        {11001, FtpError::HostLookup},
        {11004, FtpError::HostLookup},
        {10065, FtpError::HostUnreachable},
        {10000, FtpError::OtherSocket},
    };
    for (const auto& [socketError, ftpError] : cases)
        EXPECT_EQ(FtpErrorFromSocketError(socketError), ftpError) << socketError;
}

} // namespace
