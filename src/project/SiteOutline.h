// SiteOutline: the pages of the open project in one ordered list, depth first.
//
// Each page holds its title, its level and its linked file, so the outline and the PageLinkList
// are two views of one list and can never fall out of step: every add, remove and move changes
// both at once. Items are numbered from 1 in depth-first order; levels start at 1.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct ProjectPage {
    QString title;
    int level = 1;
    QString link;
    bool operator==(const ProjectPage&) const = default;
};

class SiteOutline {
public:
    int count() const { return static_cast<int>(m_pages.size()); }
    bool isEmpty() const { return m_pages.empty(); }
    // item is 1-based.
    const ProjectPage& page(int item) const { return m_pages.at(item - 1); }
    const std::vector<ProjectPage>& pages() const { return m_pages; }

    // The PageLinkList view: entry k is the link of item k+1.
    QStringList pageLinkList() const;
    QStringList titles() const;

    // The number of the last item of item's sub-tree (item itself when nothing is below it).
    int subTreeEnd(int item) const;
    bool hasChildren(int item) const { return subTreeEnd(item) > item; }

    // A top-level page at the end.
    void appendPage(const QString& title, const QString& link);
    // A page as the last child of item, right after its whole sub-tree; returns its number.
    // On an empty outline (item 0) it becomes the first top-level page.
    int addSubPage(int item, const QString& title, const QString& link);
    // item with every page below it.
    void removeItem(int item);
    void setTitle(int item, const QString& title) { m_pages.at(item - 1).title = title; }
    void setLink(int item, const QString& link) { m_pages.at(item - 1).link = link; }

    void clear() { m_pages.clear(); }
    void assign(std::vector<ProjectPage> pages) { m_pages = std::move(pages); }
    // Makes room ahead of a large load.
    void reserve(int n) { m_pages.reserve(static_cast<size_t>(n)); }

private:
    std::vector<ProjectPage> m_pages;
};

// Titles are kept without leading blanks and TABs: the outline file counts them as levels, so a
// title that began with one would come back deeper, or make the file unreadable.
QString outlineTitle(const QString& typed);
