// Helpers for tests over real files in a temporary folder.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class TempDir {
public:
    TempDir() { m_dir.setAutoRemove(true); }
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
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }
    bool exists(const QString& name) const { return QFile::exists(file(name)); }

private:
    QTemporaryDir m_dir;
};
