// Helpers of the FTP tests: bounded event-loop waits, a launcher for the Python test servers
// (stopped by PID), and a recorder of everything a TStarFtp reports.
#pragma once

#include "ftp/Ftp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <signal.h>

namespace ftptest {

// Runs the event loop until the predicate holds or the deadline passes.
inline bool waitFor(const std::function<bool()>& done, int deadlineMs = 8000) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // makes sure the loop comes round to check the clock
    wake.start(20);
    while (!done()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
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

} // namespace ftptest
