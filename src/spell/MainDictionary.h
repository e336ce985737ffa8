// MainDictionary: one main dictionary file (.dct), its lookup and its suggestions.
//
// The file packs a word list as letter trees in sub-dictionaries. Integers are little-endian:
// the description is the 25 bytes at offset 88; offset 278 holds the sub-dictionary count S,
// 279 the length L of the character table that follows at 280; then come S records, each
//   node count N (4), child-list size M in bytes (4), N nodes (4 each), the child-list area (M),
//   first-letter count K (1), K first letters, K root nodes (4 each).
// A node: letter in bits 24-31, end of word in bit 23, child form C in bits 20-22 and child
// reference R in bits 0-19. C = 0: no children; 1: the node at index R; 2-6: C 16-bit node
// indexes at byte R of the child-list area; 7: a count byte at R followed by that many indexes.
//
// Every reference is checked when the file is read, so lookups never leave the arrays: a file
// that is cut short or whose references point outside it is refused with the reason.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class MainDictionary {
public:
    static constexpr int DefaultSuggestionLimit = 30;
    static constexpr int DescriptionOffset = 88;
    static constexpr int DescriptionLength = 25;
    static constexpr int HeaderOffset = 278;
    // One bit per suggestion method, in the order they run.
    enum Method : std::uint8_t {
        smCase = 1,
        smSwap = 2,
        smDelete = 4,
        smInsert = 8,
        smSubstitute = 16,
        smSwapAcross = 32,
        smDoubleDelete = 64,
        smSplit = 128,
    };

    struct Result {
        bool ok = false;
        QString error; // why the file was refused
    };

    // Reads the file the first time; later calls give the first call's result without reading.
    Result open(const QString& path);
    // Parses a whole file's bytes (also what open() uses).
    Result load(const QByteArray& bytes);
    bool isLoaded() const { return m_loaded; }
    const QString& path() const { return m_path; }

    const QByteArray& characterTable() const { return m_table; }
    int subDictionaryCount() const { return static_cast<int>(m_subs.size()); }

    // Whether any sub-dictionary, in file order, holds the word. Bytes compare exactly.
    bool contains(QByteArrayView word) const;

    // Appends to list the candidates of the enabled methods that the dictionary holds and the
    // list lacks. Returns true when the dictionary stopped because the list went past its limit.
    bool suggest(const QByteArray& word, QList<QByteArray>& list) const;

    int suggestionLimit = DefaultSuggestionLimit;
    std::uint8_t methods = 0xff;

    // The description field of a dictionary file as text: its 25 bytes at offset 88 up to the
    // first NUL, trailing blanks removed. Empty when the file is shorter or cannot be read.
    static QString readDescription(const QString& path);

private:
    struct SubDictionary {
        QList<std::uint32_t> nodes;
        QByteArray childArea;
        QByteArray firstLetters;
        QList<std::uint32_t> roots;
        // Root position + 1 for each first byte, 0 when the byte is no first letter.
        std::array<std::uint16_t, 256> rootOf{};
        // The same trees laid out for lookup: the children of node i (roots follow the N
        // nodes) are edges[first[i]] onwards, count[i] of them, in the file's order.
        struct Edge {
            std::uint32_t node;  // the child's value: letter and end-of-word bit
            std::uint32_t index; // where its own children are found
        };
        std::vector<std::uint32_t> first;
        std::vector<std::uint16_t> count;
        std::vector<Edge> edges;
    };

    bool subContains(const SubDictionary& sub, QByteArrayView word) const;
    static void index(SubDictionary& sub);
    // Appends candidate when the dictionary holds it and the list lacks it; true when the list
    // has gone past the limit.
    bool offer(const QByteArray& candidate, QList<QByteArray>& list) const;

    bool m_loaded = false;
    bool m_tried = false;
    Result m_openResult;
    QString m_path;
    QByteArray m_table;
    QList<SubDictionary> m_subs;
};

// One suggestion list filled by several dictionaries in configuration order, each stopping once
// the list goes past its limit; with primaryOnly only the first dictionary takes part.
QList<QByteArray> suggestFromDictionaries(const QList<const MainDictionary*>& dictionaries,
                                          const QByteArray& word, bool primaryOnly);
