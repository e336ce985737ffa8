// Helpers for tests over real files in a temporary folder.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <ftw.h>

class TempDir {
public:
    TempDir() { m_dir.setAutoRemove(true); }
    // Removed by the bytes of its names: QTemporaryDir cannot remove a file whose name is not
    // UTF-8 (a Latin-1 name a test made) and would leave the whole folder behind.
    ~TempDir() {
        if (m_dir.isValid())
            ::nftw(QFile::encodeName(m_dir.path()).constData(), removeEntry, 16,
                   FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    bool isValid() const { return m_dir.isValid(); }
    // The folder with a trailing "/".
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }

    bool write(const QString& name, const QByteArray& bytes) const {
        const QString full = file(name);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile f(full);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        return f.write(bytes) == bytes.size();
    }
    // A file named by raw bytes below the folder (a Latin-1 name Qt's own file names cannot
    // spell); its folder must exist.
    bool writeNative(const QByteArray& name, const QByteArray& bytes) const {
        const QByteArray full = QFile::encodeName(path()) + name;
        FILE* f = std::fopen(full.constData(), "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f) ==
                        static_cast<size_t>(bytes.size());
        return std::fclose(f) == 0 && ok;
    }
    // The bytes of a file named by raw bytes below the folder; empty when it cannot be read.
    QByteArray readNative(const QByteArray& name) const {
        QByteArray bytes;
        FILE* f = std::fopen((QFile::encodeName(path()) + name).constData(), "rb");
        if (!f)
            return bytes;
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, static_cast<qsizetype>(n));
        std::fclose(f);
        return bytes;
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }
    bool exists(const QString& name) const { return QFile::exists(file(name)); }

private:
    static int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
        std::remove(path); // what cannot go stays; the walk goes on with the rest
        return 0;
    }
    QTemporaryDir m_dir;
};
