// Fuzzes the FTP reply assembler with whatever a server might send on the control connection.
// Besides surviving any bytes, the replies must not depend on how the bytes were cut into
// reads, no reply may hold a CR LF, nothing kept may outgrow the longest line, and the PWD rule
// must stay within its bound on every reply.
#include "ftp/FtpListing.h"
#include "ftp/FtpReply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses how the rest is cut into reads.
    const size_t step = 1 + data[0] % 64;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));

    FtpReplyAssembler whole;
    const QList<FtpReply> expected = whole.feed(bytes);

    FtpReplyAssembler cut;
    QList<FtpReply> got;
    for (qsizetype pos = 0; pos < bytes.size(); pos += static_cast<qsizetype>(step)) {
        got += cut.feed(bytes.mid(pos, static_cast<qsizetype>(step)));
        if (cut.pendingSize() > FtpReplyAssembler::MaxLineLength)
            __builtin_trap();
    }
    if (got != expected || cut.pendingSize() != whole.pendingSize() ||
        cut.insideMultiLine() != whole.insideMultiLine())
        __builtin_trap();

    for (const FtpReply& reply : expected) {
        if (reply.text.isEmpty() || reply.text.contains(QStringLiteral("\r\n")) ||
            reply.text.size() > FtpReplyAssembler::MaxLineLength || reply.code.size() > 3)
            __builtin_trap();
        if (DirectoryFromPwdReply(reply.text).size() > 999)
            __builtin_trap();
    }
    return 0;
}
