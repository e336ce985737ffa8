// SiteSync: the walk of the server's folders, the exact times asked where a listing's are not
// enough, and the comparison of each file.
#include "publish/SiteSync.h"

#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

QString SyncItem::stateText(State state) {
    switch (state) {
    case State::NewHere:
        return QStringLiteral("New here");
    case State::NewerHere:
        return QStringLiteral("Newer here");
    case State::MissingHere:
        return QStringLiteral("Missing here");
    case State::NewerThere:
        return QStringLiteral("Newer there");
    }
    return {};
}

namespace {

// A regular file's size and time; false for anything else (a folder, a device, nothing).
bool regularFile(const QByteArray& native, qint64& size, QDateTime& modified) {
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    size = st.st_size;
    modified = QDateTime::fromMSecsSinceEpoch(
        qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, Qt::UTC);
    return true;
}

void walk(const QString& folder, const QByteArray& native, const QString& relative,
          const QByteArray& relativeBytes, QList<SyncLocalFile>& out, int depth) {
    // Deep enough for any site; a loop of folder links ends here.
    if (depth > 32)
        return;
    const FolderListing listing = listFolder(folder);
    for (const FolderEntry& e : listing.entries) {
        const QString path = folder + u'/' + e.name;
        const QByteArray bytes = native + '/' + e.native;
        const QString rel = relative.isEmpty() ? e.name : relative + u'/' + e.name;
        const QByteArray relBytes = relativeBytes.isEmpty() ? e.native : relativeBytes + '/' + e.native;
        if (e.kind == FolderEntry::Kind::Folder) {
            walk(path, bytes, rel, relBytes, out, depth + 1);
        } else if (e.kind == FolderEntry::Kind::File) {
            SyncLocalFile f{path, rel, relBytes, 0, {}};
            if (regularFile(bytes, f.size, f.modified))
                out << f;
        }
    }
}

QByteArray parentOf(const QByteArray& relative) {
    const qsizetype slash = relative.lastIndexOf('/');
    return slash < 0 ? QByteArray() : relative.left(slash);
}

qint64 secondsOf(const QDateTime& time) {
    return time.toMSecsSinceEpoch() / 1000 - (time.toMSecsSinceEpoch() % 1000 < 0 ? 1 : 0);
}

qint64 precisionOf(RemoteEntry::Time time) {
    return time == RemoteEntry::Time::ServerDay ? 86400 : 60;
}

} // namespace

SiteSync::SiteSync(RemoteSession& session, QList<SyncLocalFile> local, QString remoteBase,
                   QObject* parent)
    : QObject(parent), m_session(&session), m_local(std::move(local)),
      m_base(std::move(remoteBase)) {
}

QList<SyncLocalFile> SiteSync::filesBelow(const QString& folder) {
    QList<SyncLocalFile> out;
    const QString root = QDir::cleanPath(folder);
    walk(root, nativePath(root), {}, {}, out, 0);
    return out;
}

QList<SyncLocalFile> SiteSync::filesOf(const QStringList& paths, const QString& root) {
    QList<SyncLocalFile> out;
    QString prefix = QDir::cleanPath(root);
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    QSet<QString> seen;
    for (const QString& given : paths) {
        const QString path = QDir::cleanPath(given);
        if (!path.startsWith(prefix) || path.size() <= prefix.size() || seen.contains(path))
            continue;
        seen.insert(path);
        SyncLocalFile f;
        f.path = path;
        f.relative = path.mid(prefix.size());
        const QByteArray native = nativePath(path);
        const QList<QByteArray> parts = native.split('/');
        const qsizetype count = f.relative.count(u'/') + 1;
        f.relativeBytes = parts.mid(std::max<qsizetype>(0, parts.size() - count)).join('/');
        if (regularFile(native, f.size, f.modified))
            out << f;
    }
    return out;
}

QStringList SiteSync::pagesWithImages(const QStringList& pages) {
    static const QRegularExpression attribute(
        QStringLiteral("\\b(?:src|background)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>\"']+))"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    QSet<QString> seen;
    const auto add = [&](const QString& path) {
        if (!seen.contains(path)) {
            seen.insert(path);
            out << path;
        }
    };
    for (const QString& page : pages) {
        add(QDir::cleanPath(page));
        const TextReadResult read = readTextFile(page);
        if (!read.ok)
            continue;
        const QString folder = QDir::cleanPath(page).section(u'/', 0, -2);
        auto it = attribute.globalMatch(read.text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            QString value = m.captured(1) + m.captured(2) + m.captured(3);
            value = value.trimmed();
            if (value.isEmpty() || value.contains(QLatin1String("://")) ||
                value.startsWith(u'/') || value.startsWith(u'#') ||
                value.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                continue;
            value = value.section(u'#', 0, 0).section(u'?', 0, 0);
            value = QUrl::fromPercentEncoding(value.toUtf8());
            const QString path = QDir::cleanPath(folder + u'/' + value);
            if (!value.isEmpty() && pathExists(path))
                add(path);
        }
    }
    return out;
}

std::optional<SyncItem::State> SiteSync::compare(qint64 localSize, const QDateTime& localTime,
                                                 qint64 remoteSize,
                                                 const QDateTime& remoteTime) {
    if (!remoteTime.isValid() || secondsOf(localTime) > secondsOf(remoteTime))
        return SyncItem::State::NewerHere;
    if (remoteSize >= 0 && remoteSize != localSize)
        return SyncItem::State::NewerThere;
    return std::nullopt;
}

QByteArray SiteSync::remotePath(const QByteArray& relative) const {
    QByteArray base = m_base.toUtf8();
    if (relative.isEmpty())
        return base;
    if (base.isEmpty())
        return relative;
    return base.endsWith('/') ? base + relative : base + '/' + relative;
}

void SiteSync::start() {
    m_running = true;
    m_items.clear();
    m_remote.clear();
    m_localFolders = {QByteArray()};
    for (const SyncLocalFile& f : std::as_const(m_local)) {
        for (QByteArray folder = parentOf(f.relativeBytes); !folder.isEmpty();
             folder = parentOf(folder))
            m_localFolders.insert(folder);
    }
    connect(m_session, &RemoteSession::sessionEvent, this, &SiteSync::onEvent);
    m_toList = {QByteArray()};
    listNext();
}

void SiteSync::listNext() {
    if (m_toList.empty()) {
        resolveTimes();
        return;
    }
    m_listing = m_toList.front();
    m_toList.pop_front();
    ++m_listings;
    m_waitingFor = m_session->listEntries(remotePath(m_listing));
}

void SiteSync::onEvent(const RemoteEvent& e) {
    if (!m_running)
        return;
    if (e.kind == RemoteEvent::Kind::Quit || e.kind == RemoteEvent::Kind::Error) {
        fail(e.text.isEmpty() ? QStringLiteral("the connection to the server ended") : e.text);
        return;
    }
    if (e.kind != RemoteEvent::Kind::Done || e.op != m_waitingFor)
        return;
    m_waitingFor = 0;
    if (e.opKind == RemoteOpKind::ListEntries) {
        if (!e.ok || !e.listing) {
            fail(QStringLiteral("the server folder %1 could not be listed%2")
                     .arg(nameFromNative(remotePath(m_listing)),
                          e.text.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(e.text)));
            return;
        }
        listed(m_listing, *e.listing);
        return;
    }
    if (e.opKind != RemoteOpKind::Stat)
        return;
    const auto it = m_remote.find(m_statting);
    if (e.ok && e.entry && it != m_remote.end()) {
        if (m_statting == m_zoneProbe && !m_zoneKnown && e.entry->time == RemoteEntry::Time::Exact &&
            it->time == RemoteEntry::Time::ServerMinute) {
            // The server's wall clock against the exact time, to the quarter hour.
            const double ahead = double(secondsOf(it->modified) - secondsOf(e.entry->modified));
            m_zoneOffset = qint64(std::llround(ahead / 900.0)) * 900;
            m_zoneKnown = true;
            const qint64 minutes = std::abs(m_zoneOffset) / 60;
            m_notes << QStringLiteral("The server lists times at UTC%1%2:%3 (from the exact time of %4).")
                           .arg(m_zoneOffset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                           .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                           .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                           .arg(nameFromNative(m_statting));
        }
        if (e.entry->time == RemoteEntry::Time::Exact) {
            it->modified = e.entry->modified;
            it->time = RemoteEntry::Time::Exact;
        }
        if (e.entry->size >= 0)
            it->size = e.entry->size;
    }
    if (m_statting == m_zoneProbe && !m_zoneKnown) {
        m_zoneKnown = true;
        m_notes << QStringLiteral("The server gives no exact times: its listed times are taken as UTC.");
    }
    if (m_statting == m_zoneProbe && m_toStat.empty()) {
        resolveTimes();
        return;
    }
    statNext();
}

void SiteSync::listed(const QByteArray& folder, const RemoteListing& listing) {
    for (const RemoteEntry& entry : listing.entries) {
        const QByteArray rel = folder.isEmpty() ? entry.name : folder + '/' + entry.name;
        if (entry.isDirectory) {
            if (m_localFolders.contains(rel))
                m_toList.push_back(rel);
        } else {
            m_remote.insert(rel, entry);
        }
    }
    listNext();
}

void SiteSync::resolveTimes() {
    // Files on both sides whose time the listing gave only as the server's wall clock.
    QList<const SyncLocalFile*> inexact;
    for (const SyncLocalFile& f : std::as_const(m_local)) {
        const auto it = m_remote.constFind(f.relativeBytes);
        if (it != m_remote.cend() && it->time != RemoteEntry::Time::Exact)
            inexact << &f;
    }
    if (inexact.isEmpty()) {
        finish();
        return;
    }
    if (!m_zoneKnown) {
        for (const SyncLocalFile* f : inexact) {
            if (m_remote.value(f->relativeBytes).time == RemoteEntry::Time::ServerMinute) {
                m_zoneProbe = f->relativeBytes;
                m_statting = m_zoneProbe;
                ++m_queries;
                m_waitingFor = m_session->stat(remotePath(m_statting));
                return;
            }
        }
        m_zoneKnown = true;
        m_notes << QStringLiteral("The server's listed times are taken as UTC.");
    }
    // Only the files whose local time falls inside the listed minute (or day) need their own.
    for (const SyncLocalFile* f : inexact) {
        const RemoteEntry& r = m_remote[f->relativeBytes];
        if (r.time == RemoteEntry::Time::Exact)
            continue;
        if (r.time == RemoteEntry::Time::None) {
            m_toStat.push_back(f->relativeBytes);
            continue;
        }
        const qint64 low = secondsOf(r.modified) - m_zoneOffset;
        const qint64 local = secondsOf(f->modified);
        if (local >= low && local < low + precisionOf(r.time))
            m_toStat.push_back(f->relativeBytes);
    }
    m_zoneProbe.clear();
    statNext();
}

void SiteSync::statNext() {
    if (m_toStat.empty()) {
        finish();
        return;
    }
    m_statting = m_toStat.front();
    m_toStat.pop_front();
    ++m_queries;
    m_waitingFor = m_session->stat(remotePath(m_statting));
}

void SiteSync::finish() {
    m_running = false;
    if (m_session)
        disconnect(m_session, nullptr, this, nullptr);
    QSet<QByteArray> here;
    for (const SyncLocalFile& f : std::as_const(m_local)) {
        here.insert(f.relativeBytes);
        SyncItem item;
        item.relative = f.relative;
        item.localPath = f.path;
        item.localSize = f.size;
        item.localTime = f.modified;
        const auto it = m_remote.constFind(f.relativeBytes);
        if (it == m_remote.cend()) {
            item.state = SyncItem::State::NewHere;
            item.ticked = true;
            m_items << item;
            continue;
        }
        const RemoteEntry& r = *it;
        item.remoteName = remotePath(f.relativeBytes);
        item.remoteSize = r.size;
        std::optional<SyncItem::State> state;
        if (r.time == RemoteEntry::Time::Exact || r.time == RemoteEntry::Time::None) {
            item.remoteTime = r.modified;
            state = compare(f.size, f.modified, r.size, r.modified);
        } else {
            // Told apart by the listed minute or day, in the server's zone.
            const qint64 low = secondsOf(r.modified) - m_zoneOffset;
            item.remoteTime = QDateTime::fromSecsSinceEpoch(low, Qt::UTC);
            if (secondsOf(f.modified) >= low + precisionOf(r.time))
                state = SyncItem::State::NewerHere;
            else if (r.size >= 0 && r.size != f.size)
                state = SyncItem::State::NewerThere;
        }
        if (!state)
            continue;
        item.state = *state;
        item.ticked = item.state == SyncItem::State::NewerHere;
        m_items << item;
    }
    for (auto it = m_remote.cbegin(); it != m_remote.cend(); ++it) {
        if (here.contains(it.key()))
            continue;
        SyncItem item;
        item.state = SyncItem::State::MissingHere;
        item.relative = nameFromNative(it.key());
        item.remoteName = remotePath(it.key());
        item.remoteSize = it->size;
        if (it->time == RemoteEntry::Time::Exact)
            item.remoteTime = it->modified;
        else if (it->time != RemoteEntry::Time::None)
            item.remoteTime = QDateTime::fromSecsSinceEpoch(secondsOf(it->modified) - m_zoneOffset,
                                                            Qt::UTC);
        m_items << item;
    }
    std::sort(m_items.begin(), m_items.end(), [](const SyncItem& a, const SyncItem& b) {
        const int c = QString::compare(a.relative, b.relative, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.relative < b.relative;
    });
    emit finished();
}

void SiteSync::fail(const QString& why) {
    m_running = false;
    if (m_session)
        disconnect(m_session, nullptr, this, nullptr);
    emit failed(why);
}
