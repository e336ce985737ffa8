// The FTP operations' reply handling. The owner hears of everything later, from the event
// loop; a handler returns at once after anything that may have ended the connection (fatal)
// or asked the owner a question, since the engine may have let the operation go by then.
#include "ftp/FtpOperation.h"

#include "ftp/FtpListing.h"
#include "ftp/FtpTls.h"

#include <QDateTime>

namespace {

bool isClass(const FtpReply& reply, char kind) {
    return reply.kind() == QLatin1Char(kind);
}

} // namespace

bool FtpOperation::send(const QByteArray& command, FtpStep step) {
    m_step = step;
    return m_ftp.sendLine(command);
}

void FtpOperation::finishWith(const FtpReply& reply) {
    TStarFtp& ftp = m_ftp;
    ftp.retireOperation();
    if (!isClass(reply, '2')) {
        ftp.m_success = false;
        ftp.info(FtpInfo::UnexpectedReply);
    }
    ftp.postReady();
}

// ---- login ----

void FtpLoginOp::sendUser() {
    if (m_ftp.needValue(NeedUserName, m_ftp.UserName))
        send(QByteArrayLiteral("USER ") + m_ftp.UserName.toUtf8(), FtpStep::User);
}

void FtpLoginOp::afterLogin() {
    // Data protection is asked for once the login is through, as servers expect it; the
    // password itself already went over TLS.
    if (m_ftp.m_controlTls.established() && !m_ftp.m_controlTls.dataProtected()) {
        send(QByteArrayLiteral("PBSZ 0"), FtpStep::Pbsz);
        return;
    }
    send(QByteArrayLiteral("SYST"), FtpStep::System);
}

void FtpLoginOp::refused() {
    TStarFtp& ftp = m_ftp;
    ftp.report(FtpError::LoginRefused);
    ftp.startOperation(std::make_unique<FtpQuitOp>(ftp, false));
}

void FtpLoginOp::loggedIn() {
    TStarFtp& ftp = m_ftp;
    ftp.retireOperation();
    ftp.info(FtpInfo::LoggedIn, QStringLiteral("Logged in"));
    ftp.postReady();
}

void FtpLoginOp::reply(const FtpReply& reply) {
    switch (step()) {
    case FtpStep::Greeting:
        if (!isClass(reply, '2'))
            m_ftp.fatal(FtpError::BadGreeting);
        else if (m_ftp.Security != TFtpSecurity::None)
            send(QByteArrayLiteral("AUTH TLS"), FtpStep::Auth);
        else
            sendUser();
        break;
    case FtpStep::Auth:
        if (isClass(reply, '2'))
            m_ftp.startControlTls();
        else if (m_ftp.Security == TFtpSecurity::TlsRequired)
            m_ftp.fatal(FtpError::TlsNotOffered); // before USER: no name, no password in clear
        else
            sendUser();
        break;
    case FtpStep::Pbsz:
    case FtpStep::Prot:
        if (isClass(reply, '2') && step() == FtpStep::Pbsz) {
            send(QByteArrayLiteral("PROT P"), FtpStep::Prot);
        } else if (isClass(reply, '2')) {
            m_ftp.m_controlTls.protectData();
            send(QByteArrayLiteral("SYST"), FtpStep::System);
        } else if (m_ftp.Security == TFtpSecurity::TlsRequired) {
            // Files and listings would go in clear.
            m_ftp.fatal(FtpError::TlsNotOffered);
        } else {
            send(QByteArrayLiteral("SYST"), FtpStep::System);
        }
        break;
    case FtpStep::User:
    case FtpStep::Password:
        if (isClass(reply, '2')) {
            afterLogin();
        } else if (!isClass(reply, '3')) {
            refused();
        } else if (step() == FtpStep::User) {
            if (m_ftp.needValue(NeedPassword, m_ftp.UserPassword))
                send(QByteArrayLiteral("PASS ") + m_ftp.UserPassword.toUtf8(), FtpStep::Password);
        } else if (m_ftp.needValue(NeedAccount, m_ftp.UserAccount)) {
            send(QByteArrayLiteral("ACCT ") + m_ftp.UserAccount.toUtf8(), FtpStep::Account);
        }
        break;
    case FtpStep::Account:
        if (isClass(reply, '2'))
            afterLogin();
        else
            refused();
        break;
    case FtpStep::System:
        m_ftp.m_pendingEvent = TStarFtp::PendingLoggedIn;
        m_ftp.ServerType = ServerTypeFromSyst(reply.text);
        if (!m_ftp.InitialDirectory.isEmpty())
            send(QByteArrayLiteral("CWD ") + m_ftp.InitialDirectory.toUtf8(), FtpStep::InitialCwd);
        else
            loggedIn();
        break;
    case FtpStep::InitialCwd:
        if (!isClass(reply, '2'))
            m_ftp.info(FtpInfo::UnexpectedReply);
        loggedIn();
        break;
    default:
        break;
    }
}

// ---- the data commands shared by LIST and STOR ----

void FtpTransferOp::sendType(Type wanted) {
    m_wantedType = wanted;
    const FtpStep step = listing() ? FtpStep::ListingType : FtpStep::StoreType;
    // The server keeps the type for the session: a second TYPE I before each of a thousand
    // uploads would only cost a round trip each.
    if (m_ftp.m_remoteType == wanted) {
        setStep(step);
        openDataConnection();
        return;
    }
    send(wanted == Type::Ascii ? QByteArrayLiteral("TYPE A") : QByteArrayLiteral("TYPE I"), step);
}

void FtpTransferOp::typeAccepted(const FtpReply& reply) {
    if (!isClass(reply, '2')) {
        m_ftp.m_remoteType = Type::Unknown;
        m_ftp.fatal(FtpError::UnexpectedReply);
        return;
    }
    m_ftp.m_remoteType = m_wantedType;
    openDataConnection();
}

// The one place where the data connection's way is chosen.
void FtpTransferOp::openDataConnection() {
    if (m_ftp.DataConnection == TDataConnection::Active ||
        (m_ftp.DataConnection == TDataConnection::PassiveThenActive && m_ftp.m_passiveRefused)) {
        sendPort();
        return;
    }
    sendPassive(!m_ftp.m_epsvRefused);
}

void FtpTransferOp::prepareData() {
    m_controlDone = false;
    m_dataDone = false;
    m_ftp.prepareData(listing());
}

void FtpTransferOp::sendPassive(bool extended) {
    const FtpStep step = extended ? (listing() ? FtpStep::ListingEpsv : FtpStep::StoreEpsv)
                                  : (listing() ? FtpStep::ListingPasv : FtpStep::StorePasv);
    send(extended ? QByteArrayLiteral("EPSV") : QByteArrayLiteral("PASV"), step);
}

void FtpTransferOp::passiveReply(const FtpReply& reply) {
    const bool extended = step() == FtpStep::ListingEpsv || step() == FtpStep::StoreEpsv;
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
        m_ftp.m_epsvRefused = true;
        sendPassive(false);
    } else if (m_ftp.DataConnection == TDataConnection::PassiveThenActive) {
        m_ftp.m_passiveRefused = true;
        sendPort();
    } else {
        m_ftp.fatal(FtpError::PassiveRefused);
    }
}

void FtpTransferOp::connectPassive(const QString& named, std::uint16_t port) {
    // The data connection goes to the host of the control connection, whatever address the
    // PASV reply names: a server behind NAT names its private address, and a hostile one could
    // make the client connect anywhere.
    const QString peer = m_ftp.AddressText();
    if (!named.isEmpty() && named != peer)
        m_ftp.info(FtpInfo::PassiveAddressIgnored,
                   QStringLiteral("PASV address %1 ignored, data connection to %2").arg(named, peer));
    prepareData();
    if (!m_ftp.m_data.connectTo(peer, port))
        m_ftp.fatal(FtpError::DataConnection);
}

void FtpTransferOp::sendPort() {
    // Some servers connect back as soon as they read PORT, before they answer it: the
    // listener knows what to do with that connection before the command goes out.
    prepareData();
    const QString argument = m_ftp.MakePortArgument();
    if (argument.isEmpty()) {
        // Without a listening socket the server would have nowhere to connect.
        m_ftp.fatal(FtpError::DataConnection);
        return;
    }
    send("PORT " + argument.toUtf8(), listing() ? FtpStep::ListingPort : FtpStep::StorePort);
}

bool FtpTransferOp::dataReply(const FtpReply& reply) {
    switch (step()) {
    case FtpStep::ListingType:
    case FtpStep::StoreType:
        typeAccepted(reply);
        return true;
    case FtpStep::ListingEpsv:
    case FtpStep::ListingPasv:
    case FtpStep::StoreEpsv:
    case FtpStep::StorePasv:
        passiveReply(reply);
        return true;
    case FtpStep::ListingPort:
    case FtpStep::StorePort:
        if (isClass(reply, '2'))
            sendTransferCommand();
        else
            m_ftp.fatal(FtpError::UnexpectedReply);
        return true;
    default:
        return false;
    }
}

void FtpTransferOp::dataConnected(bool passive) {
    if (listing())
        m_ftp.m_success = true;
    if (passive)
        sendTransferCommand();
}

bool FtpTransferOp::dataInFlight() const {
    return (step() == FtpStep::List || step() == FtpStep::Stor) && !m_dataDone;
}

// The one place where both halves of LIST and STOR meet: the operation is over when the final
// reply and the end of the data connection are both in, in either order.
void FtpTransferOp::controlPartDone() {
    m_controlDone = true;
    m_ftp.m_abortedStoreTimer.stop();
    if (m_dataDone) {
        finish();
        return;
    }
    // The server answered the upload before its end of the data connection was seen: it
    // needs nothing more from it.
    m_ftp.m_data.finalReplyCame();
}

void FtpTransferOp::dataPartDone() {
    m_dataDone = true;
    if (m_controlDone)
        finish();
    else
        m_ftp.awaitReply(); // the final reply now has the reply time-out
}

void FtpTransferOp::finish() {
    // Both halves are in; a stray reply afterwards must not finish the operation again.
    TStarFtp& ftp = m_ftp;
    ftp.retireOperation();
    ftp.m_replyTimer.stop();
    ftp.m_abortedStoreTimer.stop();
    ftp.m_data.close();
    ftp.postReady();
}

// ---- listing ----

void FtpListOp::start() {
    if (m_pwd)
        send(QByteArrayLiteral("PWD"), FtpStep::Pwd);
    else
        sendType(Type::Ascii);
}

void FtpListOp::sendTransferCommand() {
    send(m_command, FtpStep::List);
}

void FtpListOp::reply(const FtpReply& reply) {
    switch (step()) {
    case FtpStep::Pwd:
        if (!isClass(reply, '2')) {
            m_ftp.fatal(FtpError::UnexpectedReply);
            return;
        }
        m_ftp.InitialDirectory = DirectoryFromPwdReply(reply.text);
        sendType(Type::Ascii);
        break;
    case FtpStep::List:
        if (isClass(reply, '2')) {
            controlPartDone();
        } else {
            m_ftp.closeDataSockets();
            m_ftp.fatal(FtpError::UnexpectedReply);
        }
        break;
    default:
        dataReply(reply);
        break;
    }
}

bool FtpListOp::line(const QByteArray& bytes) {
    TStarFtp& ftp = m_ftp;
    const QString line = RemoteNameText(bytes);
    ftp.info(FtpInfo::DataProgress, line);
    if (ftp.m_rawListing.size() >= TStarFtp::MaxListingLines)
        return true;
    ftp.m_rawListing.append(line);
    ftp.info(FtpInfo::ListingLine, line);
    if (m_machineListing) {
        const std::optional<RemoteEntry> entry = ParseMachineListingLine(bytes);
        if (!entry)
            return true;
        ftp.m_entries.append(*entry);
        (entry->isDirectory ? ftp.m_directoryNames : ftp.m_fileNames).append(entry->name);
        (entry->isDirectory ? ftp.m_directoryList : ftp.m_fileList).append(entry->text);
        return true;
    }
    // Parsed from the bytes, not the shown text: the name must go back to the server unchanged.
    const ListingEntry parsed = ParseListingLine(bytes, ftp.ServerType);
    if (!parsed.isEntry)
        return true;
    if (m_keepEntries) {
        RemoteEntry entry;
        entry.name = parsed.name;
        entry.text = RemoteNameText(parsed.name);
        entry.isDirectory = parsed.isDirectory;
        ReadListingDetails(bytes, QDateTime::currentDateTimeUtc().date(), entry);
        ftp.m_entries.append(std::move(entry));
    }
    if (parsed.isDirectory) {
        ftp.m_directoryNames.append(parsed.name);
        ftp.m_directoryList.append(RemoteNameText(parsed.name));
    } else {
        ftp.m_fileNames.append(parsed.name);
        ftp.m_fileList.append(RemoteNameText(parsed.name));
    }
    return true;
}

// ---- upload ----

void FtpStoreOp::start() {
    sendType(m_ascii ? Type::Ascii : Type::Image);
}

void FtpStoreOp::sendTransferCommand() {
    if (!send("STOR " + m_remoteName, FtpStep::Stor))
        return;
    m_ftp.m_data.commandSent();
}

void FtpStoreOp::abortedStoreWaitOver() {
    if (step() == FtpStep::Stor && !controlDone())
        controlPartDone();
}

void FtpStoreOp::reply(const FtpReply& reply) {
    if (step() != FtpStep::Stor) {
        dataReply(reply);
        return;
    }
    if (isClass(reply, '2')) {
        controlPartDone();
    } else if (reply.code == "426") {
        // The transfer was aborted: the 2xx that follows only closes the command, the file
        // did not arrive whole. Servers that end STOR with the 426 itself send nothing more,
        // so after a while the 426 counts as the final reply.
        m_ftp.m_success = false;
        m_ftp.m_abortedStoreTimer.start(m_ftp.AbortedStoreWaitMs);
        m_ftp.awaitReply();
    } else {
        TStarFtp& ftp = m_ftp;
        ftp.m_success = false;
        ftp.retireOperation();
        ftp.m_data.close();
        ftp.info(FtpInfo::UnexpectedReply);
        ftp.postReady();
    }
}

// ---- one-reply commands, rename, quit ----

void FtpCommandOp::start() {
    send(m_command, FtpStep::Command);
}

void FtpCommandOp::received(const QByteArray& bytes) {
    if (m_query)
        m_ftp.m_queryReply.append(bytes.left(TStarFtp::ReadBlockSize));
}

void FtpCommandOp::reply(const FtpReply& reply) {
    if (!m_query) {
        finishWith(reply);
        return;
    }
    TStarFtp& ftp = m_ftp;
    // The type asked for by a query counts as the type of the session, as TYPE does.
    if (m_command.toUpper() == "TYPE I")
        ftp.m_remoteType =
            isClass(reply, '2') ? TStarFtp::RemoteType::Image : TStarFtp::RemoteType::Unknown;
    ftp.m_success = isClass(reply, '2');
    ftp.retireOperation();
    ftp.postReady();
}

void FtpRenameOp::start() {
    send("RNFR " + m_from, FtpStep::RenameFrom);
}

void FtpRenameOp::reply(const FtpReply& reply) {
    if (step() == FtpStep::RenameFrom && isClass(reply, '3')) {
        send("RNTO " + m_to, FtpStep::RenameTo);
        return;
    }
    finishWith(reply);
}

void FtpQuitOp::start() {
    if (send(QByteArrayLiteral("QUIT"), FtpStep::QuitReply))
        m_ftp.m_quitTimer.start(m_ftp.QuitWaitMs);
}

void FtpQuitOp::reply(const FtpReply& reply) {
    if (m_duringOperation) {
        // Replies of the operation that was cut off may still come first; only the 221 ends
        // the connection, the quit wait covers a server that never sends it.
        if (reply.code == "221")
            m_ftp.closedByQuit();
        else
            m_ftp.awaitReply();
        return;
    }
    if (!isClass(reply, '2')) {
        m_ftp.fatal(FtpError::QuitRefused);
        return;
    }
    m_ftp.closedByQuit();
}
