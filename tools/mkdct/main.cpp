// mkdct: builds a main dictionary file (.dct) from a word list, one word per line.
//
//   mkdct [-d DESCRIPTION] WORDLIST OUTPUT.dct
//
// The list is read as UTF-8 when its bytes are valid UTF-8, else as Latin-1; the dictionary
// holds words as Latin-1 bytes, so words with characters outside Latin-1 are left out (and
// counted). The output is written to a temporary file and renamed over the target.
#include "platform/TextFile.h"
#include "spell/DctWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {
int usage() {
    std::fprintf(stderr, "usage: mkdct [-d DESCRIPTION] WORDLIST OUTPUT.dct\n");
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    QByteArray description("American English");
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-d" && i + 1 < argc)
            description = argv[++i];
        else if (arg.startsWith('-'))
            return usage();
        else
            files << QString::fromLocal8Bit(arg);
    }
    if (files.size() != 2)
        return usage();

    const QFileInfo info(files[0]);
    QFile in(files[0]);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mkdct: cannot read %s\n", qPrintable(files[0]));
        return 1;
    }
    const QString text = decodeText(in.readAll()).text;
    QList<QByteArray> words;
    int skipped = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString word = line.trimmed();
        if (word.isEmpty())
            continue;
        bool fits = true;
        for (QChar ch : word)
            fits = fits && ch.unicode() < 256;
        if (!fits) {
            ++skipped;
            continue;
        }
        words.append(word.toLatin1());
    }
    const DctBuildResult result = buildDct(words, description);
    if (!result.ok) {
        std::fprintf(stderr, "mkdct: %s\n", qPrintable(result.error));
        return 1;
    }
    const TextWriteResult written = writeFileAtomically(files[1], result.bytes);
    if (!written.ok) {
        std::fprintf(stderr, "mkdct: cannot write %s: %s\n", qPrintable(files[1]),
                     qPrintable(written.error));
        return 1;
    }
    std::printf(
        "mkdct: %d words in %d sub-dictionaries, %d nodes, %lld bytes%s\n", result.words,
        result.subDictionaries, result.nodes, static_cast<long long>(result.bytes.size()),
        skipped ? qPrintable(QStringLiteral(" (%1 words outside Latin-1 left out)").arg(skipped))
                : "");
    return 0;
}
