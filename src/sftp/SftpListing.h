// A folder listing over SFTP: entries made from the server's own attributes (name bytes, type,
// size, time), never from the text of a listing line.
#pragma once

#include "sftp/SftpPacket.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>

struct SftpEntry {
    QByteArray name;          // the bytes of the server's file system, sent back as they are
    bool isDirectory = false; // a link to a folder counts as a folder once resolved
    bool isLink = false;
    bool hasSize = false;
    std::uint64_t size = 0;
    bool hasTime = false;
    std::int64_t modified = 0; // seconds since 1970, UTC
    bool hasPermissions = false;
    std::uint32_t permissions = 0; // with the file type bits

    // How the name shows: UTF-8 when its bytes are valid UTF-8, else Latin-1.
    QString text() const;
    QDateTime modifiedTime() const; // invalid when the server sent no time
    bool operator==(const SftpEntry&) const = default;
};

// The entries of one FxpName reply of a folder read. "." and "..", and names no file system can
// hold (empty, or with "/" or a zero byte in them), are left out. Without permissions a name
// counts as a folder when the server's listing line begins with "d", as a link with "l".
QList<SftpEntry> SftpEntriesFromNames(const QList<sftp::NameEntry>& names);

// The entry as a listing line for the log: type and permissions, size, date, name.
// Example: "drwxr-xr-x        4096 2024-05-01 12:30 images".
QString SftpEntryLine(const SftpEntry& entry);
