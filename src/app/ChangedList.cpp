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

QStringList CollectImageNames(const QStringList& lines) {
    QStringList names;
    for (const QString& line : lines) {
        qsizetype from = 0;
        while (from < line.size()) {
            const qsizetype open = line.indexOf(u'"', from);
            if (open < 0)
                break;
            const qsizetype close = line.indexOf(u'"', open + 1);
            if (close < 0)
                break;
            const QString value = line.mid(open + 1, close - open - 1).toLower();
            const qsizetype dot = value.lastIndexOf(u'.');
            const QString ext = dot < 0 ? QString() : value.mid(dot);
            if (ext == QLatin1String(".gif") || ext == QLatin1String(".jpg")) {
                const qsizetype cut = std::max(value.lastIndexOf(u'/'), value.lastIndexOf(u'\\'));
                names << value.mid(cut + 1);
            }
            from = close + 1;
        }
    }
    return names;
}
