// SshChannel: one SSH connection carrying one session channel with the "sftp" subsystem. The
// SSH protocol, its cryptography and the authentication are libssh's, used in non-blocking mode
// and driven by socket notifiers on the Qt event loop: no call here waits for the network.
//
// The way in: host lookup and TCP connect of our own (so the connect has its time-out and the
// lookup runs beside the window), the SSH handshake, the host key checked against the known
// hosts file as OpenSSH does (an unknown key is a question, a changed key is refused), then the
// ways of logging in in OpenSSH's order: the agent's keys, the key files of the key folder (a
// passphrase is asked only for a key the server would take), the password, and
// keyboard-interactive answered with the password.
#pragma once

#include "sftp/SftpEvent.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

class QHostInfo;
class QSocketNotifier;

struct ssh_session_struct;
struct ssh_channel_struct;
struct ssh_key_struct;

class SshChannel : public QObject {
    Q_OBJECT

public:
    struct Settings {
        QString host;
        int port = 22;
        QString user; // empty: the local user's name
        // Empty: the user's own (~/.ssh/known_hosts, /etc/ssh/ssh_known_hosts, ~/.ssh).
        QString knownHostsFile;
        QString globalKnownHostsFile;
        QString keyFolder;
        QString agentSocket; // empty: $SSH_AUTH_SOCK
        bool useAgent = true;
        bool useKeys = true;
        std::optional<QString> password; // none: asked when the server wants one
        int connectTimeOut = 30;         // seconds for lookup and connect; 0 waits for ever
        int replyTimeOut = 60;           // seconds the server may stay silent; 0 waits for ever
    };

    // What the channel tells its owner, at once and from inside its own notifications. The
    // owner must not destroy the channel from these calls (abort() and close() are fine).
    class Owner {
    public:
        virtual ~Owner() = default;
        virtual void channelInfo(SftpInfo info, const QString& text) = 0;
        virtual void channelQuestion(const SftpQuestion& question) = 0;
        virtual void channelOpen() = 0;
        virtual void channelReceived(const char* bytes, qsizetype size) = 0;
        // The connection ended by an error; the channel is closed already.
        virtual void channelFailed(SftpError error, const QString& text) = 0;
    };

    explicit SshChannel(Owner& owner, QObject* parent = nullptr);
    ~SshChannel() override;

    static Settings withDefaults(Settings settings);
    // "host" or "host (port N)", for messages.
    static QString hostText(const QString& host, int port);

    void open(const Settings& settings);
    bool isOpen() const { return m_phase == Phase::Open; }
    bool isClosed() const { return m_phase == Phase::Closed; }
    bool awaitingAnswer() const;

    void answerHostKey(bool trust);
    // nullopt: no passphrase (the key is skipped) or no password (the login is refused).
    void answerPassphrase(const std::optional<QString>& passphrase);
    void answerPassword(const std::optional<QString>& password);

    // Queues bytes for the channel; they go as fast as the server's window lets them.
    void send(QByteArray bytes);
    qsizetype pendingBytes() const { return m_outBytes; }
    // The owner waits for replies: the reply time-out runs while nothing comes.
    void setAwaitingReplies(bool awaiting);

    // Ends the channel and the connection politely, at once.
    void close();
    // Ends everything at once.
    void abort();

private:
    enum class Phase {
        Idle,
        Lookup,
        TcpConnect,
        Handshake,
        HostKeyQuestion,
        AuthNone,
        AuthAgent,
        AuthKeyProbe,
        AuthKeyPassphrase,
        AuthKeySign,
        AuthPasswordQuestion,
        AuthPassword,
        AuthKbdInt,
        ChannelOpen,
        Subsystem,
        Open,
        Closed,
    };
    // What a step of the way in did.
    enum class Step { Wait, Next, Stop };
    enum class AuthStage { Agent, Keys, Password, KbdInt, Exhausted };

    void lookedUp(const QHostInfo& info);
    void connectNext();
    void tcpConnected();
    void startSsh();

    // Runs the way in or the transfer for as long as something moves; the only place that
    // calls libssh after open().
    void drive();
    Step stepOnce();
    Step handshake();
    Step checkHostKey();
    Step authNone();
    void nextAuthStage();
    // On from a way of logging in that is used up, to the next one the server takes.
    Step moveOn(AuthStage stage);
    Step loginBroken();
    void refusal(const QString& what);
    Step nextKey(const QString& why);
    Step passwordNotAccepted();
    Step authAgent();
    Step authKeyProbe();
    Step loadPrivateKey(const std::optional<QString>& passphrase);
    Step authKeySign();
    Step authPassword();
    Step authKbdInt();
    void answerKbdPrompts();
    void loggedIn(const QString& how);
    Step channelOpen();
    Step subsystem();
    bool transfer(); // true when bytes moved
    bool writeOut();
    void refreshMethods();
    QString methodsText() const;

    void fail(SftpError error, const QString& text);
    void sshFailed(SftpError error, const QString& what);
    void askPassphrase();
    void askPassword();
    void updateNotifiers();
    void updateTimer(bool progress);
    void timedOut();
    void teardown(bool polite);
    QString who() const { return hostText(m_settings.host, m_settings.port); }

    Owner& m_owner;
    Settings m_settings;
    Phase m_phase = Phase::Idle;
    QList<QHostAddress> m_addresses;
    qsizetype m_nextAddress = 0;
    int m_lookupId = -1;
    int m_connectErrno = 0;
    QString m_connectedAddress;
    int m_fd = -1;       // ours: the notifiers watch it
    int m_libsshFd = -1; // a duplicate that libssh owns and may close on an error
    bool m_libsshFdHandedOver = false;
    ssh_session_struct* m_ssh = nullptr;
    ssh_channel_struct* m_channel = nullptr;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_timer;
    bool m_timerIsConnect = false;

    // The way in.
    QString m_keyType;
    QString m_fingerprint;
    int m_methods = 0;
    AuthStage m_authStage = AuthStage::Agent;
    QStringList m_keyFiles;
    qsizetype m_keyIndex = 0;
    ssh_key_struct* m_publicKey = nullptr;
    ssh_key_struct* m_privateKey = nullptr;
    int m_passphraseAttempt = 0;
    bool m_passphraseWanted = false; // set by libssh's callback while a key is read
    std::optional<QString> m_password;
    bool m_passwordAsked = false;
    int m_passwordAttempt = 0;
    bool m_passwordRefused = false;
    QStringList m_refusals; // what was tried and refused, for the final message

    // The transfer.
    std::deque<QByteArray> m_out;
    qsizetype m_outOffset = 0; // of m_out.front()
    qsizetype m_outBytes = 0;
    bool m_awaitingReplies = false;
    QByteArray m_readBuffer;

    bool m_driving = false;
    bool m_drivePosted = false;
    bool m_driveAgain = false;
    bool m_teardownPending = false;
    bool m_teardownPolite = false;

    static int passphraseCallback(const char* prompt, char* buffer, size_t length, int echo,
                                  int verify, void* userdata);
};
