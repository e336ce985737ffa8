// UploadRunner: an upload plan, step by step, over a remote session.
#include "publish/UploadRunner.h"

#include "platform/TextFile.h"

#include <algorithm>

UploadRunner::UploadRunner(RemoteSession& session, UploadPlan plan, QObject* parent)
    : QObject(parent), m_session(&session), m_plan(std::move(plan)), m_results(m_plan.files.size()),
      m_made(m_plan.folders.size(), false) {
    connect(&session, &RemoteSession::sessionEvent, this, &UploadRunner::onEvent);
}

int UploadRunner::storedCount() const {
    return static_cast<int>(std::count_if(m_results.begin(), m_results.end(), [](const auto& r) {
        return r.outcome == FileResult::Outcome::Stored;
    }));
}

void UploadRunner::start() {
    if (m_running)
        return;
    m_running = true;
    m_file = 0;
    m_announced = -1;
    m_cause = RemoteEvent{};
    m_cause.kind = RemoteEvent::Kind::Quit;
    next();
}

void UploadRunner::next() {
    while (m_running && m_file < static_cast<int>(m_plan.files.size())) {
        const UploadPlan::File& file = m_plan.files.at(m_file);
        FileResult& result = m_results.at(m_file);
        if (file.skipped) {
            result.outcome = FileResult::Outcome::Skipped;
            result.error = RemoteError::BadName;
            emit fileDone(m_file, result);
            ++m_file;
            continue;
        }
        if (!m_session) {
            stop();
            return;
        }
        if (m_announced != m_file) {
            // The first step of a file: it is announced once.
            m_announced = m_file;
            result.size = std::max<qint64>(0, regularFileSize(file.localPath));
            emit fileStarted(m_file);
            if (!m_running)
                return;
        }
        for (const int folder : file.folders) {
            if (m_made.at(folder))
                continue;
            // Asked once per run, whatever the answer.
            m_made.at(folder) = true;
            m_waitingFor = m_session->makeDir(m_plan.folders.at(folder).name);
            return;
        }
        m_storing = true;
        m_waitingFor = m_session->store(file.localPath, file.remoteName);
        return;
    }
    if (m_running) {
        m_running = false;
        emit finished();
    }
}

void UploadRunner::onEvent(const RemoteEvent& event) {
    if (!m_running)
        return;
    switch (event.kind) {
    case RemoteEvent::Kind::Progress:
        if (m_storing && event.op == m_waitingFor)
            emit fileProgress(m_file, event.bytesDone, event.bytesTotal);
        return;
    case RemoteEvent::Kind::Error:
        m_cause = event;
        return;
    case RemoteEvent::Kind::Quit:
        stop();
        return;
    case RemoteEvent::Kind::Done:
        break;
    default:
        return;
    }
    if (event.op != m_waitingFor)
        return;
    m_waitingFor = 0;
    if (!m_storing) {
        // A folder: there already or made, the file's store tells the rest.
        if (!event.ok && event.error != RemoteError::Refused && m_session &&
            !m_session->connected()) {
            stop();
            return;
        }
        next();
        return;
    }
    m_storing = false;
    FileResult& result = m_results.at(m_file);
    if (!event.ok && m_session && !m_session->connected() &&
        event.error != RemoteError::LocalFileOpen && event.error != RemoteError::LocalFileRead) {
        // The connection ended under this file: the Quit event stops the run.
        result.outcome = FileResult::Outcome::Failed;
        result.error = event.error;
        result.protocolCode = event.protocolCode;
        result.text = event.text;
        return;
    }
    result.outcome = event.ok ? FileResult::Outcome::Stored : FileResult::Outcome::Failed;
    result.error = event.error;
    result.protocolCode = event.protocolCode;
    result.text = event.text;
    result.bytes = event.bytesDone;
    result.elapsedMs = event.elapsedMs;
    const int index = m_file;
    ++m_file;
    QPointer<UploadRunner> self(this);
    emit fileDone(index, result);
    if (!self)
        return;
    next();
}

void UploadRunner::stop() {
    if (!m_running)
        return;
    m_running = false;
    const int index = std::min<int>(m_file, static_cast<int>(m_plan.files.size()) - 1);
    if (index >= 0 && m_results.at(index).outcome == FileResult::Outcome::Waiting) {
        FileResult& result = m_results.at(index);
        result.outcome = FileResult::Outcome::Failed;
        result.error =
            m_cause.kind == RemoteEvent::Kind::Error ? m_cause.error : RemoteError::ConnectionLost;
        result.protocolCode = m_cause.protocolCode;
    }
    emit stopped(index, m_cause);
}
