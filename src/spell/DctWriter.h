// DctWriter: packs a word list into a main dictionary file (.dct) that MainDictionary reads.
//
// Words become letter trees in which equal endings are shared (each tree is the smallest
// automaton of its words), so the file stays small. Child lists hold 16-bit node indexes, so
// the words are split into as many sub-dictionaries as it takes for every tree to fit; splits
// fall between first letters where that is possible.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct DctBuildResult {
    bool ok = false;
    QString error;
    QByteArray bytes; // the whole file
    int words = 0;    // distinct words packed
    int subDictionaries = 0;
    int nodes = 0; // nodes over all sub-dictionaries
};

// words: any order, duplicates and empty entries allowed. description: at most 25 bytes are
// kept. maxNodes lets tests force small sub-dictionaries; the file format allows 65536.
DctBuildResult buildDct(QList<QByteArray> words, const QByteArray& description,
                        int maxNodes = 65536);
