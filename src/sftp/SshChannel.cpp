#include "sftp/SshChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QHostInfo>
#include <QSocketNotifier>

#include <libssh/libssh.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Reads and writes of the transfer at most this much at once, so the window gets a turn.
constexpr qsizetype ReadChunk = 64 * 1024;
constexpr qsizetype WriteChunk = 256 * 1024;
constexpr qsizetype MaxReadPerDrive = 4 * 1024 * 1024;
// Up to this much of small requests is merged into one write: about one SSH packet.
constexpr qsizetype CoalesceLimit = 30 * 1024;
constexpr int MaxSecretAttempts = 3;

QString keyTypeText(ssh_key key) {
    switch (ssh_key_type(key)) {
    case SSH_KEYTYPE_ED25519:
        return QStringLiteral("ED25519");
    case SSH_KEYTYPE_RSA:
        return QStringLiteral("RSA");
    case SSH_KEYTYPE_DSS:
        return QStringLiteral("DSA");
    case SSH_KEYTYPE_ECDSA_P256:
    case SSH_KEYTYPE_ECDSA_P384:
    case SSH_KEYTYPE_ECDSA_P521:
        return QStringLiteral("ECDSA");
    default: {
        const char* name = ssh_key_type_to_char(ssh_key_type(key));
        return name ? QString::fromLatin1(name) : QStringLiteral("unknown");
    }
    }
}

QString localUser() {
    if (const passwd* pw = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QByteArray pathBytes(const QString& path) {
    return QFile::encodeName(path);
}

// A notifier may be dropped from its own signal: it goes disabled and is deleted later.
void dropNotifier(std::unique_ptr<QSocketNotifier>& notifier) {
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier.release()->deleteLater();
}

} // namespace

SshChannel::SshChannel(Owner& owner, QObject* parent) : QObject(parent), m_owner(owner) {
    ssh_init();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SshChannel::timedOut);
    m_readBuffer.resize(ReadChunk);
}

SshChannel::~SshChannel() {
    m_driving = false;
    teardown(false);
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
}

SshChannel::Settings SshChannel::withDefaults(Settings s) {
    const QString sshFolder = QDir::homePath() + QStringLiteral("/.ssh");
    if (s.port <= 0)
        s.port = 22;
    if (s.user.isEmpty())
        s.user = localUser();
    if (s.knownHostsFile.isEmpty())
        s.knownHostsFile = sshFolder + QStringLiteral("/known_hosts");
    if (s.globalKnownHostsFile.isEmpty())
        s.globalKnownHostsFile = QStringLiteral("/etc/ssh/ssh_known_hosts");
    if (s.keyFolder.isEmpty())
        s.keyFolder = sshFolder;
    if (s.agentSocket.isEmpty())
        s.agentSocket = qEnvironmentVariable("SSH_AUTH_SOCK");
    return s;
}

QString SshChannel::hostText(const QString& host, int port) {
    return port == 22 ? host : QStringLiteral("%1 (port %2)").arg(host).arg(port);
}

bool SshChannel::awaitingAnswer() const {
    return m_phase == Phase::HostKeyQuestion || m_phase == Phase::AuthKeyPassphrase ||
           m_phase == Phase::AuthPasswordQuestion;
}

// ---- Lookup and TCP connect ----

void SshChannel::open(const Settings& settings) {
    m_settings = withDefaults(settings);
    m_password = m_settings.password;
    if (m_settings.host.trimmed().isEmpty()) {
        m_phase = Phase::Closed;
        m_owner.channelFailed(SftpError::NoServer, QStringLiteral("No server was given."));
        return;
    }
    m_settings.host = m_settings.host.trimmed();
    m_timerIsConnect = true;
    if (m_settings.connectTimeOut > 0)
        m_timer.start(m_settings.connectTimeOut * 1000);
    QHostAddress numeric;
    if (numeric.setAddress(m_settings.host)) {
        m_addresses = {numeric};
        m_phase = Phase::TcpConnect;
        connectNext();
        return;
    }
    m_phase = Phase::Lookup;
    m_owner.channelInfo(SftpInfo::LookupStarted, m_settings.host);
    m_lookupId = QHostInfo::lookupHost(m_settings.host, this, &SshChannel::lookedUp);
}

void SshChannel::lookedUp(const QHostInfo& info) {
    m_lookupId = -1;
    if (m_phase != Phase::Lookup)
        return;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        fail(SftpError::HostLookup, QStringLiteral("The server %1 was not found: %2.")
                                        .arg(m_settings.host, info.errorString()));
        return;
    }
    m_addresses = info.addresses();
    m_phase = Phase::TcpConnect;
    connectNext();
}

void SshChannel::connectNext() {
    while (m_nextAddress < m_addresses.size()) {
        const QHostAddress address = m_addresses[m_nextAddress++];
        sockaddr_storage storage{};
        socklen_t length = 0;
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            auto* in = reinterpret_cast<sockaddr_in*>(&storage);
            in->sin_family = AF_INET;
            in->sin_port = htons(static_cast<std::uint16_t>(m_settings.port));
            in->sin_addr.s_addr = htonl(address.toIPv4Address());
            length = sizeof(sockaddr_in);
        } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(static_cast<std::uint16_t>(m_settings.port));
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, &bytes, 16);
            in6->sin6_scope_id = address.scopeId().toUInt();
            length = sizeof(sockaddr_in6);
        } else {
            continue;
        }
        m_connectedAddress = address.toString();
        m_owner.channelInfo(
            SftpInfo::Connecting,
            QStringLiteral("%1 port %2").arg(m_connectedAddress).arg(m_settings.port));
        m_fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            m_connectErrno = errno;
            continue;
        }
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&storage), length) == 0) {
            tcpConnected();
            return;
        }
        if (errno == EINPROGRESS) {
            m_writeNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
            connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, [this] {
                int error = 0;
                socklen_t size = sizeof error;
                if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
                if (error == 0) {
                    tcpConnected();
                    return;
                }
                m_connectErrno = error;
                dropNotifier(m_writeNotifier);
                ::close(m_fd);
                m_fd = -1;
                connectNext();
            });
            return;
        }
        m_connectErrno = errno;
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_connectErrno == ECONNREFUSED) {
        fail(SftpError::ConnectionRefused,
             QStringLiteral("The server %1 refused the connection on port %2.")
                 .arg(m_settings.host)
                 .arg(m_settings.port));
    } else {
        fail(SftpError::ConnectFailed,
             QStringLiteral("Cannot connect to %1 port %2: %3.")
                 .arg(m_settings.host)
                 .arg(m_settings.port)
                 .arg(QString::fromLocal8Bit(std::strerror(m_connectErrno))));
    }
}

void SshChannel::tcpConnected() {
    dropNotifier(m_writeNotifier);
    const int one = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_owner.channelInfo(SftpInfo::Connected, m_connectedAddress);
    m_timerIsConnect = false;
    m_timer.stop();
    startSsh();
}

void SshChannel::startSsh() {
    m_ssh = ssh_new();
    if (!m_ssh) {
        fail(SftpError::SshFailed, QStringLiteral("The SSH library could not start a session."));
        return;
    }
    // libssh may close its descriptor on an error; the notifiers keep watching ours.
    m_libsshFd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    const QByteArray host = m_settings.host.toUtf8();
    const QByteArray user = m_settings.user.toUtf8();
    const QByteArray knownHosts = pathBytes(m_settings.knownHostsFile);
    const QByteArray globalKnownHosts = pathBytes(m_settings.globalKnownHostsFile);
    const QByteArray keyFolder = pathBytes(m_settings.keyFolder);
    const unsigned int port = static_cast<unsigned int>(m_settings.port);
    // The profile says where to go; the user's ssh configuration (host aliases, proxies) is
    // not read, since the connection is made here and not by libssh.
    const bool processConfig = false;
    const socket_t fd = m_libsshFd;
    bool ok = m_libsshFd >= 0 &&
              ssh_options_set(m_ssh, SSH_OPTIONS_PROCESS_CONFIG, &processConfig) == SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_HOST, host.constData()) == SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_PORT, &port) == SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_USER, user.constData()) == SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_SSH_DIR, keyFolder.constData()) == SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_KNOWNHOSTS, knownHosts.constData()) == SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, globalKnownHosts.constData()) ==
                  SSH_OK &&
              ssh_options_set(m_ssh, SSH_OPTIONS_FD, &fd) == SSH_OK;
    if (ok && !m_settings.agentSocket.isEmpty()) {
        const QByteArray agent = pathBytes(m_settings.agentSocket);
        ok = ssh_options_set(m_ssh, SSH_OPTIONS_IDENTITY_AGENT, agent.constData()) == SSH_OK;
    }
    if (!ok) {
        sshFailed(SftpError::SshFailed,
                  QStringLiteral("The SSH connection to %1 could not be set up").arg(who()));
        return;
    }
    ssh_set_blocking(m_ssh, 0);
    m_readNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &SshChannel::drive);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, [this] {
        if (m_ssh)
            ssh_blocking_flush(m_ssh, 0);
        drive();
    });
    m_phase = Phase::Handshake;
    drive();
}

// ---- The engine of the way in and of the transfer ----

void SshChannel::drive() {
    if (m_driving) {
        m_driveAgain = true;
        return;
    }
    m_driving = true;
    bool progress = false;
    qsizetype guard = 0;
    do {
        m_driveAgain = false;
        if (m_teardownPending || !m_ssh)
            break;
        if (m_phase == Phase::Open) {
            if (transfer())
                progress = true;
        } else {
            const Phase before = m_phase;
            const Step step = stepOnce();
            if (m_phase != before)
                progress = true;
            if (step == Step::Next)
                m_driveAgain = true;
        }
    } while (m_driveAgain && ++guard < 10000);
    m_driving = false;
    if (m_teardownPending) {
        m_teardownPending = false;
        teardown(m_teardownPolite);
        return;
    }
    if (m_phase == Phase::Closed || !m_ssh)
        return;
    updateNotifiers();
    updateTimer(progress);
}

SshChannel::Step SshChannel::stepOnce() {
    switch (m_phase) {
    case Phase::Handshake:
        return handshake();
    case Phase::AuthNone:
        return authNone();
    case Phase::AuthAgent:
        return authAgent();
    case Phase::AuthKeyProbe:
        return authKeyProbe();
    case Phase::AuthKeySign:
        return authKeySign();
    case Phase::AuthPassword:
        return authPassword();
    case Phase::AuthKbdInt:
        return authKbdInt();
    case Phase::ChannelOpen:
        return channelOpen();
    case Phase::Subsystem:
        return subsystem();
    default:
        return Step::Stop;
    }
}

SshChannel::Step SshChannel::handshake() {
    m_libsshFdHandedOver = true;
    const int rc = ssh_connect(m_ssh);
    if (rc == SSH_AGAIN)
        return Step::Wait;
    if (rc != SSH_OK) {
        sshFailed(SftpError::SshFailed,
                  QStringLiteral("The SSH connection to %1 failed").arg(who()));
        return Step::Stop;
    }
    if (const char* banner = ssh_get_serverbanner(m_ssh))
        m_owner.channelInfo(SftpInfo::ServerVersion, QString::fromUtf8(banner));
    const char* kex = ssh_get_kex_algo(m_ssh);
    const char* cipher = ssh_get_cipher_out(m_ssh);
    m_owner.channelInfo(SftpInfo::Encryption, QStringLiteral("key exchange %1, cipher %2")
                                                  .arg(QLatin1String(kex ? kex : "?"),
                                                       QLatin1String(cipher ? cipher : "?")));
    return checkHostKey();
}

SshChannel::Step SshChannel::checkHostKey() {
    ssh_key key = nullptr;
    if (ssh_get_server_publickey(m_ssh, &key) != SSH_OK || !key) {
        sshFailed(SftpError::SshFailed,
                  QStringLiteral("The server %1 sent no host key").arg(who()));
        return Step::Stop;
    }
    unsigned char* hash = nullptr;
    size_t hashLength = 0;
    m_keyType = keyTypeText(key);
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &hashLength) == SSH_OK) {
        if (char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, hashLength)) {
            m_fingerprint = QString::fromLatin1(text);
            ssh_string_free_char(text);
        }
        ssh_clean_pubkey_hash(&hash);
    }
    ssh_key_free(key);

    const ssh_known_hosts_e known = ssh_session_is_known_server(m_ssh);
    switch (known) {
    case SSH_KNOWN_HOSTS_OK:
        m_owner.channelInfo(SftpInfo::HostKeyKnown,
                            QStringLiteral("%1 key %2").arg(m_keyType, m_fingerprint));
        m_phase = Phase::AuthNone;
        return Step::Next;
    case SSH_KNOWN_HOSTS_OTHER:
        // Only a key of another type is known: a server set up anew, or someone in between
        // offering what the known key cannot vouch for. Refused like a changed key.
        fail(SftpError::HostKeyChanged,
             QStringLiteral("The server %1 shows the %2 key %3, but %4 holds a key of another "
                            "type for it. Someone may be listening in on the connection, or the "
                            "server was set up anew. The connection was refused. If you know that "
                            "the server's keys changed, remove the old key of %1 from %4 and "
                            "connect again.")
                 .arg(who(), m_keyType, m_fingerprint, m_settings.knownHostsFile));
        return Step::Stop;
    case SSH_KNOWN_HOSTS_CHANGED:
        fail(SftpError::HostKeyChanged,
             QStringLiteral("The host key of %1 has changed: the server now shows the %2 key %3, "
                            "not the key stored for it in %4. Someone may be listening in on the "
                            "connection, or the server was set up anew. The connection was "
                            "refused. If you know that the key changed, remove the old key of %1 "
                            "from %4 and connect again.")
                 .arg(who(), m_keyType, m_fingerprint, m_settings.knownHostsFile));
        return Step::Stop;
    case SSH_KNOWN_HOSTS_UNKNOWN:
    case SSH_KNOWN_HOSTS_NOT_FOUND: {
        m_phase = Phase::HostKeyQuestion;
        SftpQuestion question;
        question.kind = SftpQuestion::Kind::HostKey;
        question.host = m_settings.host;
        question.port = m_settings.port;
        question.keyType = m_keyType;
        question.fingerprint = m_fingerprint;
        question.text = QStringLiteral("The server %1 is not among your known hosts.\n"
                                       "Its %2 key has the fingerprint\n%3\n\n"
                                       "Trust this key, store it in %4 and connect?")
                            .arg(who(), m_keyType, m_fingerprint, m_settings.knownHostsFile);
        m_owner.channelQuestion(question);
        return Step::Stop;
    }
    default:
        sshFailed(SftpError::KnownHostsUnusable,
                  QStringLiteral("The known hosts file %1 cannot be read")
                      .arg(m_settings.knownHostsFile));
        return Step::Stop;
    }
}

void SshChannel::answerHostKey(bool trust) {
    if (m_phase != Phase::HostKeyQuestion)
        return;
    if (!trust) {
        fail(SftpError::HostKeyNotTrusted,
             QStringLiteral("The host key of %1 was not trusted: the connection was ended.")
                 .arg(who()));
        return;
    }
    if (ssh_session_update_known_hosts(m_ssh) != SSH_OK) {
        sshFailed(SftpError::KnownHostsUnusable,
                  QStringLiteral("The key of %1 could not be stored in %2")
                      .arg(who(), m_settings.knownHostsFile));
        return;
    }
    m_owner.channelInfo(SftpInfo::HostKeyStored,
                        QStringLiteral("%1 key %2 stored in %3")
                            .arg(m_keyType, m_fingerprint, m_settings.knownHostsFile));
    m_phase = Phase::AuthNone;
    drive();
}

// ---- Logging in ----

SshChannel::Step SshChannel::authNone() {
    const int rc = ssh_userauth_none(m_ssh, nullptr);
    if (rc == SSH_AUTH_AGAIN)
        return Step::Wait;
    if (rc == SSH_AUTH_SUCCESS) {
        loggedIn(QStringLiteral("without a password"));
        return Step::Next;
    }
    if (rc == SSH_AUTH_ERROR) {
        sshFailed(SftpError::SshFailed,
                  QStringLiteral("The SSH connection to %1 failed").arg(who()));
        return Step::Stop;
    }
    refreshMethods();
    if (m_settings.useKeys) {
        for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
            const QString path = QDir(m_settings.keyFolder).filePath(QLatin1String(name));
            if (QFileInfo(path).isFile())
                m_keyFiles.append(path);
        }
    }
    return moveOn(AuthStage::Agent);
}

void SshChannel::refreshMethods() {
    m_methods = ssh_userauth_list(m_ssh, nullptr);
}

QString SshChannel::methodsText() const {
    QStringList names;
    if (m_methods & SSH_AUTH_METHOD_PUBLICKEY)
        names << QStringLiteral("public key");
    if (m_methods & SSH_AUTH_METHOD_PASSWORD)
        names << QStringLiteral("password");
    if (m_methods & SSH_AUTH_METHOD_INTERACTIVE)
        names << QStringLiteral("keyboard-interactive");
    if (m_methods & SSH_AUTH_METHOD_GSSAPI_MIC)
        names << QStringLiteral("GSSAPI");
    if (m_methods & SSH_AUTH_METHOD_HOSTBASED)
        names << QStringLiteral("host-based");
    return names.isEmpty() ? QStringLiteral("nothing") : names.join(QStringLiteral(", "));
}

// Moves to the first way of logging in, from the current stage on, that the server takes.
void SshChannel::nextAuthStage() {
    for (;;) {
        switch (m_authStage) {
        case AuthStage::Agent:
            if (m_settings.useAgent && !m_settings.agentSocket.isEmpty() &&
                (m_methods & SSH_AUTH_METHOD_PUBLICKEY)) {
                m_phase = Phase::AuthAgent;
                return;
            }
            m_authStage = AuthStage::Keys;
            break;
        case AuthStage::Keys:
            if ((m_methods & SSH_AUTH_METHOD_PUBLICKEY) && m_keyIndex < m_keyFiles.size()) {
                m_phase = Phase::AuthKeyProbe;
                return;
            }
            m_authStage = AuthStage::Password;
            break;
        case AuthStage::Password:
            if ((m_methods & SSH_AUTH_METHOD_PASSWORD) && !m_passwordRefused) {
                if (!m_password) {
                    askPassword();
                    return;
                }
                m_phase = Phase::AuthPassword;
                return;
            }
            m_authStage = AuthStage::KbdInt;
            break;
        case AuthStage::KbdInt:
            if ((m_methods & SSH_AUTH_METHOD_INTERACTIVE) && !m_passwordRefused) {
                m_phase = Phase::AuthKbdInt;
                return;
            }
            m_authStage = AuthStage::Exhausted;
            break;
        case AuthStage::Exhausted: {
            QString tried = m_refusals.isEmpty()
                                ? QStringLiteral("nothing that it takes was at hand")
                                : m_refusals.join(QStringLiteral("; "));
            fail(SftpError::LoginRefused,
                 QStringLiteral("The server %1 refused the login of %2 (it takes: %3; %4).")
                     .arg(who(), m_settings.user, methodsText(), tried));
            return;
        }
        }
    }
}

SshChannel::Step SshChannel::moveOn(AuthStage stage) {
    m_authStage = stage;
    nextAuthStage();
    return m_phase == Phase::Closed || awaitingAnswer() ? Step::Stop : Step::Next;
}

SshChannel::Step SshChannel::loginBroken() {
    sshFailed(SftpError::LoginRefused, QStringLiteral("The login on %1 failed").arg(who()));
    return Step::Stop;
}

void SshChannel::refusal(const QString& what) {
    m_refusals << what;
    m_owner.channelInfo(SftpInfo::KeyRefused, what.left(1).toUpper() + what.mid(1));
}

SshChannel::Step SshChannel::nextKey(const QString& why) {
    refusal(why);
    ssh_key_free(m_publicKey);
    m_publicKey = nullptr;
    ++m_keyIndex;
    return moveOn(AuthStage::Keys);
}

SshChannel::Step SshChannel::authAgent() {
    const int rc = ssh_userauth_agent(m_ssh, nullptr);
    if (rc == SSH_AUTH_AGAIN)
        return Step::Wait;
    if (rc == SSH_AUTH_SUCCESS) {
        loggedIn(QStringLiteral("with a key of the SSH agent"));
        return Step::Next;
    }
    if (rc == SSH_AUTH_ERROR && !ssh_is_connected(m_ssh))
        return loginBroken();
    if (rc == SSH_AUTH_PARTIAL)
        refreshMethods();
    else
        refusal(QStringLiteral("no key of the SSH agent was accepted"));
    return moveOn(AuthStage::Keys);
}

SshChannel::Step SshChannel::authKeyProbe() {
    const QString path = m_keyFiles[m_keyIndex];
    if (!m_publicKey) {
        // The .pub file beside the key, else the public half an OpenSSH key file holds
        // unencrypted; a key without either is read whole (asking its passphrase first).
        const QByteArray pub = pathBytes(path + QStringLiteral(".pub"));
        if (ssh_pki_import_pubkey_file(pub.constData(), &m_publicKey) != SSH_OK &&
            ssh_pki_import_pubkey_file(pathBytes(path).constData(), &m_publicKey) != SSH_OK) {
            m_publicKey = nullptr;
            return loadPrivateKey(std::nullopt);
        }
    }
    const int rc = ssh_userauth_try_publickey(m_ssh, nullptr, m_publicKey);
    if (rc == SSH_AUTH_AGAIN)
        return Step::Wait;
    if (rc == SSH_AUTH_ERROR)
        return loginBroken();
    if (rc != SSH_AUTH_SUCCESS)
        return nextKey(QStringLiteral("the key %1 was not accepted").arg(path));
    m_passphraseAttempt = 0;
    return loadPrivateKey(std::nullopt);
}

int SshChannel::passphraseCallback(const char*, char*, size_t, int, int, void* userdata) {
    // libssh asks only for an encrypted key: the question goes to the user, not to a terminal.
    static_cast<SshChannel*>(userdata)->m_passphraseWanted = true;
    return -1;
}

SshChannel::Step SshChannel::loadPrivateKey(const std::optional<QString>& passphrase) {
    const QString path = m_keyFiles[m_keyIndex];
    m_passphraseWanted = false;
    const QByteArray secret = passphrase ? passphrase->toUtf8() : QByteArray();
    ssh_key key = nullptr;
    const int rc = ssh_pki_import_privkey_file(
        pathBytes(path).constData(), passphrase ? secret.constData() : nullptr,
        passphrase ? nullptr : &SshChannel::passphraseCallback, this, &key);
    if (rc == SSH_OK && key) {
        m_privateKey = key;
        m_phase = Phase::AuthKeySign;
        return Step::Next;
    }
    if ((m_passphraseWanted || passphrase) && m_passphraseAttempt < MaxSecretAttempts) {
        askPassphrase();
        return Step::Stop;
    }
    return nextKey(QStringLiteral("the key %1 was not used: %2")
                       .arg(path, passphrase ? QStringLiteral("the passphrase was wrong")
                                             : QStringLiteral("the file cannot be read")));
}

void SshChannel::askPassphrase() {
    ++m_passphraseAttempt;
    m_phase = Phase::AuthKeyPassphrase;
    SftpQuestion question;
    question.kind = SftpQuestion::Kind::Passphrase;
    question.host = m_settings.host;
    question.port = m_settings.port;
    question.keyFile = m_keyFiles[m_keyIndex];
    question.attempt = m_passphraseAttempt;
    question.text =
        m_passphraseAttempt == 1
            ? QStringLiteral("Passphrase of the key %1:").arg(question.keyFile)
            : QStringLiteral("Wrong passphrase. Passphrase of the key %1:").arg(question.keyFile);
    m_owner.channelQuestion(question);
}

void SshChannel::answerPassphrase(const std::optional<QString>& passphrase) {
    if (m_phase != Phase::AuthKeyPassphrase)
        return;
    m_phase = Phase::AuthKeyProbe;
    if (passphrase)
        loadPrivateKey(passphrase);
    else
        nextKey(QStringLiteral("the key %1 was not used: no passphrase was given")
                    .arg(m_keyFiles[m_keyIndex]));
    if (!awaitingAnswer())
        drive();
}

SshChannel::Step SshChannel::authKeySign() {
    const QString path = m_keyFiles[m_keyIndex];
    const int rc = ssh_userauth_publickey(m_ssh, nullptr, m_privateKey);
    if (rc == SSH_AUTH_AGAIN)
        return Step::Wait;
    ssh_key_free(m_privateKey);
    m_privateKey = nullptr;
    if (rc == SSH_AUTH_SUCCESS) {
        loggedIn(QStringLiteral("with the key %1").arg(path));
        return Step::Next;
    }
    if (rc == SSH_AUTH_ERROR)
        return loginBroken();
    if (rc == SSH_AUTH_PARTIAL) {
        refreshMethods();
        return moveOn(AuthStage::Password);
    }
    return nextKey(QStringLiteral("the key %1 was not accepted").arg(path));
}

void SshChannel::askPassword() {
    ++m_passwordAttempt;
    m_passwordAsked = true;
    m_phase = Phase::AuthPasswordQuestion;
    SftpQuestion question;
    question.kind = SftpQuestion::Kind::Password;
    question.host = m_settings.host;
    question.port = m_settings.port;
    question.attempt = m_passwordAttempt;
    question.text =
        m_passwordAttempt == 1
            ? QStringLiteral("Password of %1 on %2:").arg(m_settings.user, who())
            : QStringLiteral("Wrong password. Password of %1 on %2:").arg(m_settings.user, who());
    m_owner.channelQuestion(question);
}

void SshChannel::answerPassword(const std::optional<QString>& password) {
    if (m_phase != Phase::AuthPasswordQuestion)
        return;
    if (!password) {
        m_passwordRefused = true;
        m_refusals << QStringLiteral("no password was given");
        moveOn(AuthStage::Exhausted);
        return;
    }
    m_password = *password;
    if (m_authStage == AuthStage::KbdInt) {
        answerKbdPrompts();
        m_phase = Phase::AuthKbdInt;
    } else {
        m_phase = Phase::AuthPassword;
    }
    drive();
}

SshChannel::Step SshChannel::passwordNotAccepted() {
    m_owner.channelInfo(SftpInfo::KeyRefused, QStringLiteral("The password was not accepted"));
    m_password.reset();
    if (m_passwordAsked && m_passwordAttempt < MaxSecretAttempts) {
        askPassword();
        return Step::Stop;
    }
    m_passwordRefused = true;
    m_refusals << QStringLiteral("the password was not accepted");
    return moveOn(AuthStage::Exhausted);
}

SshChannel::Step SshChannel::authPassword() {
    const QByteArray secret = m_password.value_or(QString()).toUtf8();
    const int rc = ssh_userauth_password(m_ssh, nullptr, secret.constData());
    if (rc == SSH_AUTH_AGAIN)
        return Step::Wait;
    if (rc == SSH_AUTH_SUCCESS) {
        loggedIn(QStringLiteral("with the password"));
        return Step::Next;
    }
    if (rc == SSH_AUTH_ERROR)
        return loginBroken();
    if (rc == SSH_AUTH_PARTIAL) {
        refreshMethods();
        return moveOn(AuthStage::KbdInt);
    }
    return passwordNotAccepted();
}

SshChannel::Step SshChannel::authKbdInt() {
    const int rc = ssh_userauth_kbdint(m_ssh, nullptr, nullptr);
    if (rc == SSH_AUTH_AGAIN)
        return Step::Wait;
    if (rc == SSH_AUTH_SUCCESS) {
        loggedIn(QStringLiteral("with the password"));
        return Step::Next;
    }
    if (rc == SSH_AUTH_ERROR)
        return loginBroken();
    if (rc != SSH_AUTH_INFO)
        return passwordNotAccepted();
    const int prompts = ssh_userauth_kbdint_getnprompts(m_ssh);
    for (int i = 0; i < prompts; ++i) {
        char echo = 0;
        const char* prompt = ssh_userauth_kbdint_getprompt(m_ssh, static_cast<unsigned>(i), &echo);
        if (echo) {
            // Only the password is known here; a question shown as typed is something else.
            m_passwordRefused = true;
            m_refusals << QStringLiteral("the server asked \"%1\"")
                              .arg(QString::fromUtf8(prompt).trimmed());
            return moveOn(AuthStage::Exhausted);
        }
    }
    if (prompts > 0 && !m_password) {
        askPassword();
        return Step::Stop;
    }
    answerKbdPrompts();
    return Step::Next;
}

void SshChannel::answerKbdPrompts() {
    const QByteArray secret = m_password.value_or(QString()).toUtf8();
    const int prompts = ssh_userauth_kbdint_getnprompts(m_ssh);
    for (int i = 0; i < prompts; ++i)
        ssh_userauth_kbdint_setanswer(m_ssh, static_cast<unsigned>(i), secret.constData());
}

void SshChannel::loggedIn(const QString& how) {
    m_owner.channelInfo(SftpInfo::LoggedIn, QStringLiteral("%1 %2").arg(m_settings.user, how));
    m_phase = Phase::ChannelOpen;
}

SshChannel::Step SshChannel::channelOpen() {
    if (!m_channel) {
        m_channel = ssh_channel_new(m_ssh);
        if (!m_channel) {
            sshFailed(SftpError::SshFailed,
                      QStringLiteral("The SSH connection to %1 failed").arg(who()));
            return Step::Stop;
        }
    }
    const int rc = ssh_channel_open_session(m_channel);
    if (rc == SSH_AGAIN)
        return Step::Wait;
    if (rc != SSH_OK) {
        sshFailed(SftpError::SftpUnavailable,
                  QStringLiteral("The server %1 opened no channel").arg(who()));
        return Step::Stop;
    }
    m_phase = Phase::Subsystem;
    return Step::Next;
}

SshChannel::Step SshChannel::subsystem() {
    const int rc = ssh_channel_request_subsystem(m_channel, "sftp");
    if (rc == SSH_AGAIN)
        return Step::Wait;
    if (rc != SSH_OK) {
        sshFailed(SftpError::SftpUnavailable,
                  QStringLiteral("The server %1 offers no SFTP service").arg(who()));
        return Step::Stop;
    }
    m_phase = Phase::Open;
    m_owner.channelOpen();
    return Step::Next;
}

// ---- The transfer ----

void SshChannel::send(QByteArray bytes) {
    if (m_phase != Phase::Open || bytes.isEmpty())
        return;
    m_outBytes += bytes.size();
    m_out.push_back(std::move(bytes));
    if (m_driving) {
        m_driveAgain = true;
        return;
    }
    // Out at once, but never an answer handed to the owner from inside its own send: the
    // reading (of what libssh may have taken in meanwhile) comes from the event loop.
    m_driving = true;
    const bool moved = writeOut();
    m_driving = false;
    if (m_teardownPending) {
        m_teardownPending = false;
        teardown(m_teardownPolite);
        return;
    }
    if (!m_drivePosted) {
        m_drivePosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_drivePosted = false;
                drive();
            },
            Qt::QueuedConnection);
    }
    updateNotifiers();
    updateTimer(moved);
}

void SshChannel::setAwaitingReplies(bool awaiting) {
    if (m_awaitingReplies == awaiting)
        return;
    m_awaitingReplies = awaiting;
    if (!m_driving && m_phase == Phase::Open)
        updateTimer(false);
}

bool SshChannel::writeOut() {
    bool moved = false;
    while (!m_out.empty()) {
        const std::uint32_t window = ssh_channel_window_size(m_channel);
        if (window == 0)
            break;
        // Small requests queued together go as one SSH packet: one write for the server to
        // wake up to, not one for each request (a small file's write, close and the next
        // file's open).
        if (m_outOffset == 0 && m_out.size() > 1 && m_out.front().size() < CoalesceLimit &&
            m_out[1].size() < CoalesceLimit) {
            QByteArray merged;
            merged.reserve(CoalesceLimit);
            while (!m_out.empty() && merged.size() + m_out.front().size() <= CoalesceLimit) {
                merged += m_out.front();
                m_out.pop_front();
            }
            m_out.push_front(std::move(merged));
        }
        const QByteArray& front = m_out.front();
        const qsizetype n = std::min<qsizetype>(
            {front.size() - m_outOffset, static_cast<qsizetype>(window), WriteChunk});
        const int written = ssh_channel_write(m_channel, front.constData() + m_outOffset,
                                              static_cast<std::uint32_t>(n));
        if (written < 0) {
            sshFailed(SftpError::ConnectionLost,
                      QStringLiteral("The connection to %1 was lost").arg(who()));
            return false;
        }
        if (written == 0)
            break;
        moved = true;
        m_outOffset += written;
        m_outBytes -= written;
        if (m_outOffset == front.size()) {
            m_out.pop_front();
            m_outOffset = 0;
        }
        if (written < n)
            break;
    }
    return moved;
}

bool SshChannel::transfer() {
    // Out first, the server's window allowing; then in: everything libssh has, which may have
    // come in while writing.
    bool moved = writeOut();
    if (m_teardownPending || m_phase != Phase::Open)
        return moved;
    qsizetype taken = 0;
    while (taken < MaxReadPerDrive) {
        const int n = ssh_channel_read_nonblocking(
            m_channel, m_readBuffer.data(), static_cast<std::uint32_t>(m_readBuffer.size()), 0);
        if (n > 0) {
            moved = true;
            taken += n;
            m_owner.channelReceived(m_readBuffer.constData(), n);
            if (m_teardownPending || m_phase != Phase::Open)
                return moved;
            continue;
        }
        if (n == SSH_EOF || (n == 0 && ssh_channel_is_eof(m_channel))) {
            fail(SftpError::ConnectionLost,
                 QStringLiteral("The connection to %1 was lost: the server ended the SFTP channel.")
                     .arg(who()));
            return moved;
        }
        if (n < 0) {
            sshFailed(SftpError::ConnectionLost,
                      QStringLiteral("The connection to %1 was lost").arg(who()));
            return moved;
        }
        break;
    }
    if (taken >= MaxReadPerDrive)
        QTimer::singleShot(0, this, &SshChannel::drive); // more waits in libssh's buffer
    if (moved && !m_out.empty())
        m_driveAgain = true; // replies may have opened the window
    return moved;
}

// ---- Notifiers, time-outs, the end ----

void SshChannel::updateNotifiers() {
    if (!m_readNotifier)
        return;
    const bool waitingForUser = awaitingAnswer();
    m_readNotifier->setEnabled(!waitingForUser);
    const bool writePending = m_ssh && (ssh_get_status(m_ssh) & SSH_WRITE_PENDING);
    m_writeNotifier->setEnabled(!waitingForUser && writePending);
}

void SshChannel::updateTimer(bool progress) {
    if (m_timerIsConnect)
        return;
    bool waiting = false;
    if (m_phase == Phase::Open)
        waiting = m_awaitingReplies || !m_out.empty() ||
                  (m_ssh && (ssh_get_status(m_ssh) & SSH_WRITE_PENDING));
    else
        waiting = m_phase != Phase::Closed && m_phase != Phase::Idle && !awaitingAnswer();
    if (!waiting || m_settings.replyTimeOut <= 0) {
        m_timer.stop();
        return;
    }
    if (progress || !m_timer.isActive())
        m_timer.start(m_settings.replyTimeOut * 1000);
}

void SshChannel::timedOut() {
    if (m_phase == Phase::Closed)
        return;
    const auto seconds = [](int n) {
        return n == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(n);
    };
    if (m_timerIsConnect) {
        fail(SftpError::TimeOut,
             QStringLiteral("The server %1 did not answer on port %2 within %3.")
                 .arg(m_settings.host)
                 .arg(m_settings.port)
                 .arg(seconds(m_settings.connectTimeOut)));
        return;
    }
    fail(SftpError::TimeOut, QStringLiteral("The server %1 did not answer within %2.")
                                 .arg(who(), seconds(m_settings.replyTimeOut)));
}

void SshChannel::sshFailed(SftpError error, const QString& what) {
    QString reason = m_ssh ? QString::fromUtf8(ssh_get_error(m_ssh)).trimmed() : QString();
    if (reason.isEmpty())
        reason = QStringLiteral("no reason was given");
    fail(error, QStringLiteral("%1: %2.").arg(what, reason));
}

void SshChannel::fail(SftpError error, const QString& text) {
    if (m_phase == Phase::Closed)
        return;
    teardown(false);
    m_owner.channelFailed(error, text);
}

void SshChannel::close() {
    if (m_phase == Phase::Closed)
        return;
    teardown(true);
}

void SshChannel::abort() {
    if (m_phase == Phase::Closed)
        return;
    teardown(false);
}

void SshChannel::teardown(bool polite) {
    m_phase = Phase::Closed;
    m_timer.stop();
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    if (m_driving) {
        // libssh is in use further up the stack: the rest happens when drive() returns.
        m_teardownPending = true;
        m_teardownPolite = m_teardownPolite || polite;
        if (m_readNotifier)
            m_readNotifier->setEnabled(false);
        if (m_writeNotifier)
            m_writeNotifier->setEnabled(false);
        return;
    }
    dropNotifier(m_readNotifier);
    dropNotifier(m_writeNotifier);
    if (m_ssh) {
        if (m_channel && polite && ssh_channel_is_open(m_channel)) {
            ssh_channel_send_eof(m_channel);
            ssh_channel_close(m_channel);
        }
        // Still open in libssh, its descriptor is ours to close after the goodbye.
        // Handed over, the duplicate is libssh's: closed by it after an error, else still open
        // in it (a descriptor set by option survives ssh_disconnect) and closed here. Never
        // handed over, it is closed here too.
        const socket_t libsshFd = m_libsshFdHandedOver ? ssh_get_fd(m_ssh) : m_libsshFd;
        ssh_disconnect(m_ssh); // frees the channel too
        m_channel = nullptr;
        if (libsshFd >= 0)
            ::close(libsshFd);
        ssh_free(m_ssh);
        m_ssh = nullptr;
    } else if (m_libsshFd >= 0) {
        ::close(m_libsshFd);
    }
    m_libsshFd = -1;
    m_libsshFdHandedOver = false;
    if (m_publicKey) {
        ssh_key_free(m_publicKey);
        m_publicKey = nullptr;
    }
    if (m_privateKey) {
        ssh_key_free(m_privateKey);
        m_privateKey = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_out.clear();
    m_outBytes = 0;
    m_outOffset = 0;
}
