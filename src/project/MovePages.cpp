// MovePages: the move dialog's list and the rules of its moves.
#include "project/MovePages.h"

#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/ProjectFiles.h"

#include <algorithm>

QString moveScratchOutlineName() {
    return QStringLiteral("temp.ttt");
}

QString moveScratchLinksName() {
    return QStringLiteral("temp2.ttt");
}

QString MovePages::onlyChildrenBelowText() {
    return QStringLiteral("This item only has children elements below it. It cannot be moved "
                          "down a level.");
}

QString MovePages::cannotIndentText() {
    return QStringLiteral("Cannot indent this item. Items can only be one level lower than their "
                          "parents.");
}

QString MovePages::introText() {
    return QStringLiteral("You can re-arrange and move pages or families of pages up and down, or "
                          "indent or un-indent a level.");
}

QString MovePages::noteText() {
    return QStringLiteral("NOTE: Remember, an item is the parent of all the indented items below "
                          "it. If you move at item out a level, it will become the parent of all "
                          "the items below it. You can always push the CANCEL button if you make "
                          "a mistake.");
}

MovePages MovePages::fromScratchFiles(const QString& programDirectory) {
    const TextReadResult outline = readTextFile(programDirectory + moveScratchOutlineName());
    const TextReadResult links = readTextFile(programDirectory + moveScratchLinksName());
    if (!outline.ok)
        return MovePages();
    // The scratch outline is ours and written from a sound outline; read it line by line as the
    // dialog always did, one line per page.
    std::vector<ProjectPage> lines;
    QStringList outlineLines = outline.text.split(QStringLiteral("\r\n"));
    if (!outlineLines.isEmpty() && outlineLines.last().isEmpty())
        outlineLines.removeLast();
    const QStringList linkLines = links.ok ? parseLinkText(links.text) : QStringList();
    for (qsizetype k = 0; k < outlineLines.size(); ++k) {
        const QString& line = outlineLines[k];
        qsizetype tabs = 0;
        while (tabs < line.size() && line[tabs] == QLatin1Char('\t'))
            ++tabs;
        lines.push_back({line.mid(tabs), static_cast<int>(tabs) + 1,
                         k < linkLines.size() ? linkLines[k] : QString()});
    }
    return MovePages(std::move(lines));
}

QString MovePages::displayText(int i) const {
    const ProjectPage& p = m_lines.at(static_cast<size_t>(i));
    return QString(4 * (p.level - 1), QLatin1Char(' ')) + p.title + QStringLiteral(">>") +
           QString(160, QLatin1Char(' ')) + QStringLiteral("&&&") + p.link;
}

QStringList MovePages::displayTexts() const {
    QStringList t;
    for (int i = 0; i < count(); ++i)
        t << displayText(i);
    return t;
}

int MovePages::subTreeSize(int i) const {
    int d = 0;
    while (i + d + 1 < count() && level(i + d + 1) > level(i))
        ++d;
    return d;
}

void MovePages::shift(int from, int n, int by) {
    for (int k = from; k < from + n; ++k) {
        ProjectPage& p = m_lines[static_cast<size_t>(k)];
        // Un-indenting cuts four blanks off the shown line; a level-1 line has none to lose.
        p.level = std::max(1, p.level + by);
    }
}

void MovePages::moveBlock(int from, int n, int to) {
    std::vector<ProjectPage> block(m_lines.begin() + from, m_lines.begin() + from + n);
    m_lines.erase(m_lines.begin() + from, m_lines.begin() + from + n);
    m_lines.insert(m_lines.begin() + to, block.begin(), block.end());
}

void MovePages::moveUp() {
    const int a = m_selection;
    if (a < 1 || a >= count())
        return;
    const int la = level(a);
    const int d = subTreeSize(a);
    if (a == 1) {
        if (la > 1)
            shift(a, d + 1, -1);
        return;
    }
    const int lp = level(a - 1);
    shift(a, d + 1, lp - la);
    moveBlock(a, d + 1, a - 1);
    m_selection = a - 1;
}

void MovePages::moveDown(Prompter& prompter) {
    const int a = m_selection;
    if (a < 1 || a >= count())
        return;
    const int la = level(a);
    const int d = subTreeSize(a);
    const int last = count() - 1;
    if (d > 0 && a + d == last) {
        prompter.inform(onlyChildrenBelowText());
        return;
    }
    if (a == last) {
        if (la > 1)
            shift(a, 1, -1);
        return;
    }
    const int n = a + d + 1;
    const int ln = level(n);
    // The item first comes up to N's level wherever it stands: on the second line too, where
    // keeping its depth would put it (and its pages) two levels below N after the move.
    if (d == 0) {
        if (ln < la)
            shift(a, 1, ln - la);
        if (a + 2 < count() && level(a + 2) > level(a))
            shift(a, 1, 1);
        moveBlock(a, 1, a + 1);
    } else {
        const bool nHasChildren = subTreeSize(n) > 0;
        if (ln < la)
            shift(a, d + 1, ln - la);
        if (nHasChildren)
            shift(a, d + 1, 1);
        moveBlock(a, d + 1, a + 1);
    }
    m_selection = a + 1;
}

void MovePages::moveIn(Prompter& prompter) {
    const int a = m_selection;
    if (a < 1 || a >= count())
        return;
    if (level(a - 1) < level(a)) {
        prompter.inform(cannotIndentText());
        return;
    }
    shift(a, subTreeSize(a) + 1, 1);
}

void MovePages::moveOut() {
    const int a = m_selection;
    if (a < 1 || a >= count())
        return;
    if (level(a) >= 2)
        shift(a, subTreeSize(a) + 1, -1);
}

MovePages::Written MovePages::writeScratchFiles(const QString& programDirectory) const {
    SiteOutline outline;
    outline.assign(m_lines);
    const QString outlinePath = programDirectory + moveScratchOutlineName();
    const QString linkPath = programDirectory + moveScratchLinksName();
    const TextWriteResult o =
        writeTextFile(outlinePath, outlineFileText(outline), TextEncoding::Utf8);
    if (!o.ok)
        return {false, cannotWriteProjectFileText(outlinePath, o.error)};
    const TextWriteResult l = writeTextFile(linkPath, linkFileText(outline), TextEncoding::Utf8);
    if (!l.ok)
        return {false, cannotWriteProjectFileText(linkPath, l.error)};
    return {true, {}};
}
