// Fuzzes the FTP client's text rules with whatever a server might send: every line of the input
// goes through the listing parser of every server family (with the wrapped-line state carried
// along, as in a real listing), the SYST rules and the PWD rule. Nothing may crash or hang.
#include "ftp/FtpListing.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (int type = ftpstDefault; type <= ftpstVMVPS; ++type) {
        QString pending;
        for (const QString& line : lines) {
            ParseListingLine(line, static_cast<TFTPServerType>(type), pending);
        }
    }
    for (const QString& line : lines) {
        const int t = ServerTypeFromSyst(line);
        if (t < ftpstDefault || t > ftpstVMVPS)
            __builtin_trap();
        DirectoryFromPwdReply(line);
        for (int n = 0; n < 4; ++n)
            ListingToken(line, n);
    }
    return 0;
}
