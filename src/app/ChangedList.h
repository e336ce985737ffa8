// ChangedList: the files waiting for upload at the next visit of the FTP screen.
//
// Held for the run only. Kept in case-insensitive alphabetical order; paths spelled exactly
// alike are kept once.
#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <vector>

class ChangedList {
public:
    // Inserts a full path in order and drops exact duplicates.
    void add(const QString& path);
    void addAll(const QStringList& paths);
    // Replaces the whole list (the FTP screen hands its edited copy back).
    void replace(const QStringList& paths);
    void clear() { m_paths.clear(); }

    const QStringList& paths() const { return m_paths; }
    int count() const { return static_cast<int>(m_paths.size()); }
    bool contains(const QString& path) const { return m_paths.contains(path); }

private:
    void normalise();
    QStringList m_paths;
};

// The picture names a page refers to: every double-quoted value, lower-cased, whose extension is
// ".gif" or ".jpg", cut to the part after its last "/" or "\". Quotes pair up strictly left to
// right within a line (a closing quote never opens the next value); names come in order of
// appearance, repeats included.
QStringList CollectImageNames(const QStringList& lines);
// The same rule over the lines of a whole text, each CR LF, lone LF or lone CR ending a line, for
// passes over many files that have no use for the lines themselves.
QStringList CollectImageNamesInText(QStringView text);
// The same rule over the bytes of a whole file as read, UTF-8 or Latin-1. The quotes, separators,
// line ends and extensions it looks for are ASCII: both encodings write them as the same single
// bytes, and UTF-8 never uses such a byte inside another character, so the names found are those
// of the decoded text. Each is added to names as it stands in the bytes, not yet lower-cased (a
// site pass meets the same spellings on many pages and lower-cases each once).
void CollectImageNameBytes(QByteArrayView bytes, std::vector<QByteArrayView>& names);
