// A named pipe that notices readers. A thread keeps trying to open the write end without
// blocking, which succeeds only while someone has the pipe open for reading; it then closes at
// once, so the reader sees end of file and the test goes on instead of hanging, and opened()
// tells that the pipe was opened at all.
#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class FifoWatch {
public:
    explicit FifoWatch(QString path) : m_path(std::move(path)) {
        m_made = ::mkfifo(QFile::encodeName(m_path).constData(), 0600) == 0;
        if (m_made)
            m_thread = std::thread([this] { watch(); });
    }
    ~FifoWatch() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    bool made() const { return m_made; }
    const QString& path() const { return m_path; }
    bool opened() const { return m_opened; }

private:
    void watch() {
        const QByteArray native = QFile::encodeName(m_path);
        while (!m_stop) {
            const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    QString m_path;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};
