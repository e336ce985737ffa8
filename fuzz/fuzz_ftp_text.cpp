// Fuzzes the FTP client's text rules with whatever a server might send: every line of the input
// goes through the listing parser of every server family, the SYST rules, the PWD rule and the
// PASV and EPSV rules.
// Nothing may crash or hang, and no entry may come out without a name.
#include "ftp/FtpListing.h"

#include <QList>
#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> lines = bytes.split('\n');
    for (int type = ftpstDefault; type <= ftpstVMVPS; ++type) {
        for (QByteArray line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            const ListingEntry e = ParseListingLine(line, static_cast<TFTPServerType>(type));
            if (e.isEntry && e.name.isEmpty())
                __builtin_trap();
            if (!e.isEntry && !e.name.isEmpty())
                __builtin_trap();
        }
    }
    const QStringList textLines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    for (const QString& line : textLines) {
        const int t = ServerTypeFromSyst(line);
        if (t < ftpstDefault || t > ftpstVMVPS)
            __builtin_trap();
        DirectoryFromPwdReply(line);
        const PassiveTarget target = PassiveTargetFromPasvReply(line);
        if (target.port != 0 && target.address.count(QLatin1Char('.')) != 3)
            __builtin_trap();
        PortFromEpsvReply(line);
    }
    for (const QByteArray& line : lines) {
        for (int n = 0; n < 4; ++n)
            ListingToken(line, n);
        if (RemoteNameText(line).isEmpty() != line.isEmpty())
            __builtin_trap();
    }
    return 0;
}
