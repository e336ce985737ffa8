// MainDictionary: reading the packed letter trees, lookup and the eight suggestion methods.
#include "spell/MainDictionary.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr std::uint32_t EndOfWord = 1u << 23;

std::uint8_t letterOf(std::uint32_t node) {
    return static_cast<std::uint8_t>(node >> 24);
}
int childForm(std::uint32_t node) {
    return static_cast<int>((node >> 20) & 7);
}
std::uint32_t childRef(std::uint32_t node) {
    return node & 0xfffff;
}

// A cursor over the file's bytes that refuses to read past the end.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}
    qsizetype left() const { return m_bytes.size() - m_at; }
    bool seek(qsizetype at) {
        if (at < 0 || at > m_bytes.size())
            return false;
        m_at = at;
        return true;
    }
    bool u8(std::uint8_t& v) {
        if (left() < 1)
            return false;
        v = static_cast<std::uint8_t>(m_bytes.at(m_at++));
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (left() < 4)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_bytes.constData() + m_at);
        v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
            std::uint32_t(p[3]) << 24;
        m_at += 4;
        return true;
    }
    bool bytes(qsizetype n, QByteArray& out) {
        if (n < 0 || left() < n)
            return false;
        out = m_bytes.mid(m_at, n);
        m_at += n;
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

std::uint16_t u16At(const QByteArray& area, std::uint32_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(area.at(at)) |
                                      static_cast<unsigned char>(area.at(at + 1)) << 8);
}

// Whether a node's children lie inside the arrays: the single child is a node, and a child
// list lies wholly in the child-list area with every entry a node.
bool childrenValid(std::uint32_t node, qsizetype nodeCount, const QByteArray& area) {
    const int c = childForm(node);
    const std::uint32_t r = childRef(node);
    if (c == 0)
        return true;
    if (c == 1)
        return r < nodeCount;
    std::uint32_t count = static_cast<std::uint32_t>(c);
    std::uint32_t first = r;
    if (c == 7) {
        if (r >= static_cast<std::uint32_t>(area.size()))
            return false;
        count = static_cast<unsigned char>(area.at(r));
        first = r + 1;
    }
    if (first + 2 * std::uint64_t(count) > static_cast<std::uint64_t>(area.size()))
        return false;
    for (std::uint32_t i = 0; i < count; ++i)
        if (u16At(area, first + 2 * i) >= nodeCount)
            return false;
    return true;
}

} // namespace

void MainDictionary::index(SubDictionary& sub) {
    const qsizetype n = sub.nodes.size();
    const qsizetype total = n + sub.roots.size();
    sub.first.assign(static_cast<size_t>(total), 0);
    sub.count.assign(static_cast<size_t>(total), 0);
    sub.edges.clear();
    const auto add = [&](qsizetype at, std::uint32_t value) {
        sub.first[static_cast<size_t>(at)] = static_cast<std::uint32_t>(sub.edges.size());
        const int c = childForm(value);
        const std::uint32_t r = childRef(value);
        if (c == 1) {
            sub.edges.push_back({sub.nodes.at(r), r});
            sub.count[static_cast<size_t>(at)] = 1;
            return;
        }
        if (c == 0)
            return;
        std::uint32_t count = static_cast<std::uint32_t>(c);
        std::uint32_t from = r;
        if (c == 7) {
            count = static_cast<unsigned char>(sub.childArea.at(r));
            from = r + 1;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint16_t child = u16At(sub.childArea, from + 2 * i);
            sub.edges.push_back({sub.nodes.at(child), child});
        }
        sub.count[static_cast<size_t>(at)] = static_cast<std::uint16_t>(count);
    };
    for (qsizetype i = 0; i < n; ++i)
        add(i, sub.nodes.at(i));
    for (qsizetype i = 0; i < sub.roots.size(); ++i)
        add(n + i, sub.roots.at(i));
}

MainDictionary::Result MainDictionary::open(const QString& path) {
    if (m_tried)
        return m_openResult;
    m_tried = true;
    m_path = path;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists()) {
        m_openResult = {false, QStringLiteral("Unable to find dictionary file: %1").arg(path)};
    } else if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        m_openResult = {false, QStringLiteral("Unable to read dictionary file: %1").arg(path)};
    } else {
        const QByteArray bytes = file.readAll();
        m_openResult = load(bytes);
        if (!m_openResult.ok)
            m_openResult.error = path + QStringLiteral(": ") + m_openResult.error;
    }
    return m_openResult;
}

MainDictionary::Result MainDictionary::load(const QByteArray& bytes) {
    m_loaded = false;
    m_subs.clear();
    m_table.clear();
    const auto damaged = [](const QString& what) {
        return Result{false, QStringLiteral("The dictionary file is damaged (%1).").arg(what)};
    };
    Reader in(bytes);
    std::uint8_t subCount = 0;
    std::uint8_t tableLength = 0;
    if (!in.seek(HeaderOffset) || !in.u8(subCount) || !in.u8(tableLength) ||
        !in.bytes(tableLength, m_table))
        return damaged(QStringLiteral("too short for its header"));
    QList<SubDictionary> subs;
    subs.reserve(subCount);
    for (int s = 0; s < subCount; ++s) {
        SubDictionary sub;
        std::uint32_t nodeCount = 0;
        std::uint32_t areaSize = 0;
        if (!in.u32(nodeCount) || !in.u32(areaSize))
            return damaged(QStringLiteral("sub-dictionary %1 cut short").arg(s + 1));
        // Sizes are checked against what is left before anything is allocated.
        if (nodeCount > static_cast<std::uint64_t>(in.left()) / 4 ||
            areaSize > static_cast<std::uint64_t>(in.left()) - 4 * std::uint64_t(nodeCount))
            return damaged(QStringLiteral("sub-dictionary %1 larger than the file").arg(s + 1));
        sub.nodes.resize(nodeCount);
        for (std::uint32_t i = 0; i < nodeCount; ++i)
            in.u32(sub.nodes[i]);
        in.bytes(areaSize, sub.childArea);
        std::uint8_t k = 0;
        if (!in.u8(k) || !in.bytes(k, sub.firstLetters))
            return damaged(QStringLiteral("sub-dictionary %1 cut short").arg(s + 1));
        sub.roots.resize(k);
        for (int i = 0; i < k; ++i)
            if (!in.u32(sub.roots[i]))
                return damaged(QStringLiteral("sub-dictionary %1 cut short").arg(s + 1));
        for (std::uint32_t node : sub.nodes)
            if (!childrenValid(node, sub.nodes.size(), sub.childArea))
                return damaged(
                    QStringLiteral("a node of sub-dictionary %1 points outside it").arg(s + 1));
        for (int i = k - 1; i >= 0; --i) {
            if (!childrenValid(sub.roots[i], sub.nodes.size(), sub.childArea))
                return damaged(
                    QStringLiteral("a root of sub-dictionary %1 points outside it").arg(s + 1));
            // The first of equal first letters is the one a lookup finds.
            sub.rootOf[static_cast<unsigned char>(sub.firstLetters.at(i))] =
                static_cast<std::uint16_t>(i + 1);
        }
        index(sub);
        subs.append(std::move(sub));
    }
    m_subs = std::move(subs);
    m_loaded = true;
    return {true, {}};
}

bool MainDictionary::subContains(const SubDictionary& sub, QByteArrayView word) const {
    if (word.isEmpty())
        return false;
    const int p = sub.rootOf[static_cast<unsigned char>(word.at(0))];
    if (p == 0)
        return false;
    std::uint32_t node = sub.roots.at(p - 1);
    std::size_t at = sub.nodes.size() + static_cast<std::size_t>(p - 1);
    const SubDictionary::Edge* edges = sub.edges.data();
    for (qsizetype i = 1; i < word.size(); ++i) {
        const auto letter = static_cast<std::uint8_t>(word.at(i));
        const SubDictionary::Edge* e = edges + sub.first[at];
        const SubDictionary::Edge* end = e + sub.count[at];
        while (e != end && letterOf(e->node) != letter)
            ++e;
        if (e == end)
            return false;
        node = e->node;
        at = e->index;
    }
    return (node & EndOfWord) != 0;
}

bool MainDictionary::contains(QByteArrayView word) const {
    if (word.isEmpty())
        return false;
    for (const SubDictionary& sub : m_subs)
        if (subContains(sub, word))
            return true;
    return false;
}

bool MainDictionary::offer(const QByteArray& candidate, QList<QByteArray>& list) const {
    if (!contains(candidate) || list.contains(candidate))
        return false;
    list.append(candidate);
    return list.size() > suggestionLimit;
}

bool MainDictionary::suggest(const QByteArray& word, QList<QByteArray>& list) const {
    const qsizetype n = word.size();
    if (n == 0)
        return false;
    if (methods & smCase) {
        for (qsizetype i = 0; i < n; ++i) {
            const char ch = word.at(i);
            QByteArray w = word;
            if (ch >= 'a' && ch <= 'z')
                w[i] = static_cast<char>(ch - 'a' + 'A');
            else if (ch >= 'A' && ch <= 'Z')
                w[i] = static_cast<char>(ch - 'A' + 'a');
            else
                continue;
            if (offer(w, list))
                return true;
        }
    }
    if (methods & smSwap) {
        for (qsizetype i = 0; i + 1 < n; ++i) {
            QByteArray w = word;
            std::swap(w[i], w[i + 1]);
            if (offer(w, list))
                return true;
        }
    }
    if (methods & smDelete) {
        for (qsizetype i = 0; i < n; ++i)
            if (offer(QByteArray(word).remove(i, 1), list))
                return true;
    }
    if (methods & smInsert) {
        // From the second position on: a missing first letter is not guessed.
        for (qsizetype i = 1; i <= n; ++i)
            for (char ch : m_table)
                if (offer(QByteArray(word).insert(i, ch), list))
                    return true;
    }
    if (methods & smSubstitute) {
        for (qsizetype i = 0; i < n; ++i) {
            for (char ch : m_table) {
                QByteArray w = word;
                w[i] = ch;
                if (offer(w, list))
                    return true;
            }
        }
    }
    if ((methods & smSwapAcross) && n > 2) {
        for (qsizetype i = 0; i + 2 < n; ++i) {
            QByteArray w = word;
            std::swap(w[i], w[i + 2]);
            if (offer(w, list))
                return true;
        }
    }
    if ((methods & smDoubleDelete) && n > 4) {
        for (qsizetype a = 0; a < n; ++a) {
            const QByteArray shorter = QByteArray(word).remove(a, 1);
            for (qsizetype j = 0; j < shorter.size(); ++j)
                if (offer(QByteArray(shorter).remove(j, 1), list))
                    return true;
        }
    }
    if ((methods & smSplit) && n > 3) {
        for (qsizetype a = 2; a <= n - 2; ++a) {
            const QByteArray first = word.left(a);
            const QByteArray rest = word.mid(a);
            if (!contains(first) || !contains(rest))
                continue;
            const QByteArray joined = first + ' ' + rest;
            if (list.contains(joined))
                continue;
            list.append(joined);
            if (list.size() > suggestionLimit)
                return true;
        }
    }
    return false;
}

QString MainDictionary::readDescription(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    if (!file.seek(DescriptionOffset))
        return {};
    QByteArray bytes = file.read(DescriptionLength);
    if (bytes.size() < DescriptionLength)
        return {};
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromLatin1(bytes).trimmed();
}

QList<QByteArray> suggestFromDictionaries(const QList<const MainDictionary*>& dictionaries,
                                          const QByteArray& word, bool primaryOnly) {
    QList<QByteArray> list;
    for (const MainDictionary* d : dictionaries) {
        d->suggest(word, list);
        if (primaryOnly)
            break;
    }
    return list;
}
