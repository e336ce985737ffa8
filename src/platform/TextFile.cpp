// Reading and writing the user's text files: encoding detection, CR LF line ends, atomic writes.
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>

QString decodeText(const QByteArray& bytes, TextEncoding* encoding) {
    // Stateless so that a sequence cut off at the end counts as invalid instead of being held
    // back; the byte-order mark stays a character so that writing puts it back.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (encoding)
            *encoding = TextEncoding::Utf8;
        return text;
    }
    if (encoding)
        *encoding = TextEncoding::Latin1;
    return QString::fromLatin1(bytes);
}

static bool fitsLatin1(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QByteArray encodeText(const QString& text, TextEncoding wanted, TextEncoding* used) {
    if (wanted == TextEncoding::Latin1 && fitsLatin1(text)) {
        if (used)
            *used = TextEncoding::Latin1;
        return text.toLatin1();
    }
    if (used)
        *used = TextEncoding::Utf8;
    return text.toUtf8();
}

QString toCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 32 + 2);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out += QStringLiteral("\r\n");
            if (i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

TextReadResult readTextFile(const QString& path) {
    TextReadResult result;
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        result.error = qt_error_string(EISDIR);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.text = toCrLf(decodeText(bytes, &result.encoding));
    result.ok = true;
    return result;
}

TextWriteResult writeTextFile(const QString& path, const QString& text, TextEncoding encoding,
                              TextEncoding* used) {
    TextEncoding written = encoding;
    const QByteArray bytes = encodeText(toCrLf(text), encoding, &written);
    TextWriteResult result = writeFileAtomically(path, bytes);
    if (result.ok && used)
        *used = written;
    return result;
}

TextWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    TextWriteResult result;
    // Never fall back to writing the target in place: a failure half-way would destroy it.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.write(bytes) != bytes.size()) {
        result.error = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}
