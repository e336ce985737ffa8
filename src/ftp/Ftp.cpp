// TStarFtp: login, server type, directory commands, listings and uploads, driven by complete
// replies and socket notifications; failures become numbered FtpError events. Each operation
// has its own reply handler; LIST and STOR meet their two halves in controlPartDone and
// dataPartDone, the latter told by the data channel when the data connection ends.
#include "ftp/Ftp.h"

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
bool isClass(const FtpReply& reply, char kind) {
    return reply.kind() == QLatin1Char(kind);
}

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
        if (m_operation == Operation::Store && m_step == Step::Stor && !m_controlDone)
            controlPartDone();
    });
    connect(&m_quitTimer, &QTimer::timeout, this, [this] { Abort(); });
}

TStarFtp::~TStarFtp() {
    OnFtpInfo = nullptr;
    OnFtpError = nullptr;
    m_data.close();
    m_controlTls.reset();
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

bool TStarFtp::info(FtpInfo code, const QString& text) {
    auto handler = OnFtpInfo;
    if (!handler)
        return true;
    return callOut([&] { handler(this, code, text); });
}

bool TStarFtp::report(FtpError code) {
    m_success = false;
    m_lastFtpError = static_cast<int>(code);
    auto handler = OnFtpError;
    if (!handler)
        return true;
    return callOut([&] { handler(this, code, kError); });
}

void TStarFtp::fatal(FtpError code, bool socketError) {
    if (m_shutDown)
        return;
    endConnection();
    if (socketError)
        m_shutDown = true;
    m_success = false;
    m_lastFtpError = static_cast<int>(code);
    // Posted first: the error handler may delete the engine or connect again.
    postQuit();
    if (auto handler = OnFtpError)
        callOut([&] { handler(this, code, kError); });
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
    m_controlTls.reset();
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
    m_operation = Operation::None;
    m_step = Step::Idle;
    m_readerBusy = false;
    m_readMissed = false;
    m_querying = false;
}

bool TStarFtp::guard() {
    if (!m_connectedFtp) {
        info(FtpInfo::NotConnected);
        return false;
    }
    if (m_busy) {
        info(FtpInfo::Busy);
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
    if (m_busy || m_step != Step::Idle)
        m_success = false;
    endConnection();
    ++m_readyEpoch;
    m_busy = false;
    m_pendingEvent = PendingNone;
    postQuit();
}

// ---- sending ----

bool TStarFtp::send(const QString& text, Operation operation, Step step) {
    return send(text.toUtf8(), operation, step);
}

bool TStarFtp::send(const QByteArray& text, Operation operation, Step step) {
    // A name with a line break in it would smuggle a second command to the server.
    QByteArray command = text;
    for (qsizetype i = 0; i < command.size(); ++i) {
        if (command.at(i) == '\r' || command.at(i) == '\n') {
            command.truncate(i);
            break;
        }
    }
    m_operation = operation;
    m_step = step;
    if (m_shutDown)
        return false;
    const QByteArray line = command + kCrLf;
    // The password never leaves the engine in an event: whoever shows or logs the commands
    // sees asterisks, as many whatever its length.
    const bool password = command.left(5).toUpper() == QByteArrayLiteral("PASS ");
    if (!info(FtpInfo::CommandSent,
              password ? QStringLiteral("PASS ********\r\n") : RemoteNameText(line)))
        return false;
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
        const int sent =
            controlSend(m_controlOut.constData(), static_cast<int>(m_controlOut.size()));
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
    Step step = Step::Idle;
    Operation operation = m_operation;
    switch (state) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 5:
    case 6:
        operation = Operation::Login;
        break;
    case 20:
    case 21:
    case 22:
        operation = Operation::Login;
        break;
    case 7:
    case 8:
    case 10:
    case 12:
    case 13:
    case 14:
        operation = Operation::Listing;
        break;
    case 30:
    case 31:
    case 32:
    case 33:
    case 34:
        operation = Operation::Store;
        break;
    case 40:
    case 41:
        operation = Operation::Rename;
        break;
    case 50:
        operation = Operation::Command;
        break;
    case 60:
        operation = Operation::Quit;
        break;
    default:
        state = static_cast<int>(Step::Idle);
        operation = Operation::None;
        break;
    }
    step = static_cast<Step>(state);
    send(text, operation, step);
}

// ---- waiting ----

bool TStarFtp::dataInFlight() const {
    return (m_step == Step::List || m_step == Step::Stor) && !m_dataDone;
}

void TStarFtp::awaitReply() {
    m_replyTimer.stop();
    // While the data connection of LIST or STOR is open, its own time-out counts: a long
    // transfer is no reason to give up on the final reply.
    if (m_step == Step::Idle || dataInFlight() || ReplyTimeOut <= 0)
        return;
    m_replyTimer.start(ReplyTimeOut * 1000);
}

// ---- connecting ----

void TStarFtp::Connect() {
    if (m_busy) {
        info(FtpInfo::Busy);
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
    m_quitDuringOperation = false;
    m_epsvRefused = false;
    m_passiveRefused = false;
    m_protectData = false;
    m_controlFingerprint.clear();
    m_pendingEvent = PendingNone;
    // Logging in is an operation like any other: nothing else may start until its ready point.
    m_busy = true;
    m_operation = Operation::Login;
    m_step = Step::Greeting;
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
        if (!info(FtpInfo::LookupStarted, m_hostName))
            return;
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
    if (!info(FtpInfo::LookupDone, m_numericAddress))
        return;
    ConnectSocket();
    checkSocketError();
}

void TStarFtp::onControlConnect() {
    // A refused, timed-out or unreachable connect arrives here too; without this check the
    // engine would wait for a greeting that never comes.
    if (!checkSocketError())
        return;
    m_step = Step::Greeting;
    m_connectedFtp = true;
    m_replies.reset();
    m_readerBusy = false;
    info(FtpInfo::Connected, m_numericAddress);
}

void TStarFtp::onControlClose() {
    // A server that hangs up in the middle of the handshake did not take TLS.
    if (m_controlTls && !m_controlTls->established()) {
        fatal(FtpError::TlsHandshake);
        return;
    }
    // A command that was still waiting for its reply did not succeed.
    if (m_step != Step::Idle)
        m_success = false;
    const bool wasConnected = m_connectedFtp;
    endConnection();
    if (wasConnected || m_busy)
        postReady();
    postQuit();
    info(FtpInfo::NotConnected, QStringLiteral("Disconnected"));
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
        const int count = controlReceive(m_buffer.data(), ReadBlockSize);
        if (!checkSocketError())
            return;
        const QByteArray bytes(m_buffer.data(), count);
        if (m_querying)
            m_queryReply.append(bytes.left(TStarFtp::ReadBlockSize));
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
            if (m_controlTls && !m_controlTls->established()) {
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
        if (m_step == Step::List || m_step == Step::Stor)
            m_data.transferUnderway();
        return;
    }
    switch (m_operation) {
    case Operation::Login:
        loginReply(reply);
        break;
    case Operation::Listing:
        listingReply(reply);
        break;
    case Operation::Store:
        storeReply(reply);
        break;
    case Operation::Command:
        commandReply(reply);
        break;
    case Operation::Rename:
        renameReply(reply);
        break;
    case Operation::Quit:
        quitReply(reply);
        break;
    case Operation::None:
        break; // nothing awaited: an unasked reply is ignored
    }
}

// ---- login ----

void TStarFtp::loginRefused() {
    if (!report(FtpError::LoginRefused))
        return;
    m_quitDuringOperation = false;
    if (send(QStringLiteral("QUIT"), Operation::Quit, Step::QuitReply))
        m_quitTimer.start(QuitWaitMs);
}

void TStarFtp::loggedIn() {
    m_operation = Operation::None;
    m_step = Step::Idle;
    if (!info(FtpInfo::LoggedIn, QStringLiteral("Logged in")))
        return;
    postReady();
}

bool TStarFtp::needValue(TFtpInfoNeeded need, QString& value) {
    if (!value.isEmpty())
        return true;
    auto handler = OnFtpNeedInfo;
    return !handler || callOut([&] { handler(this, need, value); });
}

void TStarFtp::sendUser() {
    if (needValue(NeedUserName, UserName))
        send(QStringLiteral("USER ") + UserName, Operation::Login, Step::User);
}

void TStarFtp::afterLogin() {
    // Data protection is asked for once the login is through, as servers expect it; the
    // password itself already went over TLS.
    if (m_controlTls && m_controlTls->established() && !m_protectData) {
        send(QStringLiteral("PBSZ 0"), Operation::Login, Step::Pbsz);
        return;
    }
    send(QStringLiteral("SYST"), Operation::Login, Step::System);
}

void TStarFtp::loginReply(const FtpReply& reply) {
    switch (m_step) {
    case Step::Greeting:
        if (!isClass(reply, '2'))
            fatal(FtpError::BadGreeting);
        else if (Security != TFtpSecurity::None)
            send(QStringLiteral("AUTH TLS"), Operation::Login, Step::Auth);
        else
            sendUser();
        break;
    case Step::Auth:
        if (isClass(reply, '2'))
            startControlTls();
        else if (Security == TFtpSecurity::TlsRequired)
            fatal(FtpError::TlsNotOffered); // before USER: no name, no password in clear
        else
            sendUser();
        break;
    case Step::Pbsz:
    case Step::Prot:
        if (isClass(reply, '2') && m_step == Step::Pbsz) {
            send(QStringLiteral("PROT P"), Operation::Login, Step::Prot);
        } else if (isClass(reply, '2')) {
            m_protectData = true;
            send(QStringLiteral("SYST"), Operation::Login, Step::System);
        } else if (Security == TFtpSecurity::TlsRequired) {
            // Files and listings would go in clear.
            fatal(FtpError::TlsNotOffered);
        } else {
            send(QStringLiteral("SYST"), Operation::Login, Step::System);
        }
        break;
    case Step::User:
    case Step::Password:
        if (isClass(reply, '2')) {
            afterLogin();
        } else if (!isClass(reply, '3')) {
            loginRefused();
        } else if (m_step == Step::User) {
            if (needValue(NeedPassword, UserPassword))
                send(QStringLiteral("PASS ") + UserPassword, Operation::Login, Step::Password);
        } else if (needValue(NeedAccount, UserAccount)) {
            send(QStringLiteral("ACCT ") + UserAccount, Operation::Login, Step::Account);
        }
        break;
    case Step::Account:
        if (isClass(reply, '2'))
            afterLogin();
        else
            loginRefused();
        break;
    case Step::System:
        m_pendingEvent = PendingLoggedIn;
        ServerType = ServerTypeFromSyst(reply.text);
        if (!InitialDirectory.isEmpty())
            send(QStringLiteral("CWD ") + InitialDirectory, Operation::Login, Step::InitialCwd);
        else
            loggedIn();
        break;
    case Step::InitialCwd:
        if (!isClass(reply, '2') && !info(FtpInfo::UnexpectedReply))
            return;
        loggedIn();
        break;
    default:
        break;
    }
}

// ---- TLS on the control connection ----

void TStarFtp::startControlTls() {
    if (!m_tlsContext)
        m_tlsContext = std::make_unique<FtpTlsContext>();
    if (!TrustedCaFile.isEmpty())
        m_tlsContext->addTrustedFile(TrustedCaFile);
    // The name the certificate must carry: the one the user typed, else the address.
    m_controlTls = std::make_unique<FtpTlsChannel>(
        *m_tlsContext, Handle(), m_hostName.isEmpty() ? m_numericAddress : m_hostName);
    if (!m_controlTls->ok()) {
        fatal(FtpError::TlsHandshake);
        return;
    }
    // Sessions of an earlier connection belong to another login, perhaps another server.
    m_tlsContext->forgetSessions();
    // Whatever came in clear after the 234 is dropped with the half reply it may have begun.
    m_replies.reset();
    OnRead = [this](TStarSocket*) { controlHandshake(); };
    OnWrite = [this](TStarSocket*) { controlHandshake(); };
    // The handshake counts as the reply to AUTH TLS.
    m_step = Step::Auth;
    awaitReply();
    controlHandshake();
}

void TStarFtp::controlHandshake() {
    if (!m_controlTls)
        return;
    switch (m_controlTls->handshake()) {
    case FtpTlsChannel::Result::WantRead:
        WaitForReadable();
        return;
    case FtpTlsChannel::Result::WantWrite:
        WaitForWritable();
        return;
    case FtpTlsChannel::Result::Done:
        break;
    default:
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
    if (!info(FtpInfo::TlsEstablished, m_controlTls->protocolAndCipher()))
        return;
    WaitForReadable();
    sendUser();
}

bool TStarFtp::certificateTrusted() {
    TCertificateInfo certificate = m_controlTls->certificate();
    m_controlFingerprint = certificate.Sha256Fingerprint;
    if (m_controlTls->verified())
        return true;
    const QString trusted = NormalizedFingerprint(TrustedFingerprint);
    if (!trusted.isEmpty() && trusted == certificate.Sha256Fingerprint)
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

int TStarFtp::controlReceive(char* buffer, int size) {
    if (!m_controlTls)
        return ReceiveData(buffer, size);
    LastError = 0;
    if (!m_controlTls->established() || !HasHandle())
        return 0;
    int count = 0;
    switch (m_controlTls->read(buffer, size, count)) {
    case FtpTlsChannel::Result::Done:
        WaitForReadable();
        return count;
    case FtpTlsChannel::Result::WantRead:
    case FtpTlsChannel::Result::WantWrite:
    case FtpTlsChannel::Result::Closed:
        // Closed: the server ended TLS; the end of the connection itself follows.
        WaitForReadable();
        return 0;
    case FtpTlsChannel::Result::Failed:
        break;
    }
    LastError = wsa::ConnectionReset;
    return 0;
}

int TStarFtp::controlSend(const char* bytes, int size) {
    if (!m_controlTls)
        return SendData(bytes, size);
    LastError = 0;
    if (!m_controlTls->established())
        return 0;
    int count = 0;
    switch (m_controlTls->write(bytes, size, count)) {
    case FtpTlsChannel::Result::Done:
        return count;
    case FtpTlsChannel::Result::WantRead:
    case FtpTlsChannel::Result::WantWrite:
        return 0;
    default:
        LastError = wsa::ConnectionReset;
        return 0;
    }
}

// ---- one-reply commands, rename, quit ----

void TStarFtp::commandReply(const FtpReply& reply) {
    m_operation = Operation::None;
    m_step = Step::Idle;
    if (m_querying) {
        m_querying = false;
        // The type asked for by a query counts as the type of the session, as TYPE does.
        if (m_queryCommand.toUpper() == "TYPE I")
            m_remoteType = isClass(reply, '2') ? RemoteType::Image : RemoteType::Unknown;
        m_success = isClass(reply, '2');
        postReady();
        return;
    }
    if (!isClass(reply, '2')) {
        m_success = false;
        if (!info(FtpInfo::UnexpectedReply))
            return;
    }
    postReady();
}

void TStarFtp::renameReply(const FtpReply& reply) {
    if (m_step == Step::RenameFrom && isClass(reply, '3')) {
        send("RNTO " + m_renameTarget, Operation::Rename, Step::RenameTo);
        return;
    }
    commandReply(reply);
}

void TStarFtp::closedByQuit() {
    // After the 221 the server has nothing more to say: close the connection here rather
    // than wait for the server to close it (some never do).
    endConnection();
    postReady();
    postQuit();
    info(FtpInfo::NotConnected, QStringLiteral("Disconnected"));
}

void TStarFtp::quitReply(const FtpReply& reply) {
    if (m_quitDuringOperation) {
        // Replies of the operation that was cut off may still come first; only the 221 ends
        // the connection, the quit wait covers a server that never sends it.
        if (reply.code == "221")
            closedByQuit();
        else
            awaitReply();
        return;
    }
    if (!isClass(reply, '2')) {
        fatal(FtpError::QuitRefused);
        return;
    }
    closedByQuit();
}

void TStarFtp::Quit() {
    if (!m_busy) {
        if (!guard())
            return;
        m_quitDuringOperation = false;
        if (send(QStringLiteral("QUIT"), Operation::Quit, Step::QuitReply))
            m_quitTimer.start(QuitWaitMs);
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
    m_quitDuringOperation = true;
    if (send(QStringLiteral("QUIT"), Operation::Quit, Step::QuitReply))
        m_quitTimer.start(QuitWaitMs);
}

// ---- data commands: TYPE, PORT, and the join of their two halves ----

void TStarFtp::sendType(RemoteType wanted) {
    m_wantedType = wanted;
    const bool listing = m_operation == Operation::Listing;
    // The server keeps the type for the session: a second TYPE I before each of a thousand
    // uploads would only cost a round trip each.
    if (m_remoteType == wanted) {
        m_step = listing ? Step::ListingType : Step::StoreType;
        openDataConnection();
        return;
    }
    send(wanted == RemoteType::Ascii ? QStringLiteral("TYPE A") : QStringLiteral("TYPE I"),
         m_operation, listing ? Step::ListingType : Step::StoreType);
}

void TStarFtp::typeAccepted(const FtpReply& reply) {
    if (!isClass(reply, '2')) {
        m_remoteType = RemoteType::Unknown;
        fatal(FtpError::UnexpectedReply);
        return;
    }
    m_remoteType = m_wantedType;
    openDataConnection();
}

// The one place where the data connection's way is chosen.
void TStarFtp::openDataConnection() {
    if (DataConnection == TDataConnection::Active ||
        (DataConnection == TDataConnection::PassiveThenActive && m_passiveRefused)) {
        sendPort();
        return;
    }
    sendPassive(!m_epsvRefused);
}

void TStarFtp::prepareData() {
    m_controlDone = false;
    m_dataDone = false;
    m_data.TimeOut = DataTimeOut;
    m_data.SendStraightFromFile = SendStraightFromFile;
    const bool listing = m_operation == Operation::Listing;
    if (m_protectData)
        m_data.prepare(listing ? FtpDataChannel::Direction::Listing
                               : FtpDataChannel::Direction::Upload,
                       m_tlsContext.get(), m_controlTls.get(), m_controlFingerprint);
    else
        m_data.prepare(listing ? FtpDataChannel::Direction::Listing
                               : FtpDataChannel::Direction::Upload);
    if (listing)
        prepareListing();
}

void TStarFtp::sendPassive(bool extended) {
    const bool listing = m_operation == Operation::Listing;
    const Step step = extended ? (listing ? Step::ListingEpsv : Step::StoreEpsv)
                               : (listing ? Step::ListingPasv : Step::StorePasv);
    send(extended ? QStringLiteral("EPSV") : QStringLiteral("PASV"), m_operation, step);
}

void TStarFtp::passiveReply(const FtpReply& reply) {
    const bool extended = m_step == Step::ListingEpsv || m_step == Step::StoreEpsv;
    if (isClass(reply, '2')) {
        if (extended) {
            if (const std::uint16_t port = PortFromEpsvReply(reply.text)) {
                connectPassive({}, port);
                return;
            }
        } else {
            const PassiveTarget target = PassiveTargetFromPasvReply(reply.text);
            if (target.port != 0) {
                connectPassive(target.address, target.port);
                return;
            }
        }
    }
    // Refused, or a reply that names no port: EPSV falls back to PASV, PASV to PORT where the
    // profile allows active mode.
    if (extended) {
        m_epsvRefused = true;
        sendPassive(false);
    } else if (DataConnection == TDataConnection::PassiveThenActive) {
        m_passiveRefused = true;
        sendPort();
    } else {
        fatal(FtpError::PassiveRefused);
    }
}

void TStarFtp::connectPassive(const QString& named, std::uint16_t port) {
    // The data connection goes to the host of the control connection, whatever address the
    // PASV reply names: a server behind NAT names its private address, and a hostile one could
    // make the client connect anywhere.
    const QString peer = AddressText();
    if (!named.isEmpty() && named != peer &&
        !info(FtpInfo::PassiveAddressIgnored,
              QStringLiteral("PASV address %1 ignored, data connection to %2").arg(named, peer)))
        return;
    prepareData();
    if (!m_data.connectTo(peer, port))
        fatal(FtpError::DataConnection);
}

void TStarFtp::sendTransferCommand() {
    if (m_operation == Operation::Listing) {
        send(m_listCommand, Operation::Listing, Step::List);
        return;
    }
    if (!send("STOR " + (RemoteFileBytes.isEmpty() ? RemoteFile.toUtf8() : RemoteFileBytes),
              Operation::Store, Step::Stor))
        return;
    m_data.commandSent();
}

void TStarFtp::sendPort() {
    // Some servers connect back as soon as they read PORT, before they answer it: the
    // listener knows what to do with that connection before the command goes out.
    prepareData();
    const QString argument = MakePortArgument();
    if (argument.isEmpty()) {
        // Without a listening socket the server would have nowhere to connect.
        fatal(FtpError::DataConnection);
        return;
    }
    send(QStringLiteral("PORT ") + argument, m_operation,
         m_operation == Operation::Listing ? Step::ListingPort : Step::StorePort);
}

void TStarFtp::controlPartDone() {
    m_controlDone = true;
    m_abortedStoreTimer.stop();
    if (m_dataDone) {
        finishOperation();
        return;
    }
    // The server answered the upload before its end of the data connection was seen: it
    // needs nothing more from it.
    m_data.finalReplyCame();
}

void TStarFtp::dataPartDone() {
    m_dataDone = true;
    if (m_controlDone)
        finishOperation();
    else
        awaitReply(); // the final reply now has the reply time-out
}

void TStarFtp::finishOperation() {
    // Both halves are in; a stray reply afterwards must not finish the operation again.
    m_operation = Operation::None;
    m_step = Step::Idle;
    m_replyTimer.stop();
    m_abortedStoreTimer.stop();
    m_data.close();
    postReady();
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
    m_listCommand = QByteArrayLiteral("LIST");
    m_machineListing = false;
    m_keepEntries = false;
    m_pendingEvent = PendingListingDone;
    send(QStringLiteral("PWD"), Operation::Listing, Step::Pwd);
}

void TStarFtp::GetEntries(const QByteArray& folder, bool machineListing) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingListingDone;
    m_entries.clear();
    if (refusedForLineBreak(folder))
        return;
    m_machineListing = machineListing;
    m_keepEntries = true;
    m_listCommand = machineListing ? QByteArrayLiteral("MLSD") : QByteArrayLiteral("LIST");
    if (!folder.isEmpty())
        m_listCommand += ' ' + folder;
    m_operation = Operation::Listing;
    sendType(RemoteType::Ascii);
}

void TStarFtp::SendQuery(const QByteArray& command) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingQueryDone;
    m_queryReply.clear();
    if (refusedForLineBreak(command))
        return;
    m_querying = true;
    m_queryCommand = command;
    send(command, Operation::Command, Step::Command);
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
    send("CWD " + dir, Operation::Command, Step::Command);
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
    send("MKD " + name, Operation::Command, Step::Command);
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
    send("RMD " + name, Operation::Command, Step::Command);
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
    send("DELE " + name, Operation::Command, Step::Command);
}

void TStarFtp::RenameFile(const QString& oldName, const QString& newName) {
    RenameFile(oldName.toUtf8(), newName.toUtf8());
}

void TStarFtp::RenameFile(const QByteArray& oldName, const QByteArray& newName) {
    if (!guard())
        return;
    m_success = true;
    m_pendingEvent = PendingFileRenamed;
    m_renameTarget = newName;
    if (refusedForLineBreak(oldName + newName))
        return;
    send("RNFR " + oldName, Operation::Rename, Step::RenameFrom);
}

void TStarFtp::StoreFile() {
    if (!m_connectedFtp) {
        // Nothing was stored: the ready point must not read as a success.
        m_success = false;
        m_pendingEvent = PendingFileStored;
        postReady();
        info(FtpInfo::NotConnected);
        return;
    }
    if (m_busy) {
        info(FtpInfo::Busy);
        return;
    }
    m_busy = true;
    m_success = true;
    m_pendingEvent = PendingFileStored;
    m_lastFtpError = 0;
    if (RemoteFile.isEmpty() && RemoteFileBytes.isEmpty()) {
        postReady();
        report(FtpError::NoRemoteFile);
        return;
    }
    if (!openLocalFile()) {
        postReady();
        report(FtpError::LocalFileOpen);
        return;
    }
    m_operation = Operation::Store;
    sendType(TransferMode == AsciiTransfer ? RemoteType::Ascii : RemoteType::Image);
}

// ---- listing ----

void TStarFtp::listingReply(const FtpReply& reply) {
    switch (m_step) {
    case Step::Pwd:
        if (!isClass(reply, '2')) {
            fatal(FtpError::UnexpectedReply);
            return;
        }
        InitialDirectory = DirectoryFromPwdReply(reply.text);
        sendType(RemoteType::Ascii);
        break;
    case Step::ListingType:
        typeAccepted(reply);
        break;
    case Step::ListingEpsv:
    case Step::ListingPasv:
        passiveReply(reply);
        break;
    case Step::ListingPort:
        if (isClass(reply, '2'))
            send(m_listCommand, Operation::Listing, Step::List);
        else
            fatal(FtpError::UnexpectedReply);
        break;
    case Step::List:
        if (isClass(reply, '2')) {
            controlPartDone();
        } else {
            closeDataSockets();
            fatal(FtpError::UnexpectedReply);
        }
        break;
    default:
        break;
    }
}

void TStarFtp::prepareListing() {
    m_rawListing.clear();
    m_entries.clear();
    m_fileList.clear();
    m_directoryList.clear();
    m_fileNames.clear();
    m_directoryNames.clear();
}

void TStarFtp::dataConnected(bool passive) {
    if (m_operation == Operation::Listing)
        m_success = true;
    if (passive)
        sendTransferCommand();
}

bool TStarFtp::dataLine(const QByteArray& bytes) {
    const QString line = RemoteNameText(bytes);
    if (!info(FtpInfo::DataProgress, line))
        return false;
    if (m_rawListing.size() >= MaxListingLines)
        return true;
    m_rawListing.append(line);
    if (!info(FtpInfo::ListingLine, line))
        return false;
    if (m_machineListing) {
        const std::optional<RemoteEntry> entry = ParseMachineListingLine(bytes);
        if (!entry)
            return true;
        m_entries.append(*entry);
        (entry->isDirectory ? m_directoryNames : m_fileNames).append(entry->name);
        (entry->isDirectory ? m_directoryList : m_fileList).append(entry->text);
        return true;
    }
    // Parsed from the bytes, not the shown text: the name must go back to the server unchanged.
    const ListingEntry parsed = ParseListingLine(bytes, ServerType);
    if (!parsed.isEntry)
        return true;
    if (m_keepEntries) {
        RemoteEntry entry;
        entry.name = parsed.name;
        entry.text = RemoteNameText(parsed.name);
        entry.isDirectory = parsed.isDirectory;
        ReadListingDetails(bytes, QDateTime::currentDateTimeUtc().date(), entry);
        m_entries.append(std::move(entry));
    }
    if (parsed.isDirectory) {
        m_directoryNames.append(parsed.name);
        m_directoryList.append(RemoteNameText(parsed.name));
    } else {
        m_fileNames.append(parsed.name);
        m_fileList.append(RemoteNameText(parsed.name));
    }
    return true;
}

bool TStarFtp::dataStarted(qint64 size) {
    return info(FtpInfo::FileSize, QString::number(size));
}

bool TStarFtp::dataProgress() {
    return info(FtpInfo::DataProgress);
}

void TStarFtp::dataEnded(FtpDataChannel::End end) {
    switch (end) {
    case FtpDataChannel::End::Complete:
    case FtpDataChannel::End::ClosedEarly:
        // The server closed the data connection before the whole file went out: the file is
        // not complete on the server, whatever the server says next.
        if (end == FtpDataChannel::End::ClosedEarly)
            m_success = false;
        if (m_operation == Operation::Listing &&
            !info(FtpInfo::ListingReady, QStringLiteral("Listing ready")))
            return;
        if (!info(FtpInfo::TransferDone, QStringLiteral("Transfer done")))
            return;
        dataPartDone();
        return;
    case FtpDataChannel::End::FileRead:
        m_success = false;
        // The server sees the data connection end and answers STOR; that answer must still
        // reach a ready point, or the engine would stay busy for good.
        if (!report(FtpError::LocalFileRead))
            return;
        dataPartDone();
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

void TStarFtp::storeReply(const FtpReply& reply) {
    switch (m_step) {
    case Step::StoreType:
        typeAccepted(reply);
        break;
    case Step::StoreEpsv:
    case Step::StorePasv:
        passiveReply(reply);
        break;
    case Step::StorePort:
        if (!isClass(reply, '2')) {
            fatal(FtpError::UnexpectedReply);
            return;
        }
        sendTransferCommand();
        break;
    case Step::Stor:
        if (isClass(reply, '2')) {
            controlPartDone();
        } else if (reply.code == "426") {
            // The transfer was aborted: the 2xx that follows only closes the command, the
            // file did not arrive whole. Servers that end STOR with the 426 itself send nothing
            // more, so after a while the 426 counts as the final reply.
            m_success = false;
            m_abortedStoreTimer.start(AbortedStoreWaitMs);
            awaitReply();
        } else {
            m_success = false;
            m_operation = Operation::None;
            m_step = Step::Idle;
            m_data.close();
            if (!info(FtpInfo::UnexpectedReply))
                return;
            postReady();
        }
        break;
    default:
        break;
    }
}

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
