// ChangedList: sorted, duplicate-free list of paths to upload.
#include "app/ChangedList.h"

#include <algorithm>

void ChangedList::add(const QString& path) {
    if (path.isEmpty())
        return;
    m_paths << path;
    normalise();
}

void ChangedList::addAll(const QStringList& paths) {
    for (const QString& p : paths)
        if (!p.isEmpty())
            m_paths << p;
    normalise();
}

void ChangedList::replace(const QStringList& paths) {
    m_paths.clear();
    addAll(paths);
}

void ChangedList::normalise() {
    // Case-insensitive order first, then exact spelling, so that equal paths end up side by side
    // and the order of two paths differing only in case does not depend on insertion order.
    std::sort(m_paths.begin(), m_paths.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    m_paths.erase(std::unique(m_paths.begin(), m_paths.end()), m_paths.end());
}
