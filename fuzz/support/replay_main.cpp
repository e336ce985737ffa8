// Runs a fuzz harness without libFuzzer: every file of the folders named on the command line,
// then a fixed series of mutations of them and of random bytes. The test suite runs each harness
// this way so that the parsers of outside input meet hostile bytes on every build; a real fuzzing
// run builds the same harnesses with clang and libFuzzer instead.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void run(const QByteArray& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<size_t>(bytes.size()));
}

QByteArray mutate(QByteArray bytes, std::mt19937& rng) {
    static const char* const tokens[] = {"\r\n", "\n", "\r", "[",    "]",  "=",    ";",    "\"",
                                         " ",    "-",  "0",  "\xff", "\0", "230-", "226 ", "->"};
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        const qsizetype pos = bytes.isEmpty() ? 0 : static_cast<qsizetype>(rng() % bytes.size());
        switch (rng() % 4) {
        case 0:
            if (!bytes.isEmpty())
                bytes[pos] = static_cast<char>(rng() & 0xff);
            break;
        case 1:
            if (!bytes.isEmpty())
                bytes.remove(pos, 1 + static_cast<qsizetype>(rng() % 16));
            break;
        case 2: {
            const char* t = tokens[rng() % (sizeof(tokens) / sizeof(tokens[0]))];
            bytes.insert(pos, QByteArray(t, t[0] ? static_cast<qsizetype>(strlen(t)) : 1));
            break;
        }
        default:
            bytes.insert(pos, bytes.mid(pos, static_cast<qsizetype>(rng() % 64)));
            break;
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<QByteArray> seeds;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        const QFileInfoList files =
            info.isDir() ? QDir(info.filePath()).entryInfoList(QDir::Files, QDir::Name)
                         : QFileInfoList{info};
        for (const QFileInfo& f : files) {
            QFile file(f.filePath());
            if (file.open(QIODevice::ReadOnly))
                seeds.push_back(file.readAll());
        }
    }
    seeds.push_back(QByteArray());
    for (const QByteArray& s : seeds)
        run(s);

    std::mt19937 rng(20261208);
    int runs = 0;
    for (int round = 0; round < 200; ++round) {
        for (const QByteArray& s : seeds) {
            run(mutate(s, rng));
            ++runs;
        }
        QByteArray noise(static_cast<qsizetype>(rng() % 512), '\0');
        for (char& c : noise)
            c = static_cast<char>(rng() & 0xff);
        run(noise);
        ++runs;
    }
    std::printf("%zu seeds and %d generated inputs ran without a fault\n", seeds.size(), runs);
    return 0;
}
