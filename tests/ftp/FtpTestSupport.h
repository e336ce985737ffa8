// Helpers of the FTP tests: bounded event-loop waits, a launcher for the Python test servers
// (stopped by PID), and a recorder of everything a TStarFtp reports.
#pragma once

#include "ftp/Ftp.h"
#include "support/FreePort.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <QTimer>

#include <QFile>

#include <arpa/inet.h>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ftptest {

// Runs the event loop until the predicate holds or the deadline passes.
inline bool waitFor(const std::function<bool()>& done, int deadlineMs = 8000) {
    return testsupport::waitFor(done, deadlineMs);
}

inline QString testDir() {
    return QStringLiteral(QUILLON_TEST_DIR);
}

// A Python helper process that prints its port on its first line.
class PythonServer {
public:
    ~PythonServer() { stop(); }

    // Starts the script; returns the port, or 0 with a reason in error().
    int start(const QString& script, const QStringList& arguments) {
        m_process.setProgram(QStringLiteral(QUILLON_SYSTEM_PYTHON));
        m_process.setArguments(QStringList{testDir() + QStringLiteral("/ftp/") + script} +
                               arguments);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (!m_process.waitForStarted(5000)) {
            m_error = m_process.errorString();
            return 0;
        }
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < 8000) {
            if (!m_process.waitForReadyRead(200) && m_process.state() == QProcess::NotRunning)
                break;
        }
        if (!m_process.canReadLine()) {
            m_error = QString::fromUtf8(m_process.readAllStandardError());
            return 0;
        }
        return QString::fromLatin1(m_process.readLine()).trimmed().toInt();
    }

    // Waits (bounded) for the script to end and returns everything it printed after the port.
    QString finish(int deadlineMs = 5000) {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(deadlineMs))
            stop();
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output;
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        const qint64 pid = m_process.processId();
        if (pid > 0)
            ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (!m_process.waitForFinished(2000) && pid > 0) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
            m_process.waitForFinished(2000);
        }
    }

    QString error() const { return m_error; }
    qint64 processId() const { return m_process.processId(); }

private:
    QProcess m_process;
    QString m_error;
    QString m_output;
};

// Records what the engine reports, in order: "ready", "loggedin", "quit", "error 27", ...
struct Recorder {
    QStringList events;
    QStringList commands; // command lines sent, without CR LF
    QList<std::pair<int, QString>> infos;
    QList<int> errors;
    QString needReply; // what OnFtpNeedInfo hands back

    explicit Recorder(TStarFtp& ftp) {
        ftp.OnFtpInfo = [this](TStarFtp*, FtpInfo code, const QString& text) {
            infos.append({static_cast<int>(code), text});
            if (code == FtpInfo::CommandSent)
                commands.append(text.chopped(2));
            if (code == FtpInfo::Busy)
                events.append(QStringLiteral("busy"));
        };
        ftp.OnFtpError = [this](TStarFtp*, FtpError code, const QString& text) {
            errors.append(static_cast<int>(code));
            events.append(QStringLiteral("error %1 %2").arg(static_cast<int>(code)).arg(text));
        };
        ftp.OnFtpNeedInfo = [this](TStarFtp*, TFtpInfoNeeded need, QString& value) {
            events.append(QStringLiteral("need %1").arg(static_cast<int>(need)));
            value = needReply;
        };
        auto on = [this](const char* name) {
            return [this, name](TStarFtp*) { events.append(QLatin1String(name)); };
        };
        ftp.OnFtpReady = on("ready");
        ftp.OnLoggedIn = on("loggedin");
        ftp.OnDirectoryChanged = on("changed");
        ftp.OnDirectoryCreated = on("created");
        ftp.OnDirectoryDeleted = on("removed");
        ftp.OnFileDeleted = on("deleted");
        ftp.OnFileStored = on("stored");
        ftp.OnListingDone = on("listed");
        ftp.OnFileRenamed = on("renamed");
        ftp.OnFtpQuit = on("quit");
    }

    bool has(const QString& event) const { return events.contains(event); }
    int count(FtpInfo code) const {
        int n = 0;
        for (const auto& [c, text] : infos)
            n += c == static_cast<int>(code) ? 1 : 0;
        return n;
    }
    QStringList texts(FtpInfo code) const {
        QStringList out;
        for (const auto& [c, text] : infos) {
            if (c == static_cast<int>(code))
                out.append(text);
        }
        return out;
    }
    // Waits for the event; clears the event list first when asked, so steps can be told apart.
    bool waitEvent(const QString& event, int deadlineMs = 8000) {
        return waitFor([&] { return has(event); }, deadlineMs);
    }
};

// Starts pyftpdlib serving `home` to "webmaster" (password "s3cret") and points the client at
// it; returns the port, or 0 with the reason in server.error().
inline int startPyftpd(PythonServer& server, const QString& home, TStarFtp& ftp,
                       const QStringList& options = {}) {
    const int port = server.start(
        QStringLiteral("pyftpd_server.py"),
        QStringList{home, QStringLiteral("webmaster"), QStringLiteral("s3cret")} + options);
    ftp.FtpPort = port;
    ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
    ftp.UserName = QStringLiteral("webmaster");
    ftp.UserPassword = QStringLiteral("s3cret");
    return port;
}

using testsupport::freePort;

inline bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

inline const QString kVsftpd = QStringLiteral("/usr/sbin/vsftpd");

// Starts vsftpd with anonymous uploads into `root`, its configuration and empty secure folder
// kept in `scratch`; `extra` lines are added to the configuration (later lines win). Returns
// the port, or 0 with the reason in `error`.
inline int startVsftpd(QProcess& process, const QString& root, const QString& scratch,
                       QString& error, const QString& extra = {}) {
    QFile tmpl(testDir() + QStringLiteral("/ftp/vsftpd.conf.in"));
    if (!tmpl.open(QIODevice::ReadOnly)) {
        error = tmpl.errorString();
        return 0;
    }
    QDir().mkpath(scratch + QStringLiteral("/empty"));
    const int port = freePort();
    QString conf = QString::fromUtf8(tmpl.readAll());
    conf.replace(QStringLiteral("@PORT@"), QString::number(port));
    conf.replace(QStringLiteral("@ROOT@"), root);
    conf.replace(QStringLiteral("@EMPTY@"), scratch + QStringLiteral("/empty"));
    conf += QLatin1Char('\n') + extra + QLatin1Char('\n');
    const QString confPath = scratch + QStringLiteral("/vsftpd.conf");
    QFile out(confPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(conf.toUtf8()) < 0) {
        error = out.errorString();
        return 0;
    }
    out.close();
    process.setProgram(kVsftpd);
    process.setArguments({confPath});
    process.start();
    if (!process.waitForStarted(5000)) {
        error = process.errorString();
        return 0;
    }
    const bool up =
        waitFor([&] { return accepts(port) || process.state() == QProcess::NotRunning; }, 5000);
    if (!up || process.state() != QProcess::Running) {
        error = QStringLiteral("vsftpd did not start: ") +
                QString::fromUtf8(process.readAllStandardError() + process.readAllStandardOutput());
        return 0;
    }
    return port;
}

// Stops a server process by its PID: TERM, then KILL if it does not go.
inline void stopByPid(QProcess& process) {
    const qint64 pid = process.processId();
    if (process.state() != QProcess::NotRunning && pid > 0) {
        ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (!process.waitForFinished(2000))
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        process.waitForFinished(2000);
    }
}

// The login every scripted scenario starts with, up to the client's SYST.
inline constexpr const char* kLogin =
    R"(["send", "220 ready\r\n"], ["expect", "USER"], ["send", "331 pass\r\n"],
    ["expect", "PASS"], ["send", "230 ok\r\n"], ["expect", "SYST"])";

// A TStarFtp against the scripted server, which plays one scenario and logs what it received.
class ScriptedFixture : public ::testing::Test {
protected:
    // Starts the server with the steps (a JSON list body) and connects to it.
    void play(const QString& steps) {
        ASSERT_TRUE(m_scenario.open());
        m_scenario.write((QLatin1Char('[') + steps + QLatin1Char(']')).toUtf8());
        m_scenario.flush();
        const int port =
            m_server.start(QStringLiteral("scripted_ftp_server.py"), {m_scenario.fileName()});
        ASSERT_GT(port, 0) << m_server.error().toStdString();
        m_ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
        m_ftp.FtpPort = port;
        m_ftp.UserName = QStringLiteral("u");
        m_ftp.UserPassword = QStringLiteral("p");
        m_ftp.Connect();
    }
    void TearDown() override { m_server.stop(); }
    // The server's log once the client has gone.
    QString serverLog() {
        m_ftp.CloseSocket();
        return m_server.finish();
    }

    QTemporaryFile m_scenario;
    PythonServer m_server;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
};

} // namespace ftptest
