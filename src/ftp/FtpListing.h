// The pure text rules of the FTP client: server type from a SYST reply, the PORT argument, the
// directory of a PWD reply, and the parsing of directory listings by server type.
#pragma once

#include "remote/RemoteEvent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>

#include <cstdint>

// The server families the listing parser knows, in their stored order (value 0 first).
enum TFTPServerType : int {
    ftpstDefault,
    ftpstAutoDetect,
    ftpstUNIX,
    ftpstULTRIX,
    ftpstU5000,
    ftpstSINTFTPD,
    ftpstVmsMultinet,
    ftpstVmsUcx,
    ftpstMVS,
    ftpstMacFtpd,
    ftpstClix,
    ftpstQVT,
    ftpstNCSA,
    ftpstChameleon,
    ftpstVM,
    ftpstVMVPS,
};

// One line of a listing. The name is kept as the bytes the server sent: it goes back in CWD,
// RMD, DELE and RNFR exactly so, whatever character set the server's file system uses.
struct ListingEntry {
    bool isEntry = false;
    bool isDirectory = false;
    QByteArray name;

    bool operator==(const ListingEntry&) const = default;
};

// How a name (or a whole line) the server sent is shown: as UTF-8 when its bytes are valid
// UTF-8, else as Latin-1, so that every byte shows as some character and none is lost.
QString RemoteNameText(const QByteArray& bytes);

// Field n of a listing line: runs of spaces count as one, a field ends at a space; a line with
// fewer fields, or a wanted field with no space after it, gives the empty text.
QByteArray ListingToken(QByteArrayView line, int n);

// Parses one listing line (without its CR LF). Each line stands on its own: where VMS servers
// wrap a long name onto a line of its own, that line is the entry and the details line after
// it is none.
ListingEntry ParseListingLine(QByteArrayView line, TFTPServerType type);

// The server family announced by a SYST reply (the whole reply line, code included).
TFTPServerType ServerTypeFromSyst(const QString& reply);

// "h1,h2,h3,h4,p1,p2" for a dotted IPv4 address and a port.
QString PortArgument(const QString& dottedAddress, std::uint16_t port);

// The directory a PWD reply names between its first two double quotes; empty without quotes.
QString DirectoryFromPwdReply(const QString& reply);

// Where a PASV reply ("227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)") asks the client to
// connect: the dotted address and the port; port 0 when the reply holds no six numbers of 0 to
// 255 joined by commas, or names port 0.
struct PassiveTarget {
    QString address;
    std::uint16_t port = 0;
};
PassiveTarget PassiveTargetFromPasvReply(const QString& reply);

// The port of an EPSV reply ("229 Entering Extended Passive Mode (|||port|)"); 0 when the
// reply holds none.
std::uint16_t PortFromEpsvReply(const QString& reply);

// A time of MLSD facts and MDTM replies: "YYYYMMDDHHMMSS", perhaps with a fraction, in UTC.
// Invalid when the text is not such a time.
QDateTime ParseMachineTime(QByteArrayView text);

// One line of an MLSD listing ("type=file;size=120;modify=20240501123000; index.html"). Entries
// of the folder itself and its parent (cdir, pdir) and of other types give nothing.
std::optional<RemoteEntry> ParseMachineListingLine(QByteArrayView line);

// The size and time of a Unix-style LIST line ("-rw-r--r-- 1 u g 120 May  1 12:30 index.html"),
// as the server's wall clock: a recent file's minute, an older one's day ("May  1  2023").
// today is the server's date as near as it is known: a minute-time without a year is taken in
// the year that puts it at most a day after today. Lines of other styles leave entry as it is.
void ReadListingDetails(QByteArrayView line, QDate today, RemoteEntry& entry);
