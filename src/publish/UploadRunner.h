// UploadRunner: runs an UploadPlan over any remote session, one file after another: the folders
// a file needs that were not made yet, then the file itself. A folder that cannot be made (it
// is there already, most often) does not stop anything: the file's own store tells whether it
// could go there. A file that fails is reported and the next one follows; only the end of the
// connection stops the run. Everything it reports comes from the session's queued events.
#pragma once

#include "publish/UploadPlan.h"
#include "remote/RemoteSession.h"

#include <QObject>
#include <QPointer>

#include <vector>

class UploadRunner : public QObject {
    Q_OBJECT

public:
    struct FileResult {
        enum class Outcome { Waiting, Stored, Failed, Skipped };
        Outcome outcome = Outcome::Waiting;
        RemoteError error = RemoteError::None;
        int protocolCode = 0; // the session's own number for the error
        QString text;         // the server's words, when it refused
        std::int64_t bytes = 0;
        std::int64_t size = 0;
        std::int64_t elapsedMs = 0;
    };

    UploadRunner(RemoteSession& session, UploadPlan plan, QObject* parent = nullptr);

    // Starts the run; the session must be logged in (else every file fails as NotConnected).
    void start();
    bool running() const { return m_running; }
    const UploadPlan& plan() const { return m_plan; }
    const std::vector<FileResult>& results() const { return m_results; }
    int storedCount() const;
    // The file under way, or the one the run stopped at.
    int currentFile() const { return m_file; }

signals:
    void fileStarted(int index);
    void fileProgress(int index, qint64 done, qint64 total);
    void fileDone(int index, const UploadRunner::FileResult& result);
    // Every file had its turn.
    void finished();
    // The connection ended before every file had its turn; cause holds the session's Error
    // event when one came (kind Quit otherwise). The file under way is failed already.
    void stopped(int index, const RemoteEvent& cause);

private:
    void next();
    void onEvent(const RemoteEvent& event);
    void stop();

    QPointer<RemoteSession> m_session;
    UploadPlan m_plan;
    std::vector<FileResult> m_results;
    std::vector<bool> m_made;
    int m_file = -1;
    int m_announced = -1;
    RemoteOpId m_waitingFor = 0;
    bool m_storing = false;
    bool m_running = false;
    RemoteEvent m_cause;
};
