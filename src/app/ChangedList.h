// ChangedList: the files waiting for upload at the next visit of the FTP screen.
//
// Kept in case-insensitive alphabetical order; paths spelled exactly alike are kept once.
//
// The list is the upload queue of the open project (or of the pages edited with no project
// open) and outlives the run: once it is kept in a file, every change writes the whole file
// atomically (a program killed in the middle leaves the queue as it was before that change),
// and the next start reads it back. The file is plain text, one full path a line, UTF-8 with
// CR LF. A queue file that exists but cannot be read is never written over.
#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <functional>
#include <vector>

class ChangedList {
public:
    // Inserts a full path in order and drops exact duplicates.
    void add(const QString& path);
    void addAll(const QStringList& paths);
    // Replaces the whole list (the FTP screen hands its edited copy back).
    void replace(const QStringList& paths);
    void clear();

    const QStringList& paths() const { return m_paths; }
    int count() const { return static_cast<int>(m_paths.size()); }
    bool contains(const QString& path) const { return m_paths.contains(path); }

    // Takes the queue kept in file: the list becomes what the file holds (empty when there is
    // no such file yet) and every later change is written there. Returns the problem, if any:
    // a file that cannot be read leaves the list empty and is not written.
    QString open(const QString& file);
    // Keeps the present entries in file from now on (a project saved under a new name takes
    // its queue along) and writes them there.
    QString keepIn(const QString& file);
    // The file the list is kept in; empty while it lives for the run only.
    const QString& file() const { return m_file; }
    // Why the last read or write of the file failed; empty when it worked.
    const QString& problem() const { return m_problem; }
    // Runs inside each write once the bytes are out and before the file takes the old one's
    // place (a test ends the program there).
    std::function<void()> beforeRename;

    // The file's bytes for a list, and the list in a file's bytes. A path holding a line break
    // cannot be a line of the file (nor be sent): it is left out.
    static QByteArray queueBytes(const QStringList& paths);
    static QStringList queueFromBytes(const QByteArray& bytes);
    // Where a project's queue is kept: "queues/" in the program directory, the outline file's
    // name and a short digest of its full path (two projects of one name in different folders
    // keep two queues); projectPath empty: the queue of pages edited with no project open.
    static QString queueFileFor(const QString& programDirectory, const QString& projectPath);

private:
    void normalise();
    // Writes the list when it differs from what was written last (always: in any case).
    void store(bool always = false);
    QStringList m_paths;
    QString m_file;
    QStringList m_written;
    bool m_unreadable = false;
    QString m_problem;
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
