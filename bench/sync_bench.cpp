// Synchronise's comparison against the listing of the same folders, over one FTP session to a
// loopback pyftpdlib, in one run. The site: 1,000 files in ten folders, here and on the server
// (the server's copies an hour newer, as after an upload; a tenth edited here since, a twentieth
// new here, a twentieth gone here). "list" lists the root and the ten folders (the same
// MLSD or LIST the comparison sends); "sync" is the whole comparison: the local walk, the same
// listings, the exact times it asks for, and the comparison itself. Rounds alternate, medians are
// compared; the goal is a ratio of at most 2. The second server refuses MLSD and lists in its
// own zone (Asia/Kathmandu), so the comparison finds the zone through MDTM.
// Usage: sync_bench [files (1000)] [rounds (5)]
#include "ftp/FtpSession.h"
#include "publish/SiteSync.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/time.h>
#include <vector>

namespace {

bool waitFor(const std::function<bool()>& done, int deadlineMs = 60000) {
    return testsupport::waitFor(done, deadlineMs);
}

void writeAt(const QString& path, const QByteArray& bytes, qint64 secs) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    f.close();
    const timeval times[2] = {{secs, 0}, {secs, 0}};
    ::utimes(QFile::encodeName(path).constData(), times);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Server {
    QProcess process;
    int port = 0;
    bool start(const QString& home, const QStringList& options) {
        process.setProgram(QStringLiteral("/usr/bin/python3"));
        process.setArguments(
            QStringList{QStringLiteral(QUILLON_SOURCE_DIR "/tests/ftp/pyftpd_server.py"), home,
                        QStringLiteral("bench"), QStringLiteral("bench")} +
            options);
        process.start();
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine() && process.waitForReadyRead(8000)) {
        }
        port = QString::fromLatin1(process.readLine()).trimmed().toInt();
        return port > 0;
    }
    ~Server() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(2000))
                process.kill();
            process.waitForFinished(2000);
        }
    }
};

// One comparison against one server: the ratio of the medians.
bool measure(const char* label, const QString& local, const QString& home,
             const QStringList& options, int rounds) {
    Server server;
    if (!server.start(home, options)) {
        std::fprintf(stderr, "pyftpdlib did not start\n");
        return false;
    }
    FtpSession session;
    TStarFtp& f = session.engine();
    f.SetFtpServer(QStringLiteral("127.0.0.1"));
    f.FtpPort = server.port;
    f.UserName = QStringLiteral("bench");
    f.UserPassword = QStringLiteral("bench");
    f.InitialDirectory = QStringLiteral("/site");
    bool in = false;
    RemoteOpId awaited = 0;
    bool arrived = false;
    QObject::connect(&session, &RemoteSession::sessionEvent, [&](const RemoteEvent& e) {
        if (e.kind == RemoteEvent::Kind::Done && e.opKind == RemoteOpKind::Login)
            in = e.ok;
        if (e.kind == RemoteEvent::Kind::Done && e.op == awaited)
            arrived = true;
    });
    session.logIn();
    if (!waitFor([&] { return in; }))
        return false;
    QStringList folders{QString()};
    for (const QString& d : QDir(local).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders << d;
    std::vector<double> listTimes, syncTimes;
    qsizetype differences = 0;
    int queries = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (const QString& folder : folders) {
            arrived = false;
            awaited = session.listEntries(
                (QStringLiteral("/site") + (folder.isEmpty() ? QString() : u'/' + folder))
                    .toUtf8());
            if (!waitFor([&] { return arrived; }))
                return false;
        }
        listTimes.push_back(clock.nsecsElapsed() / 1e6);

        clock.restart();
        SiteSync sync(session, SiteSync::filesBelow(local), QStringLiteral("/site"));
        bool done = false;
        QObject::connect(&sync, &SiteSync::finished, [&] { done = true; });
        QObject::connect(&sync, &SiteSync::failed, [&](const QString& why) {
            std::fprintf(stderr, "comparison failed: %s\n", qPrintable(why));
            done = true;
        });
        sync.start();
        if (!waitFor([&] { return done; }))
            return false;
        syncTimes.push_back(clock.nsecsElapsed() / 1e6);
        differences = sync.items().size();
        queries = sync.fileQueries();
    }
    const double list = median(listTimes), sync = median(syncTimes);
    std::printf("%s: list %.1f ms, sync %.1f ms (%lld differences, %d exact times asked)\n", label,
                list, sync, static_cast<long long>(differences), queries);
    std::printf("ratio sync/list%s: %.2f\n", label[0] == 'M' ? "" : " (LIST, other zone)",
                sync / list);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir local, home;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("folder%1/page%2.html").arg(i % 10).arg(i);
        const QByteArray bytes = QByteArray("<html>page ") + QByteArray::number(i) + "</html>";
        const qint64 written = now - 86400 + i;
        if (i % 20 != 1)
            writeAt(local.path() + u'/' + name, bytes, i % 10 == 0 ? now - 100 : written);
        if (i % 20 != 2)
            writeAt(home.path() + QStringLiteral("/site/") + name, bytes, written + 3600);
    }
    if (!measure("MLSD", local.path(), home.path(), {}, rounds))
        return 1;
    if (!measure("LIST", local.path(), home.path(),
                 {QStringLiteral("--refuse"), QStringLiteral("MLSD,MLST"), QStringLiteral("--tz"),
                  QStringLiteral("Asia/Kathmandu"), QStringLiteral("--list-local-times")},
                 rounds))
        return 1;
    return 0;
}
