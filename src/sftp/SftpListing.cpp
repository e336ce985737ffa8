#include "sftp/SftpListing.h"

#include "platform/NativeNames.h"

QString SftpEntry::text() const {
    return nameFromNative(name);
}

QDateTime SftpEntry::modifiedTime() const {
    if (!hasTime)
        return {};
    return QDateTime::fromSecsSinceEpoch(modified, Qt::UTC);
}

QList<SftpEntry> SftpEntriesFromNames(const QList<sftp::NameEntry>& names) {
    QList<SftpEntry> entries;
    entries.reserve(names.size());
    for (const sftp::NameEntry& n : names) {
        if (n.name.isEmpty() || n.name == "." || n.name == ".." || n.name.contains('/') ||
            n.name.contains('\0'))
            continue;
        SftpEntry e;
        e.name = n.name;
        const sftp::Attributes& a = n.attributes;
        if (a.has(sftp::Attributes::HasPermissions)) {
            e.hasPermissions = true;
            e.permissions = a.permissions;
            e.isDirectory = a.isDirectory();
            e.isLink = a.isLink();
        } else {
            e.isDirectory = n.longName.startsWith('d');
            e.isLink = n.longName.startsWith('l');
        }
        if (a.has(sftp::Attributes::HasSize)) {
            e.hasSize = true;
            e.size = a.size;
        }
        if (a.has(sftp::Attributes::HasTimes)) {
            e.hasTime = true;
            e.modified = a.modifyTime;
        }
        entries.append(std::move(e));
    }
    return entries;
}

QString SftpEntryLine(const SftpEntry& e) {
    QString mode(10, QLatin1Char('-'));
    if (e.isLink)
        mode[0] = QLatin1Char('l');
    else if (e.isDirectory)
        mode[0] = QLatin1Char('d');
    if (e.hasPermissions) {
        static const char letters[] = "rwxrwxrwx";
        for (int i = 0; i < 9; ++i) {
            if (e.permissions & (0400u >> i))
                mode[1 + i] = QLatin1Char(letters[i]);
        }
    } else {
        mode.replace(1, 9, QStringLiteral("?????????"));
    }
    const QString size = e.hasSize ? QString::number(e.size) : QStringLiteral("?");
    const QString time = e.hasTime ? e.modifiedTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                   : QStringLiteral("---------- -----");
    return QStringLiteral("%1 %2 %3 %4").arg(mode, size.rightJustified(11), time, e.text());
}
