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
        {"a b", 5, ""},
        {"  lead", 0, ""},
        {"  lead x", 1, "lead"},
        {"", 0, ""},
        {"PROFILE  EXEC     A1 V", 1, "EXEC"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListingToken(QString::fromLatin1(c.line), c.n), QString::fromLatin1(c.expected))
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
    QString pending;
    for (const LineCase& c : cases) {
        const ListingEntry got = ParseListingLine(QString::fromLatin1(c.line), c.type, pending);
        const ListingEntry want{c.isEntry, c.isDirectory,
                                c.isEntry ? QString::fromLatin1(c.name) : QString()};
        EXPECT_EQ(got.isEntry, want.isEntry) << c.line;
        EXPECT_EQ(got.isDirectory, want.isDirectory) << c.line;
        EXPECT_EQ(got.name, want.name) << c.line;
    }
}

TEST(FtpParseListingLine, UnixFamily) {
    expectLines({
        {"lrwxrwxrwx   1 user  users  11 Mar  1 10:00 www -> public_html", ftpstUNIX, true, true,
         "www"},
        {"drwxr-xr-x   2 user  users  4096 Mar  1 10:00 images", ftpstUNIX, true, true, "images"},
        {"-rw-r--r--   1 user  users  1234 Mar  1 10:00 index.html", ftpstDefault, true, false,
         "index.html"},
        {"-rw-r--r--   1 user  users  1234 Mar  1 10:00 trailing.htm   ", ftpstULTRIX, true, false,
         "trailing.htm"},
        {"frw-r--r--   1 user  users  1 Mar  1 10:00 f.txt", ftpstU5000, true, false, "f.txt"},
        {"total 12", ftpstUNIX, false, false, ""},
        // No space at all: no name to take, the line is skipped.
        {"-rw-r--r--", ftpstUNIX, false, false, ""},
        {"drwx", ftpstSINTFTPD, false, false, ""},
        {"", ftpstUNIX, false, false, ""},
    });
}

TEST(FtpParseListingLine, VmsWithWrappedNames) {
    expectLines({
        {"Directory DISK$USER:[WEB]", ftpstVmsMultinet, false, false, ""},
        {"INDEX.HTML;3        4/8   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)", ftpstVmsMultinet,
         true, false, "INDEX.HTML"},
        {"IMAGES.DIR;1        1/3   1-JAN-2000 10:00 [WEB] (RWE,RWE,RE,RE)", ftpstVmsUcx, true,
         true, "IMAGES"},
        // The name alone on its line; its details follow on the next one.
        {"A_VERY_LONG_FILE_NAME_FOR_THE_COLUMN.HTML;12", ftpstVmsMultinet, false, false, ""},
        {"                    9/9   1-JAN-2000 10:00 [WEB] (RWED,RWED,RE,RE)", ftpstVmsMultinet,
         true, false, "A_VERY_LONG_FILE_NAME_FOR_THE_COLUMN.HTML"},
        {"LONG_DIRECTORY_NAME_THAT_WRAPS.DIR;1", ftpstVmsUcx, false, false, ""},
        {"   1/3   1-JAN-2000 10:00 [WEB] (RWE,RWE,RE,RE)", ftpstVmsUcx, true, true,
         "LONG_DIRECTORY_NAME_THAT_WRAPS"},
        {"Total of 4 files, 23/27 blocks.", ftpstVmsUcx, false, false, ""},
    });
}

TEST(FtpParseListingLine, VmsPendingLineIsClearedByALineWithoutSemicolon) {
    QString pending;
    ParseListingLine(QStringLiteral("WRAPPED.TXT;1"), ftpstVmsMultinet, pending);
    EXPECT_EQ(pending, QStringLiteral("WRAPPED.TXT;1"));
    // Joined with the pending name the line has a ";" and a first field: an entry.
    const ListingEntry e = ParseListingLine(QStringLiteral(" 1/3 x"), ftpstVmsMultinet, pending);
    EXPECT_EQ(e.name, QStringLiteral("WRAPPED.TXT"));
    EXPECT_TRUE(pending.isEmpty());
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
        QString pending;
        EXPECT_FALSE(
            ParseListingLine(QStringLiteral("-rw-r--r-- 1 u g 1 Jan 1 a.txt"), t, pending).isEntry)
            << t;
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
