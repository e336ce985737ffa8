// IniText: a settings file in memory, parsed from its bytes and written back as bytes, with the
// rules of IniFile (platform/IniFile.h), which reads and writes the files through it.
#pragma once

#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <utility>

// A settings file read into memory: IniFile parses each file into one and keeps it while the
// file stays as read. The readers of files in this format work on it without touching the disk,
// and the same rules hold as for IniFile.
class IniText {
public:
    // An empty file, as a missing one reads.
    IniText() = default;
    // The bytes of a file; bytes that are not text make a text that reads empty and takes no
    // change, so that a file that is not ours is never rewritten.
    explicit IniText(const QByteArray& bytes);
    // A file that exists but could not be read: reads empty, takes no change.
    static IniText unreadable();

    bool readable() const { return m_readable; }
    // What a change left to write: every line with CR LF, in the encoding read (UTF-8 when a
    // change brought a character Latin-1 cannot hold).
    QByteArray bytes() const { return encoded().bytes; }
    EncodedText encoded() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;
    bool sectionExists(const QString& section) const;
    QStringList readSection(const QString& section) const;
    QStringList sections() const;
    QList<std::pair<QString, QString>> readSectionValues(const QString& section) const;

    // The changes return false when refused (a text that is not readable, or names that would
    // read back as something else; writeStrings then changes nothing at all); changed() says
    // whether any line changed since reading or since markWritten().
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeStrings(const QList<IniValue>& values);
    bool replaceSection(const QString& section, const QList<std::pair<QString, QString>>& values);
    bool eraseSection(const QString& section);
    bool deleteKey(const QString& section, const QString& key);
    bool changed() const { return m_changed; }
    // The text now stands as written, in the encoding its bytes were written in.
    void markWritten(TextEncoding encoding);

private:
    enum class LineKind { Other, Section, Key };
    // One line: where it stands in m_text and the parts it names. The parts are ranges of that
    // text, so a large file is held once, not again for every line and name.
    struct Line {
        qsizetype start = 0;  // in m_text
        qsizetype length = 0; // without the line end
        LineKind kind = LineKind::Other;
        qsizetype nameStart = 0; // section or key name, trimmed
        qsizetype nameLength = 0;
        qsizetype valueStart = 0; // key value, trimmed
        qsizetype valueLength = 0;
    };
    static Line parseLine(QStringView text, qsizetype start, qsizetype length, bool first);
    QStringView raw(qsizetype i) const;
    QStringView name(qsizetype i) const;
    QStringView lineValue(qsizetype i) const;
    void replaceLines(qsizetype first, qsizetype count, const QStringList& raws);
    qsizetype findSection(const QString& section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString& key) const;
    QList<qsizetype> firstOfEachName(qsizetype from, qsizetype to, LineKind kind) const;
    bool setValue(const QString& section, const QString& key, const QString& value);

    bool m_readable = true;
    bool m_changed = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
    QString m_text; // the whole file, every line ended by CR LF
    QList<Line> m_lines;
};

// The whole file in memory (a missing file reads empty), and its bytes written back
// atomically after changes made there (nothing is written when nothing changed); an unreadable
// text, or a file on disk that cannot be read, is never written.
IniText loadIniText(const IniFile& file);
bool saveIniText(const IniFile& file, const IniText& text);
