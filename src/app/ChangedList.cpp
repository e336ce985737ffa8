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

namespace {
// Whether a value ends in ".gif" or ".jpg" in any case. Only ASCII letters lower-case to these
// letters, so this is the test on the lower-cased value without making that copy for every
// quoted value of a page.
bool hasPictureExtension(const QChar* value, qsizetype size) {
    if (size < 4 || value[size - 4] != u'.')
        return false;
    char ext[3];
    for (int i = 0; i < 3; ++i) {
        const char16_t c = value[size - 3 + i].unicode();
        if (c > 0x7F)
            return false;
        ext[i] = static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c);
    }
    return (ext[0] == 'g' && ext[1] == 'i' && ext[2] == 'f') ||
           (ext[0] == 'j' && ext[1] == 'p' && ext[2] == 'g');
}

// The name lower-cased. Lower-casing maps character by character and never makes a separator,
// so a name may be cut from its value before it is lower-cased.
QString lowerName(const QChar* name, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* to = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = name[i].unicode();
        if (c > 0x7F)
            return QStringView(name, size).toString().toLower();
        to[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    }
    return out;
}

// The rule itself. Quotes pair up within a line; with linesInText, each CR or LF of the text
// ends a line (a quote left open there is dropped), else the text is one line. One pass over the
// characters: most of them are above the quote and take one comparison.
template <bool linesInText>
void collectNames(const QChar* text, qsizetype size, QStringList& names) {
    const QChar* const end = text + size;
    const QChar* open = nullptr;
    for (const QChar* p = text; p != end; ++p) {
        const char16_t c = p->unicode();
        if (c > u'"')
            continue;
        if (c == u'"') {
            if (!open) {
                open = p;
                continue;
            }
            if (hasPictureExtension(open + 1, p - open - 1)) {
                const QChar* cut = p;
                while (cut != open + 1 && cut[-1] != u'/' && cut[-1] != u'\\')
                    --cut;
                names << lowerName(cut, p - cut);
            }
            open = nullptr;
        } else if (linesInText && (c == u'\r' || c == u'\n')) {
            open = nullptr;
        }
    }
}
} // namespace

QStringList CollectImageNames(const QStringList& lines) {
    QStringList names;
    for (const QString& line : lines)
        collectNames<false>(line.constData(), line.size(), names);
    return names;
}

QStringList CollectImageNamesInText(QStringView text) {
    QStringList names;
    collectNames<true>(text.data(), text.size(), names);
    return names;
}
