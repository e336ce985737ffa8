// An OpenSSH server of the tests' own: sshd on a free loopback port with a configuration, host
// key and authorized keys in a temporary folder, serving the user the tests run as, with the
// sftp-server subsystem. Stopped by PID, its connections too. Works as root (the privilege
// separation folder is made when missing; root may log in) and as a normal user (sshd then runs
// unprivileged and logs in only that user, through PAM so that a locked password does not
// count). Also an ssh-agent of the tests' own, and key generation through ssh-keygen.
#pragma once

#include "support/FreePort.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sshtest {

inline QString currentUser() {
    if (const passwd* pw = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

using testsupport::freePort;

// Runs a program to its end (bounded); its output, or an empty text with the reason in error.
inline bool
runTool(const QString& program, const QStringList& arguments, QString* error = nullptr,
        QByteArray* output = nullptr,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        if (error)
            *error = program + QStringLiteral(": ") +
                     QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(2000);
        }
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// A new key pair at path (and path.pub), with the passphrase (empty: none).
inline bool makeKey(const QString& path, const QString& passphrase, QString* error = nullptr,
                    const QString& type = QStringLiteral("ed25519")) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".pub"));
    return runTool(QStringLiteral("ssh-keygen"),
                   {QStringLiteral("-q"), QStringLiteral("-t"), type, QStringLiteral("-N"),
                    passphrase, QStringLiteral("-C"), QStringLiteral("quillon-test"),
                    QStringLiteral("-f"), path},
                   error);
}

// "SHA256:..." of a public key file, as OpenSSH shows it.
inline QString fingerprintOf(const QString& publicKeyFile) {
    QByteArray out;
    if (!runTool(QStringLiteral("ssh-keygen"),
                 {QStringLiteral("-l"), QStringLiteral("-E"), QStringLiteral("sha256"),
                  QStringLiteral("-f"), publicKeyFile},
                 nullptr, &out))
        return {};
    const QList<QByteArray> fields = out.simplified().split(' ');
    return fields.size() > 1 ? QString::fromLatin1(fields[1]) : QString();
}

// Every process below pid, deepest last.
inline QList<pid_t> descendantsOf(pid_t root) {
    QHash<pid_t, QList<pid_t>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // pid (name) state ppid ...: the name may hold spaces and parentheses.
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 1)
            children[fields[1].toInt()].append(pid);
    }
    QList<pid_t> out;
    QList<pid_t> frontier{root};
    while (!frontier.isEmpty()) {
        const pid_t next = frontier.takeFirst();
        for (pid_t child : children.value(next)) {
            out.append(child);
            frontier.append(child);
        }
    }
    return out;
}

class TestSshd {
public:
    ~TestSshd() { stop(); }

    // Starts the server; false with the reason in error().
    bool start() {
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        if (::getuid() == 0 && !QFileInfo::exists(QStringLiteral("/run/sshd"))) {
            // Where sshd drops its privileges; the system's own sshd service makes it.
            if (!QDir().mkpath(QStringLiteral("/run/sshd")))
                return fail(QStringLiteral("cannot make /run/sshd"));
            ::chmod("/run/sshd", 0755);
        }
        QString error;
        if (!QFileInfo::exists(hostKey()) && !makeKey(hostKey(), QString(), &error))
            return fail(error);
        QFile keys(authorizedKeys());
        if (!keys.exists()) {
            keys.open(QIODevice::WriteOnly);
            keys.close();
        }
        // A port found free may be taken before sshd binds it: then another one.
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = freePort();
            writeConfig();
            if (launch())
                return true;
            if (!m_error.contains(QStringLiteral("Address already in use")))
                return false;
        }
        return false;
    }

    // Stops the server and every connection it serves.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        killConnections(SIGTERM);
        const qint64 pid = m_process.processId();
        if (pid > 0)
            ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (!m_process.waitForFinished(3000) && pid > 0) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
            m_process.waitForFinished(3000);
        }
    }

    // Ends every connection at once, as a server that crashed; the server itself listens on.
    void killConnections(int signal = SIGKILL) {
        const qint64 pid = m_process.processId();
        if (pid <= 0)
            return;
        for (pid_t child : descendantsOf(static_cast<pid_t>(pid)))
            ::kill(child, signal);
    }

    int port() const { return m_port; }
    QString user() const { return currentUser(); }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    QString hostKey() const { return folder() + QStringLiteral("host_key"); }
    QString hostFingerprint() const { return fingerprintOf(hostKey() + QStringLiteral(".pub")); }
    QByteArray hostPublicKey() const {
        QFile f(hostKey() + QStringLiteral(".pub"));
        f.open(QIODevice::ReadOnly);
        return f.readAll().trimmed();
    }
    // The known-hosts line for this server: "[127.0.0.1]:port ssh-ed25519 AAAA...".
    QByteArray knownHostsLine() const {
        const QList<QByteArray> fields = hostPublicKey().split(' ');
        return QStringLiteral("[127.0.0.1]:%1 ").arg(m_port).toLatin1() + fields.value(0) + ' ' +
               fields.value(1);
    }
    QString authorizedKeys() const { return folder() + QStringLiteral("authorized_keys"); }
    // Lets the key (its .pub file) log in.
    bool authorize(const QString& privateKeyFile) {
        QFile pub(privateKeyFile + QStringLiteral(".pub"));
        QFile keys(authorizedKeys());
        if (!pub.open(QIODevice::ReadOnly) || !keys.open(QIODevice::Append))
            return false;
        return keys.write(pub.readAll()) > 0;
    }
    QString log() const {
        QFile f(folder() + QStringLiteral("sshd.log"));
        f.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(f.readAll());
    }
    QString error() const { return m_error; }

private:
    bool fail(const QString& why) {
        m_error = why;
        return false;
    }

    void writeConfig() {
        const bool root = ::getuid() == 0;
        // The sftp-server program runs through the user's shell; an account without one (a
        // service account running the tests) gets sshd's built-in server.
        const passwd* pw = ::getpwuid(::getuid());
        const QString shell = pw ? QString::fromLocal8Bit(pw->pw_shell) : QString();
        const bool realShell =
            !shell.endsWith(QStringLiteral("nologin")) && !shell.endsWith(QStringLiteral("false"));
        const QString sftpServer =
            realShell && QFileInfo::exists(QStringLiteral("/usr/lib/openssh/sftp-server"))
                ? QStringLiteral("/usr/lib/openssh/sftp-server")
                : QStringLiteral("internal-sftp");
        QFile config(folder() + QStringLiteral("sshd_config"));
        config.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QString text;
        text += QStringLiteral("Port %1\nListenAddress 127.0.0.1\n").arg(m_port);
        text += QStringLiteral("HostKey %1\nPidFile none\n").arg(hostKey());
        text += QStringLiteral("AuthorizedKeysFile %1\n").arg(authorizedKeys());
        // The key files live in a temporary folder under /tmp, which StrictModes refuses.
        text += QStringLiteral("StrictModes no\n");
        text += QStringLiteral("PubkeyAuthentication yes\nPasswordAuthentication yes\n");
        text += QStringLiteral("KbdInteractiveAuthentication no\n");
        text += QStringLiteral("PermitRootLogin yes\n");
        text += root ? QStringLiteral("UsePAM no\n") : QStringLiteral("UsePAM yes\n");
        text += QStringLiteral("PrintMotd no\nPrintLastLog no\nUseDNS no\nLogLevel VERBOSE\n");
        text += QStringLiteral("MaxStartups 100\nMaxSessions 100\n");
        text += QStringLiteral("Subsystem sftp %1\n").arg(sftpServer);
        config.write(text.toLocal8Bit());
    }

    bool launch() {
        m_process.setProgram(QStringLiteral("/usr/sbin/sshd"));
        m_process.setArguments({QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"),
                                folder() + QStringLiteral("sshd_config")});
        m_process.setStandardOutputFile(folder() + QStringLiteral("sshd.log"), QIODevice::Append);
        m_process.setStandardErrorFile(folder() + QStringLiteral("sshd.log"), QIODevice::Append);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return fail(m_process.errorString());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (log().contains(QStringLiteral("Server listening on 127.0.0.1 port %1").arg(m_port)))
                return true;
            if (m_process.waitForFinished(20))
                return fail(QStringLiteral("sshd ended: ") + log());
        }
        stop();
        return fail(QStringLiteral("sshd did not start listening: ") + log());
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/quillon-sshd-XXXXXX")};
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};

// An ssh-agent of the tests' own on a socket in a temporary folder, stopped by PID.
class TestAgent {
public:
    ~TestAgent() { stop(); }

    bool start() {
        m_process.setProgram(QStringLiteral("ssh-agent"));
        m_process.setArguments({QStringLiteral("-D"), QStringLiteral("-a"), socket()});
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            if (QFileInfo::exists(socket()))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    bool add(const QString& keyFile) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SSH_AUTH_SOCK"), socket());
        return runTool(QStringLiteral("ssh-add"), {QStringLiteral("-q"), keyFile}, nullptr, nullptr,
                       environment);
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(3000)) {
            ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
            m_process.waitForFinished(3000);
        }
    }

    QString socket() const { return m_dir.path() + QStringLiteral("/agent.sock"); }

private:
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/quillon-agent-XXXXXX")};
    QProcess m_process;
};

} // namespace sshtest
