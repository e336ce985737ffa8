// ProcessLauncher: starting another program (browsers, helper applications) without waiting
// for it.
#pragma once

#include <QString>
#include <QStringList>

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts program with the arguments, detached; false when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Hands a file to the desktop's own program for it (for a page: the default browser);
    // false when the desktop has none.
    virtual bool openWithDesktop(const QString& path) = 0;
};

// The system's: QProcess::startDetached. Only a regular, executable file or a program name found
// on PATH is started.
class SystemProcessLauncher : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override;
    // QDesktopServices::openUrl with the file's address.
    bool openWithDesktop(const QString& path) override;
};
