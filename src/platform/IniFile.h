// IniFile: the private-profile settings files (OPTIONS.INI, DEFAULT.INI, FTP.INI).
//
// Every access opens the file, reads or writes, and closes it again: nothing is cached, so two
// IniFile objects over one path always agree. Section and key names compare without regard to
// case. Booleans are written 1/0 and read as true when non-zero; integers are decimal. A missing
// file, section or key, or bytes that make no sense, give the caller's default; nothing throws.
// Writes keep every other section, key, comment and blank line in its place and order, end every
// line with CR LF, and replace the file atomically.
#pragma once

#include "platform/TextFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// A settings file read into memory: IniFile reads one at each access and writes back its bytes
// after a change. The readers of files in this format work on it without touching the disk, and
// the same rules hold as for IniFile below.
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
    // What a change left to write: every line with CR LF, in the encoding read.
    QByteArray bytes() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;
    bool sectionExists(const QString& section) const;
    QStringList readSection(const QString& section) const;
    QStringList sections() const;
    QList<std::pair<QString, QString>> readSectionValues(const QString& section) const;

    // The changes return false when refused (a text that is not readable, or names that would
    // read back as something else); changed() says whether any line changed since reading.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool replaceSection(const QString& section, const QList<std::pair<QString, QString>>& values);
    bool eraseSection(const QString& section);
    bool deleteKey(const QString& section, const QString& key);
    bool changed() const { return m_changed; }

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        QString raw; // the line as it stands in the file, without its line end
        LineKind kind = LineKind::Other;
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed
    };
    static Line parseLine(const QString& raw, bool first);
    qsizetype findSection(const QString& section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString& key) const;

    bool m_readable = true;
    bool m_changed = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
    QList<Line> m_lines;
};

class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Leading decimal integer of the value (optional sign); the default when there is none.
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

    // Each write returns whether the file was written; callers that follow the program's rule
    // "errors of settings accesses are ignored" may drop the result.
    bool writeString(const QString& section, const QString& key, const QString& value) const;
    bool writeInteger(const QString& section, const QString& key, int value) const;
    bool writeBool(const QString& section, const QString& key, bool value) const;

    // True when the file exists but cannot be read as a settings file (unreadable, not a regular
    // file, or bytes that are not text): every read gives the default and no write touches it.
    bool isIgnored() const;

    bool sectionExists(const QString& section) const;
    // Key names of a section in file order (empty when the section is missing).
    QStringList readSection(const QString& section) const;
    // Section names in file order.
    QStringList sections() const;
    // Keys and values of a section in file order, read in one pass (the first of repeated
    // keys wins, as in readString). Empty when the section is missing.
    QList<std::pair<QString, QString>> readSectionValues(const QString& section) const;
    // Replaces the keys of a section (made at the end of the file when missing) by the given
    // ones, in one write; other sections stay as they were. Keys and values that could not be
    // read back as written are left out.
    bool replaceSection(const QString& section,
                        const QList<std::pair<QString, QString>>& values) const;
    // Removes a whole section with all its keys; other sections stay as they were.
    bool eraseSection(const QString& section) const;
    bool deleteKey(const QString& section, const QString& key) const;

    // The whole file in memory (a missing file reads empty), and its bytes written back
    // atomically after changes made there; an unreadable text is never written.
    IniText load() const;
    bool save(const IniText& text) const;

private:
    QString m_path;
};
