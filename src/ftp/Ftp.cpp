// TStarFtp: the control connection, the data channel and the operation under way. Complete
// replies go to the operation (FtpOperation.h), socket notifications to the engine or its data
// channel; failures become numbered FtpError events. LIST and STOR end when their final reply
// and the data channel's end are both in.
#include "ftp/Ftp.h"

#include "ftp/FtpOperation.h"
#include "ftp/FtpTls.h"
#include "platform/NativeNames.h"

#include <QPointer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kError = QStringLiteral("Error");
const QByteArray kCrLf = QByteArrayLiteral("\r\n");
// Chunks the control reader takes per notification before it lets other events run; a server
// that never stops talking must not freeze the program.
constexpr int kReadsPerNotification = 32;
} // namespace

FtpError FtpErrorFromSocketError(int socketError) {
    switch (socketError) {
    case wsa::NotInitialised:
        return FtpError::WinsockNotStarted;
    case wsa::NetworkDown:
        return FtpError::NetworkDown;
    case wsa::AccessDenied:
        return FtpError::InvalidAddress;
    case wsa::Interrupted:
    case wsa::Fault:
    case wsa::Invalid:
    case wsa::InProgress:
    case wsa::NotSocket:
    case wsa::MessageSize:
    case wsa::NotSupported:
    case wsa::FamilyNoSupport:
    case wsa::AddressInUse:
    case wsa::IsConnected:
    case wsa::NotConnected:
    case wsa::Shutdown:
        return FtpError::Internal;
    case wsa::NetworkReset:
    case wsa::NoBuffers:
        return FtpError::GeneralSocket;
    case wsa::ConnectionAborted:
        return FtpError::ConnectionAborted;
    case wsa::ConnectionReset:
        return FtpError::ConnectionReset;
    case wsa::TimedOut:
        return FtpError::TimeOut;
    case wsa::TooManyFiles:
        return FtpError::OutOfSockets;
    case wsa::NetworkUnreachable:
        return FtpError::NetworkUnreachable;
    case wsa::AddressNotAvailable:
        return FtpError::AddressNotAvailable;
    case wsa::ConnectionRefused:
        return FtpError::ConnectionRefused;
    case wsa::HostNotFound:
    case wsa::TryAgain:
    case wsa::NoRecovery:
    case wsa::NoData:
        return FtpError::HostLookup;
    case wsa::HostUnreachable:
        return FtpError::HostUnreachable;
    default:
        return FtpError::OtherSocket;
    }
}

TStarFtp::TStarFtp(QObject* parent) : TStarSocket(parent) {
    for (QTimer* timer : {&m_replyTimer, &m_abortedStoreTimer, &m_quitTimer})
        timer->setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] { fatal(FtpError::TimeOut); });
    connect(&m_abortedStoreTimer, &QTimer::timeout, this, [this] {
        if (m_operation && m_operation->kind() == FtpOperation::Kind::Store)
            static_cast<FtpStoreOp*>(m_operation.get())->abortedStoreWaitOver();
    });
    connect(&m_quitTimer, &QTimer::timeout, this, [this] { Abort(); });
}

TStarFtp::~TStarFtp() {
    OnFtpInfo = nullptr;
    OnFtpError = nullptr;
    m_data.close();
    m_controlTls.close();
}

void TStarFtp::SetFtpServer(const QString& server) {
    // Only a real dotted address counts as numeric: names such as "4u.example" start with a
    // digit too and must be looked up.
    in_addr parsed{};
    const bool dotted = !server.isEmpty() && server.at(0).isDigit() &&
                        ::inet_pton(AF_INET, server.toLatin1().constData(), &parsed) == 1;
    if (dotted) {
        m_numericAddress = server;
        m_hostName.clear();
    } else {
        m_hostName = server;
        m_numericAddress.clear();
    }
}

void TStarFtp::SetWinsockStarted(bool started) {
    if (started)
        StartWinsock();
    else
        StopWinsock();
}

// ---- events and errors ----

template <typename Call> bool TStarFtp::callOut(Call&& call) {
    QPointer<TStarFtp> self(this);
    const quint64 epoch = m_epoch;
    call();
    return !self.isNull() && m_epoch == epoch;
}

// Notifications are posted and delivered from the event loop in the order they were made, so
// a handler may delete the engine or start anything; the engine goes on meanwhile. Information
// of an exchange that was cut off since (Abort, Quit during an operation, a new Connect) is
// dropped, an error only when a new connection began.
bool TStarFtp::info(FtpInfo code, const QString& text) {
    QMetaObject::invokeMethod(
        this,
        [this, code, text, exchange = m_readyEpoch] {
            if (exchange != m_readyEpoch)
                return;
            if (auto handler = OnFtpInfo)
                handler(this, code, text);
        },
        Qt::QueuedConnection);
    return true;
}

bool TStarFtp::report(FtpError code) {
    m_success = false;
    m_lastFtpError = static_cast<int>(code);
    QMetaObject::invokeMethod(
        this,
        [this, code, connection = m_connection] {
            if (connection != m_connection)
                return;
            if (auto handler = OnFtpError)
                handler(this, code, kError);
        },
        Qt::QueuedConnection);
    return true;
}

// The answer to a call that is refused at once (not connected, busy) comes before the call
// returns, as it always did: nothing of the engine runs after it.
static void answerNow(TStarFtp* ftp, FtpInfo code) {
    if (auto handler = ftp->OnFtpInfo)
        handler(ftp, code, QString());
}

void TStarFtp::fatal(FtpError code, bool socketError) {
    if (m_shutDown)
        return;
    endConnection();
    if (socketError)
        m_shutDown = true;
    report(code);
    postQuit();
}

bool TStarFtp::checkSocketError() {
    if (m_shutDown)
        return true;
    if (LastError == 0) {
        m_lastFtpError = 0;
        return true;
    }
    // fatal() closes the sockets and posts the one quit point of this connection.
    fatal(FtpErrorFromSocketError(LastError), true);
    return false;
}

void TStarFtp::closeDataSockets() {
    m_data.closeSockets();
}

void TStarFtp::closeAllSockets() {
    m_data.close();
    m_controlTls.close();
    CloseSocket();
    m_controlOut.clear();
}

void TStarFtp::endConnection() {
    ++m_epoch;
    closeAllSockets();
    m_replyTimer.stop();
    m_abortedStoreTimer.stop();
    m_quitTimer.stop();
    m_connectedFtp = false;
    retireOperation();
    m_readerBusy = false;
    m_readMissed = false;
}

void TStarFtp::startOperation(std::unique_ptr<FtpOperation> operation) {
    m_retired.clear();
    retireOperation();
    m_operation = std::move(operation);
    m_operation->start();
}

void TStarFtp::retireOperation() {
    if (m_operation)
        m_retired.push_back(std::move(m_operation));
}

FtpStep TStarFtp::step() const {
    return m_operation ? m_operation->step() : FtpStep::Idle;
}

int TStarFtp::ReplyState() const {
    return static_cast<int>(step());
}

FtpTransferOp* TStarFtp::transfer() const {
    if (!m_operation || (m_operation->kind() != FtpOperation::Kind::List &&
                         m_operation->kind() != FtpOperation::Kind::Store))
        return nullptr;
    return static_cast<FtpTransferOp*>(m_operation.get());
}

bool TStarFtp::guard() {
    if (!m_connectedFtp) {
        answerNow(this, FtpInfo::NotConnected);
        return false;
    }
    if (m_busy) {
        answerNow(this, FtpInfo::Busy);
        return false;
    }
    m_busy = true;
    m_lastFtpError = 0;
    return true;
}

// ---- the ready and quit points ----

// Both are posted, so they run after the notification at hand has returned; a ready point of
// an exchange that was cut off (Abort, Quit during an operation, a new Connect) never comes.
void TStarFtp::postReady() {
    const quint64 epoch = m_readyEpoch;
    QMetaObject::invokeMethod(
        this, [this, epoch] { readyPoint(epoch); }, Qt::QueuedConnection);
}

void TStarFtp::postQuit() {
    if (m_quitPosted)
        return;
    m_quitPosted = true;
    const quint64 connection = m_connection;
    QMetaObject::invokeMethod(
        this, [this, connection] { quitPoint(connection); }, Qt::QueuedConnection);
}

void TStarFtp::readyPoint(quint64 epoch) {
    if (epoch != m_readyEpoch)
        return;
    m_busy = false;
    // Taken first: an OnFtpReady handler that starts the next operation sets its own.
    const int pending = m_pendingEvent;
    m_pendingEvent = PendingNone;
    QPointer<TStarFtp> self(this);
    if (auto handler = OnFtpReady) {
        handler(this);
        if (!self)
            return;
    }
    TNotifyEvent completion;
    switch (pending) {
    case PendingLoggedIn:
        completion = OnLoggedIn;
        break;
    case PendingDirectoryChanged:
        completion = OnDirectoryChanged;
        break;
    case PendingDirectoryCreated:
        completion = OnDirectoryCreated;
        break;
    case PendingDirectoryDeleted:
        completion = OnDirectoryDeleted;
        break;
    case PendingFileDeleted:
        completion = OnFileDeleted;
        break;
    case PendingFileStored:
        completion = OnFileStored;
        break;
    case PendingListingDone:
        completion = OnListingDone;
        break;
    case PendingFileRenamed:
        completion = OnFileRenamed;
        break;
    case PendingQueryDone:
        completion = OnQueryDone;
        break;
    default:
        break;
    }
    if (completion)
        completion(this);
}

void TStarFtp::quitPoint(quint64 connection) {
    // The end of an older connection must not clear the Busy of one started since.
    if (connection == m_connection)
        m_busy = false;
    if (auto handler = OnFtpQuit)
        handler(this);
}

void TStarFtp::Abort() {
    // An operation cut off did not succeed, whatever it had done so far.
    if (m_busy || step() != FtpStep::Idle)
        m_success = false;
    endConnection();
    ++m_readyEpoch;
    m_busy = false;
    m_pendingEvent = PendingNone;
    postQuit();
}

// ---- sending ----

bool TStarFtp::sendLine(const QByteArray& text) {
    // A name with a line break in it would smuggle a second command to the server.
    QByteArray command = text;
    for (qsizetype i = 0; i < command.size(); ++i) {
        if (command.at(i) == '\r' || command.at(i) == '\n') {
            command.truncate(i);
            break;
        }
    }
    if (m_shutDown)
        return false;
    const QByteArray line = command + kCrLf;
    // The password never leaves the engine in an event: whoever shows or logs the commands
    // sees asterisks, as many whatever its length.
    const bool password = command.left(5).toUpper() == QByteArrayLiteral("PASS ");
    info(FtpInfo::CommandSent,
         password ? QStringLiteral("PASS ********\r\n") : RemoteNameText(line));
    m_controlOut.append(line);
    awaitReply();
    const quint64 epoch = m_epoch;
    flushControl();
    return epoch == m_epoch;
}

void TStarFtp::flushControl() {
    while (!m_controlOut.isEmpty()) {
        if (m_shutDown || !HasHandle())
            return;
        const int sent = m_controlTls.send(*this, m_controlOut.constData(),
                                           static_cast<int>(m_controlOut.size()));
        if (!checkSocketError())
            return;
        if (sent == 0) {
            // The system's buffer is full (a rare thing for a command line): the rest goes
            // out on the socket's write notification.
            OnWrite = [this](TStarSocket*) { flushControl(); };
            WaitForWritable();
            return;
        }
        m_controlOut.remove(0, sent);
    }
}

void TStarFtp::SendCommand(const QString& text, int state) {
    static const QList<int> known{0,  1,  2,  3,  5,  6,  7,  8,  10, 12, 13, 14,
                                  20, 21, 22, 30, 31, 32, 33, 34, 40, 41, 50, 60};
    const FtpStep step = known.contains(state) ? static_cast<FtpStep>(state) : FtpStep::Idle;
    // Sent as part of the operation under way, or else as a one-reply command of its own.
    if (!m_operation) {
        m_operation = std::make_unique<FtpCommandOp>(*this, text.toUtf8(), false);
    }
    m_operation->setStep(step);
    sendLine(text.toUtf8());
}

// ---- waiting ----

bool TStarFtp::dataInFlight() const {
    const FtpTransferOp* current = transfer();
    return current && current->dataInFlight();
}

void TStarFtp::awaitReply() {
    m_replyTimer.stop();
    // While the data connection of LIST or STOR is open, its own time-out counts: a long
    // transfer is no reason to give up on the final reply.
    if (step() == FtpStep::Idle || dataInFlight() || ReplyTimeOut <= 0)
        return;
    m_replyTimer.start(ReplyTimeOut * 1000);
}

// ---- connecting ----

void TStarFtp::Connect() {
    if (m_busy) {
        answerNow(this, FtpInfo::Busy);
        return;
    }
    OnTimeOut = [this](TStarSocket*) { fatal(FtpError::TimeOut); };
    m_lastFtpError = 0;
    m_success = true;
    if (!StartWinsock()) {
        report(FtpError::WinsockNotStarted);
        return;
    }
    if (FtpServer().isEmpty()) {
        QString value;
        if (auto handler = OnFtpNeedInfo) {
            if (!callOut([&] { handler(this, NeedServer, value); }))
                return;
        }
        if (value.isEmpty()) {
            report(FtpError::NoServer);
            return;
        }
        SetFtpServer(value);
    }
    if (FtpPort == 0)
        FtpPort = 21;

    // A new connection starts clean: whatever an earlier one left (an open control socket, a
    // shut-down after a socket error) is dropped, so no connection is left that nothing reads.
    endConnection();
    ++m_connection;
    ++m_readyEpoch;
    m_quitPosted = false;
    m_shutDown = false;
    m_replies.reset();
    m_remoteType = RemoteType::Unknown;
    m_epsvRefused = false;
    m_passiveRefused = false;
    m_controlTls.reset();
    m_pendingEvent = PendingNone;
    // Logging in is an operation like any other: nothing else may start until its ready point.
    m_busy = true;
    startOperation(std::make_unique<FtpLoginOp>(*this));
    // The greeting is the first reply: the look-up and the connect count into its time.
    awaitReply();

    OnConnect = [this](TStarSocket*) { onControlConnect(); };
    OnRead = [this](TStarSocket*) { onControlRead(); };
    OnClose = [this](TStarSocket*) { onControlClose(); };
    OnLookupDone = [this](TStarSocket*) { onLookupDone(); };
    OnWrite = nullptr;

    CreateSocket();
    if (!checkSocketError())
        return;
    if (!m_numericAddress.isEmpty()) {
        SetAddressFromText(m_numericAddress);
        SetPort(static_cast<std::uint16_t>(FtpPort));
        ConnectSocket();
        checkSocketError();
    } else {
        info(FtpInfo::LookupStarted, m_hostName);
        LookupHost(m_hostName);
        checkSocketError();
    }
}

void TStarFtp::onLookupDone() {
    if (!checkSocketError())
        return;
    UseResolvedAddress();
    SetPort(static_cast<std::uint16_t>(FtpPort));
    m_numericAddress = AddressText();
    info(FtpInfo::LookupDone, m_numericAddress);
    ConnectSocket();
    checkSocketError();
}

void TStarFtp::onControlConnect() {
    // A refused, timed-out or unreachable connect arrives here too; without this check the
    // engine would wait for a greeting that never comes.
    if (!checkSocketError())
        return;
    if (m_operation)
        m_operation->setStep(FtpStep::Greeting);
    m_connectedFtp = true;
    m_replies.reset();
    m_readerBusy = false;
    info(FtpInfo::Connected, m_numericAddress);
}

void TStarFtp::onControlClose() {
    // A server that hangs up in the middle of the handshake did not take TLS.
    if (m_controlTls.handshaking()) {
        fatal(FtpError::TlsHandshake);
        return;
    }
    // A command that was still waiting for its reply did not succeed.
    if (step() != FtpStep::Idle)
        m_success = false;
    const bool wasConnected = m_connectedFtp;
    endConnection();
    info(FtpInfo::NotConnected, QStringLiteral("Disconnected"));
    if (wasConnected || m_busy)
        postReady();
    postQuit();
}

// ---- reading replies ----

void TStarFtp::onControlRead() {
    if (m_shutDown)
        return;
    if (m_readerBusy) {
        // A handler runs a loop of its own (a dialog asking for the password): read again
        // once it has returned, or the bytes would wait for ever.
        m_readMissed = true;
        return;
    }
    QPointer<TStarFtp> self(this);
    const quint64 connection = m_connection;
    // Reading goes on as long as this control connection does; a Quit during an operation
    // leaves it open, and its 221 must still be read.
    auto stillOpen = [&] {
        return !self.isNull() && m_connection == connection && HasHandle() && !m_shutDown;
    };
    auto readOnLater = [&] {
        if (self.isNull())
            return;
        if (m_readMissed && stillOpen())
            WaitForReadable();
        m_readMissed = false;
    };
    for (int reads = 0; reads < kReadsPerNotification; ++reads) {
        const int count = m_controlTls.receive(*this, m_buffer.data(), ReadBlockSize);
        if (!checkSocketError())
            return;
        const QByteArray bytes(m_buffer.data(), count);
        if (m_operation)
            m_operation->received(bytes);
        const QList<FtpReply> replies = m_replies.feed(bytes);
        info(FtpInfo::ControlRead, QString::fromUtf8(bytes));
        if (!stillOpen())
            return readOnLater();
        if (bytes.isEmpty())
            break;
        for (const FtpReply& reply : replies) {
            m_readerBusy = true;
            handleReply(reply);
            if (self.isNull())
                return;
            m_readerBusy = false;
            // A fatal error, an Abort or a new Connect ended this connection.
            if (!stillOpen())
                return readOnLater();
            // AUTH TLS was accepted: what follows on the socket is the handshake, and a reply
            // that came in clear after the 234 is no reply of the server's.
            if (m_controlTls.handshaking()) {
                m_readMissed = false;
                return;
            }
        }
    }
    readOnLater();
}

void TStarFtp::handleReply(const FtpReply& reply) {
    m_replyTimer.stop();
    if (reply.preliminary()) {
        // 1xx: the command is under way (a 150 before the data, a 120 before the greeting);
        // its final reply is still to come, also where none was expected.
        awaitReply();
        if (step() == FtpStep::List || step() == FtpStep::Stor)
            m_data.transferUnderway();
        return;
    }
    // Nothing awaited: an unasked reply is ignored.
    if (m_operation)
        m_operation->reply(reply);
}

bool TStarFtp::needValue(TFtpInfoNeeded need, QString& value) {
    if (!value.isEmpty())
        return true;
    auto handler = OnFtpNeedInfo;
    return !handler || callOut([&] { handler(this, need, value); });
}

// ---- TLS on the control connection ----

void TStarFtp::startControlTls() {
    // The name the certificate must carry: the one the user typed, else the address.
    if (!m_controlTls.start(Handle(), m_hostName.isEmpty() ? m_numericAddress : m_hostName,
                            TrustedCaFile)) {
        fatal(FtpError::TlsHandshake);
        return;
    }
    // Whatever came in clear after the 234 is dropped with the half reply it may have begun.
    m_replies.reset();
    OnRead = [this](TStarSocket*) { controlHandshake(); };
    OnWrite = [this](TStarSocket*) { controlHandshake(); };
    // The handshake counts as the reply to AUTH TLS.
    if (m_operation)
        m_operation->setStep(FtpStep::Auth);
    awaitReply();
    controlHandshake();
}

void TStarFtp::controlHandshake() {
    if (!m_controlTls.active())
        return;
    switch (m_controlTls.handshake()) {
    case FtpControlTls::Handshake::WaitRead:
        WaitForReadable();
        return;
    case FtpControlTls::Handshake::WaitWrite:
        WaitForWritable();
        return;
    case FtpControlTls::Handshake::Done:
        break;
    case FtpControlTls::Handshake::Failed:
        fatal(FtpError::TlsHandshake);
        return;
    }
    m_replyTimer.stop();
    // Nothing is read while the user is asked about the certificate.
    OnRead = nullptr;
    OnWrite = nullptr;
    if (!certificateTrusted())
        return;
    OnRead = [this](TStarSocket*) { onControlRead(); };
    info(FtpInfo::TlsEstablished, m_controlTls.protocolAndCipher());
    WaitForReadable();
    if (m_operation && m_operation->kind() == FtpOperation::Kind::Login)
        static_cast<FtpLoginOp*>(m_operation.get())->tlsUp();
}

bool TStarFtp::certificateTrusted() {
    TCertificateInfo certificate;
    if (m_controlTls.trustedWithoutAsking(TrustedFingerprint, certificate))
        return true;
    bool accepted = false;
    if (auto handler = OnCertificateCheck) {
        if (!callOut([&] { accepted = handler(this, certificate); }))
            return false;
    }
    if (!accepted) {
        fatal(FtpError::CertificateRefused);
        return false;
    }
    return true;
}

// ---- quit ----

void TStarFtp::closedByQuit() {
    // After the 221 the server has nothing more to say: close the connection here rather
    // than wait for the server to close it (some never do).
    endConnection();
    info(FtpInfo::NotConnected, QStringLiteral("Disconnected"));
    postReady();
    postQuit();
}

void TStarFtp::Quit() {
    if (!m_busy) {
        if (!guard())
            return;
        startOperation(std::make_unique<FtpQuitOp>(*this, false));
        return;
    }
    // During an operation: the operation is given up (no ready point of its own), the server
    // is told when it can still be told, and the connection ends either way.
    m_success = false;
    ++m_epoch;
    ++m_readyEpoch;
    m_pendingEvent = PendingNone;
    m_abortedStoreTimer.stop();
    m_data.close();
    if (!m_connectedFtp || m_shutDown || !HasHandle() || !m_controlOut.isEmpty()) {
        Abort();
        return;
    }
    startOperation(std::make_unique<FtpQuitOp>(*this, true));
}

// ---- the data channel ----

void TStarFtp::prepareData(bool listing) {
    m_data.TimeOut = DataTimeOut;
    m_data.SendStraightFromFile = SendStraightFromFile;
    const FtpDataChannel::Direction direction =
        listing ? FtpDataChannel::Direction::Listing : FtpDataChannel::Direction::Upload;
    if (m_controlTls.dataProtected())
        m_data.prepare(direction, m_controlTls.context(), m_controlTls.channel(),
                       m_controlTls.fingerprint());
    else
        m_data.prepare(direction);
    if (listing)
        prepareListing();
}

QString TStarFtp::MakePortArgument() {
    QString listenAddress;
    std::uint16_t port = 0;
    if (!m_data.listen(LocalAddressText(), listenAddress, port))
        return {};
    return PortArgument(listenAddress, port);
}

// ---- operations ----

void TStarFtp::GetListing() {
    if (!guard())
        return;
    m_pendingEvent = PendingListingDone;
    startOperation(
        std::make_unique<FtpListOp>(*this, QByteArrayLiteral("LIST"), false, false, true));
}

void TStarFtp::GetEntries(const QByteArray& folder, bool machineListing) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingListingDone;
    m_entries.clear();
    if (refusedForLineBreak(folder))
        return;
    QByteArray command = machineListing ? QByteArrayLiteral("MLSD") : QByteArrayLiteral("LIST");
    if (!folder.isEmpty())
        command += ' ' + folder;
    startOperation(std::make_unique<FtpListOp>(*this, command, machineListing, true, false));
}

void TStarFtp::SendQuery(const QByteArray& command) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingQueryDone;
    m_queryReply.clear();
    if (refusedForLineBreak(command))
        return;
    startOperation(std::make_unique<FtpCommandOp>(*this, command, true));
}

bool TStarFtp::refusedForLineBreak(const QByteArray& command) {
    // No line break can travel inside a command, and a name cut at one would be another
    // file's: such a command fails without going out, and still ends in its ready point.
    if (!command.contains('\r') && !command.contains('\n'))
        return false;
    m_success = false;
    postReady();
    return true;
}

void TStarFtp::ChangeDirectory(const QString& dir) {
    ChangeDirectory(dir.toUtf8());
}

void TStarFtp::ChangeDirectory(const QByteArray& dir) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingDirectoryChanged;
    if (refusedForLineBreak(dir))
        return;
    // The reply cannot arrive before this returns, so the new directory is in place for it.
    InitialDirectory = RemoteNameText(dir);
    startOperation(std::make_unique<FtpCommandOp>(*this, "CWD " + dir, false));
}

void TStarFtp::MakeDirectory(const QString& name) {
    MakeDirectory(name.toUtf8());
}

void TStarFtp::MakeDirectory(const QByteArray& name) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingDirectoryCreated;
    if (refusedForLineBreak(name))
        return;
    startOperation(std::make_unique<FtpCommandOp>(*this, "MKD " + name, false));
}

void TStarFtp::RemoveDirectory(const QString& name) {
    RemoveDirectory(name.toUtf8());
}

void TStarFtp::RemoveDirectory(const QByteArray& name) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingDirectoryDeleted;
    if (refusedForLineBreak(name))
        return;
    startOperation(std::make_unique<FtpCommandOp>(*this, "RMD " + name, false));
}

void TStarFtp::DeleteFile(const QString& name) {
    DeleteFile(name.toUtf8());
}

void TStarFtp::DeleteFile(const QByteArray& name) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingFileDeleted;
    if (refusedForLineBreak(name))
        return;
    startOperation(std::make_unique<FtpCommandOp>(*this, "DELE " + name, false));
}

void TStarFtp::RenameFile(const QString& oldName, const QString& newName) {
    RenameFile(oldName.toUtf8(), newName.toUtf8());
}

void TStarFtp::RenameFile(const QByteArray& oldName, const QByteArray& newName) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingFileRenamed;
    if (refusedForLineBreak(oldName + newName))
        return;
    startOperation(std::make_unique<FtpRenameOp>(*this, oldName, newName));
}

void TStarFtp::StoreFile() {
    if (!m_connectedFtp) {
        // Nothing was stored: the ready point must not read as a success.
        m_success = false;
        m_pendingEvent = PendingFileStored;
        answerNow(this, FtpInfo::NotConnected);
        postReady();
        return;
    }
    if (m_busy) {
        answerNow(this, FtpInfo::Busy);
        return;
    }
    m_busy = true;
    m_success = true;
    m_pendingEvent = PendingFileStored;
    m_lastFtpError = 0;
    if (RemoteFile.isEmpty() && RemoteFileBytes.isEmpty()) {
        report(FtpError::NoRemoteFile);
        postReady();
        return;
    }
    if (!openLocalFile()) {
        report(FtpError::LocalFileOpen);
        postReady();
        return;
    }
    startOperation(std::make_unique<FtpStoreOp>(
        *this, RemoteFileBytes.isEmpty() ? RemoteFile.toUtf8() : RemoteFileBytes,
        TransferMode == AsciiTransfer));
}

// ---- listing ----

void TStarFtp::prepareListing() {
    m_rawListing.clear();
    m_entries.clear();
    m_fileList.clear();
    m_directoryList.clear();
    m_fileNames.clear();
    m_directoryNames.clear();
}

void TStarFtp::dataConnected(bool passive) {
    if (FtpTransferOp* current = transfer())
        current->dataConnected(passive);
}

bool TStarFtp::dataLine(const QByteArray& bytes) {
    if (!m_operation || m_operation->kind() != FtpOperation::Kind::List)
        return true;
    return static_cast<FtpListOp*>(m_operation.get())->line(bytes);
}

bool TStarFtp::dataStarted(qint64 size) {
    return info(FtpInfo::FileSize, QString::number(size));
}

bool TStarFtp::dataProgress() {
    // Paced by when it is shown, not when it is posted: the next comes ProgressIntervalMs
    // after the handler has had this one.
    QMetaObject::invokeMethod(
        this,
        [this, exchange = m_readyEpoch] {
            if (exchange != m_readyEpoch)
                return;
            m_data.progressShown();
            if (auto handler = OnFtpInfo)
                handler(this, FtpInfo::DataProgress, QString());
        },
        Qt::QueuedConnection);
    return true;
}

void TStarFtp::dataEnded(FtpDataChannel::End end) {
    switch (end) {
    case FtpDataChannel::End::Complete:
    case FtpDataChannel::End::ClosedEarly:
        // The server closed the data connection before the whole file went out: the file is
        // not complete on the server, whatever the server says next.
        if (end == FtpDataChannel::End::ClosedEarly)
            m_success = false;
        if (m_operation && m_operation->kind() == FtpOperation::Kind::List)
            info(FtpInfo::ListingReady, QStringLiteral("Listing ready"));
        info(FtpInfo::TransferDone, QStringLiteral("Transfer done"));
        if (FtpTransferOp* current = transfer())
            current->dataPartDone();
        return;
    case FtpDataChannel::End::FileRead:
        m_success = false;
        // The server sees the data connection end and answers STOR; that answer must still
        // reach a ready point, or the engine would stay busy for good.
        report(FtpError::LocalFileRead);
        if (FtpTransferOp* current = transfer())
            current->dataPartDone();
        return;
    case FtpDataChannel::End::Broken:
        fatal(FtpError::DataConnection);
        return;
    case FtpDataChannel::End::TlsFailed:
        fatal(FtpError::TlsHandshake);
        return;
    case FtpDataChannel::End::TimedOut:
        fatal(FtpError::TimeOut);
        return;
    }
}

// ---- upload ----

bool TStarFtp::openLocalFile() {
    m_data.closeFile();
    if (LocalFile.isEmpty())
        return false;
    // Only a regular file is uploaded: a FIFO or a device would never end (or never begin).
    // The check is made again on the open file, with O_NONBLOCK so that a FIFO put in its
    // place meanwhile cannot hang the open.
    // The name's bytes on disk: a Latin-1 name is opened as well as a UTF-8 one.
    const QByteArray path = nativePath(LocalFile);
    struct stat before {};
    if (::stat(path.constData(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_data.setFile(fd, st.st_size);
    return true;
}
