// RemoteSession: the operations every publishing protocol offers over its own connection: log
// in, list, change folder, make and remove folders, rename, delete, store, quit, abort.
//
// Every call returns at once with the operation's id. Operations asked for while another runs
// wait their turn and run in the order they were asked for; each one that was started ends in
// exactly one Done event carrying its id and outcome. A connection ends in exactly one Quit
// event: after Quit, after Abort, or after an Error event; operations still waiting then end
// without a Done event of their own, and one under way ends in a failed Done before the Quit.
//
// Events are queued and delivered from the event loop, never from inside a call: a handler may
// call anything, or delete the session.
//
// What a connection needs (host, user, TLS or keys) and the questions asked while it is made
// (a password, a certificate, a host key) belong to each protocol's own session and screen.
#pragma once

#include "remote/RemoteEvent.h"

#include <QObject>

#include <deque>

class RemoteSession : public QObject {
    Q_OBJECT

public:
    explicit RemoteSession(QObject* parent = nullptr);
    ~RemoteSession() override;

    // Connects and logs in with the session's own settings.
    virtual RemoteOpId logIn() = 0;
    // Lists the current folder.
    virtual RemoteOpId list() = 0;
    // Names are the server's bytes: a name from a listing goes back exactly as it came, a name
    // typed by the user goes as UTF-8. Relative names are taken from the current folder.
    virtual RemoteOpId changeDir(const QByteArray& folder) = 0;
    virtual RemoteOpId makeDir(const QByteArray& name) = 0;
    virtual RemoteOpId removeDir(const QByteArray& name) = 0;
    virtual RemoteOpId rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual RemoteOpId deleteFile(const QByteArray& name) = 0;
    // Uploads the local file (a path as the program shows it; Latin-1 names on disk are found)
    // under the remote name, which may hold folders ("images/logo.png").
    virtual RemoteOpId store(const QString& localFile, const QByteArray& remoteName) = 0;
    // Ends the connection once every operation asked for before it is done.
    virtual RemoteOpId quit() = 0;
    // Ends everything at once: the connection closes and the Quit event follows (none when no
    // connection is under way).
    virtual void abort() = 0;

    // Logged in and not ended.
    virtual bool connected() const = 0;
    // Connecting, or an operation runs or waits.
    virtual bool busy() const = 0;

signals:
    void sessionEvent(const RemoteEvent& event);

protected:
    RemoteOpId nextOpId() { return ++m_lastOpId; }
    // Queues the event; it is delivered from the event loop after the events queued before it.
    void post(RemoteEvent event);
    // Drops the events not delivered yet (a session that starts over).
    void dropPendingEvents() { m_events.clear(); }

private:
    void deliverOne();

    RemoteOpId m_lastOpId = 0;
    std::deque<RemoteEvent> m_events;
    bool m_deliveryPosted = false;
};
