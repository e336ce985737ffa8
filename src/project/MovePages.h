// MovePages: the list of the "Move Pages within Site" dialog and its four moves.
//
// The dialog works on a flat list of every page, indented four blanks a level, and hands the
// result back through the scratch files temp.ttt (outline) and temp2.ttt (links) in the program
// folder. Each line keeps its level, title and link beside the text it shows, so a title holding
// ">>" or "&&&" comes back whole.
#pragma once

#include "project/SiteOutline.h"

#include <QString>
#include <vector>

class Prompter;

QString moveScratchOutlineName(); // "temp.ttt"
QString moveScratchLinksName();   // "temp2.ttt"

class MovePages {
public:
    // Reads both scratch files of programDirectory (ending in "/"); line k from outline line k
    // and link line k. Unreadable or missing files give an empty list.
    static MovePages fromScratchFiles(const QString& programDirectory);
    explicit MovePages(std::vector<ProjectPage> lines = {}) : m_lines(std::move(lines)) {}

    int count() const { return static_cast<int>(m_lines.size()); }
    const std::vector<ProjectPage>& lines() const { return m_lines; }
    // The shown text of line i: four blanks a level below 1, the title, ">>", 160 blanks, "&&&"
    // and the link.
    QString displayText(int i) const;
    QStringList displayTexts() const;

    // The selected line, from 0; -1 when none.
    int selection() const { return m_selection; }
    void select(int line) { m_selection = line; }

    void moveUp();
    void moveDown(Prompter& prompter);
    void moveIn(Prompter& prompter);
    void moveOut();

    // OK: writes the lines back to the scratch files; false (with the reason) when they could not
    // be written.
    struct Written {
        bool ok = false;
        QString message;
    };
    Written writeScratchFiles(const QString& programDirectory) const;

    static QString onlyChildrenBelowText();
    static QString cannotIndentText();
    static QString introText();
    static QString noteText();

private:
    int level(int i) const { return m_lines[static_cast<size_t>(i)].level; }
    // Lines directly after i that are deeper than i.
    int subTreeSize(int i) const;
    void shift(int from, int n, int by);
    // Takes lines [from, from+n) out and puts them back starting at position to (counted in the
    // list without them).
    void moveBlock(int from, int n, int to);

    std::vector<ProjectPage> m_lines;
    int m_selection = -1;
};
