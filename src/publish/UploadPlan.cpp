// UploadPlan: the remote place of each file of an upload.
#include "publish/UploadPlan.h"

#include "platform/NativeNames.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool hasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

QString parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : slash == 0 ? QByteArray("/") : path.left(slash);
}

} // namespace

UploadPlan UploadPlan::make(const QStringList& localFiles, const QString& siteFolder,
                            const QString& remoteBase, const QString& remoteCurrent) {
    UploadPlan plan;
    for (const QString& local : localFiles) {
        File file;
        file.localPath = local;
        if (hasLineBreak(local)) {
            file.skipped = true;
            plan.files.push_back(std::move(file));
            continue;
        }
        const Target target = targetFor(local, siteFolder, remoteBase, remoteCurrent);
        file.remotePath = target.path;
        file.remoteName = target.bytes;
        file.remoteFolder = parentOf(target.path);
        file.remoteFolderName = parentOf(target.bytes);
        for (qsizetype i = 0; i < target.folderBytes.size(); ++i) {
            const auto known =
                std::find_if(plan.folders.begin(), plan.folders.end(),
                             [&](const Folder& f) { return f.name == target.folderBytes.at(i); });
            if (known != plan.folders.end()) {
                file.folders << static_cast<int>(known - plan.folders.begin());
                continue;
            }
            file.folders << static_cast<int>(plan.folders.size());
            plan.folders.push_back(Folder{target.folders.at(i), target.folderBytes.at(i)});
        }
        plan.files.push_back(std::move(file));
    }
    return plan;
}

UploadPlan::Target UploadPlan::targetFor(const QString& localPath, const QString& siteFolder,
                                         const QString& remoteBase, const QString& remoteCurrent) {
    const auto join = [](const QString& folder, const QString& name) {
        if (folder.isEmpty())
            return name;
        return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
    };
    const auto joinBytes = [](const QString& folder, const QByteArray& name) {
        const QByteArray f = folder.toUtf8();
        if (f.isEmpty())
            return name;
        return f.endsWith('/') ? f + name : f + '/' + name;
    };
    Target target;
    const QString local = QDir::cleanPath(localPath);
    // The local names as the disk spells them: a Latin-1 name goes to the server as its own
    // bytes, not as the UTF-8 of how it is shown.
    const QList<QByteArray> native = nativePath(local).split('/');
    const auto nativeParts = [&native](qsizetype count) {
        return native.mid(std::max<qsizetype>(0, native.size() - count));
    };
    if (!siteFolder.isEmpty() && QDir::isAbsolutePath(siteFolder)) {
        QString prefix = QDir::cleanPath(siteFolder);
        if (!prefix.endsWith(u'/'))
            prefix += u'/';
        if (local.startsWith(prefix) && local.size() > prefix.size()) {
            const QString relative = local.mid(prefix.size());
            const QStringList parts = relative.split(u'/');
            const QList<QByteArray> bytes = nativeParts(parts.size());
            QString folder;
            QByteArray folderBytes;
            for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
                folder = folder.isEmpty() ? parts.at(i) : folder + u'/' + parts.at(i);
                folderBytes =
                    folderBytes.isEmpty() ? bytes.value(i) : folderBytes + '/' + bytes.value(i);
                target.folders << join(remoteBase, folder);
                target.folderBytes << joinBytes(remoteBase, folderBytes);
            }
            target.path = join(remoteBase, relative);
            target.bytes =
                joinBytes(remoteBase, folderBytes.isEmpty()
                                          ? bytes.value(parts.size() - 1)
                                          : folderBytes + '/' + bytes.value(parts.size() - 1));
            return target;
        }
    }
    target.path = join(remoteCurrent, QFileInfo(local).fileName());
    target.bytes = joinBytes(remoteCurrent, native.value(native.size() - 1));
    return target;
}
