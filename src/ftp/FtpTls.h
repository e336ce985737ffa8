// TLS for TStarFtp's connections (explicit FTP over TLS) over OpenSSL: one client context per
// engine, one channel per connection. Every call returns at once; a channel says whether it
// waits for the socket to become readable or writable, and the engine's event loop brings it
// back then. Nothing here blocks, logs or touches a socket other than the one it was given.
#pragma once

#include "ftp/Ftp.h"

#include <QString>

#include <deque>
#include <memory>

struct ssl_st;
struct ssl_ctx_st;
struct ssl_session_st;

// The client context: the system's trust store and, for a private CA, an extra PEM file.
class FtpTlsContext {
public:
    FtpTlsContext();
    ~FtpTlsContext();
    FtpTlsContext(const FtpTlsContext&) = delete;
    FtpTlsContext& operator=(const FtpTlsContext&) = delete;

    // False when OpenSSL could not make a context (then no channel can be opened).
    bool ok() const { return m_ctx != nullptr; }
    // Adds the certificates of a PEM file to the trusted ones; false when it cannot be read.
    bool addTrustedFile(const QString& path);
    ssl_ctx_st* handle() const { return m_ctx; }
    // Sessions the server handed out (TLS 1.3 tickets), newest last. Servers with single-use
    // tickets refuse a second resumption of one ticket, so each data connection takes a fresh
    // one while there are any. When none is left (a data connection ended before its own
    // ticket came), it gets a copy of the newest ticket as it arrived: OpenSSL marks a TLS 1.3
    // session it has resumed once as spent, but servers whose tickets are not single-use
    // (stateless tickets) take it again, and a server that requires the data connection to
    // resume the control's session refuses a data connection with none. Null when the server
    // sent no session. The caller owns what it gets.
    ssl_session_st* takeSession();
    void keepSession(ssl_session_st* session);
    void forgetSessions();

private:
    ssl_ctx_st* m_ctx = nullptr;
    std::deque<ssl_session_st*> m_sessions;
    // A copy of the newest ticket that no handshake has used.
    ssl_session_st* m_newest = nullptr;
    QString m_extraFile;
};

class FtpTlsChannel {
public:
    enum class Result { Done, WantRead, WantWrite, Closed, Failed };

    // The client side over a connected non-blocking socket. host is what the certificate
    // must name: a host name, or a dotted address checked against the certificate's IPs.
    FtpTlsChannel(const FtpTlsContext& context, int socket, const QString& host);
    ~FtpTlsChannel();
    FtpTlsChannel(const FtpTlsChannel&) = delete;
    FtpTlsChannel& operator=(const FtpTlsChannel&) = delete;

    bool ok() const { return m_ssl != nullptr; }
    // Offers the session of another channel (the control connection's) for resumption; servers
    // that require it refuse a data connection that does not resume the control's session.
    void resumeFrom(const FtpTlsChannel& other, FtpTlsContext& context);

    Result handshake();
    bool established() const { return m_established; }
    // count bytes read or written when Done; Closed when the peer ended TLS (close_notify).
    Result read(char* buffer, int size, int& count);
    Result write(const char* bytes, int size, int& count);
    // Sends close_notify; Done once it is out (the peer's answer is not awaited).
    Result shutdown();

    // After the handshake: whether the certificate passed the check of the trust store and the
    // host name, and what it says.
    bool verified() const;
    TCertificateInfo certificate() const;
    QString protocolAndCipher() const;
    bool sessionReused() const;
    // The reason of the last Failed, in words (no key material, only OpenSSL's error text).
    QString errorText() const { return m_error; }

private:
    Result classify(int rc, const char* what);

    ssl_st* m_ssl = nullptr;
    bool m_established = false;
    QString m_error;
};

// Upper-case hex pairs joined by ':' of a fingerprint written in any of the usual ways
// (lower case, spaces or no separators); empty when it is no SHA-256 fingerprint.
QString NormalizedFingerprint(const QString& text);
