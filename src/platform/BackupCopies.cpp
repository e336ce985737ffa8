// Backup copies: their names in the backup folder and the copying itself.
#include "platform/BackupCopies.h"

#include "platform/CopyFile.h"
#include "platform/NativeNames.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <sys/stat.h>

namespace {

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

// The folder, ending in "/", that holds every file (at any depth); empty when they share none.
QString commonFolder(const QStringList& paths) {
    if (paths.isEmpty())
        return {};
    QString common = folderOf(paths.first());
    for (const QString& p : paths) {
        while (!common.isEmpty() && !p.startsWith(common)) {
            common.chop(1);
            common = folderOf(common);
        }
    }
    return common;
}

// The bytes of a name shown as text, in the encoding of the name bytes like it.
QByteArray encodedLike(const QString& shown, const QByteArray& like) {
    const bool latin1 = nameFromNative(like) != QString::fromUtf8(like);
    return latin1 ? shown.toLatin1() : shown.toUtf8();
}

// name_2.ext, name_3.ext ... for the last part of a path.
QString numbered(const QString& path, int n) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > slash + 1 ? dot : path.size();
    return path.left(at) + QStringLiteral("_%1").arg(n) + path.mid(at);
}

class TakenNames {
public:
    explicit TakenNames(const QStringList& reserved) {
        for (const QString& r : reserved)
            take(r);
    }
    // Free when no file has the name, no folder is needed there, and no folder of its path is
    // a file.
    bool isFree(const QString& name) const {
        return !m_files.contains(name) && !m_folders.contains(name) && foldersFree(name);
    }
    // No folder of the name's path is a file.
    bool foldersFree(const QString& name) const {
        for (qsizetype slash = name.indexOf(QLatin1Char('/')); slash >= 0;
             slash = name.indexOf(QLatin1Char('/'), slash + 1))
            if (m_files.contains(name.left(slash)))
                return false;
        return true;
    }
    void take(const QString& name) {
        m_files.insert(name);
        for (qsizetype slash = name.indexOf(QLatin1Char('/')); slash >= 0;
             slash = name.indexOf(QLatin1Char('/'), slash + 1))
            m_folders.insert(name.left(slash));
    }

private:
    QSet<QString> m_files;
    QSet<QString> m_folders;
};

} // namespace

std::vector<BackupCopy> planBackupCopies(const QStringList& files, const QStringList& reserved) {
    QStringList unique;
    QSet<QString> seen;
    QHash<QString, int> named; // how many of the files have each name
    for (const QString& f : files) {
        const QString path = QFileInfo(f).isRelative() ? QFileInfo(f).absoluteFilePath() : f;
        if (!path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            unique << path;
            ++named[path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)];
        }
    }
    const QString common = commonFolder(unique);
    TakenNames taken(reserved);
    std::vector<BackupCopy> plan;
    plan.reserve(static_cast<size_t>(unique.size()));
    for (qsizetype i = 0; i < unique.size(); ++i) {
        const QString& path = unique[i];
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        const QString below = path.mid(common.size());
        // Its own name when no other file has it, else its path below the common folder; where
        // that is taken (by the project's files, or a file named as a folder of the path), a
        // numbered form of it.
        QString chosen = named.value(name) > 1 ? below : name;
        if (!taken.isFree(chosen))
            chosen = below;
        if (!taken.isFree(chosen)) {
            // Numbered in its folder, or beside the others when a file took a folder's name.
            const QString base = taken.foldersFree(below) ? below : name;
            for (int n = 2; !taken.isFree(chosen); ++n)
                chosen = numbered(base, n);
        }
        taken.take(chosen);
        plan.push_back({path, chosen});
    }
    return plan;
}

FileCopyResult copyBackup(const BackupCopy& copy, const QString& folder) {
    // The name keeps the bytes of the file's own name, and each folder of its path the bytes of
    // the folder it stands for: the source's path ends in the same parts.
    const QByteArray source = nativePath(copy.source);
    const QList<QByteArray> sourceParts = source.split('/');
    const qsizetype parts = copy.name.count(QLatin1Char('/')) + 1;
    QByteArray target = nativePath(folder);
    if (!target.endsWith('/'))
        target += '/';
    const QString wanted = nameFromNative(target) + copy.name;
    const auto failed = [&](int code) {
        FileCopyResult r;
        r.destination = wanted;
        r.error = QStringLiteral("Cannot create file ") + wanted;
        r.reason = qt_error_string(code);
        return r;
    };
    if (sourceParts.size() < parts)
        return failed(ENOENT);
    for (qsizetype i = sourceParts.size() - parts; i < sourceParts.size(); ++i) {
        if (i + 1 == sourceParts.size()) {
            // A numbered name is the file's name with a number in it: in the same encoding.
            const QString shown = copy.name.mid(copy.name.lastIndexOf(QLatin1Char('/')) + 1);
            target += nameFromNative(sourceParts[i]) == shown ? sourceParts[i]
                                                              : encodedLike(shown, sourceParts[i]);
            break;
        }
        target += sourceParts[i];
        // A folder of the path: made unless it is there.
        if (::mkdir(target.constData(), 0777) != 0 && errno != EEXIST)
            return failed(errno);
        target += '/';
    }
    return copyNativeFile(source, copy.source, target);
}

QString backupFailureLine(const QString& what, const FileCopyResult& r) {
    return what + QStringLiteral(" (") + r.error +
           (r.reason.isEmpty() ? QString() : QStringLiteral(": ") + r.reason) + QLatin1Char(')');
}

QString backupFailureLines(const QStringList& lines, int shown) {
    QStringList out = lines.mid(0, shown);
    if (lines.size() > shown)
        out << QStringLiteral("... and %1 more.").arg(lines.size() - shown);
    return out.join(QLatin1Char('\n'));
}
