// TStarFtp: login, server type, directory commands, listings and uploads, driven by reply
// lines and socket notifications; failures become numbered FtpError events.
#include "ftp/Ftp.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>

namespace {

const QString kError = QStringLiteral("Error");
const QByteArray kCrLf = QByteArrayLiteral("\r\n");
// Chunks the control reader takes per notification before it lets other events run; a server
// that never stops talking must not freeze the program.
constexpr int kReadsPerNotification = 32;

QByteArray upToZero(const char* bytes, int count) {
    QByteArray text(bytes, count);
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    return text;
}

QChar replyClass(const QString& line) {
    return line.isEmpty() ? QChar() : line.at(0);
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
    OnOwnerMessage = [this](int message) { ownerMessage(message); };
}

TStarFtp::~TStarFtp() {
    OnFtpInfo = nullptr;
    OnFtpError = nullptr;
    m_listenerSocket.CloseSocket();
    m_dataSocket.CloseSocket();
    m_localFile.close();
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

void TStarFtp::info(FtpInfo code, const QString& text) {
    if (auto handler = OnFtpInfo)
        handler(this, code, text);
}

void TStarFtp::report(FtpError code) {
    m_success = false;
    m_lastFtpError = static_cast<int>(code);
    if (auto handler = OnFtpError)
        handler(this, code, kError);
}

void TStarFtp::fatal(FtpError code) {
    if (m_shutDown)
        return;
    closeAllSockets();
    m_connectedFtp = false;
    m_success = false;
    m_lastFtpError = static_cast<int>(code);
    m_replyState = 100;
    if (auto handler = OnFtpError)
        handler(this, code, kError);
    PostOwnerMessage(QuitMessage);
}

bool TStarFtp::checkSocketError() {
    if (m_shutDown)
        return true;
    if (LastError == 0) {
        m_lastFtpError = 0;
        return true;
    }
    // fatal() closes the sockets and posts the one quit point of this connection.
    fatal(FtpErrorFromSocketError(LastError));
    m_shutDown = true;
    return false;
}

void TStarFtp::closeDataSockets() {
    m_dataSocket.CloseSocket();
    m_listenerSocket.CloseSocket();
}

void TStarFtp::closeAllSockets() {
    closeDataSockets();
    m_localFile.close();
    m_uploading = false;
    CloseSocket();
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

// ---- owner messages: the ready and quit points ----

void TStarFtp::ownerMessage(int message) {
    if (message == ReadyMessage)
        readyPoint();
    else if (message == QuitMessage)
        quitPoint();
}

void TStarFtp::readyPoint() {
    m_busy = false;
    if (auto handler = OnFtpReady)
        handler(this);
    const int pending = m_pendingEvent;
    m_pendingEvent = PendingNone;
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
    default:
        break;
    }
    if (completion)
        completion(this);
}

void TStarFtp::quitPoint() {
    m_busy = false;
    if (auto handler = OnFtpQuit)
        handler(this);
}

// ---- sending ----

namespace {
constexpr qint64 PumpIntervalNs = 1000000;
}

bool TStarFtp::sendAll(TStarSocket& socket, const char* bytes, int count, bool controlLine,
                       bool moreFollows) {
    bool wouldBlock = false;
    while (count > 0) {
        // Let pending events run first, so the stop controls and painting keep going; when the
        // socket is full, sleep in the event loop until it can take more. Looking for pending
        // events costs a poll of every descriptor the loop watches, which over thousands of
        // 2048-byte upload blocks a second would cost more than the sending itself: between
        // data blocks the loop is asked at most once a millisecond, far below anything a person
        // or a repaint notices.
        if (wouldBlock) {
            socket.WaitForWritable();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            m_pumpClock.start();
        } else if (controlLine || !m_pumpClock.isValid() ||
                   m_pumpClock.nsecsElapsed() >= PumpIntervalNs) {
            QCoreApplication::processEvents();
            m_pumpClock.start();
        }
        if (m_shutDown || !socket.HasHandle())
            return false;
        const int sent = socket.SendData(bytes, count, moreFollows);
        if (controlLine) {
            if (!checkSocketError())
                return false;
        } else if (socket.LastError != 0) {
            fatal(FtpError::DataConnection);
            return false;
        }
        wouldBlock = sent == 0;
        bytes += sent;
        count -= sent;
    }
    return true;
}

void TStarFtp::SendCommand(const QString& text, int state) {
    SendCommand(text.toUtf8(), state);
}

void TStarFtp::SendCommand(const QByteArray& text, int state) {
    // A name with a line break in it would smuggle a second command to the server.
    QByteArray command = text;
    for (qsizetype i = 0; i < command.size(); ++i) {
        if (command.at(i) == '\r' || command.at(i) == '\n') {
            command.truncate(i);
            break;
        }
    }
    m_replyState = state;
    if (m_shutDown)
        return;
    const QByteArray bytes = command + kCrLf;
    info(FtpInfo::CommandSent, RemoteNameText(bytes));
    sendAll(*this, bytes.constData(), static_cast<int>(bytes.size()), true);
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
        if (auto handler = OnFtpNeedInfo)
            handler(this, NeedServer, value);
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
    closeAllSockets();
    m_shutDown = false;
    m_connectedFtp = false;
    m_readerBusy = false;
    m_controlRemainder.clear();
    m_pendingEvent = PendingNone;
    // Logging in is an operation like any other: nothing else may start until its ready point.
    m_busy = true;

    m_multiLine = false;
    m_replyState = 0;
    OnConnect = [this](TStarSocket*) { onControlConnect(); };
    OnRead = [this](TStarSocket*) { onControlRead(); };
    OnClose = [this](TStarSocket*) { onControlClose(); };
    OnLookupDone = [this](TStarSocket*) { onLookupDone(); };

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
    m_replyState = 0;
    info(FtpInfo::Connected, m_numericAddress);
    m_connectedFtp = true;
    m_controlRemainder.clear();
    m_readerBusy = false;
}

void TStarFtp::onControlClose() {
    info(FtpInfo::NotConnected, QStringLiteral("Disconnected"));
    // A command that was still waiting for its reply did not succeed.
    if (m_replyState != 100)
        m_success = false;
    m_replyState = 100;
    closeDataSockets();
    m_localFile.close();
    m_uploading = false;
    postReady();
    PostOwnerMessage(QuitMessage);
    m_connectedFtp = false;
}

// ---- reading replies ----

void TStarFtp::appendBounded(QByteArray& remainder, const QByteArray& bytes) {
    remainder.append(bytes);
    // Nothing beyond MaxLineLength of one line matters; keep a trailing CR so that a CR LF
    // split across reads still ends the line.
    qsizetype lastBreak = remainder.lastIndexOf(kCrLf);
    const qsizetype tailStart = lastBreak < 0 ? 0 : lastBreak + 2;
    if (remainder.size() - tailStart > MaxLineLength) {
        const bool endsWithCr = remainder.endsWith('\r');
        remainder.truncate(tailStart + MaxLineLength);
        if (endsWithCr)
            remainder.append('\r');
    }
}

void TStarFtp::onControlRead() {
    if (m_readerBusy || m_shutDown)
        return;
    for (int reads = 0; reads < kReadsPerNotification && !m_shutDown; ++reads) {
        const int count = ReceiveData(m_buffer.data(), BlockSize);
        if (!checkSocketError())
            return;
        const QByteArray bytes = upToZero(m_buffer.data(), count);
        info(FtpInfo::ControlRead, QString::fromUtf8(bytes));
        if (bytes.isEmpty())
            return;
        appendBounded(m_controlRemainder, bytes);
        qsizetype lineEnd;
        while ((lineEnd = m_controlRemainder.indexOf(kCrLf)) >= 0) {
            const QString line = QString::fromUtf8(m_controlRemainder.left(lineEnd));
            m_controlRemainder.remove(0, lineEnd + 2);
            m_readerBusy = true;
            handleReplyLine(line);
            m_readerBusy = false;
            // A fatal error closed the connection: nothing more is read from it.
            if (m_shutDown || !HasHandle())
                return;
        }
    }
}

void TStarFtp::handleReplyLine(const QString& line) {
    if (m_multiLine) {
        if (line.left(4) != m_multiLineCode + QLatin1Char(' '))
            return;
    } else if (line.isEmpty()) {
        return;
    } else if (line.size() >= 4 && line.at(3) == QLatin1Char('-')) {
        m_multiLine = true;
        m_multiLineCode = line.left(3);
        return;
    }
    m_multiLine = false;
    handleReply(line);
}

void TStarFtp::sendPort(int nextState) {
    const QString argument = MakePortArgument();
    if (argument.isEmpty()) {
        // Without a listening socket the server would have nowhere to connect.
        fatal(FtpError::DataConnection);
        return;
    }
    // Some servers connect back as soon as they read PORT, before they answer it: the
    // listener must know what to do with that connection before the command goes out.
    if (nextState == 10)
        prepareListing();
    else
        prepareUpload();
    SendCommand(QStringLiteral("PORT ") + argument, nextState);
}

void TStarFtp::handleReply(const QString& line) {
    const QChar kind = replyClass(line);
    auto needValue = [this](TFtpInfoNeeded need, QString& value) {
        if (value.isEmpty()) {
            if (auto handler = OnFtpNeedInfo)
                handler(this, need, value);
        }
    };
    auto loginRefused = [this] {
        report(FtpError::LoginRefused);
        SendCommand(QStringLiteral("QUIT"), 60);
    };
    auto finishSimple = [this, kind] {
        if (kind != QLatin1Char('2')) {
            info(FtpInfo::UnexpectedReply);
            m_success = false;
        }
        m_replyState = 100;
        postReady();
    };

    switch (m_replyState) {
    case 0:
        if (kind == QLatin1Char('2')) {
            needValue(NeedUserName, UserName);
            SendCommand(QStringLiteral("USER ") + UserName, 1);
        } else {
            fatal(FtpError::BadGreeting);
        }
        break;
    case 1:
        if (kind == QLatin1Char('2')) {
            SendCommand(QStringLiteral("SYST"), 5);
        } else if (kind == QLatin1Char('3')) {
            needValue(NeedPassword, UserPassword);
            SendCommand(QStringLiteral("PASS ") + UserPassword, 2);
        } else {
            loginRefused();
        }
        break;
    case 2:
        if (kind == QLatin1Char('2')) {
            SendCommand(QStringLiteral("SYST"), 5);
        } else if (kind == QLatin1Char('3')) {
            needValue(NeedAccount, UserAccount);
            SendCommand(QStringLiteral("ACCT ") + UserAccount, 3);
        } else {
            loginRefused();
        }
        break;
    case 3:
        if (kind == QLatin1Char('2'))
            SendCommand(QStringLiteral("SYST"), 5);
        else
            loginRefused();
        break;
    case 5:
        m_pendingEvent = PendingLoggedIn;
        ServerType = ServerTypeFromSyst(line);
        if (!InitialDirectory.isEmpty()) {
            SendCommand(QStringLiteral("CWD ") + InitialDirectory, 6);
        } else {
            info(FtpInfo::LoggedIn, QStringLiteral("Logged in"));
            m_replyState = 100;
            postReady();
        }
        break;
    case 6:
        if (kind != QLatin1Char('2'))
            info(FtpInfo::UnexpectedReply);
        info(FtpInfo::LoggedIn, QStringLiteral("Logged in"));
        m_replyState = 100;
        postReady();
        break;
    case 7:
        if (kind == QLatin1Char('2')) {
            InitialDirectory = DirectoryFromPwdReply(line);
            SendCommand(QStringLiteral("TYPE A"), 8);
        } else {
            fatal(FtpError::UnexpectedReply);
        }
        break;
    case 8:
    case 30:
        m_controlDone = false;
        m_dataDone = false;
        if (kind == QLatin1Char('2'))
            sendPort(m_replyState == 8 ? 10 : 31);
        else
            fatal(FtpError::UnexpectedReply);
        break;
    case 10:
        if (kind == QLatin1Char('2')) {
            SendCommand(QStringLiteral("LIST"), 12);
        } else {
            fatal(FtpError::UnexpectedReply);
        }
        break;
    case 12:
        if (kind == QLatin1Char('1'))
            break;
        if (kind == QLatin1Char('2')) {
            m_controlDone = true;
            if (m_dataDone)
                dataOperationDone();
        } else {
            closeDataSockets();
            fatal(FtpError::UnexpectedReply);
        }
        break;
    case 31:
        if (kind == QLatin1Char('2')) {
            SendCommand(QStringLiteral("STOR ") + RemoteFile, 32);
            m_storSent = true;
            // Connected before STOR went out: start sending once this reply is handled.
            if (m_dataAccepted) {
                QMetaObject::invokeMethod(
                    this, [this] { uploadSendBlocks(); }, Qt::QueuedConnection);
            }
        } else {
            fatal(FtpError::UnexpectedReply);
        }
        break;
    case 32:
        if (kind == QLatin1Char('1'))
            break;
        if (kind == QLatin1Char('2')) {
            m_controlDone = true;
            if (m_dataDone)
                dataOperationDone();
        } else if (line.startsWith(QLatin1String("426"))) {
            // The transfer was aborted: the 2xx that follows only closes the command, the
            // file did not arrive whole. Servers that end STOR with the 426 itself send nothing
            // more, so after a while the 426 counts as the final reply.
            m_success = false;
            const quint64 generation = m_storeGeneration;
            QTimer::singleShot(AbortedStoreWaitMs, this, [this, generation] {
                if (generation != m_storeGeneration || m_replyState != 32 || m_controlDone)
                    return;
                m_controlDone = true;
                if (m_dataDone)
                    dataOperationDone();
            });
        } else {
            closeDataSockets();
            m_localFile.close();
            m_uploading = false;
            info(FtpInfo::UnexpectedReply);
            m_success = false;
            m_replyState = 100;
            postReady();
        }
        break;
    case 40:
        if (kind == QLatin1Char('3')) {
            SendCommand("RNTO " + m_renameTarget, 41);
        } else {
            info(FtpInfo::UnexpectedReply);
            m_success = false;
            m_replyState = 100;
            postReady();
        }
        break;
    case 41:
    case 50:
        finishSimple();
        break;
    case 60:
        if (kind != QLatin1Char('2'))
            fatal(FtpError::QuitRefused);
        m_replyState = 100;
        break;
    default:
        break;
    }
}

void TStarFtp::dataOperationDone() {
    // Both halves are in; a stray reply afterwards must not finish the operation again.
    m_replyState = 100;
    postReady();
}

QString TStarFtp::MakePortArgument() {
    const QString address = LocalAddressText();
    m_dataRemainder.clear();
    closeDataSockets();
    m_listenerSocket.SetAddressFromText(address);
    m_listenerSocket.SetPort(0);
    m_listenerSocket.CreateSocket();
    if (m_listenerSocket.LastError == 0)
        m_listenerSocket.ListenSocket();
    if (address.isEmpty() || m_listenerSocket.LastError != 0) {
        m_listenerSocket.CloseSocket();
        return {};
    }
    const QString listenAddress = m_listenerSocket.LocalAddressText();
    const std::uint16_t port = m_listenerSocket.LocalPort();
    if (m_listenerSocket.LastError != 0)
        return {};
    return PortArgument(listenAddress, port);
}

// ---- operations ----

void TStarFtp::GetListing() {
    if (!guard())
        return;
    m_pendingEvent = PendingListingDone;
    SendCommand(QStringLiteral("PWD"), 7);
}

bool TStarFtp::simpleCommand(int pendingEvent, const QByteArray& command) {
    if (!guard())
        return false;
    m_success = true;
    m_pendingEvent = pendingEvent;
    if (refusedForLineBreak(command))
        return false;
    SendCommand(command, 50);
    return true;
}

bool TStarFtp::refusedForLineBreak(const QByteArray& command) {
    // No line break can travel inside a command, and a name cut at one would be another
    // file's: such a command fails without going out, and still ends in its ready point.
    if (!command.contains('\r') && !command.contains('\n'))
        return false;
    m_success = false;
    m_replyState = 100;
    postReady();
    return true;
}

void TStarFtp::ChangeDirectory(const QString& dir) {
    ChangeDirectory(dir.toUtf8());
}

void TStarFtp::ChangeDirectory(const QByteArray& dir) {
    // The reply cannot arrive before this returns, so the new directory is in place for it.
    if (simpleCommand(PendingDirectoryChanged, "CWD " + dir))
        InitialDirectory = RemoteNameText(dir);
}

void TStarFtp::MakeDirectory(const QString& name) {
    simpleCommand(PendingDirectoryCreated, "MKD " + name.toUtf8());
}

void TStarFtp::RemoveDirectory(const QString& name) {
    RemoveDirectory(name.toUtf8());
}

void TStarFtp::RemoveDirectory(const QByteArray& name) {
    simpleCommand(PendingDirectoryDeleted, "RMD " + name);
}

void TStarFtp::DeleteFile(const QString& name) {
    DeleteFile(name.toUtf8());
}

void TStarFtp::DeleteFile(const QByteArray& name) {
    simpleCommand(PendingFileDeleted, "DELE " + name);
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
    SendCommand("RNFR " + oldName, 40);
}

void TStarFtp::Quit() {
    if (!guard())
        return;
    SendCommand(QStringLiteral("QUIT"), 60);
}

void TStarFtp::StoreFile() {
    if (!m_connectedFtp) {
        // Nothing was stored: the ready point must not read as a success.
        m_success = false;
        m_pendingEvent = PendingFileStored;
        info(FtpInfo::NotConnected);
        postReady();
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
    ++m_storeGeneration;
    if (RemoteFile.isEmpty()) {
        report(FtpError::NoRemoteFile);
        postReady();
        return;
    }
    m_localFile.close();
    m_localFile.setFileName(LocalFile);
    if (LocalFile.isEmpty() || !m_localFile.open(QIODevice::ReadOnly)) {
        report(FtpError::LocalFileOpen);
        postReady();
        return;
    }
    SendCommand(TransferMode == AsciiTransfer ? QStringLiteral("TYPE A") : QStringLiteral("TYPE I"),
                30);
}

// ---- listing data connection ----

void TStarFtp::prepareListing() {
    m_dataSocket.OnRead = [this](TStarSocket*) { listingRead(); };
    m_dataSocket.OnClose = [this](TStarSocket*) { listingEnd(); };
    m_listenerSocket.OnAccept = [this](TStarSocket*) { listingAccepted(); };
    m_rawListing.clear();
    m_fileList.clear();
    m_directoryList.clear();
    m_fileNames.clear();
    m_directoryNames.clear();
}

void TStarFtp::listingAccepted() {
    m_listenerSocket.AcceptInto(m_dataSocket);
    if (m_dataSocket.LastError != 0) {
        fatal(FtpError::DataConnection);
        return;
    }
    // One data connection per command: nobody else gets to connect to us.
    m_listenerSocket.CloseSocket();
    m_bytesTransferred = 0;
    m_success = true;
    m_startTick.start();
    m_elapsedMs = 0;
    m_dataRemainder.clear();
}

void TStarFtp::listingLine(const QByteArray& bytes) {
    m_elapsedMs = m_startTick.elapsed();
    const QString line = RemoteNameText(bytes);
    info(FtpInfo::DataProgress, line);
    if (m_rawListing.size() >= MaxListingLines)
        return;
    m_rawListing.append(line);
    info(FtpInfo::ListingLine, line);
    // Parsed from the bytes, not the shown text: the name must go back to the server unchanged.
    const ListingEntry parsed = ParseListingLine(bytes, ServerType);
    if (!parsed.isEntry)
        return;
    if (parsed.isDirectory) {
        m_directoryNames.append(parsed.name);
        m_directoryList.append(RemoteNameText(parsed.name));
    } else {
        m_fileNames.append(parsed.name);
        m_fileList.append(RemoteNameText(parsed.name));
    }
}

void TStarFtp::listingRead() {
    const int count = m_dataSocket.ReceiveData(m_buffer.data(), BlockSize);
    if (m_dataSocket.LastError != 0) {
        fatal(FtpError::DataConnection);
        return;
    }
    const QByteArray bytes = upToZero(m_buffer.data(), count);
    if (bytes.isEmpty())
        return;
    m_bytesTransferred += bytes.size();
    appendBounded(m_dataRemainder, bytes);
    qsizetype lineEnd;
    while ((lineEnd = m_dataRemainder.indexOf(kCrLf)) >= 0) {
        const QByteArray line = m_dataRemainder.left(lineEnd);
        m_dataRemainder.remove(0, lineEnd + 2);
        listingLine(line);
    }
}

void TStarFtp::listingEnd() {
    if (m_dataSocket.OnRead)
        listingRead();
    // A last line the server did not end with CR LF is still part of the listing.
    if (!m_dataRemainder.isEmpty()) {
        const QByteArray line = m_dataRemainder;
        m_dataRemainder.clear();
        listingLine(line);
    }
    m_elapsedMs = m_startTick.isValid() ? m_startTick.elapsed() : 0;
    m_dataSocket.OnRead = nullptr;
    closeDataSockets();
    info(FtpInfo::ListingReady, QStringLiteral("Listing ready"));
    info(FtpInfo::TransferDone, QStringLiteral("Transfer done"));
    m_dataDone = true;
    if (m_controlDone)
        dataOperationDone();
}

// ---- upload data connection ----

void TStarFtp::prepareUpload() {
    m_dataSocket.OnRead = nullptr;
    m_dataSocket.OnClose = [this](TStarSocket*) { uploadEnd(); };
    m_listenerSocket.OnAccept = [this](TStarSocket*) { uploadAccepted(); };
    m_storSent = false;
    m_dataAccepted = false;
    m_uploadStarted = false;
}

void TStarFtp::uploadAccepted() {
    m_listenerSocket.AcceptInto(m_dataSocket);
    if (m_dataSocket.LastError != 0) {
        fatal(FtpError::DataConnection);
        return;
    }
    m_listenerSocket.CloseSocket();
    m_dataAccepted = true;
    // The file goes out only after STOR: before it the server has nowhere to put the bytes.
    if (m_storSent)
        uploadSendBlocks();
}

void TStarFtp::uploadSendBlocks() {
    if (!m_dataAccepted || m_uploadStarted || !m_dataSocket.HasHandle() || m_replyState != 32)
        return;
    m_uploadStarted = true;
    m_bytesTransferred = 0;
    m_startTick.start();
    m_elapsedMs = 0;
    const qint64 size = m_localFile.size();
    info(FtpInfo::FileSize, QString::number(size));
    m_uploading = true;
    const qint64 blocks = size / BlockSize + (size % BlockSize != 0 ? 1 : 0);
    for (qint64 block = 0; block < blocks; ++block) {
        const qint64 wanted = qMin<qint64>(BlockSize, size - block * BlockSize);
        const qint64 got = m_localFile.read(m_uploadBlock.data(), wanted);
        if (got != wanted) {
            report(FtpError::LocalFileRead);
            m_localFile.close();
            closeDataSockets();
            m_uploading = false;
            m_success = false;
            // The server sees the data connection end and answers STOR; that answer must
            // still reach a ready point, or the engine would stay busy for good.
            m_dataDone = true;
            if (m_controlDone)
                dataOperationDone();
            return;
        }
        m_bytesTransferred += got;
        const bool lastBlock = block + 1 == blocks;
        if (!sendAll(m_dataSocket, m_uploadBlock.data(), static_cast<int>(got), false, !lastBlock))
            return; // shut down, failed, or the server ended the data connection (uploadEnd)
        info(FtpInfo::DataProgress);
        m_elapsedMs = m_startTick.elapsed();
    }
    m_uploading = false;
    closeDataSockets();
    m_localFile.close();
    m_elapsedMs = m_startTick.elapsed();
    info(FtpInfo::TransferDone, QStringLiteral("Transfer done"));
    m_dataDone = true;
    if (m_controlDone)
        dataOperationDone();
}

void TStarFtp::uploadEnd() {
    // The server closed the data connection before we finished sending: the file is not
    // complete on the server, whatever the server says next.
    if (m_uploading)
        m_success = false;
    m_uploading = false;
    m_elapsedMs = m_startTick.isValid() ? m_startTick.elapsed() : 0;
    closeDataSockets();
    m_localFile.close();
    info(FtpInfo::TransferDone, QStringLiteral("Transfer done"));
    m_dataDone = true;
    if (m_controlDone)
        dataOperationDone();
}
