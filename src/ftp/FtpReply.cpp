// The FTP reply assembler: lines end at CR LF and nowhere else, whatever other bytes they hold;
// a multi-line reply ends at the first line that starts with its code and a space.
#include "ftp/FtpReply.h"

#include <cstring>

QList<FtpReply> FtpReplyAssembler::feed(const QByteArray& bytes) {
    QList<FtpReply> out;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        const void* found = std::memchr(data + pos, '\n', static_cast<size_t>(size - pos));
        const qsizetype end = found ? static_cast<const char*>(found) - data : size;
        const qsizetype length = end - pos;
        if (length > 0) {
            const qsizetype room = MaxLineLength - m_line.size();
            if (room > 0)
                m_line.append(data + pos, qMin(room, length));
            m_lineSize += length;
            m_lastWasCr = data[end - 1] == '\r';
        }
        if (!found)
            break;
        if (m_lastWasCr) {
            // The CR before the LF belongs to the line end, not to the line.
            m_line.truncate(qMin(m_line.size(), m_lineSize - 1));
            lineDone(out);
        } else {
            // A lone LF is an ordinary byte of the line.
            if (m_line.size() < MaxLineLength)
                m_line.append('\n');
            ++m_lineSize;
        }
        pos = end + 1;
    }
    return out;
}

void FtpReplyAssembler::lineDone(QList<FtpReply>& out) {
    const QByteArray line = m_line;
    m_line.clear();
    m_lineSize = 0;
    m_lastWasCr = false;
    if (m_multiLine) {
        // Only the opening code followed by a space ends the reply; lines such as "230-more",
        // " 230 indented" or "2300" are part of its text.
        if (line.size() < 4 || !line.startsWith(m_multiLineCode) || line.at(3) != ' ')
            return;
        m_multiLine = false;
    } else if (line.isEmpty()) {
        return;
    } else if (line.size() >= 4 && line.at(3) == '-') {
        m_multiLine = true;
        m_multiLineCode = line.left(3);
        return;
    }
    out.append(FtpReply{line.left(3), QString::fromUtf8(line)});
}

void FtpReplyAssembler::reset() {
    m_line.clear();
    m_lineSize = 0;
    m_lastWasCr = false;
    m_multiLine = false;
    m_multiLineCode.clear();
}
