// DctWriter: letter trees with shared endings, split into sub-dictionaries that fit.
#include "spell/DctWriter.h"

#include "spell/MainDictionary.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::uint32_t MaxChildRef = 0xfffff;

struct TrieNode {
    std::uint8_t letter = 0;
    bool end = false;
    std::vector<int> children; // trie node indexes, in letter order
};

// One sub-dictionary ready to write.
struct PackedSub {
    std::vector<std::uint32_t> nodes;
    QByteArray area;
    QByteArray firstLetters;
    std::vector<std::uint32_t> roots;
};

void putU32(QByteArray& out, std::uint32_t v) {
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
    out.append(static_cast<char>((v >> 16) & 0xff));
    out.append(static_cast<char>((v >> 24) & 0xff));
}

// Packs sorted, distinct, non-empty words; nullopt when they do not fit one sub-dictionary.
std::optional<PackedSub> pack(const QList<QByteArray>& words, qsizetype lo, qsizetype hi,
                              int maxNodes) {
    // The trie, built from the sorted words: a word's path shares the previous word's prefix.
    std::vector<TrieNode> trie(1); // 0 is the root above the first letters
    std::vector<int> path{0};
    QByteArray previous;
    for (qsizetype w = lo; w < hi; ++w) {
        const QByteArray& word = words.at(w);
        qsizetype common = 0;
        while (common < word.size() && common < previous.size() &&
               word.at(common) == previous.at(common))
            ++common;
        path.resize(static_cast<size_t>(common) + 1);
        for (qsizetype i = common; i < word.size(); ++i) {
            const int parent = path.back();
            trie.push_back(TrieNode{static_cast<std::uint8_t>(word.at(i)), false, {}});
            const int node = static_cast<int>(trie.size()) - 1;
            trie[static_cast<size_t>(parent)].children.push_back(node);
            path.push_back(node);
        }
        trie[static_cast<size_t>(path.back())].end = true;
        previous = word;
    }

    // Equal subtrees become one node: children are numbered before their parents (trie
    // nodes are created parent first, so walking backwards sees every child first).
    std::vector<int> canon(trie.size(), -1);
    std::unordered_map<std::string, int> known;
    std::vector<const TrieNode*> unique;
    std::vector<std::vector<int>> uniqueChildren;
    for (size_t i = trie.size(); i-- > 1;) {
        const TrieNode& t = trie[i];
        std::string key;
        key.reserve(2 + 4 * t.children.size());
        key.push_back(static_cast<char>(t.letter));
        key.push_back(t.end ? '1' : '0');
        std::vector<int> kids;
        for (int c : t.children) {
            const int id = canon[static_cast<size_t>(c)];
            kids.push_back(id);
            key.append(reinterpret_cast<const char*>(&id), sizeof id);
        }
        const auto [it, added] = known.try_emplace(key, static_cast<int>(unique.size()));
        if (added) {
            unique.push_back(&t);
            uniqueChildren.push_back(std::move(kids));
        }
        canon[i] = it->second;
    }

    // Node array indexes, handed out breadth first from the roots for locality. Roots live in
    // the root array; they take a slot only when some node also has them as a child.
    const TrieNode& top = trie[0];
    std::vector<int> index(unique.size(), -1);
    std::vector<int> order;
    std::vector<int> queue;
    for (int c : top.children)
        queue.push_back(canon[static_cast<size_t>(c)]);
    for (size_t q = 0; q < queue.size(); ++q) {
        for (int kid : uniqueChildren[static_cast<size_t>(queue[q])]) {
            if (index[static_cast<size_t>(kid)] >= 0)
                continue;
            index[static_cast<size_t>(kid)] = static_cast<int>(order.size());
            order.push_back(kid);
            queue.push_back(kid);
        }
    }
    if (order.size() > static_cast<size_t>(maxNodes) || order.size() > 65536)
        return std::nullopt;

    PackedSub sub;
    std::unordered_map<std::string, std::uint32_t> lists; // equal child lists are shared
    bool tooLarge = false;
    const auto encode = [&](int id) -> std::uint32_t {
        const TrieNode& t = *unique[static_cast<size_t>(id)];
        const std::vector<int>& kids = uniqueChildren[static_cast<size_t>(id)];
        std::uint32_t value = std::uint32_t(t.letter) << 24 | (t.end ? 1u << 23 : 0u);
        if (kids.empty())
            return value;
        if (kids.size() == 1)
            return value | 1u << 20 |
                   static_cast<std::uint32_t>(index[static_cast<size_t>(kids[0])]);
        std::string list;
        if (kids.size() >= 7)
            list.push_back(static_cast<char>(kids.size()));
        for (int kid : kids) {
            const int at = index[static_cast<size_t>(kid)];
            list.push_back(static_cast<char>(at & 0xff));
            list.push_back(static_cast<char>((at >> 8) & 0xff));
        }
        auto [it, added] = lists.try_emplace(list, static_cast<std::uint32_t>(sub.area.size()));
        if (added)
            sub.area.append(list.data(), static_cast<qsizetype>(list.size()));
        if (it->second > MaxChildRef)
            tooLarge = true;
        const std::uint32_t form = kids.size() >= 7 ? 7 : static_cast<std::uint32_t>(kids.size());
        return value | form << 20 | (it->second & MaxChildRef);
    };
    sub.nodes.reserve(order.size());
    for (int id : order)
        sub.nodes.push_back(encode(id));
    for (int c : top.children) {
        sub.firstLetters.append(static_cast<char>(trie[static_cast<size_t>(c)].letter));
        sub.roots.push_back(encode(canon[static_cast<size_t>(c)]));
    }
    if (tooLarge)
        return std::nullopt;
    return sub;
}

// Splits [lo, hi) until every part packs; parts are appended in word order.
bool packAll(const QList<QByteArray>& words, qsizetype lo, qsizetype hi, int maxNodes,
             std::vector<PackedSub>& out) {
    if (std::optional<PackedSub> sub = pack(words, lo, hi, maxNodes)) {
        out.push_back(std::move(*sub));
        return true;
    }
    if (hi - lo < 2)
        return false;
    // Prefer the change of first letter nearest the middle; one letter alone splits anywhere.
    const qsizetype mid = lo + (hi - lo) / 2;
    qsizetype best = -1;
    for (qsizetype i = lo + 1; i < hi; ++i) {
        if (words.at(i).at(0) != words.at(i - 1).at(0) &&
            (best < 0 || qAbs(i - mid) < qAbs(best - mid)))
            best = i;
    }
    const qsizetype split = best > 0 ? best : mid;
    return packAll(words, lo, split, maxNodes, out) && packAll(words, split, hi, maxNodes, out);
}

} // namespace

DctBuildResult buildDct(QList<QByteArray> words, const QByteArray& description, int maxNodes) {
    DctBuildResult result;
    words.removeAll(QByteArray());
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    result.words = static_cast<int>(words.size());

    // The character table: every byte the words use, the most frequent first, which is the
    // order suggestions try them in.
    std::array<qint64, 256> counts{};
    for (const QByteArray& w : words)
        for (char ch : w)
            ++counts[static_cast<unsigned char>(ch)];
    std::vector<int> bytesUsed;
    for (int b = 0; b < 256; ++b)
        if (counts[static_cast<size_t>(b)] > 0)
            bytesUsed.push_back(b);
    if (bytesUsed.size() > 255) {
        result.error = QStringLiteral("The words use more than 255 different characters.");
        return result;
    }
    std::stable_sort(bytesUsed.begin(), bytesUsed.end(), [&](int a, int b) {
        return counts[static_cast<size_t>(a)] > counts[static_cast<size_t>(b)];
    });

    std::vector<PackedSub> subs;
    if (!words.isEmpty() && !packAll(words, 0, words.size(), maxNodes, subs)) {
        result.error = QStringLiteral("The words do not fit the dictionary format.");
        return result;
    }
    if (subs.size() > 255) {
        result.error = QStringLiteral("The words need more than 255 sub-dictionaries.");
        return result;
    }

    QByteArray out(MainDictionary::HeaderOffset, '\0');
    const QByteArray signature("Quillon Pro main dictionary\r\n\x1a");
    out.replace(0, signature.size(), signature);
    const QByteArray desc = description.left(MainDictionary::DescriptionLength);
    out.replace(MainDictionary::DescriptionOffset, desc.size(), desc);
    out.append(static_cast<char>(subs.size()));
    out.append(static_cast<char>(bytesUsed.size()));
    for (int b : bytesUsed)
        out.append(static_cast<char>(b));
    for (const PackedSub& sub : subs) {
        putU32(out, static_cast<std::uint32_t>(sub.nodes.size()));
        putU32(out, static_cast<std::uint32_t>(sub.area.size()));
        for (std::uint32_t node : sub.nodes)
            putU32(out, node);
        out.append(sub.area);
        out.append(static_cast<char>(sub.firstLetters.size()));
        out.append(sub.firstLetters);
        for (std::uint32_t root : sub.roots)
            putU32(out, root);
        result.nodes += static_cast<int>(sub.nodes.size());
    }
    result.subDictionaries = static_cast<int>(subs.size());
    result.bytes = out;
    result.ok = true;
    return result;
}
