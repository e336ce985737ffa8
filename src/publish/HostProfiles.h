// HostProfiles: the FTP host profiles of the program directory.
//
// FTP.DAT holds the profile names, one a line, in the order of the host list; FTP.INI one
// section per profile with the keys Profile, Host, User, Password, Account and Directory. The
// password is kept in plain text, as the file has always held it, so FTP.INI is made readable
// and writable by its owner only and kept so on every write. A file that exists but cannot be
// read is never written over.
//
// Five keys came later: TransferMode (how the data connection is made), Security (FTP over
// TLS), SiteFolder (the local folder whose layout uploads keep), Fingerprint (the server
// certificate the user chose to trust) and Protocol (FTP, FTP over TLS or SFTP). A profile
// stored before them reads as it always worked: FTP in active mode, no TLS, every file into the
// current directory; one stored with a TLS choice but no Protocol is FTP over TLS.
#pragma once

#include "ftp/Ftp.h"

#include <QString>
#include <QStringList>

// How a profile's host is reached.
enum class HostProtocol : int { Ftp = 0, FtpTls = 1, Sftp = 2 };

struct HostProfile {
    QString profile;
    QString host;
    QString user;
    QString password;
    QString account;
    QString directory;
    // A profile made now starts passive: active mode rarely gets through a home router.
    TDataConnection dataConnection = TDataConnection::Passive;
    TFtpSecurity security = TFtpSecurity::None;
    QString siteFolder{};
    QString fingerprint{};
    HostProtocol protocol = HostProtocol::Ftp;
    bool operator==(const HostProfile&) const = default;

    // The TLS the FTP engine is given: required when FTP over TLS was chosen without saying
    // how; none for SFTP.
    TFtpSecurity effectiveSecurity() const;
    // The port used when the host names none: 22 for SFTP, else 21.
    int defaultPort() const { return protocol == HostProtocol::Sftp ? 22 : 21; }
};

// The outcome of a write of FTP.DAT or FTP.INI: the reason when the file was not written.
struct ProfileFileWrite {
    bool ok = false;
    QString error;
    explicit operator bool() const { return ok; }
};

class HostProfiles {
public:
    // programDirectory ends with "/".
    explicit HostProfiles(const QString& programDirectory);

    const QString& namesPath() const { return m_namesPath; }
    const QString& profilesPath() const { return m_profilesPath; }

    // FTP.DAT: a missing or unreadable file gives an empty list.
    QStringList readNames();
    // Whether FTP.DAT was there but could not be read: the list is then not saved.
    bool namesUnreadable() const { return m_namesUnreadable; }
    ProfileFileWrite writeNames(const QStringList& names) const;

    // A profile's section; missing keys give "none" for Profile and Host, empty for the rest,
    // active mode without TLS for TransferMode and Security (also for a value not known).
    HostProfile read(const QString& name) const;
    // Writes the keys to the section named by the profile; the password only when it is to be
    // saved (else written empty). Other keys of the section stay.
    ProfileFileWrite write(const HostProfile& profile, bool savePassword) const;
    // Stores the trusted certificate's fingerprint in an existing section, nothing else.
    bool trust(const QString& name, const QString& fingerprint) const;
    // Removes the profile's section; a section that is not there is no failure.
    ProfileFileWrite erase(const QString& name) const;
    // FTP.INI as it is now, and putting those bytes back (removing the file when it was not
    // there): a change of the host list that cannot be completed leaves both files as they were.
    struct Snapshot {
        bool existed = false;
        bool readable = false;
        QByteArray bytes;
    };
    Snapshot snapshot() const;
    bool restore(const Snapshot& snapshot) const;

    // The values as FTP.INI holds them.
    static QString dataConnectionValue(TDataConnection mode);
    static QString securityValue(TFtpSecurity security);
    static QString protocolValue(HostProtocol protocol);

    // A section name that would read back as something else: "]" or a line break.
    static bool validName(const QString& name);
    static QString invalidNameText(const QString& name);

private:
    // FTP.INI made (or kept) mode 0600 before a write, so the temporary file of the atomic write
    // takes that mode before any password goes into it.
    ProfileFileWrite makePrivate() const;
    ProfileFileWrite writeKeys(const QString& section,
                               const QList<std::pair<QString, QString>>& keys) const;

    QString m_namesPath;
    QString m_profilesPath;
    bool m_namesUnreadable = false;
};
