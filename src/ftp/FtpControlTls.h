// TLS on TStarFtp's control connection: the engine's client context, the channel over the
// control socket once AUTH TLS was accepted, the check of the server's certificate, and what
// the data connections take from it (the session to resume, the fingerprint their certificate
// must have). The engine keeps the socket and its notifications; this object carries the bytes
// and says what to wait for, as the data channel does for the data connection.
#pragma once

#include <QString>

#include <memory>

class FtpTlsChannel;
class FtpTlsContext;
class TStarSocket;
struct TCertificateInfo;

class FtpControlTls {
public:
    enum class Handshake { WaitRead, WaitWrite, Done, Failed };

    FtpControlTls();
    ~FtpControlTls();
    FtpControlTls(const FtpControlTls&) = delete;
    FtpControlTls& operator=(const FtpControlTls&) = delete;

    // A new connection: commands in clear, data in clear, no certificate seen.
    void reset();
    // The control socket is closing: its channel goes with it.
    void close();

    // AUTH TLS was accepted: a channel over the control socket, whose certificate must name
    // host. Sessions of an earlier connection are dropped (another login, perhaps another
    // server). False when no channel could be made.
    bool start(int socket, const QString& host, const QString& trustedCaFile);
    Handshake handshake();
    // TLS was asked for and accepted, whether or not its handshake is over.
    bool active() const { return m_channel != nullptr; }
    bool handshaking() const;
    bool established() const;
    // After the handshake: true when the certificate passed the check of the trust store and
    // host name, or has the fingerprint the profile trusts; false leaves it in certificate
    // for the user to judge.
    bool trustedWithoutAsking(const QString& trustedFingerprint, TCertificateInfo& certificate);
    QString protocolAndCipher() const;

    // The control socket's reads and writes, through TLS once it is up. The socket's LastError
    // says what went wrong; a failure of TLS counts as a connection reset by the server.
    int receive(TStarSocket& socket, char* buffer, int size);
    int send(TStarSocket& socket, const char* bytes, int size);

    // PROT P was accepted: data connections go over TLS from now on.
    void protectData() { m_protectData = true; }
    bool dataProtected() const { return m_protectData; }
    // What a protected data connection needs: the context, the control channel whose session
    // it resumes, and the control certificate's fingerprint.
    FtpTlsContext* context() const { return m_context.get(); }
    const FtpTlsChannel* channel() const { return m_channel.get(); }
    const QString& fingerprint() const { return m_fingerprint; }

private:
    // The context lives as long as the engine, the channel as long as its socket.
    std::unique_ptr<FtpTlsContext> m_context;
    std::unique_ptr<FtpTlsChannel> m_channel;
    bool m_protectData = false;
    QString m_fingerprint;
};
