// Reading and writing the user's text files.
//
// A file is read as UTF-8 when its bytes are valid UTF-8, else as Latin-1, and the encoding is
// remembered so the file is written back in the one it was read in: no byte is lost either way.
// Every line break read (CR LF, LF or a lone CR) becomes CR LF, the program's line end. Writing
// goes to a temporary file beside the target that is renamed over it, so a failed save leaves
// the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>

enum class TextEncoding { Utf8, Latin1 };

struct TextReadResult {
    bool ok = false;
    QString text; // with CR LF line ends
    TextEncoding encoding = TextEncoding::Utf8;
    QString error; // the system's reason when !ok
};

struct TextWriteResult {
    bool ok = false;
    QString error;                              // the system's reason when !ok
    TextEncoding encoding = TextEncoding::Utf8; // of a text write: the encoding written
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

struct EncodedText {
    QByteArray bytes;
    TextEncoding encoding = TextEncoding::Utf8; // the one used
};

// Bytes to text: UTF-8 when valid (a leading byte-order mark is kept as text), else Latin-1.
DecodedText decodeText(const QByteArray& bytes);
// Text to bytes. Latin-1 is used only when every character fits; otherwise UTF-8, so nothing
// typed into a Latin-1 document is lost; the result tells which was used.
EncodedText encodeText(const QString& text, TextEncoding wanted);
// The encoding to write the program's own files in so that decodeText reads the same text back:
// wanted, unless that is Latin-1 and the text's Latin-1 bytes would pass for UTF-8 (a file that
// was Latin-1 only because of a byte since removed), then UTF-8. A user's page keeps its bytes
// instead: encodeText with its own encoding.
TextEncoding encodingThatReadsBack(const QString& text, TextEncoding wanted);
// Every CR LF, lone LF and lone CR becomes CR LF.
QString toCrLf(const QString& text);

struct FileBytesResult {
    bool ok = false;
    QByteArray bytes;
    QString error; // the system's reason, or notRegularFileText(), when !ok
};

// Every reader of a path the user chose goes through here: only a regular file is opened, so a
// named pipe, a device or a socket can never block the program in open() or read().
FileBytesResult readFileBytes(const QString& path);
// A folder held open while a pass works on many files in it: each file is then reached by its
// name relative to the open folder, without walking the folder's path again for every file. The
// folder is the one its path named when it was opened.
class OpenFolder {
public:
    // An empty folder stands for the working folder, as a bare file name does.
    explicit OpenFolder(const QString& folder);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    const QString& path() const { return m_path; }
    // False when the folder could not be opened (missing, not a folder, no access).
    bool isOpen() const;
    // The size of the file of that name (its native bytes, no separator) in the folder, links
    // followed, when it is a regular file; -1 for anything else or when it cannot be asked.
    qint64 regularFileSize(const QByteArray& name) const;
    // readFileBytes of path, the file of that name in the folder, with the same refusals and
    // texts; a folder that could not be opened, or no name, reads path itself.
    FileBytesResult readFile(const QByteArray& name, const QString& path) const;

private:
    QString m_path;
    int m_fd = -1;
};

// The size of the file path names, links followed, when it is a regular file; else -1.
qint64 regularFileSize(const QString& path);
// The reason given for a path that is neither missing nor a folder nor a regular file.
QString notRegularFileText(const QString& path);
// Whether bytes read as text: no NUL and no control character but tab, line ends and form feed.
// Every other byte is part of a character in UTF-8, in Latin-1 or in the Windows code page.
bool looksLikeText(const QByteArray& bytes);
// Whether every character of text has a Latin-1 byte.
bool fitsLatin1(const QString& text);

TextReadResult readTextFile(const QString& path);
// Writes text (line ends made CR LF) atomically. *used, when given, receives the encoding written.
TextWriteResult writeTextFile(const QString& path, const QString& text, TextEncoding encoding);
// Writes raw bytes atomically.
TextWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);
