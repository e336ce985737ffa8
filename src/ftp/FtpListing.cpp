// Listing, SYST, PORT and PWD text rules of the FTP client.
#include "ftp/FtpListing.h"

namespace {

ListingEntry noEntry() {
    return {};
}

ListingEntry entry(const QString& name, bool isDirectory) {
    return {true, isDirectory, name};
}

// Unix-style "ls -l" lines: the name is the last field, a link's target is not part of it.
ListingEntry parseUnixLine(const QString& line) {
    QString text = line;
    const int arrow = text.indexOf(QLatin1String("->"));
    if (arrow >= 0)
        text.truncate(arrow);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    const int lastSpace = text.lastIndexOf(QLatin1Char(' '));
    // A line without a space has no name field at all (a bare word, a server message).
    if (lastSpace < 0)
        return noEntry();
    const QString name = text.mid(lastSpace + 1);
    if (name.isEmpty())
        return noEntry();
    switch (line.at(0).unicode()) {
    case '-':
    case 'f':
        return entry(name, false);
    case 'd':
    case 'l':
        return entry(name, true);
    default:
        return noEntry();
    }
}

ListingEntry parseVmsLine(const QString& received, QString& pending) {
    QString line = received;
    if (!pending.isEmpty()) {
        line = pending + line;
        pending.clear();
    }
    if (!line.contains(QLatin1Char(';')))
        return noEntry();
    const QString field = ListingToken(line, 0);
    if (field.isEmpty()) {
        // The name stood alone: its size and date follow on the next line.
        pending = line;
        return noEntry();
    }
    QString name = field.left(field.indexOf(QLatin1Char(';')));
    const int dir = name.indexOf(QLatin1String(".DIR"));
    if (dir >= 0)
        return name.left(dir).isEmpty() ? noEntry() : entry(name.left(dir), true);
    return name.isEmpty() ? noEntry() : entry(name, false);
}

ListingEntry parseVmLine(const QString& line) {
    const QString name = ListingToken(line, 0);
    const QString type = ListingToken(line, 1);
    if (name.isEmpty() || type.isEmpty())
        return noEntry();
    return entry(name + QLatin1Char('.') + type, false);
}

ListingEntry parseVmVpsLine(const QString& line) {
    for (const char* marker : {"=", "totals:", " rf trks", "track limit"}) {
        if (line.contains(QLatin1String(marker)))
            return noEntry();
    }
    const QString field = ListingToken(line, 1);
    if (field.isEmpty())
        return noEntry();
    return entry(QLatin1Char('.') + field, false);
}

} // namespace

QString ListingToken(const QString& line, int n) {
    QString text = line;
    while (text.contains(QLatin1String("  ")))
        text.replace(QLatin1String("  "), QLatin1String(" "));
    qsizetype pos = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype space = text.indexOf(QLatin1Char(' '), pos);
        if (space < 0)
            return {};
        pos = space + 1;
    }
    const qsizetype end = text.indexOf(QLatin1Char(' '), pos);
    if (end < 0)
        return {};
    return text.mid(pos, end - pos);
}

ListingEntry ParseListingLine(const QString& line, TFTPServerType type, QString& vmsPendingLine) {
    switch (type) {
    case ftpstDefault:
    case ftpstUNIX:
    case ftpstULTRIX:
    case ftpstU5000:
    case ftpstSINTFTPD:
        return line.isEmpty() ? noEntry() : parseUnixLine(line);
    case ftpstVmsMultinet:
    case ftpstVmsUcx:
        return parseVmsLine(line, vmsPendingLine);
    case ftpstVM:
        return parseVmLine(line);
    case ftpstVMVPS:
        return parseVmVpsLine(line);
    default:
        return noEntry();
    }
}

TFTPServerType ServerTypeFromSyst(const QString& reply) {
    if (reply.startsWith(QLatin1Char('5')))
        return ftpstDefault;
    const QString system = reply.mid(4, 99).toUpper();
    auto has = [&system](const char* word) { return system.contains(QLatin1String(word)); };
    TFTPServerType type = ftpstDefault;
    if (has("UNIX"))
        type = ftpstUNIX;
    if (has("CLIX"))
        type = ftpstClix;
    if (has("ULTRIX"))
        type = ftpstULTRIX;
    if (has("MVS"))
        type = ftpstMVS;
    if (has("QVT"))
        type = ftpstQVT;
    if (has("NCSA"))
        type = ftpstNCSA;
    if (has("CHAMELEON"))
        type = ftpstChameleon;
    if (has("VMS"))
        type = has("MULTINET") ? ftpstVmsMultinet : ftpstVmsUcx;
    else if (has("VM"))
        type = has("VPS") ? ftpstVMVPS : ftpstVM;
    return type;
}

QString PortArgument(const QString& dottedAddress, std::uint16_t port) {
    QString argument = dottedAddress;
    argument.replace(QLatin1Char('.'), QLatin1Char(','));
    return argument + QStringLiteral(",%1,%2").arg(port / 256).arg(port % 256);
}

QString DirectoryFromPwdReply(const QString& reply) {
    const qsizetype open = reply.indexOf(QLatin1Char('"'));
    if (open < 0)
        return {};
    // Inside the quotes a doubled quote stands for one quote of the name (257 "/""x""" is the
    // directory /"x"); a single quote ends the name. Without a closing quote the name runs to
    // the end of the line.
    QString name;
    for (qsizetype i = open + 1; i < reply.size() && name.size() < 999; ++i) {
        if (reply.at(i) == QLatin1Char('"')) {
            if (i + 1 >= reply.size() || reply.at(i + 1) != QLatin1Char('"'))
                break;
            ++i;
        }
        name.append(reply.at(i));
    }
    return name;
}
