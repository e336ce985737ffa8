// WordFrequencies: the frequency file of a main dictionary, read and written.
#include "spell/WordFrequencies.h"

#include "platform/TextFile.h"

#include <QFileInfo>

#include <algorithm>

namespace {
// A word of a dictionary: no blank, no control character, nothing lost in decoding.
bool isWord(const QString& word) {
    for (const QChar ch : word)
        if (ch.unicode() <= 0x20 || ch.unicode() == 0x7f || ch == QChar::ReplacementCharacter)
            return false;
    return !word.isEmpty();
}
} // namespace

WordFrequencies::Result WordFrequencies::open(const QString& path) {
    m_classes.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return {false, QStringLiteral("No frequency file: %1").arg(path)};
    // Checked before reading: the table is loaded whole into memory.
    if (info.isFile() && info.size() > MaxFileSize)
        return {false, QStringLiteral("%1: the frequency file is too large").arg(path)};
    const FileBytesResult file = readFileBytes(path);
    if (!file.ok)
        return {false, path + QStringLiteral(": ") + file.error};
    Result r = load(file.bytes);
    if (!r.ok)
        r.error = path + QStringLiteral(": ") + r.error;
    return r;
}

WordFrequencies::Result WordFrequencies::load(const QByteArray& bytes) {
    m_classes.clear();
    const auto damaged = [this](qsizetype line, const QString& what) {
        m_classes.clear();
        return Result{
            false,
            QStringLiteral("The frequency file is damaged (line %1: %2).").arg(line).arg(what)};
    };
    if (bytes.size() > MaxFileSize)
        return damaged(1, QStringLiteral("too large"));
    QHash<QString, quint8> classes;
    int current = 0;
    qsizetype lineNo = 0;
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + from, end - from);
        from = end + 1;
        ++lineNo;
        if (line.endsWith('\r'))
            line.chop(1);
        if (lineNo == 1) {
            if (line != header())
                return damaged(1, QStringLiteral("not a frequency file"));
            continue;
        }
        if (line.isEmpty())
            continue;
        if (line.front() == '@') {
            bool ok = false;
            const int n = line.sliced(1).toInt(&ok);
            if (!ok || n < 1 || n >= Unlisted || line.size() > 3)
                return damaged(lineNo, QStringLiteral("bad class"));
            current = n;
            continue;
        }
        if (current == 0)
            return damaged(lineNo, QStringLiteral("a word before the first class"));
        if (line.size() > MaxWordLength * 4)
            return damaged(lineNo, QStringLiteral("word too long"));
        const QString word = QString::fromUtf8(line);
        if (word.size() > MaxWordLength || !isWord(word))
            return damaged(lineNo, QStringLiteral("not a word"));
        const auto it = classes.find(word);
        if (it == classes.end())
            classes.insert(word, static_cast<quint8>(current));
        else if (current < *it)
            *it = static_cast<quint8>(current);
    }
    if (lineNo == 0)
        return damaged(1, QStringLiteral("empty"));
    m_classes = std::move(classes);
    return {true, {}};
}

int WordFrequencies::listedClass(const QString& word) const {
    const auto it = m_classes.constFind(word);
    if (it != m_classes.constEnd())
        return *it;
    const QString lower = word.toLower();
    if (lower != word) {
        const auto low = m_classes.constFind(lower);
        if (low != m_classes.constEnd())
            return *low;
    }
    return Unlisted;
}

int WordFrequencies::wordClass(const QString& word) const {
    if (m_classes.isEmpty())
        return Unlisted;
    const qsizetype space = word.indexOf(u' ');
    if (space < 0)
        return listedClass(word);
    return std::max(listedClass(word.left(space)), listedClass(word.mid(space + 1)));
}

QHash<QString, int> WordFrequencies::classes() const {
    QHash<QString, int> out;
    out.reserve(m_classes.size());
    for (auto it = m_classes.constBegin(); it != m_classes.constEnd(); ++it)
        out.insert(it.key(), it.value());
    return out;
}

QString WordFrequencies::pathFor(const QString& dictionaryPath) {
    const qsizetype slash = dictionaryPath.lastIndexOf(u'/');
    const qsizetype dot = dictionaryPath.lastIndexOf(u'.');
    const QString stem = dot > slash ? dictionaryPath.left(dot) : dictionaryPath;
    return stem + QStringLiteral(".frq");
}

QByteArray WordFrequencies::write(const QHash<QString, int>& classes) {
    QMap<int, QStringList> byClass;
    for (auto it = classes.constBegin(); it != classes.constEnd(); ++it)
        if (it.value() >= 1 && it.value() < Unlisted && it.key().size() <= MaxWordLength &&
            isWord(it.key()) && !it.key().startsWith(u'@'))
            byClass[it.value()] << it.key();
    QByteArray out = header() + '\n';
    for (auto it = byClass.begin(); it != byClass.end(); ++it) {
        it->sort();
        out += '@' + QByteArray::number(it.key()) + '\n';
        for (const QString& w : std::as_const(*it))
            out += w.toUtf8() + '\n';
    }
    return out;
}

namespace {
bool isWordLetter(QChar ch) {
    return ch.isLetter() || ch == u'\'';
}
} // namespace

void WordFrequencies::countWords(const QString& text, const QSet<QString>& wanted,
                                 QHash<QString, qint64>& counts) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && !isWordLetter(text.at(i)))
            ++i;
        qsizetype start = i;
        while (i < n && isWordLetter(text.at(i)))
            ++i;
        qsizetype end = i;
        while (start < end && text.at(start) == u'\'')
            ++start;
        while (end > start && text.at(end - 1) == u'\'')
            --end;
        if (start == end)
            continue;
        const QString word = text.mid(start, end - start);
        const QString lower = word.toLower();
        // "I" is the one word English always writes with a capital.
        if (lower != word && wanted.contains(lower) && word != u"I")
            ++counts[lower];
        else if (wanted.contains(word))
            ++counts[word];
    }
}

QHash<QString, int> WordFrequencies::classesByCount(const QHash<QString, qint64>& counts) {
    qint64 top = 0;
    for (const qint64 c : counts)
        top = std::max(top, c);
    QHash<QString, int> classes;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        if (it.value() <= 0)
            continue;
        for (int k = 1; k <= 9; ++k)
            if (it.value() * (qint64(1) << k) >= top) {
                classes.insert(it.key(), k);
                break;
            }
    }
    return classes;
}
