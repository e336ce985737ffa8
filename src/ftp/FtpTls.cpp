// OpenSSL behind FtpTlsContext and FtpTlsChannel. The handshake does not stop on a bad
// certificate: the engine looks at the verdict afterwards, so that it can offer the user the
// certificate's details and a stored fingerprint can trust it.
#include "ftp/FtpTls.h"

#include <QDateTime>
#include <QFile>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace {

// OpenSSL writes to the socket with write(), which raises SIGPIPE when the server has gone;
// the signal is blocked around each call and one it raised is taken back, as for sendfile().
class NoSigpipe {
public:
    NoSigpipe() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigpending(&m_pendingBefore);
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~NoSigpipe() {
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE) && !sigismember(&m_pendingBefore, SIGPIPE)) {
            const timespec noWait{};
            sigtimedwait(&m_pipe, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }

private:
    sigset_t m_pipe, m_old, m_pendingBefore;
};

QString lastOpenSslError(const char* what) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QString::fromLatin1(what);
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLatin1(text);
}

QString nameText(X509_NAME* name) {
    if (!name)
        return {};
    BIO* bio = BIO_new(BIO_s_mem());
    if (!bio)
        return {};
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    const QString text = QString::fromUtf8(data, static_cast<qsizetype>(size));
    BIO_free(bio);
    return text;
}

QString timeText(const ASN1_TIME* time) {
    std::tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return {};
    const QDateTime at(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                       QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

} // namespace

QString NormalizedFingerprint(const QString& text) {
    QString hex;
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            hex.append(c.toUpper());
        else if (c != QLatin1Char(':') && c != QLatin1Char(' '))
            return {};
    }
    if (hex.size() != 64)
        return {};
    QString out;
    for (int i = 0; i < 64; i += 2) {
        const QChar a = hex.at(i), b = hex.at(i + 1);
        auto isHex = [](QChar x) {
            return x.isDigit() || (x >= QLatin1Char('A') && x <= QLatin1Char('F'));
        };
        if (!isHex(a) || !isHex(b))
            return {};
        if (!out.isEmpty())
            out.append(QLatin1Char(':'));
        out.append(a).append(b);
    }
    return out;
}

namespace {
int sessionArrived(SSL* ssl, SSL_SESSION* session) {
    auto* context = static_cast<FtpTlsContext*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
    if (!context)
        return 0;
    context->keepSession(session);
    return 1; // the reference is ours now
}
} // namespace

FtpTlsContext::FtpTlsContext() {
    m_ctx = SSL_CTX_new(TLS_client_method());
    if (!m_ctx)
        return;
    SSL_CTX_set_app_data(m_ctx, this);
    SSL_CTX_sess_set_new_cb(m_ctx, sessionArrived);
    SSL_CTX_set_min_proto_version(m_ctx, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(m_ctx);
    // The verdict is taken after the handshake (see verified()).
    SSL_CTX_set_verify(m_ctx, SSL_VERIFY_NONE, nullptr);
    // Data connections resume the control connection's session; keep sessions for that.
    SSL_CTX_set_session_cache_mode(m_ctx, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL);
    SSL_CTX_set_mode(m_ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
}

ssl_session_st* FtpTlsContext::takeSession() {
    if (m_sessions.empty())
        return m_newest ? SSL_SESSION_dup(m_newest) : nullptr;
    SSL_SESSION* session = m_sessions.back();
    m_sessions.pop_back();
    return session;
}

void FtpTlsContext::keepSession(ssl_session_st* session) {
    if (SSL_SESSION* copy = SSL_SESSION_dup(session)) {
        if (m_newest)
            SSL_SESSION_free(m_newest);
        m_newest = copy;
    }
    m_sessions.push_back(session);
    // A handful is plenty; the oldest go first.
    while (m_sessions.size() > 8) {
        SSL_SESSION_free(m_sessions.front());
        m_sessions.pop_front();
    }
}

void FtpTlsContext::forgetSessions() {
    for (SSL_SESSION* session : m_sessions)
        SSL_SESSION_free(session);
    m_sessions.clear();
    if (m_newest)
        SSL_SESSION_free(m_newest);
    m_newest = nullptr;
}

FtpTlsContext::~FtpTlsContext() {
    forgetSessions();
    if (m_ctx)
        SSL_CTX_free(m_ctx);
}

bool FtpTlsContext::addTrustedFile(const QString& path) {
    if (!m_ctx || path.isEmpty())
        return false;
    if (path == m_extraFile)
        return true;
    const QByteArray name = QFile::encodeName(path);
    const bool loaded = SSL_CTX_load_verify_locations(m_ctx, name.constData(), nullptr) == 1;
    ERR_clear_error();
    if (loaded)
        m_extraFile = path;
    return loaded;
}

FtpTlsChannel::FtpTlsChannel(const FtpTlsContext& context, int socket, const QString& host) {
    if (!context.ok() || socket < 0)
        return;
    m_ssl = SSL_new(context.handle());
    if (!m_ssl)
        return;
    if (SSL_set_fd(m_ssl, socket) != 1) {
        SSL_free(m_ssl);
        m_ssl = nullptr;
        return;
    }
    SSL_set_connect_state(m_ssl);
    const QByteArray hostBytes = host.toUtf8();
    in_addr numeric{};
    if (!host.isEmpty() && ::inet_pton(AF_INET, hostBytes.constData(), &numeric) == 1) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), hostBytes.constData());
    } else if (!host.isEmpty()) {
        SSL_set_tlsext_host_name(m_ssl, hostBytes.constData());
        SSL_set1_host(m_ssl, hostBytes.constData());
    }
}

FtpTlsChannel::~FtpTlsChannel() {
    if (m_ssl)
        SSL_free(m_ssl); // the socket is not closed: it belongs to its TStarSocket
}

void FtpTlsChannel::resumeFrom(const FtpTlsChannel& other, FtpTlsContext& context) {
    if (!m_ssl || !other.m_ssl)
        return;
    SSL_SESSION* session = context.takeSession();
    if (!session)
        session = SSL_get1_session(other.m_ssl);
    if (session) {
        SSL_set_session(m_ssl, session);
        SSL_SESSION_free(session);
    }
}

FtpTlsChannel::Result FtpTlsChannel::classify(int rc, const char* what) {
    const int error = SSL_get_error(m_ssl, rc);
    switch (error) {
    case SSL_ERROR_WANT_READ:
        return Result::WantRead;
    case SSL_ERROR_WANT_WRITE:
        return Result::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
        return Result::Closed;
    case SSL_ERROR_SYSCALL:
        // The peer closed the connection without close_notify (or reset it).
        m_error = lastOpenSslError(what);
        if (m_error == QString::fromLatin1(what))
            m_error += QStringLiteral(": the connection ended");
        return Result::Failed;
    default:
        m_error = lastOpenSslError(what);
        return Result::Failed;
    }
}

FtpTlsChannel::Result FtpTlsChannel::handshake() {
    if (!m_ssl) {
        m_error = QStringLiteral("no TLS channel");
        return Result::Failed;
    }
    if (m_established)
        return Result::Done;
    NoSigpipe guard;
    ERR_clear_error();
    const int rc = SSL_do_handshake(m_ssl);
    if (rc == 1) {
        m_established = true;
        return Result::Done;
    }
    const Result result = classify(rc, "TLS handshake");
    return result == Result::Closed ? Result::Failed : result;
}

FtpTlsChannel::Result FtpTlsChannel::read(char* buffer, int size, int& count) {
    count = 0;
    if (!m_ssl || !m_established) {
        m_error = QStringLiteral("TLS read before the handshake");
        return Result::Failed;
    }
    NoSigpipe guard;
    ERR_clear_error();
    const int rc = SSL_read(m_ssl, buffer, size);
    if (rc > 0) {
        count = rc;
        return Result::Done;
    }
    return classify(rc, "TLS read");
}

FtpTlsChannel::Result FtpTlsChannel::write(const char* bytes, int size, int& count) {
    count = 0;
    if (!m_ssl || !m_established) {
        m_error = QStringLiteral("TLS write before the handshake");
        return Result::Failed;
    }
    if (size <= 0)
        return Result::Done;
    NoSigpipe guard;
    ERR_clear_error();
    const int rc = SSL_write(m_ssl, bytes, size);
    if (rc > 0) {
        count = rc;
        return Result::Done;
    }
    return classify(rc, "TLS write");
}

FtpTlsChannel::Result FtpTlsChannel::shutdown() {
    if (!m_ssl || !m_established)
        return Result::Done;
    NoSigpipe guard;
    ERR_clear_error();
    const int rc = SSL_shutdown(m_ssl);
    if (rc >= 0)
        return Result::Done; // 0: ours is out, the peer's is not awaited
    const Result result = classify(rc, "TLS shutdown");
    return result == Result::WantWrite ? result : Result::Done;
}

bool FtpTlsChannel::verified() const {
    if (!m_ssl)
        return false;
    X509* peer = SSL_get1_peer_certificate(m_ssl);
    if (!peer)
        return false;
    X509_free(peer);
    return SSL_get_verify_result(m_ssl) == X509_V_OK;
}

TCertificateInfo FtpTlsChannel::certificate() const {
    TCertificateInfo info;
    if (!m_ssl)
        return info;
    X509* peer = SSL_get1_peer_certificate(m_ssl);
    if (!peer) {
        info.Problem = QStringLiteral("the server sent no certificate");
        return info;
    }
    info.Subject = nameText(X509_get_subject_name(peer));
    info.Issuer = nameText(X509_get_issuer_name(peer));
    info.NotBefore = timeText(X509_get0_notBefore(peer));
    info.NotAfter = timeText(X509_get0_notAfter(peer));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(peer, EVP_sha256(), digest, &length) == 1) {
        QStringList pairs;
        for (unsigned int i = 0; i < length; ++i)
            pairs.append(QStringLiteral("%1").arg(digest[i], 2, 16, QLatin1Char('0')).toUpper());
        info.Sha256Fingerprint = pairs.join(QLatin1Char(':'));
    }
    X509_free(peer);
    const long result = SSL_get_verify_result(m_ssl);
    if (result != X509_V_OK)
        info.Problem = QString::fromLatin1(X509_verify_cert_error_string(result));
    return info;
}

QString FtpTlsChannel::protocolAndCipher() const {
    if (!m_ssl)
        return {};
    return QString::fromLatin1(SSL_get_version(m_ssl)) + QLatin1Char(' ') +
           QString::fromLatin1(SSL_get_cipher_name(m_ssl));
}

bool FtpTlsChannel::sessionReused() const {
    return m_ssl && SSL_session_reused(m_ssl) == 1;
}
