// SuggestionRanking: costs of typing mistakes.
//
// A cost is minus the logarithm (natural) of how likely a candidate is meant: how often people
// make that one slip, plus how common the word is. A dropped letter or a swap of neighbours is
// one definite slip; an extra or wrong letter is one of some 26, so far less likely for any
// one letter, unless it is a key beside the right one, a doubled letter or a vowel for a vowel.
#include "spell/SuggestionRanking.h"

#include "spell/WordFrequencies.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// How many halvings of frequency a class stands for below the commonest word. The classes
// under 10 are counted halvings; the graded classes from 10 (everyday words) to 95 (the
// rarest) spread over about eleven more; unlisted words lie below all of them.
double rarity(int wordClass) {
    if (wordClass >= WordFrequencies::Unlisted)
        return 23.0;
    if (wordClass < 10)
        return wordClass;
    return 10.0 + (wordClass - 10) * 0.13;
}
// A word twice as common is meant twice as often: one halving costs ln 2.
constexpr double HalvingWeight = 0.69;

// How much commoner a word of this class is than an unlisted one, as a cost taken off.
double commonness(int wordClass) {
    return HalvingWeight * (rarity(WordFrequencies::Unlisted) - rarity(wordClass));
}

bool keyPosition(QChar ch, double& x, double& y) {
    static const char* const rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static const double shift[] = {0, 0.25, 0.75};
    const char16_t u = ch.toLower().unicode();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; rows[r][c]; ++c)
            if (rows[r][c] == u) {
                x = c + shift[r];
                y = r;
                return true;
            }
    return false;
}

bool isVowel(QChar ch) {
    return QStringLiteral("aeiouy").contains(ch.toLower());
}

// Letters that stand for one sound often enough to be mixed up.
bool soundAlike(QChar a, QChar b) {
    static const char* const groups[] = {"cks", "sz", "ck", "gj", "fv", "mn", "dt", "bp"};
    const char16_t x = a.toLower().unicode();
    const char16_t y = b.toLower().unicode();
    for (const char* g : groups) {
        const QLatin1String s(g);
        if (s.contains(QChar(x)) && s.contains(QChar(y)))
            return true;
    }
    return false;
}

int damerauDistance(const QString& a, const QString& b) {
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<std::vector<int>> d(static_cast<size_t>(n + 1), std::vector<int>(m + 1));
    for (qsizetype i = 0; i <= n; ++i)
        d[i][0] = static_cast<int>(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i)
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            int v = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                v = std::min(v, d[i - 2][j - 2] + 1);
            d[i][j] = v;
        }
    return d[n][m];
}

// The cost of the spelling change alone, both words in lower case.
double letterCost(const QString& t, const QString& c) {
    if (t == c)
        return 0;
    if (c.contains(u' ')) {
        // A lost space (before the letters are compared: the space would pass for a dropped
        // letter); less likely when one part is a scrap of a word.
        QString joined = c;
        joined.remove(u' ');
        const QStringList parts = c.split(u' ');
        const bool scrap = parts.first().size() <= 2 || parts.last().size() <= 2;
        return (joined == t ? 2.0 : 5.0) + (scrap ? 3.0 : 0.0);
    }
    qsizetype p = 0;
    while (p < t.size() && p < c.size() && t.at(p) == c.at(p))
        ++p;
    qsizetype s = 0;
    while (s < t.size() - p && s < c.size() - p && t.at(t.size() - 1 - s) == c.at(c.size() - 1 - s))
        ++s;
    const QString tm = t.mid(p, t.size() - p - s);
    const QString cm = c.mid(p, c.size() - p - s);
    // Mistakes at the first letter are rarer than later ones.
    const double first = p == 0 ? 0.5 : 0.0;
    if (tm.size() == 2 && cm.size() == 2 && tm.at(0) == cm.at(1) && tm.at(1) == cm.at(0))
        return 0.3 + first;
    if (tm.size() == 1 && cm.isEmpty()) {
        // An extra letter: a doubled one, or a key hit beside its neighbour.
        const QChar x = tm.at(0);
        const QChar before = p > 0 ? t.at(p - 1) : QChar();
        const QChar after = p + 1 < t.size() ? t.at(p + 1) : QChar();
        if (x == before || x == after)
            return 1.2 + first;
        if (keyboardNeighbours(x, before) || keyboardNeighbours(x, after))
            return 2.0 + first;
        return 3.6 + first;
    }
    if (tm.isEmpty() && cm.size() == 1) {
        // A dropped letter: most often one of a double, or a vowel.
        const QChar y = cm.at(0);
        const QChar before = p > 0 ? c.at(p - 1) : QChar();
        const QChar after = p + 1 < c.size() ? c.at(p + 1) : QChar();
        if (y == before || y == after)
            return 0.0 + first;
        return (isVowel(y) ? 0.2 : 0.4) + first;
    }
    if (tm.size() == 1 && cm.size() == 1) {
        const QChar x = tm.at(0);
        const QChar y = cm.at(0);
        if (keyboardNeighbours(x, y))
            return 2.0 + first;
        if (isVowel(x) && isVowel(y))
            return 2.6 + first;
        if (soundAlike(x, y))
            return 3.0 + first;
        return 3.6 + first;
    }
    return 4.5 * damerauDistance(t, c) + first;
}

} // namespace

bool keyboardNeighbours(QChar a, QChar b) {
    double ax = 0, ay = 0, bx = 0, by = 0;
    if (a.isNull() || b.isNull() || !keyPosition(a, ax, ay) || !keyPosition(b, bx, by))
        return false;
    if (a.toLower() == b.toLower())
        return false;
    return std::hypot(ax - bx, ay - by) < 1.3;
}

double suggestionCost(const QString& typed, const QString& candidate,
                      const WordFrequencies* frequencies) {
    const QString t = typed.toLower();
    const QString c = candidate.toLower();
    double cost = letterCost(t, c);
    // Slips seldom touch the last letter, which carries the word's ending.
    if (!t.isEmpty() && !c.isEmpty() && t.back() == c.back())
        cost -= 0.2;
    const double common = frequencies ? commonness(frequencies->wordClass(candidate)) : 0.0;
    cost -= common;
    // A scrap of two letters is seldom meant for a longer word, unless it is a common word.
    if (common < commonness(20) && c.size() <= 2 && t.size() >= 3)
        cost += 1.0;
    // Case: a capital the typist did not type marks a name, less likely meant.
    if (!typed.isEmpty() && !candidate.isEmpty()) {
        if (typed.at(0).isLower() && candidate.at(0).isUpper())
            cost += 1.5;
        if (t == c)
            cost += 0.5;
    }
    return cost;
}

QStringList rankSuggestions(const QString& typed, QStringList candidates,
                            const WordFrequencies* frequencies) {
    std::vector<std::pair<double, qsizetype>> order;
    order.reserve(static_cast<size_t>(candidates.size()));
    for (qsizetype i = 0; i < candidates.size(); ++i)
        order.push_back({suggestionCost(typed, candidates.at(i), frequencies), i});
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList ranked;
    ranked.reserve(candidates.size());
    for (const auto& [cost, i] : order)
        ranked << candidates.at(i);
    return ranked;
}
