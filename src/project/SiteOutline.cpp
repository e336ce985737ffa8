// SiteOutline: the ordered page list and its tree operations.
#include "project/SiteOutline.h"

QStringList SiteOutline::pageLinkList() const {
    QStringList links;
    links.reserve(count());
    for (const ProjectPage& p : m_pages)
        links << p.link;
    return links;
}

QStringList SiteOutline::titles() const {
    QStringList t;
    t.reserve(count());
    for (const ProjectPage& p : m_pages)
        t << p.title;
    return t;
}

int SiteOutline::subTreeEnd(int item) const {
    if (item < 1 || item > count())
        return item;
    const int level = m_pages[item - 1].level;
    int last = item;
    while (last < count() && m_pages[last].level > level)
        ++last;
    return last;
}

void SiteOutline::appendPage(const QString& title, const QString& link) {
    m_pages.push_back({outlineTitle(title), 1, link});
}

int SiteOutline::addSubPage(int item, const QString& title, const QString& link) {
    if (item < 1 || item > count()) {
        if (m_pages.empty()) {
            appendPage(title, link);
            return 1;
        }
        item = count();
    }
    const int last = subTreeEnd(item);
    const int level = m_pages[item - 1].level + 1;
    m_pages.insert(m_pages.begin() + last, {outlineTitle(title), level, link});
    return last + 1;
}

void SiteOutline::removeItem(int item) {
    if (item < 1 || item > count())
        return;
    const int last = subTreeEnd(item);
    m_pages.erase(m_pages.begin() + (item - 1), m_pages.begin() + last);
}

QString outlineTitle(const QString& typed) {
    qsizetype i = 0;
    while (i < typed.size() && (typed[i] == QLatin1Char(' ') || typed[i] == QLatin1Char('\t')))
        ++i;
    return typed.mid(i);
}
