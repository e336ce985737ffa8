// SuggestionRanking: the display order of suggestions.
//
// The dictionaries hand their candidates over in the order of the methods that found them;
// shown that way, the intended word is often not first. Each candidate gets a cost for the
// edit that turns the typed word into it, weighted by how people mistype: swapped neighbours
// and dropped letters are cheap, a doubled letter or a key next to the intended one less so,
// any other letter dear, a change of the first letter or of case dearer still. The commonness
// of the word (by the main dictionary's frequency table, when it has one) is weighed against
// the edit: a word twice as common counts as much as a slip twice as likely.
#pragma once

#include <QString>
#include <QStringList>

class WordFrequencies;

// Whether two letters lie next to each other on a QWERTY keyboard.
bool keyboardNeighbours(QChar a, QChar b);
// The cost of the edit from typed to candidate; lower is more likely.
double suggestionCost(const QString& typed, const QString& candidate,
                      const WordFrequencies* frequencies = nullptr);
// Candidates ordered by cost; equal costs keep their order.
QStringList rankSuggestions(const QString& typed, QStringList candidates,
                            const WordFrequencies* frequencies = nullptr);
