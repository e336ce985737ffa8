// WordFrequencies: how common the words of a main dictionary are, for the order of suggestions.
//
// Among several words one edit away from what was typed, the common word is the one meant far
// more often than a rare one. The frequency file sits beside its main dictionary with the same
// name and the extension ".frq" (american.dct, american.frq). It is UTF-8 text: the first line
// is the header "Quillon word frequencies 1"; then come classes, each a line "@N" with N from 1
// to 99 (the smaller, the commoner) followed by the words of that class, one a line. A word
// listed twice keeps its commonest class. A word has no blank or control character and does not
// begin with "@". Words not listed are rarer than any class.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class WordFrequencies {
public:
    static constexpr int Unlisted = 100;
    static constexpr qsizetype MaxFileSize = 32 * 1024 * 1024;
    static constexpr qsizetype MaxWordLength = 100;

    struct Result {
        bool ok = false;
        QString error; // why the file was refused
    };

    // Reads a frequency file; a file that is not there, not a regular file or damaged is
    // refused whole, and the table stays empty.
    Result open(const QString& path);
    // Parses a whole file's bytes (also what open() uses).
    Result load(const QByteArray& bytes);

    // The class of a word as listed; a word not listed as typed is looked for in lower case,
    // since a word at the start of a sentence or in capitals is the same word. A pair of words
    // split by a space is as common as the rarer of the two.
    int wordClass(const QString& word) const;
    // Every listed word with its class.
    QHash<QString, int> classes() const;
    qsizetype size() const { return m_classes.size(); }
    bool isEmpty() const { return m_classes.isEmpty(); }

    // Where the frequency file of a main dictionary lies.
    static QString pathFor(const QString& dictionaryPath);
    static QByteArray header() { return QByteArrayLiteral("Quillon word frequencies 1"); }
    // The file for words by class, classes in ascending order, each word once (commonest class).
    static QByteArray write(const QHash<QString, int>& classes);

    // Building a table. Counts the words of wanted (a dictionary's words) in a text: runs of
    // letters and apostrophes, quotes around them cut off. A capital is most often that of a
    // sentence's first word, so a word is counted in lower case when wanted holds it so, else
    // as written.
    static void countWords(const QString& text, const QSet<QString>& wanted,
                           QHash<QString, qint64>& counts);
    // The finer classes 1 to 9 for the commonest counted words, one class for each halving of
    // the count: class k for a count of at least 1/2^k of the commonest word's count (class 1
    // for that word and those at least half as common); words under 1/512 of it get none.
    static QHash<QString, int> classesByCount(const QHash<QString, qint64>& counts);

private:
    int listedClass(const QString& word) const;
    QHash<QString, quint8> m_classes;
};
