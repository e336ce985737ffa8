// RemoteSession: the queue that delivers a session's events from the event loop.
#include "remote/RemoteSession.h"

#include <QMetaObject>
#include <QRegularExpression>

RemoteSession::RemoteSession(QObject* parent) : QObject(parent) {
}

RemoteSession::~RemoteSession() = default;

void RemoteSession::post(RemoteEvent event) {
    m_events.push_back(std::move(event));
    if (m_deliveryPosted)
        return;
    m_deliveryPosted = true;
    // Bound to this object: a session deleted meanwhile gets no delivery.
    QMetaObject::invokeMethod(this, &RemoteSession::deliverOne, Qt::QueuedConnection);
}

void RemoteSession::deliverOne() {
    m_deliveryPosted = false;
    if (m_events.empty())
        return;
    RemoteEvent event = std::move(m_events.front());
    m_events.pop_front();
    // The next delivery is posted before the handler runs: after it, this object may be gone,
    // and nothing of it is touched.
    if (!m_events.empty()) {
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(this, &RemoteSession::deliverOne, Qt::QueuedConnection);
    }
    emit sessionEvent(event);
}

QStringList LogLines(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(breaks);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
