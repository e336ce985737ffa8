// SiteSync: compares the site's files on this computer with the server's, over any remote
// session, and names what differs: new here, newer here, missing here, newer there.
//
// The server's side is read by walking the site's folders from the remote base folder: each
// folder that holds site files here and exists there is listed once with its entries' sizes and
// times (MLSD or SFTP attributes: seconds in UTC). A LIST line gives the server's wall clock to
// the minute (or the day, for old files): the server's zone is found once by asking the exact
// time (MDTM) of one file and comparing it with its line, and only files whose time cannot be
// told apart from the local one that way are asked for their own exact time.
//
// A file uploaded from here is newer there than here (its time is the upload's), so a file is
// newer there only when the server's copy is not older and its size differs; the same size and
// a time not older than the local one count as the same file.
#pragma once

#include "remote/RemoteSession.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <deque>

struct SyncLocalFile {
    QString path;          // as the program shows it
    QString relative;      // below the site's folder, with "/"
    QByteArray relativeBytes; // the same, as the disk spells it
    qint64 size = 0;
    QDateTime modified; // UTC
};

struct SyncItem {
    enum class State { NewHere, NewerHere, MissingHere, NewerThere };
    State state = State::NewHere;
    QString relative;
    QString localPath;      // empty for MissingHere
    QByteArray remoteName;  // the full remote name (for a delete); empty for NewHere
    qint64 localSize = -1;
    qint64 remoteSize = -1;
    QDateTime localTime;
    QDateTime remoteTime; // UTC; invalid when the server told none
    // Upload (or, for MissingHere, delete on the server) when ticked.
    bool ticked = false;

    static QString stateText(State state);
};

class SiteSync : public QObject {
    Q_OBJECT
public:
    // remoteBase: the server folder the site's folder stands for (empty: the current folder).
    SiteSync(RemoteSession& session, QList<SyncLocalFile> local, QString remoteBase,
             QObject* parent = nullptr);

    void start();
    bool running() const { return m_running; }
    // Once finished: what differs, sorted by path; the same files are left out.
    const QList<SyncItem>& items() const { return m_items; }
    // How the server's times were read, for the Log ("LIST times taken at UTC+05:45 ...").
    const QStringList& notes() const { return m_notes; }
    // Requests sent to the server while comparing (folders listed, files asked).
    int folderListings() const { return m_listings; }
    int fileQueries() const { return m_queries; }

    // The files below folder, every folder down (links followed, other entries left out).
    static QList<SyncLocalFile> filesBelow(const QString& folder);
    // The given files that lie below root, with their sizes and times.
    static QList<SyncLocalFile> filesOf(const QStringList& paths, const QString& root);
    // The pages and the local files their src, href of LINK, and background attributes name
    // (relative names, resolved from each page's folder; files that exist only).
    static QStringList pagesWithImages(const QStringList& pages);

    // The comparison of one file present on both sides, remote time exact: nullopt when the
    // same.
    static std::optional<SyncItem::State> compare(qint64 localSize, const QDateTime& localTime,
                                                  qint64 remoteSize, const QDateTime& remoteTime);

signals:
    void finished();
    // The connection ended, or a folder could not be listed: words for the user.
    void failed(const QString& why);

private:
    void onEvent(const RemoteEvent& event);
    void listNext();
    void listed(const QByteArray& folder, const RemoteListing& listing);
    void resolveTimes();
    void statNext();
    void finish();
    void fail(const QString& why);
    QByteArray remotePath(const QByteArray& relative) const;

    QPointer<RemoteSession> m_session;
    QList<SyncLocalFile> m_local;
    QString m_base;
    bool m_running = false;
    // Folders (relative bytes) that hold local files, and those still to list.
    QSet<QByteArray> m_localFolders;
    std::deque<QByteArray> m_toList;
    QByteArray m_listing;
    RemoteOpId m_waitingFor = 0;
    // The server's files below the base, by relative bytes.
    QHash<QByteArray, RemoteEntry> m_remote;
    // Files whose exact time is asked, and the one asked to find the server's zone.
    std::deque<QByteArray> m_toStat;
    QByteArray m_zoneProbe;
    bool m_zoneKnown = false;
    qint64 m_zoneOffset = 0; // seconds the server's wall clock is ahead of UTC
    QByteArray m_statting;
    QList<SyncItem> m_items;
    QStringList m_notes;
    int m_listings = 0;
    int m_queries = 0;
};
