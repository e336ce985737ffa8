// Helpers of the SFTP tests: bounded event-loop waits, a strict recorder of everything an
// SftpSession reports (a question the test did not queue an answer for fails the test), and a
// session set up for the tests' own sshd with a client folder of its own.
#pragma once

#include "sftp/SftpSession.h"
#include "support/TestSshd.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <dirent.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sftptest {

// Every path below the folder, relative and by its bytes (Qt's own walk loses Latin-1 names),
// sorted.
inline QByteArrayList treeOf(const QByteArray& folder, const QByteArray& prefix = {}) {
    QByteArrayList out;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return out;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = folder + '/' + name;
        out << prefix + name;
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            out << treeOf(path, prefix + name + '/');
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end());
    return out;
}

// Removes what the folder holds, by the bytes of the names (QTemporaryDir cannot remove a
// Latin-1 name).
inline void emptyFolder(const QByteArray& folder) {
    QByteArrayList paths = treeOf(folder);
    std::sort(paths.begin(), paths.end(), std::greater<>()); // children before their folder
    for (const QByteArray& relative : paths) {
        const QByteArray path = folder + '/' + relative;
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            ::rmdir(path.constData());
        else
            ::unlink(path.constData());
    }
}

// Runs the event loop until the predicate holds or the deadline passes.
inline bool waitFor(const std::function<bool()>& done, int deadlineMs = 15000) {
    return testsupport::waitFor(done, deadlineMs);
}

inline const char* kindName(SftpOperation::Kind kind) {
    switch (kind) {
    case SftpOperation::Kind::Login:
        return "login";
    case SftpOperation::Kind::List:
        return "list";
    case SftpOperation::Kind::ChangeDirectory:
        return "cd";
    case SftpOperation::Kind::MakeDirectory:
        return "mkdir";
    case SftpOperation::Kind::RemoveDirectory:
        return "rmdir";
    case SftpOperation::Kind::Delete:
        return "delete";
    case SftpOperation::Kind::Rename:
        return "rename";
    case SftpOperation::Kind::Store:
        return "store";
    case SftpOperation::Kind::Quit:
        return "quit";
    case SftpOperation::Kind::Stat:
        return "stat";
    }
    return "?";
}

// Records the session's events as lines: "info 6 <text>", "question hostkey", "done store ok",
// "done mkdir failed 22 <text>", "error 7 <text>", "quit". Progress is counted, not logged.
struct Recorder {
    struct Answer {
        SftpQuestion::Kind kind;
        bool yes = true;
        std::optional<QString> text;
    };

    QStringList lines;
    QList<SftpEvent> events;
    QList<SftpQuestion> questions;
    std::deque<Answer> answers;
    int progressEvents = 0;
    std::function<void(const SftpEvent&)> onProgress;
    std::function<void(const SftpEvent&)> onDone;

    explicit Recorder(SftpSession& session) {
        QObject::connect(&session, &SftpSession::sessionEvent, &session,
                         [this, &session](const SftpEvent& e) { record(session, e); });
    }

    void record(SftpSession& session, const SftpEvent& e) {
        events.append(e);
        switch (e.kind) {
        case SftpEvent::Kind::Info:
            lines << QStringLiteral("info %1 %2").arg(static_cast<int>(e.info)).arg(e.text);
            break;
        case SftpEvent::Kind::Progress:
            ++progressEvents;
            if (onProgress)
                onProgress(e);
            break;
        case SftpEvent::Kind::Question: {
            static const char* names[] = {"hostkey", "passphrase", "password"};
            lines << QStringLiteral("question %1")
                         .arg(QLatin1String(names[static_cast<int>(e.question.kind)]));
            questions.append(e.question);
            if (answers.empty() || answers.front().kind != e.question.kind) {
                ADD_FAILURE() << "unexpected question: " << e.question.text.toStdString();
                session.Abort();
                return;
            }
            const Answer answer = answers.front();
            answers.pop_front();
            switch (answer.kind) {
            case SftpQuestion::Kind::HostKey:
                session.AnswerHostKey(answer.yes);
                break;
            case SftpQuestion::Kind::Passphrase:
                session.AnswerPassphrase(answer.text);
                break;
            case SftpQuestion::Kind::Password:
                session.AnswerPassword(answer.text);
                break;
            }
            break;
        }
        case SftpEvent::Kind::Done:
            lines << (e.operation->succeeded()
                          ? QStringLiteral("done %1 ok")
                                .arg(QLatin1String(kindName(e.operation->kind())))
                          : QStringLiteral("done %1 failed %2 %3")
                                .arg(QLatin1String(kindName(e.operation->kind())))
                                .arg(static_cast<int>(e.operation->error()))
                                .arg(e.operation->errorText()));
            if (onDone)
                onDone(e);
            break;
        case SftpEvent::Kind::Error:
            lines << QStringLiteral("error %1 %2").arg(static_cast<int>(e.error)).arg(e.text);
            break;
        case SftpEvent::Kind::Quit:
            lines << QStringLiteral("quit");
            break;
        }
    }

    bool has(const QString& line) const { return lines.contains(line); }
    bool hasPrefix(const QString& prefix) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString& l) { return l.startsWith(prefix); });
    }
    int count(const QString& line) const { return static_cast<int>(lines.count(line)); }
    // The lines that are not infos: the outcome of a run in order.
    QStringList outcome() const {
        QStringList out;
        for (const QString& l : lines) {
            if (!l.startsWith(QStringLiteral("info ")))
                out << l;
        }
        return out;
    }
    QStringList infos(SftpInfo info) const {
        QStringList out;
        const QString prefix = QStringLiteral("info %1 ").arg(static_cast<int>(info));
        for (const QString& l : lines) {
            if (l.startsWith(prefix))
                out << l.mid(prefix.size());
        }
        return out;
    }
    bool waitLine(const QString& line, int deadlineMs = 15000) {
        return waitFor([&] { return has(line); }, deadlineMs);
    }
    QString dump() const { return lines.join(QLatin1Char('\n')); }
};

// A client side of its own: known hosts, key folder and global known hosts in a temporary folder,
// so that nothing of the user's ~/.ssh is read or written.
struct Client {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/quillon-client-XXXXXX")};
    QString knownHosts() const { return dir.path() + QStringLiteral("/known_hosts"); }
    QString keyFolder() const { return dir.path() + QStringLiteral("/keys"); }
    QString key(const QString& name) const { return keyFolder() + QLatin1Char('/') + name; }

    void configure(SftpSession& session, const sshtest::TestSshd& server) const {
        QDir().mkpath(keyFolder());
        SshChannel::Settings& c = session.Connection;
        c.host = QStringLiteral("127.0.0.1");
        c.port = server.port();
        c.user = server.user();
        c.knownHostsFile = knownHosts();
        c.globalKnownHostsFile = dir.path() + QStringLiteral("/global_known_hosts");
        c.keyFolder = keyFolder();
        c.agentSocket = dir.path() + QStringLiteral("/no-agent");
        c.useAgent = false;
        c.useKeys = true;
        c.connectTimeOut = 10;
        c.replyTimeOut = 20;
    }
    // Trusts the server without asking, as after an earlier "Yes".
    bool trust(const sshtest::TestSshd& server) const {
        QFile f(knownHosts());
        if (!f.open(QIODevice::Append))
            return false;
        return f.write(server.knownHostsLine() + '\n') > 0;
    }
    QByteArray knownHostsText() const {
        QFile f(knownHosts());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace sftptest
