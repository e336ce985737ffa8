// IniFile: the private-profile settings files (OPTIONS.INI, DEFAULT.INI, FTP.INI).
//
// Every access reads what is on disk now: a file is parsed again whenever its size, times or
// inode differ from the last read, and otherwise its parsed lines are reused, so a large file
// costs one stat per access rather than a parse. Two IniFile objects over one path always agree.
// Section and key names compare without regard to case. Booleans are written 1/0 and read as
// true when non-zero; integers are decimal. A missing file, section or key, or bytes that make no
// sense, give the caller's default; nothing throws.
// Writes keep every other section, key, comment and blank line in its place and order, end every
// line with CR LF, and replace the file atomically.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One key to write: see IniFile::writeStrings.
struct IniValue {
    QString section;
    QString key;
    QString value;
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
    // Several keys, in order, in one rewrite of the file (none when no value changes). Nothing is
    // written when a name would not read back as written.
    bool writeStrings(const QList<IniValue>& values) const;

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

    // Files parsed and files written since the program started, over all paths: how often the
    // disk was really read or rewritten, as opposed to asked whether it changed.
    static quint64 parseCount();
    static quint64 writeCount();

    // Why the last write through this object failed (the system's reason, or that the file
    // could not be read); empty after a write that worked.
    const QString& lastError() const { return m_lastError; }

private:
    QString m_path;
    mutable QString m_lastError;
};
