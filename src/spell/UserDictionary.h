// UserDictionary: a user dictionary of the spell checker.
//
// A ".udt" file is an INI file: section "Added" holds list "IGN", the words the user added,
// kept sorted; section "Auto Correct" holds list "AC", each entry the misspelt word, "@@@" and
// its replacement. A ".dic" file is plain text, one word per line, and read-only: adding and
// removing words and auto-correct pairs do nothing to it. A missing file is an empty
// dictionary. A changed ".udt" is written back by save(), which release and reload call.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class IniText;

// The words and auto-correct pairs of a user dictionary file, read from its text in memory and
// written into it; UserDictionary reads and writes its file through these.
struct UserDictionaryLists {
    QStringList words;   // sorted, each once
    QStringList acOrder; // the words that have a replacement, in file order
    QHash<QString, QString> ac;

    // The two lists of a ".udt" file.
    static UserDictionaryLists fromUdt(const IniText& ini);
    // The words of a ".dic" file, one a line.
    static UserDictionaryLists fromDic(const QByteArray& bytes);
    // Replaces the two lists of a ".udt" file; false when the text takes no change.
    bool writeUdt(IniText& ini) const;
};

class UserDictionary {
public:
    explicit UserDictionary(QString path);
    ~UserDictionary();
    UserDictionary(const UserDictionary&) = delete;
    UserDictionary& operator=(const UserDictionary&) = delete;

    const QString& path() const { return m_path; }
    bool readOnly() const { return m_readOnly; }
    bool modified() const { return m_modified; }

    // Writes back pending changes, then reads the file again.
    void reload();
    // Writes the file when it is a changed ".udt". A file that exists but could not be read is
    // never written over. Returns false when a write failed.
    bool save();

    bool contains(const QString& word) const { return m_wordSet.contains(word); }
    const QStringList& words() const { return m_words; }
    bool addWord(const QString& word);
    bool removeWord(const QString& word);

    std::optional<QString> autoCorrection(const QString& word) const;
    // A pair for a word that already has one replaces its replacement.
    bool addAutoCorrection(const QString& word, const QString& replacement);
    QStringList autoCorrectWords() const { return m_acOrder; }

    static QString separator() { return QStringLiteral("@@@"); }

private:
    void read();
    void insertSorted(const QString& word);

    QString m_path;
    bool m_readOnly = false;
    bool m_readable = true;
    bool m_modified = false;
    QStringList m_words;
    QSet<QString> m_wordSet;
    QStringList m_acOrder;
    QHash<QString, QString> m_ac;
};
