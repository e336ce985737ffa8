// Compares the spell checker with aspell and hunspell in one run on the same texts:
//  - checking a 1 MB English text (the system's licence texts, repeated), in words per second;
//  - suggestions for 200 one-edit misspellings of words of that text: time per word, and how
//    often the intended word comes first and how often it is among the first 15 shown.
//    The text's distinct words are split in two halves by a fixed hash: the order of
//    suggestions is tuned on misspellings of the one half ("tuning") and judged on those of
//    the other ("held out"), so that no held-out word was ever looked at while tuning.
// Peers are run as programs (aspell list / -a, hunspell -l / -a with their en_US dictionaries);
// their time is taken as the difference between runs on four copies and on one copy of the input,
// so that loading their dictionaries does not count against them.
//
//   spell_bench [MAIN.dct [--ours [misses]]]
// (the frequency table is taken from beside MAIN.dct, named as it with ".frq")
#include "spell/SpellConfig.h"
#include "spell/SuggestionRanking.h"
#include "spell/TAddictSpell.h"
#include "spell/WordFrequencies.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>

namespace {

constexpr int Misspellings = 200;
constexpr int Shown = TAddictSpell::MaxSuggestions;

struct Run {
    bool ok = false;
    double seconds = 0;
    QByteArray out;
};

Run runPeer(const QString& program, const QStringList& args, const QByteArray& input) {
    Run r;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return r;
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.seconds = t.nsecsElapsed() / 1e9;
    r.out = p.readAllStandardOutput();
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return r;
}

// The time one copy of input takes: best of three runs on one copy and on four copies, and the
// difference over three, so that the peer's start-up (loading its dictionary) drops out.
Run timedPeer(const QString& program, const QStringList& args, const QByteArray& input) {
    const auto best = [&](const QByteArray& in) {
        Run b;
        for (int i = 0; i < 3; ++i) {
            Run r = runPeer(program, args, in);
            if (!r.ok)
                return r;
            if (!b.ok || r.seconds < b.seconds)
                b = r;
        }
        return b;
    };
    Run one = best(input);
    if (!one.ok)
        return one;
    const Run four = best(input + input + input + input);
    if (!four.ok)
        return four;
    one.seconds = std::max(1e-6, (four.seconds - one.seconds) / 3);
    return one;
}

QByteArray englishText(qsizetype size) {
    QByteArray all;
    QSet<QString> seen;
    const QDir dir(QStringLiteral("/usr/share/common-licenses"));
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name)) {
        const QString real = f.canonicalFilePath();
        if (seen.contains(real))
            continue;
        seen.insert(real);
        QFile file(real);
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll() + "\n";
    }
    if (all.isEmpty())
        return {};
    QByteArray text;
    while (text.size() < size)
        text += all;
    return text.left(size);
}

// "& word n offset: s1, s2" -> suggestions; "*" -> none asked for (correct); "#" -> none.
QList<QStringList> parsePipe(const QByteArray& out) {
    QList<QStringList> result;
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith('&')) {
            const qsizetype colon = line.indexOf(':');
            QStringList s;
            for (const QByteArray& part : line.mid(colon + 1).split(','))
                s << QString::fromUtf8(part.trimmed());
            result << s;
        } else if (line.startsWith('#') || line.startsWith('*')) {
            result << QStringList();
        }
    }
    return result;
}

struct Quality {
    int first = 0;
    int listed = 0;
};

// Which half a word falls in: FNV-1a over its letters, fixed across runs and machines.
bool heldOut(const QString& word) {
    std::uint32_t h = 2166136261u;
    for (const char c : word.toUtf8()) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return (h >> 7) & 1;
}

Quality score(const QList<QStringList>& lists, const QStringList& intended) {
    Quality q;
    for (qsizetype i = 0; i < intended.size() && i < lists.size(); ++i) {
        const QStringList shown = lists.at(i).mid(0, Shown);
        q.first += !shown.isEmpty() && shown.first() == intended.at(i) ? 1 : 0;
        q.listed += shown.contains(intended.at(i)) ? 1 : 0;
    }
    return q;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString dct =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUILLON_MAIN_DCT);
    QTemporaryDir dir;
    if (!QFile::copy(dct, dir.filePath(QStringLiteral("american.dct")))) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(dct));
        return 1;
    }
    // The frequency table beside it, when there is one.
    QFile::copy(WordFrequencies::pathFor(dct), dir.filePath(QStringLiteral("american.frq")));
    TAddictSpell spell(dir.filePath(QStringLiteral("spell.cfg")), QStringLiteral("default"));
    spell.configure();
    if (!spell.openDictionaries().isEmpty() || spell.mainDictionaries().isEmpty()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(dct));
        return 1;
    }
    std::printf("frequency table: %lld words\n",
                static_cast<long long>(spell.frequencies() ? spell.frequencies()->size() : 0));

    const QByteArray bytes = englishText(1 << 20);
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "no text in /usr/share/common-licenses\n");
        return 1;
    }
    const QString text = QString::fromUtf8(bytes);

    // Our check: the walk the dialog uses, without the dialog.
    double best = 1e9;
    int words = 0;
    int misspelt = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        TAddictSpell::ScanState state;
        int pos = 0;
        int bad = 0;
        while (auto problem = spell.findProblem(text, pos, static_cast<int>(text.size()), state)) {
            ++bad;
            pos = problem->word.start + problem->word.length;
        }
        best = std::min(best, t.nsecsElapsed() / 1e9);
        words = state.wordsScanned;
        misspelt = bad;
    }
    const double ours = words / best;
    std::printf("text: %lld bytes, %d words (the system's licence texts, repeated)\n",
                static_cast<long long>(bytes.size()), words);
    std::printf("quillon  check: %12.0f words/s, %d words not found\n", ours, misspelt);
    // "--ours" as second argument leaves the peers out (for tuning the order).
    const bool peers = !(argc > 2 && QByteArray(argv[2]) == "--ours");
    const Run aspell =
        !peers ? Run{}
               : timedPeer(QStringLiteral("aspell"),
                           {QStringLiteral("--lang=en_US"), QStringLiteral("list")}, bytes);
    const Run hunspell =
        !peers ? Run{}
               : timedPeer(QStringLiteral("hunspell"),
                           {QStringLiteral("-d"), QStringLiteral("en_US"), QStringLiteral("-l")},
                           bytes);
    for (const auto& [name, run] : {std::pair{"aspell  ", &aspell}, {"hunspell", &hunspell}}) {
        if (!run->ok) {
            std::printf("%s check: not run (install aspell aspell-en hunspell hunspell-en-us)\n",
                        name);
            continue;
        }
        std::printf("%s check: %12.0f words/s, %lld words not found\n", name, words / run->seconds,
                    static_cast<long long>(run->out.count('\n')));
    }
    if (aspell.ok)
        std::printf("ratio check words/s quillon/aspell: %.2f\n", ours / (words / aspell.seconds));
    if (hunspell.ok)
        std::printf("ratio check words/s quillon/hunspell: %.2f\n",
                    ours / (words / hunspell.seconds));

    // Misspellings: words of the text (as often as they occur), one edit each of the four
    // kinds in turn. Two sets: the letter typed, inserted or substituted is either any letter
    // at random, or a key next to the intended one (a slip of the finger).
    QStringList tokens;
    for (const QString& w :
         text.split(QRegularExpression(QStringLiteral("[^A-Za-z]+")), Qt::SkipEmptyParts))
        if (w.size() >= 3 && w == w.toLower() && spell.isWordCorrect(w))
            tokens << w;
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QStringList halves[2];
    for (const QString& w : tokens)
        halves[heldOut(w) ? 1 : 0] << w;
    for (const bool held : {false, true})
        for (const bool slips : {false, true}) {
            std::mt19937 rng(held ? (slips ? 20261213 : 20261212) : (slips ? 20261209 : 20261208));
            const QStringList& words = halves[held ? 1 : 0];
            QStringList intended;
            QStringList typed;
            while (typed.size() < Misspellings && !words.isEmpty()) {
                const QString w = words.at(static_cast<qsizetype>(rng() % words.size()));
                QString m = w;
                const int at = static_cast<int>(rng() % w.size());
                QChar letter = letters.at(static_cast<qsizetype>(rng() % 26));
                if (slips) {
                    QString near;
                    for (QChar c : letters)
                        if (keyboardNeighbours(c, w.at(at)))
                            near += c;
                    if (near.isEmpty())
                        continue;
                    letter = near.at(static_cast<qsizetype>(rng() % near.size()));
                }
                switch (typed.size() % 4) {
                case 0:
                    m.remove(at, 1);
                    break;
                case 1:
                    m.insert(at + 1, letter);
                    break;
                case 2:
                    m[at] = letter;
                    break;
                default:
                    if (at + 1 >= m.size())
                        continue;
                    std::swap(m[at], m[at + 1]);
                    break;
                }
                if (m == w || spell.isWordCorrect(m) || typed.contains(m))
                    continue;
                intended << w;
                typed << m;
            }

            QList<QStringList> ourLists;
            QElapsedTimer t;
            t.start();
            for (const QString& m : typed)
                ourLists << spell.suggestionsFor(m);
            const double ourPerWord = t.nsecsElapsed() / 1e9 / typed.size();
            QByteArray pipe;
            for (const QString& m : typed)
                pipe += "^" + m.toUtf8() + "\n";
            const QStringList aspellArgs{QStringLiteral("--lang=en_US"), QStringLiteral("-a")};
            const QStringList hunspellArgs{QStringLiteral("-d"), QStringLiteral("en_US"),
                                           QStringLiteral("-a")};
            const Run aspellSuggest =
                !peers ? Run{} : timedPeer(QStringLiteral("aspell"), aspellArgs, pipe);
            const Run hunspellSuggest =
                !peers ? Run{} : timedPeer(QStringLiteral("hunspell"), hunspellArgs, pipe);

            const QByteArray setName = QByteArray(slips ? "keyboard slips" : "random letters") +
                                       (held ? ", held out" : ", tuning");
            const char* set = setName.constData();
            std::printf("suggestions for %lld one-edit misspellings, %s (first %d shown):\n",
                        static_cast<long long>(typed.size()), set, Shown);
            const auto report = [&](const char* name, double perWord, const Quality& q) {
                std::printf(
                    "%s suggest: %8.3f ms per word, intended first %5.1f %%, in list %5.1f %%\n",
                    name, perWord * 1000, 100.0 * q.first / typed.size(),
                    100.0 * q.listed / typed.size());
            };
            const Quality ourQuality = score(ourLists, intended);
            report("quillon ", ourPerWord, ourQuality);
            if (aspellSuggest.ok)
                report("aspell  ", aspellSuggest.seconds / typed.size(),
                       score(parsePipe(aspellSuggest.out), intended));
            if (hunspellSuggest.ok)
                report("hunspell", hunspellSuggest.seconds / typed.size(),
                       score(parsePipe(hunspellSuggest.out), intended));
            if (aspellSuggest.ok)
                std::printf("ratio suggestion speed quillon/aspell (%s): %.2f\n", set,
                            aspellSuggest.seconds / typed.size() / ourPerWord);
            if (hunspellSuggest.ok)
                std::printf("ratio suggestion speed quillon/hunspell (%s): %.2f\n", set,
                            hunspellSuggest.seconds / typed.size() / ourPerWord);
            std::printf("quillon intended first (%s): %.1f %%\n", set,
                        100.0 * ourQuality.first / typed.size());
            std::printf("quillon intended in list (%s): %.1f %%\n", set,
                        100.0 * ourQuality.listed / typed.size());
            if (argc > 3 && !held) {
                // A third argument lists the misses, for tuning the order: of the tuning sets
                // only, so that tuning never looks at the held-out words.
                for (qsizetype i = 0; i < typed.size(); ++i)
                    if (ourLists.at(i).value(0) != intended.at(i))
                        std::printf(
                            "miss: %s -> %s : %s\n", qPrintable(typed.at(i)),
                            qPrintable(intended.at(i)),
                            qPrintable(ourLists.at(i).mid(0, 5).join(QStringLiteral(", "))));
            }
        }
    return 0;
}
