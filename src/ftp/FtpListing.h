// The pure text rules of the FTP client: server type from a SYST reply, the PORT argument, the
// directory of a PWD reply, and the parsing of directory listings by server type.
#pragma once

#include <QString>

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

struct ListingEntry {
    bool isEntry = false;
    bool isDirectory = false;
    QString name;

    bool operator==(const ListingEntry&) const = default;
};

// Field n of a listing line: runs of spaces count as one, a field ends at a space; a line with
// fewer fields, or a wanted field with no space after it, gives the empty text.
QString ListingToken(const QString& line, int n);

// Parses one listing line. VMS servers wrap long names onto a line of their own; the name
// waits in vmsPendingLine until the next line arrives.
ListingEntry ParseListingLine(const QString& line, TFTPServerType type, QString& vmsPendingLine);

// The server family announced by a SYST reply (the whole reply line, code included).
TFTPServerType ServerTypeFromSyst(const QString& reply);

// "h1,h2,h3,h4,p1,p2" for a dotted IPv4 address and a port.
QString PortArgument(const QString& dottedAddress, std::uint16_t port);

// The directory a PWD reply names between its first two double quotes; empty without quotes.
QString DirectoryFromPwdReply(const QString& reply);
