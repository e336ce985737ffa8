// SuggestionRanking: costs of typing mistakes.
#include "spell/SuggestionRanking.h"

#include "spell/WordFrequencies.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Classes past this one count as rare as unlisted words.
constexpr double FrequencyFloor = 40.0;
// What the commonest class takes off the cost of an edit: enough to put a common word before
// a rare one of a like edit, not enough to put a far edit before a near one.
constexpr double FrequencyWeight = 1.0;

// How much commoner a word of this frequency class is than an unlisted one, from 0 to 1: the
// commonest class 1, falling evenly to nothing at the floor. The classes under 10 are the
// commonest words of English by their counts, 10 the few thousand words of everyday use, the
// classes beyond rarer and rarer words.
double commonness(int wordClass) {
    if (wordClass >= WordFrequencies::Unlisted)
        return 0.0;
    return std::clamp((FrequencyFloor - wordClass) / (FrequencyFloor - 1.0), 0.0, 1.0);
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
    qsizetype p = 0;
    while (p < t.size() && p < c.size() && t.at(p) == c.at(p))
        ++p;
    qsizetype s = 0;
    while (s < t.size() - p && s < c.size() - p && t.at(t.size() - 1 - s) == c.at(c.size() - 1 - s))
        ++s;
    const QString tm = t.mid(p, t.size() - p - s);
    const QString cm = c.mid(p, c.size() - p - s);
    // Mistakes at the first letter are rarer than later ones.
    const double first = p == 0 ? 0.2 : 0.0;
    if (tm.size() == 2 && cm.size() == 2 && tm.at(0) == cm.at(1) && tm.at(1) == cm.at(0))
        return 0.8 + first;
    if (tm.size() == 1 && cm.isEmpty()) {
        // An extra letter: a doubled one, or a key hit beside its neighbour.
        const QChar x = tm.at(0);
        const QChar before = p > 0 ? t.at(p - 1) : QChar();
        const QChar after = p + 1 < t.size() ? t.at(p + 1) : QChar();
        if (x == before || x == after)
            return 0.6 + first;
        if (keyboardNeighbours(x, before) || keyboardNeighbours(x, after))
            return 0.9 + first;
        return 1.15 + first;
    }
    if (tm.isEmpty() && cm.size() == 1) {
        // A dropped letter: most often one of a double, or a vowel.
        const QChar y = cm.at(0);
        const QChar before = p > 0 ? c.at(p - 1) : QChar();
        const QChar after = p + 1 < c.size() ? c.at(p + 1) : QChar();
        if (y == before || y == after)
            return 0.7 + first;
        return (isVowel(y) ? 0.95 : 1.05) + first;
    }
    if (tm.size() == 1 && cm.size() == 1) {
        const QChar x = tm.at(0);
        const QChar y = cm.at(0);
        if (keyboardNeighbours(x, y))
            return 0.85 + first;
        if (isVowel(x) && isVowel(y))
            return 1.0 + first;
        if (soundAlike(x, y))
            return 1.1 + first;
        return 1.2 + first;
    }
    if (c.contains(u' ')) {
        // A lost space; less likely when one part is a scrap of a word.
        QString joined = c;
        joined.remove(u' ');
        const QStringList parts = c.split(u' ');
        const bool scrap = parts.first().size() <= 2 || parts.last().size() <= 2;
        return (joined == t ? 1.6 : 2.6) + (scrap ? 0.5 : 0.0);
    }
    return 1.2 * damerauDistance(t, c) + 0.2 + first;
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
        cost -= 0.1;
    const double common = frequencies ? commonness(frequencies->wordClass(candidate)) : 0.0;
    cost -= FrequencyWeight * common;
    // A scrap of two letters is seldom meant for a longer word, unless it is a common word.
    if (common < 0.5 && c.size() <= 2 && t.size() >= 3)
        cost += 0.3;
    // Case: a capital the typist did not type marks a name, less likely meant.
    if (!typed.isEmpty() && !candidate.isEmpty()) {
        if (typed.at(0).isLower() && candidate.at(0).isUpper())
            cost += 0.6;
        if (t == c)
            cost += 0.2;
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
