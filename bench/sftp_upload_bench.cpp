// Upload speed of SftpSession against OpenSSH's own sftp client in batch mode, both to the same
// local sshd (the tests' own, on a free loopback port) in one run. Two loads: one large file, and
// many small files over one connection (sftp puts them all with one batch). Rounds alternate
// between the clients so that both meet the same machine; medians are compared. Each side's
// time runs from its start to its end: connect, key exchange, login, uploads and the end of the
// connection. Ratios are sftp's time divided by ours: above 1 we are faster. Every stored file
// is compared with its original after the first round.
// Usage: sftp_upload_bench [megabytes (300)] [small files (1000)] [kilobytes each (20)]
//                          [rounds (5)]
#include "sftp/SftpSession.h"
#include "support/TestSshd.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

// Processor seconds of this process, or of its children that have ended (sftp and its ssh).
double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Setup {
    int port = 0;
    QString user;
    QString key;
    QString knownHosts;
    QString scratch;
};

// Connects, uploads every file into the folder under its own name, quits. Seconds, or -1.
double uploadWithSession(const Setup& setup, const QStringList& files, const QString& folder) {
    QElapsedTimer clock;
    clock.start();
    SftpSession session;
    SshChannel::Settings& c = session.Connection;
    c.host = QStringLiteral("127.0.0.1");
    c.port = setup.port;
    c.user = setup.user;
    c.knownHostsFile = setup.knownHosts;
    c.globalKnownHostsFile = setup.scratch + QStringLiteral("/none");
    c.keyFolder = QFileInfo(setup.key).path();
    c.useAgent = false;
    session.InitialDirectory = QFile::encodeName(folder);
    QEventLoop loop;
    bool failed = false;
    QObject::connect(&session, &SftpSession::sessionEvent, &loop, [&](const SftpEvent& e) {
        if (e.kind == SftpEvent::Kind::Error || e.kind == SftpEvent::Kind::Question ||
            (e.kind == SftpEvent::Kind::Done && !e.operation->succeeded())) {
            std::fprintf(stderr, "SftpSession: %s\n", qPrintable(e.text));
            failed = true;
            session.Abort();
        }
        if (e.kind == SftpEvent::Kind::Quit)
            loop.quit();
    });
    session.Connect();
    for (const QString& file : files)
        session.StoreFile(file, QFile::encodeName(QFileInfo(file).fileName()));
    session.Quit();
    loop.exec();
    return failed ? -1 : clock.nsecsElapsed() / 1e9;
}

// One sftp call with a batch that puts every file into the folder.
double uploadWithSftp(const Setup& setup, const QString& batch) {
    QProcess sftp;
    QElapsedTimer clock;
    clock.start();
    sftp.start(QStringLiteral("sftp"),
               {QStringLiteral("-q"), QStringLiteral("-b"), batch, QStringLiteral("-i"), setup.key,
                QStringLiteral("-P"), QString::number(setup.port), QStringLiteral("-o"),
                QStringLiteral("UserKnownHostsFile=") + setup.knownHosts, QStringLiteral("-o"),
                QStringLiteral("GlobalKnownHostsFile=/dev/null"), QStringLiteral("-o"),
                QStringLiteral("StrictHostKeyChecking=yes"), QStringLiteral("-o"),
                QStringLiteral("IdentitiesOnly=yes"), QStringLiteral("-o"),
                QStringLiteral("BatchMode=yes"), QStringLiteral("%1@127.0.0.1").arg(setup.user)});
    if (!sftp.waitForFinished(900000) || sftp.exitCode() != 0) {
        std::fprintf(stderr, "sftp failed: %s\n", sftp.readAllStandardError().constData());
        return -1;
    }
    return clock.nsecsElapsed() / 1e9;
}

bool sameFiles(const QStringList& files, const QString& folder) {
    for (const QString& file : files) {
        QFile a(file);
        QFile b(folder + QLatin1Char('/') + QFileInfo(file).fileName());
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
            return false;
        while (!a.atEnd()) {
            if (a.read(1 << 20) != b.read(1 << 20))
                return false;
        }
    }
    return true;
}

void freshFolder(const QString& folder) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

bool writeBatch(const QString& path, const QString& remote, const QStringList& files) {
    QFile batch(path);
    if (!batch.open(QIODevice::WriteOnly))
        return false;
    QString text = QStringLiteral("cd \"%1\"\n").arg(remote);
    for (const QString& file : files)
        text += QStringLiteral("put \"%1\"\n").arg(file);
    return batch.write(text.toLocal8Bit()) > 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 300;
    const int smallCount = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int smallKilobytes = argc > 3 ? std::atoi(argv[3]) : 20;
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;

    QTemporaryDir scratchDir(QDir::tempPath() + QStringLiteral("/quillon-sftp-bench-XXXXXX"));
    Setup setup;
    setup.scratch = scratchDir.path();
    const QString local = setup.scratch + QStringLiteral("/local");
    const QString remote = setup.scratch + QStringLiteral("/remote");
    QDir().mkpath(local + QStringLiteral("/small"));

    // The loads: random bytes, so that nothing on the way can make them smaller.
    QRandomGenerator rng(7);
    QStringList large{local + QStringLiteral("/large.bin")};
    {
        QFile f(large.first());
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(large.first()));
            return 1;
        }
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < megabytes; ++i) {
            rng.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
            f.write(block);
        }
    }
    QStringList small;
    for (int i = 0; i < smallCount; ++i) {
        const QString name =
            local + QStringLiteral("/small/page%1.html").arg(i, 4, 10, QLatin1Char('0'));
        QFile f(name);
        QByteArray bytes(smallKilobytes * 1024, Qt::Uninitialized);
        rng.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
        small << name;
    }

    sshtest::TestSshd server;
    if (!server.start()) {
        std::fprintf(stderr, "sshd did not start: %s\n", qPrintable(server.error()));
        return 1;
    }
    setup.port = server.port();
    setup.user = server.user();
    QDir().mkpath(setup.scratch + QStringLiteral("/keys"));
    setup.key = setup.scratch + QStringLiteral("/keys/id_ed25519");
    setup.knownHosts = setup.scratch + QStringLiteral("/known_hosts");
    QFile known(setup.knownHosts);
    if (!sshtest::makeKey(setup.key, QString()) || !server.authorize(setup.key) ||
        !known.open(QIODevice::WriteOnly) || known.write(server.knownHostsLine() + '\n') <= 0) {
        std::fprintf(stderr, "cannot set up the keys\n");
        return 1;
    }
    known.close();

    const QString oursLarge = remote + QStringLiteral("/ours-large");
    const QString oursSmall = remote + QStringLiteral("/ours-small");
    const QString theirsLarge = remote + QStringLiteral("/sftp-large");
    const QString theirsSmall = remote + QStringLiteral("/sftp-small");
    const QString largeBatch = setup.scratch + QStringLiteral("/large.batch");
    const QString smallBatch = setup.scratch + QStringLiteral("/small.batch");
    if (!writeBatch(largeBatch, theirsLarge, large) ||
        !writeBatch(smallBatch, theirsSmall, small)) {
        std::fprintf(stderr, "cannot write the batch files\n");
        return 1;
    }

    std::vector<double> ourLarge, sftpLarge, ourSmall, sftpSmall;
    double ourCpu = 0, sftpCpu = 0;
    for (int round = 0; round < rounds; ++round) {
        // Alternating who goes first, so neither always meets a warm or a cold cache.
        const bool oursFirst = round % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == oursFirst) {
                freshFolder(oursLarge);
                const double cpu = cpuSeconds(RUSAGE_SELF);
                ourLarge.push_back(uploadWithSession(setup, large, oursLarge));
                ourCpu += cpuSeconds(RUSAGE_SELF) - cpu;
                freshFolder(oursSmall);
                ourSmall.push_back(uploadWithSession(setup, small, oursSmall));
            } else {
                freshFolder(theirsLarge);
                const double cpu = cpuSeconds(RUSAGE_CHILDREN);
                sftpLarge.push_back(uploadWithSftp(setup, largeBatch));
                sftpCpu += cpuSeconds(RUSAGE_CHILDREN) - cpu;
                freshFolder(theirsSmall);
                sftpSmall.push_back(uploadWithSftp(setup, smallBatch));
            }
        }
        if (ourLarge.back() < 0 || ourSmall.back() < 0 || sftpLarge.back() < 0 ||
            sftpSmall.back() < 0)
            return 1;
        if (round == 0 && (!sameFiles(large, oursLarge) || !sameFiles(small, oursSmall) ||
                           !sameFiles(large, theirsLarge) || !sameFiles(small, theirsSmall))) {
            std::fprintf(stderr, "stored files differ from the originals!\n");
            return 1;
        }
        std::printf("round %d: large sftp %.3f s, SftpSession %.3f s; small sftp %.3f s, "
                    "SftpSession %.3f s\n",
                    round + 1, sftpLarge.back(), ourLarge.back(), sftpSmall.back(),
                    ourSmall.back());
        std::fflush(stdout);
    }
    server.stop();
    std::printf("large file: %d MB; small files: %d of %d KB; %d rounds, medians\n", megabytes,
                smallCount, smallKilobytes, rounds);
    std::printf("SftpSession large %.1f MB/s, sftp large %.1f MB/s\n", megabytes / median(ourLarge),
                megabytes / median(sftpLarge));
    // The client's own processor time for the large file (the server's is the same sshd's).
    std::printf("client processor time for the large file: SftpSession %.2f s, sftp %.2f s\n",
                ourCpu / rounds, sftpCpu / rounds);
    std::printf("ratio large file: %.2f\n", median(sftpLarge) / median(ourLarge));
    std::printf("ratio small files: %.2f\n", median(sftpSmall) / median(ourSmall));
    return 0;
}
