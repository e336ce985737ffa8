#include "sftp/SftpSession.h"

#include <QPointer>

#include <algorithm>

namespace {

SftpEvent infoEvent(SftpInfo info, const QString& text) {
    SftpEvent event;
    event.kind = SftpEvent::Kind::Info;
    event.info = info;
    event.text = text;
    return event;
}

} // namespace

SftpSession::SftpSession(QObject* parent) : QObject(parent) {
}

SftpSession::~SftpSession() {
    if (m_channel)
        m_channel->abort();
}

// ---- Operations ----

std::shared_ptr<const SftpLogin> SftpSession::Connect() {
    auto login = std::make_shared<SftpLogin>(InitialDirectory);
    if (m_state != State::Disconnected) {
        login->setFailed(SftpError::AlreadyConnected,
                         QStringLiteral("A connection is under way already."));
        postDone(login);
        return login;
    }
    m_state = State::Connecting;
    m_quitPosted = false;
    m_login = login;
    m_active = {login};
    m_pending.clear();
    m_packets = sftp::PacketAssembler();
    m_version = sftp::Version();
    m_writeBlock = StandardWriteBlock;
    m_currentFolder.clear();
    m_nextId = 1;
    // The channel of an earlier connection may still be on the stack of a delivery; it goes
    // with the event loop.
    if (m_channel)
        m_channel.release()->deleteLater();
    m_channel = std::make_unique<SshChannel>(static_cast<SshChannel::Owner&>(*this));
    m_channel->open(Connection);
    return login;
}

template <typename Op> std::shared_ptr<const Op> SftpSession::enqueue(std::shared_ptr<Op> op) {
    if (m_state == State::Disconnected) {
        op->setFailed(SftpError::NotConnected, QStringLiteral("Not connected."));
        postDone(op);
        return op;
    }
    m_queue.push_back(op);
    startNext();
    return op;
}

std::shared_ptr<const SftpList> SftpSession::GetListing(const QByteArray& folder) {
    return enqueue(std::make_shared<SftpList>(folder));
}

std::shared_ptr<const SftpChangeDirectory> SftpSession::ChangeDirectory(const QByteArray& folder) {
    return enqueue(std::make_shared<SftpChangeDirectory>(folder));
}

std::shared_ptr<const SftpSimpleCommand> SftpSession::MakeDirectory(const QByteArray& name) {
    return enqueue(std::make_shared<SftpSimpleCommand>(SftpOperation::Kind::MakeDirectory, name));
}

std::shared_ptr<const SftpSimpleCommand> SftpSession::RemoveDirectory(const QByteArray& name) {
    return enqueue(std::make_shared<SftpSimpleCommand>(SftpOperation::Kind::RemoveDirectory, name));
}

std::shared_ptr<const SftpStat> SftpSession::Stat(const QByteArray& name) {
    return enqueue(std::make_shared<SftpStat>(name));
}

std::shared_ptr<const SftpSimpleCommand> SftpSession::DeleteFile(const QByteArray& name) {
    return enqueue(std::make_shared<SftpSimpleCommand>(SftpOperation::Kind::Delete, name));
}

std::shared_ptr<const SftpRename> SftpSession::RenameFile(const QByteArray& from,
                                                          const QByteArray& to) {
    return enqueue(std::make_shared<SftpRename>(from, to));
}

std::shared_ptr<const SftpStore> SftpSession::StoreFile(const QString& localFile,
                                                        const QByteArray& remoteName) {
    return enqueue(std::make_shared<SftpStore>(localFile, remoteName));
}

std::shared_ptr<const SftpQuit> SftpSession::Quit() {
    return enqueue(std::make_shared<SftpQuit>());
}

void SftpSession::Abort() {
    if (m_state == State::Disconnected)
        return;
    m_state = State::Disconnected;
    if (m_channel)
        m_channel->abort();
    for (auto& op : m_active)
        op->cancel(SftpError::Cancelled, QStringLiteral("Stopped."));
    m_active.clear();
    wrapUp(QStringLiteral("Stopped."));
}

void SftpSession::wrapUp(const QString& why) {
    for (auto& op : m_queue)
        op->cancel(SftpError::Cancelled, why);
    m_queue.clear();
    m_pending.clear();
    m_login.reset();
    if (!m_quitPosted) {
        m_quitPosted = true;
        SftpEvent quit;
        quit.kind = SftpEvent::Kind::Quit;
        post(quit);
    }
}

void SftpSession::AnswerHostKey(bool trust) {
    if (m_channel && m_state == State::Connecting)
        m_channel->answerHostKey(trust);
}

void SftpSession::AnswerPassphrase(const std::optional<QString>& passphrase) {
    if (m_channel && m_state == State::Connecting)
        m_channel->answerPassphrase(passphrase);
}

void SftpSession::AnswerPassword(const std::optional<QString>& password) {
    if (m_channel && m_state == State::Connecting)
        m_channel->answerPassword(password);
}

void SftpSession::startNext() {
    if (m_starting)
        return;
    m_starting = true;
    while (m_state == State::Ready && !m_queue.empty()) {
        std::shared_ptr<SftpOperation> op = m_queue.front();
        const bool othersLetGo =
            std::all_of(m_active.begin(), m_active.end(), [&](const auto& active) {
                return active->finished() || active->lettingNextStart(*op, m_currentFolder);
            });
        if (!othersLetGo)
            break;
        if (op->kind() == SftpOperation::Kind::Quit) {
            if (!m_active.empty())
                break;
            m_queue.pop_front();
            // Everything before it is done: the channel closes politely and the connection
            // ends.
            m_state = State::Disconnected;
            m_channel->close();
            op->setSucceeded();
            postDone(op);
            post(infoEvent(SftpInfo::Disconnected, QStringLiteral("Disconnected")));
            wrapUp(QStringLiteral("The connection was ended."));
            break;
        }
        m_queue.pop_front();
        m_active.push_back(op);
        op->begin(*this);
    }
    m_starting = false;
    updateAwaiting();
}

// ---- The end of a connection ----

void SftpSession::endConnection(SftpError error, const QString& text) {
    if (m_state == State::Disconnected)
        return;
    m_state = State::Disconnected;
    if (m_channel)
        m_channel->abort();
    SftpEvent failure;
    failure.kind = SftpEvent::Kind::Error;
    failure.error = error;
    failure.text = text;
    post(failure);
    // What was under way ends with the connection's error, reported in the order it started;
    // what waited never started.
    const auto active = std::move(m_active);
    m_active.clear();
    for (const auto& op : active) {
        if (!op->finished())
            op->setFailed(error, text);
        postDone(op);
    }
    wrapUp(QStringLiteral("The connection was ended."));
}

void SftpSession::fatal(SftpError error, const QString& text) {
    endConnection(error, text);
}

// ---- Events ----

void SftpSession::post(SftpEvent event) {
    m_events.push_back(std::move(event));
    if (!m_deliveryPosted) {
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(this, &SftpSession::deliverEvents, Qt::QueuedConnection);
    }
}

void SftpSession::deliverEvents() {
    m_deliveryPosted = false;
    QPointer<SftpSession> self(this);
    while (!m_events.empty()) {
        const SftpEvent event = std::move(m_events.front());
        m_events.pop_front();
        emit sessionEvent(event);
        if (!self)
            return; // a handler deleted the session
    }
}

void SftpSession::postDone(const std::shared_ptr<SftpOperation>& op) {
    SftpEvent done;
    done.kind = SftpEvent::Kind::Done;
    done.operation = op;
    done.error = op->error();
    done.text = op->errorText();
    post(done);
}

// ---- The channel ----

void SftpSession::channelInfo(SftpInfo info, const QString& text) {
    post(infoEvent(info, text));
}

void SftpSession::channelQuestion(const SftpQuestion& question) {
    SftpEvent event;
    event.kind = SftpEvent::Kind::Question;
    event.question = question;
    event.text = question.text;
    post(event);
}

void SftpSession::channelOpen() {
    if (m_state != State::Connecting || !m_login)
        return;
    m_login->begin(*this);
}

void SftpSession::channelFailed(SftpError error, const QString& text) {
    endConnection(error, text);
}

void SftpSession::channelReceived(const char* bytes, qsizetype size) {
    m_packets.feed(QByteArrayView(bytes, size));
    sftp::Packet packet;
    while (m_state != State::Disconnected) {
        const auto result = m_packets.next(packet);
        if (result == sftp::PacketAssembler::Result::NeedMore)
            break;
        if (result == sftp::PacketAssembler::Result::Malformed) {
            fatal(SftpError::ProtocolError,
                  QStringLiteral("The server sent a malformed SFTP packet."));
            return;
        }
        dispatch(packet);
    }
    updateAwaiting();
}

std::shared_ptr<SftpOperation> SftpSession::activeOwner(const SftpOperation& op) const {
    for (const auto& active : m_active) {
        if (active.get() == &op)
            return active;
    }
    return nullptr;
}

void SftpSession::dispatch(const sftp::Packet& packet) {
    if (packet.type == sftp::FxpVersion) {
        const auto login = m_login;
        if (m_state != State::Connecting || !login || !m_pending.contains(0)) {
            fatal(SftpError::ProtocolError,
                  QStringLiteral("The server sent an SFTP version reply out of turn."));
            return;
        }
        m_pending.remove(0);
        login->version(*this, packet);
        return;
    }
    const auto it = m_pending.constFind(packet.id);
    if (it == m_pending.cend()) {
        // The answer to a request of an operation that has ended already (a listing that failed
        // while links were looked up) is dropped; an id never asked is a broken server.
        if (packet.id == 0 || packet.id >= m_nextId)
            fatal(SftpError::ProtocolError,
                  QStringLiteral("The server answered a request that was never sent."));
        return;
    }
    SftpOperation* raw = it.value();
    m_pending.erase(it);
    // Held for the call: the operation may finish and leave the active list meanwhile.
    const std::shared_ptr<SftpOperation> op = activeOwner(*raw);
    if (!op)
        return;
    op->reply(*this, packet);
}

void SftpSession::updateAwaiting() {
    if (m_channel && m_state != State::Disconnected)
        m_channel->setAwaitingReplies(!m_pending.isEmpty());
}

// ---- What the operations ask ----

std::uint32_t SftpSession::nextId() {
    return m_nextId++;
}

void SftpSession::send(SftpOperation& op, std::uint32_t id, QByteArray packet,
                       const QString& logLine) {
    if (m_state == State::Disconnected || !m_channel)
        return;
    if (!logLine.isEmpty())
        post(infoEvent(SftpInfo::Request, logLine));
    m_pending.insert(id, &op);
    m_channel->send(std::move(packet));
}

void SftpSession::info(SftpInfo info, const QString& text) {
    post(infoEvent(info, text));
}

void SftpSession::progress(SftpOperation& op, std::int64_t done, std::int64_t total) {
    SftpEvent event;
    event.kind = SftpEvent::Kind::Progress;
    event.operation = activeOwner(op);
    event.bytesDone = done;
    event.bytesTotal = total;
    post(event);
}

void SftpSession::finished(SftpOperation& op) {
    const std::shared_ptr<SftpOperation> owner = activeOwner(op);
    if (!owner)
        return;
    // Its requests still unanswered are answered to nobody.
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it.value() == &op)
            it = m_pending.erase(it);
        else
            ++it;
    }
    if (owner == m_login) {
        m_login.reset();
        if (m_state == State::Connecting) {
            const auto* login = static_cast<const SftpLogin*>(owner.get());
            if (login->succeeded()) {
                m_version = login->serverVersion();
                const std::uint64_t limit = login->limits().writeLength;
                m_writeBlock = limit > 0 ? static_cast<std::uint32_t>(
                                               std::min<std::uint64_t>(limit, LargestWriteBlock))
                                         : StandardWriteBlock;
                m_state = State::Ready;
            } else {
                // Logged in over SSH but no usable SFTP: the connection ends with the reason.
                endConnection(owner->error(), owner->errorText());
                return;
            }
        }
    }
    // Done events go out in the order the operations started: one that ended early (a local
    // file that cannot be read) waits for those before it.
    while (!m_active.empty() && m_active.front()->finished()) {
        const std::shared_ptr<SftpOperation> done = m_active.front();
        m_active.erase(m_active.begin());
        postDone(done);
    }
    startNext();
}
