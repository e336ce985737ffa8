#include "ftp/FtpControlTls.h"

#include "ftp/FtpTls.h"
#include "ftp/starsock.h"

FtpControlTls::FtpControlTls() = default;
FtpControlTls::~FtpControlTls() = default;

void FtpControlTls::reset() {
    m_channel.reset();
    m_protectData = false;
    m_fingerprint.clear();
}

void FtpControlTls::close() {
    m_channel.reset();
}

bool FtpControlTls::start(int socket, const QString& host, const QString& trustedCaFile) {
    if (!m_context)
        m_context = std::make_unique<FtpTlsContext>();
    if (!trustedCaFile.isEmpty())
        m_context->addTrustedFile(trustedCaFile);
    m_channel = std::make_unique<FtpTlsChannel>(*m_context, socket, host);
    if (!m_channel->ok())
        return false;
    m_context->forgetSessions();
    return true;
}

FtpControlTls::Handshake FtpControlTls::handshake() {
    if (!m_channel)
        return Handshake::Failed;
    switch (m_channel->handshake()) {
    case FtpTlsChannel::Result::WantRead:
        return Handshake::WaitRead;
    case FtpTlsChannel::Result::WantWrite:
        return Handshake::WaitWrite;
    case FtpTlsChannel::Result::Done:
        return Handshake::Done;
    default:
        return Handshake::Failed;
    }
}

bool FtpControlTls::handshaking() const {
    return m_channel && !m_channel->established();
}

bool FtpControlTls::established() const {
    return m_channel && m_channel->established();
}

bool FtpControlTls::trustedWithoutAsking(const QString& trustedFingerprint,
                                         TCertificateInfo& certificate) {
    if (!m_channel)
        return false;
    certificate = m_channel->certificate();
    m_fingerprint = certificate.Sha256Fingerprint;
    if (m_channel->verified())
        return true;
    const QString trusted = NormalizedFingerprint(trustedFingerprint);
    return !trusted.isEmpty() && trusted == certificate.Sha256Fingerprint;
}

QString FtpControlTls::protocolAndCipher() const {
    return m_channel ? m_channel->protocolAndCipher() : QString();
}

int FtpControlTls::receive(TStarSocket& socket, char* buffer, int size) {
    if (!m_channel)
        return socket.ReceiveData(buffer, size);
    socket.LastError = 0;
    if (!m_channel->established() || !socket.HasHandle())
        return 0;
    int count = 0;
    switch (m_channel->read(buffer, size, count)) {
    case FtpTlsChannel::Result::Done:
        socket.WaitForReadable();
        return count;
    case FtpTlsChannel::Result::WantRead:
    case FtpTlsChannel::Result::WantWrite:
    case FtpTlsChannel::Result::Closed:
        // Closed: the server ended TLS; the end of the connection itself follows.
        socket.WaitForReadable();
        return 0;
    case FtpTlsChannel::Result::Failed:
        break;
    }
    socket.LastError = wsa::ConnectionReset;
    return 0;
}

int FtpControlTls::send(TStarSocket& socket, const char* bytes, int size) {
    if (!m_channel)
        return socket.SendData(bytes, size);
    socket.LastError = 0;
    if (!m_channel->established())
        return 0;
    int count = 0;
    switch (m_channel->write(bytes, size, count)) {
    case FtpTlsChannel::Result::Done:
        return count;
    case FtpTlsChannel::Result::WantRead:
    case FtpTlsChannel::Result::WantWrite:
        return 0;
    default:
        socket.LastError = wsa::ConnectionReset;
        return 0;
    }
}
