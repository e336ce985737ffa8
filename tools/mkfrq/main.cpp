// mkfrq: builds the frequency file (.frq) of a main dictionary from word lists graded by
// frequency class and from counts over English text.
//
//   mkfrq [-t TEXTFILE]... WORDLIST CLASSFOLDER OUTPUT.frq
//
// WORDLIST is the list the dictionary was built from, one word per line. CLASSFOLDER holds
// graded lists named CATEGORY.N, one word per line, where N is the list's frequency class (the
// smaller, the commoner: 10 holds everyday words, 95 the rarest); the English and American
// lists of every category (words, upper-case words, proper names, contractions, abbreviations)
// are read. Each word of WORDLIST gets the smallest class it is listed in.
//
// The graded lists put thousands of everyday words in one class, "the" beside "thee". The
// words of the texts given with -t are counted, and the commonest get the finer classes 1 to 9
// above them (WordFrequencies::classesByCount). Words in no graded list and too rare in the texts
// are left out, and count as rarer than all. The output is written to a temporary file and renamed
// over the target.
#include "platform/TextFile.h"
#include "spell/WordFrequencies.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

int usage() {
    std::fprintf(stderr, "usage: mkfrq [-t TEXTFILE]... WORDLIST CLASSFOLDER OUTPUT.frq\n");
    return 2;
}

std::optional<QStringList> readWords(const QString& path) {
    const FileBytesResult file = readFileBytes(path);
    if (!file.ok)
        return std::nullopt;
    QStringList words;
    for (const QString& line : decodeText(file.bytes).text.split(QLatin1Char('\n'))) {
        const QString w = line.trimmed();
        if (!w.isEmpty())
            words << w;
    }
    return words;
}

} // namespace

int main(int argc, char** argv) {
    QStringList texts;
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-t" && i + 1 < argc)
            texts << QString::fromLocal8Bit(argv[++i]);
        else if (arg.startsWith('-'))
            return usage();
        else
            args << QString::fromLocal8Bit(arg);
    }
    if (args.size() != 3)
        return usage();
    const QString listPath = args[0];
    const QString classDir = args[1];
    const QString outPath = args[2];

    const std::optional<QStringList> list = readWords(listPath);
    if (!list) {
        std::fprintf(stderr, "mkfrq: cannot read %s\n", qPrintable(listPath));
        return 1;
    }
    // The dictionary holds only words with Latin-1 letters; the table speaks of no others.
    QSet<QString> wanted;
    for (const QString& w : *list)
        if (fitsLatin1(w))
            wanted.insert(w);

    static const QRegularExpression graded(
        QStringLiteral("^(english|american)-[a-z-]+\\.([0-9]{1,2})$"));
    const QDir dir(classDir);
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    QHash<QString, int> classes;
    int lists = 0;
    for (const QFileInfo& f : files) {
        const QRegularExpressionMatch m = graded.match(f.fileName());
        if (!m.hasMatch())
            continue;
        const int n = m.captured(2).toInt();
        if (n < 1 || n >= WordFrequencies::Unlisted)
            continue;
        const std::optional<QStringList> words = readWords(f.filePath());
        if (!words) {
            std::fprintf(stderr, "mkfrq: cannot read %s\n", qPrintable(f.filePath()));
            return 1;
        }
        ++lists;
        for (const QString& w : *words) {
            if (!wanted.contains(w))
                continue;
            const auto it = classes.find(w);
            if (it == classes.end())
                classes.insert(w, n);
            else if (n < *it)
                *it = n;
        }
    }
    if (lists == 0) {
        std::fprintf(stderr, "mkfrq: no graded word lists in %s\n", qPrintable(classDir));
        return 1;
    }

    QHash<QString, qint64> counts;
    for (const QString& path : texts) {
        const FileBytesResult file = readFileBytes(path);
        if (!file.ok) {
            std::fprintf(stderr, "mkfrq: cannot read %s\n", qPrintable(path));
            return 1;
        }
        WordFrequencies::countWords(decodeText(file.bytes).text, wanted, counts);
    }
    const QHash<QString, int> counted = WordFrequencies::classesByCount(counts);
    for (auto it = counted.constBegin(); it != counted.constEnd(); ++it)
        classes[it.key()] = it.value();

    const TextWriteResult written = writeFileAtomically(outPath, WordFrequencies::write(classes));
    if (!written.ok) {
        std::fprintf(stderr, "mkfrq: cannot write %s: %s\n", qPrintable(outPath),
                     qPrintable(written.error));
        return 1;
    }
    std::printf("mkfrq: %lld of %lld words graded from %d lists, %d of them by their counts "
                "in %lld texts\n",
                static_cast<long long>(classes.size()), static_cast<long long>(wanted.size()),
                lists, static_cast<int>(counted.size()), static_cast<long long>(texts.size()));
    return 0;
}
