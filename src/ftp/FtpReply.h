// The FTP reply assembler: bytes of the control connection in, complete replies out. Pure (no
// sockets, no clock), so it is tested with tables and fuzzed with whatever a server may send.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One complete reply: the line that ends it (a one-line reply is its own end line).
struct FtpReply {
    QByteArray code; // the first three bytes of the end line (fewer when the line is shorter)
    QString text;    // the end line, without its CR LF

    // The reply class: the first character, '1' to '5' from a sound server.
    QChar kind() const { return text.isEmpty() ? QChar() : text.at(0); }
    // 1xx replies only say that the command is under way; its final reply follows.
    bool preliminary() const { return code.startsWith('1'); }

    bool operator==(const FtpReply&) const = default;
};

class FtpReplyAssembler {
public:
    // Longest line kept; the rest of a longer line is dropped (its end still counts).
    static constexpr qsizetype MaxLineLength = 8192;

    // Takes the next bytes as they came off the connection and returns the replies they
    // complete, in order. Bytes after the last line end wait for the next call.
    QList<FtpReply> feed(const QByteArray& bytes);

    // Forgets everything: a new connection starts with no half line and no open reply.
    void reset();

    // Bytes of the line not yet ended (bounded by MaxLineLength).
    qsizetype pendingSize() const { return m_line.size(); }
    bool insideMultiLine() const { return m_multiLine; }

private:
    void lineDone(QList<FtpReply>& out);

    QByteArray m_line;        // kept bytes of the current line
    qsizetype m_lineSize = 0; // all bytes of the current line so far, dropped ones too
    bool m_lastWasCr = false; // the stream's last byte was a CR (kept or not)
    bool m_multiLine = false;
    QByteArray m_multiLineCode;
};
