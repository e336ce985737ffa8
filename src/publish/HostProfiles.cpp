// HostProfiles: FTP.DAT and FTP.INI.
#include "publish/HostProfiles.h"

#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QList<std::pair<QString, QString>> kKeys = {
    {QStringLiteral("Profile"), QStringLiteral("none")},
    {QStringLiteral("Host"), QStringLiteral("none")},
    {QStringLiteral("User"), QString()},
    {QStringLiteral("Password"), QString()},
    {QStringLiteral("Account"), QString()},
    {QStringLiteral("Directory"), QString()},
};

const QString kTransferMode = QStringLiteral("TransferMode");
const QString kSecurity = QStringLiteral("Security");
const QString kSiteFolder = QStringLiteral("SiteFolder");
const QString kFingerprint = QStringLiteral("Fingerprint");
const QString kProtocol = QStringLiteral("Protocol");

const QList<std::pair<HostProtocol, QString>> kProtocols = {
    {HostProtocol::Ftp, QStringLiteral("FTP")},
    {HostProtocol::FtpTls, QStringLiteral("FTPS")},
    {HostProtocol::Sftp, QStringLiteral("SFTP")},
};

const QList<std::pair<TDataConnection, QString>> kModes = {
    {TDataConnection::Passive, QStringLiteral("Passive")},
    {TDataConnection::Active, QStringLiteral("Active")},
    {TDataConnection::PassiveThenActive, QStringLiteral("PassiveThenActive")},
};

const QList<std::pair<TFtpSecurity, QString>> kSecurities = {
    {TFtpSecurity::None, QStringLiteral("None")},
    {TFtpSecurity::TlsIfOffered, QStringLiteral("TLSIfOffered")},
    {TFtpSecurity::TlsRequired, QStringLiteral("TLSRequired")},
};

bool hasLineBreakOrNothing(const QString& text) {
    return text.isEmpty() || text.contains(u'\r') || text.contains(u'\n');
}

template <typename E>
E fromValue(const QList<std::pair<E, QString>>& table, const QString& value, E otherwise) {
    for (const auto& [e, text] : table)
        if (text.compare(value.trimmed(), Qt::CaseInsensitive) == 0)
            return e;
    return otherwise;
}

template <typename E> QString toValue(const QList<std::pair<E, QString>>& table, E e) {
    for (const auto& [v, text] : table)
        if (v == e)
            return text;
    return table.front().second;
}

} // namespace

QString HostProfiles::dataConnectionValue(TDataConnection mode) {
    return toValue(kModes, mode);
}

QString HostProfiles::securityValue(TFtpSecurity security) {
    return toValue(kSecurities, security);
}

QString HostProfiles::protocolValue(HostProtocol protocol) {
    return toValue(kProtocols, protocol);
}

TFtpSecurity HostProfile::effectiveSecurity() const {
    // A TLS choice is never dropped: plain FTP with one stored is FTP over TLS.
    switch (protocol) {
    case HostProtocol::Sftp:
        return TFtpSecurity::None;
    case HostProtocol::Ftp:
        return security;
    case HostProtocol::FtpTls:
        return security == TFtpSecurity::None ? TFtpSecurity::TlsRequired : security;
    }
    return security;
}

HostProfiles::HostProfiles(const QString& programDirectory)
    : m_namesPath(programDirectory + QStringLiteral("FTP.DAT")),
      m_profilesPath(programDirectory + QStringLiteral("FTP.INI")) {
}

QStringList HostProfiles::readNames() {
    m_namesUnreadable = false;
    if (!QFileInfo::exists(m_namesPath))
        return {};
    const FileBytesResult file = readFileBytes(m_namesPath);
    if (!file.ok || !looksLikeText(file.bytes)) {
        m_namesUnreadable = true;
        return {};
    }
    QStringList lines = toCrLf(decodeText(file.bytes).text).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

ProfileFileWrite HostProfiles::writeNames(const QStringList& names) const {
    if (m_namesUnreadable)
        return {false, QStringLiteral("it cannot be read, so it is not written over")};
    QString text;
    for (const QString& name : names)
        text += name + QStringLiteral("\r\n");
    const TextWriteResult written = writeTextFile(m_namesPath, text, TextEncoding::Utf8);
    return {written.ok, written.error};
}

HostProfile HostProfiles::read(const QString& name) const {
    const IniFile ini(m_profilesPath);
    HostProfile p;
    QString* fields[] = {&p.profile, &p.host, &p.user, &p.password, &p.account, &p.directory};
    for (qsizetype i = 0; i < kKeys.size(); ++i)
        *fields[i] = ini.readString(name, kKeys[i].first, kKeys[i].second);
    // Without the key the profile was made before passive mode: it keeps working as it did.
    p.dataConnection =
        fromValue(kModes, ini.readString(name, kTransferMode, {}), TDataConnection::Active);
    p.security = fromValue(kSecurities, ini.readString(name, kSecurity, {}), TFtpSecurity::None);
    p.siteFolder = ini.readString(name, kSiteFolder, {});
    p.fingerprint = ini.readString(name, kFingerprint, {});
    // Before the key, TLS was chosen by Security alone; a TLS choice makes FTP FTP over TLS.
    p.protocol = fromValue(kProtocols, ini.readString(name, kProtocol, {}), HostProtocol::Ftp);
    if (p.protocol == HostProtocol::Ftp && p.security != TFtpSecurity::None)
        p.protocol = HostProtocol::FtpTls;
    return p;
}

ProfileFileWrite HostProfiles::makePrivate() const {
    const QByteArray path = QFile::encodeName(m_profilesPath);
    const auto failed = [] { return ProfileFileWrite{false, qt_error_string(errno)}; };
    struct stat st {};
    if (lstat(path.constData(), &st) != 0) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return failed();
        ::close(fd);
        return {true, {}};
    }
    if (!S_ISREG(st.st_mode))
        return {false, notRegularFileText(m_profilesPath)};
    if ((st.st_mode & 0777) != 0600 && ::chmod(path.constData(), 0600) != 0)
        return failed();
    return {true, {}};
}

ProfileFileWrite HostProfiles::writeKeys(const QString& name,
                                         const QList<std::pair<QString, QString>>& keys) const {
    const IniFile ini(m_profilesPath);
    if (ini.isIgnored())
        return {false, QStringLiteral("it cannot be read, so it is not written over")};
    if (const ProfileFileWrite made = makePrivate(); !made)
        return made;
    QList<std::pair<QString, QString>> section = ini.readSectionValues(name);
    for (const auto& entry : keys) {
        // A named pair rather than a structured binding: clang 14 lets no lambda capture one.
        const QString& key = entry.first;
        const auto it = std::find_if(section.begin(), section.end(), [&](const auto& kv) {
            return kv.first.compare(key, Qt::CaseInsensitive) == 0;
        });
        if (it != section.end())
            it->second = entry.second;
        else
            section.append(entry);
    }
    if (!ini.replaceSection(name, section))
        return {false, ini.lastError()};
    return {true, {}};
}

ProfileFileWrite HostProfiles::write(const HostProfile& profile, bool savePassword) const {
    if (!validName(profile.profile))
        return {false, invalidNameText(profile.profile)};
    const QString values[] = {profile.profile, profile.host,
                              profile.user,    savePassword ? profile.password : QString(),
                              profile.account, profile.directory};
    QList<std::pair<QString, QString>> keys;
    for (qsizetype i = 0; i < kKeys.size(); ++i)
        keys.append({kKeys[i].first, values[i]});
    keys.append({kTransferMode, dataConnectionValue(profile.dataConnection)});
    keys.append({kSecurity, securityValue(profile.security)});
    keys.append({kSiteFolder, profile.siteFolder});
    keys.append({kFingerprint, profile.fingerprint});
    keys.append({kProtocol, protocolValue(profile.protocol)});
    return writeKeys(profile.profile, keys);
}

bool HostProfiles::trust(const QString& name, const QString& fingerprint) const {
    if (!validName(name) || hasLineBreakOrNothing(fingerprint))
        return false;
    const IniFile ini(m_profilesPath);
    if (ini.isIgnored() || !ini.sectionExists(name))
        return false;
    return writeKeys(name, {{kFingerprint, fingerprint}}).ok;
}

ProfileFileWrite HostProfiles::erase(const QString& name) const {
    const IniFile ini(m_profilesPath);
    if (ini.isIgnored())
        return {false, QStringLiteral("it cannot be read, so it is not written over")};
    if (!ini.sectionExists(name))
        return {true, {}};
    if (const ProfileFileWrite made = makePrivate(); !made)
        return made;
    if (!ini.eraseSection(name))
        return {false, ini.lastError()};
    return {true, {}};
}

HostProfiles::Snapshot HostProfiles::snapshot() const {
    Snapshot s;
    s.existed = QFileInfo::exists(m_profilesPath);
    const FileBytesResult file = readFileBytes(m_profilesPath);
    s.readable = file.ok;
    s.bytes = file.bytes;
    return s;
}

bool HostProfiles::restore(const Snapshot& snapshot) const {
    if (!snapshot.existed)
        return !QFileInfo::exists(m_profilesPath) || QFile::remove(m_profilesPath);
    if (!snapshot.readable)
        return false;
    // The file keeps its mode (0600) through the atomic write.
    return writeFileAtomically(m_profilesPath, snapshot.bytes).ok;
}

bool HostProfiles::validName(const QString& name) {
    return !name.contains(u']') && !name.contains(u'\r') && !name.contains(u'\n');
}

QString HostProfiles::invalidNameText(const QString& name) {
    return QStringLiteral("The Profile Name \"%1\" cannot be used: a Profile Name may not hold "
                          "\"]\" or a line break.")
        .arg(QString(name).replace(u'\r', u' ').replace(u'\n', u' '));
}
