// FtpScreen: what the FTP screen does, without a widget.
//
// Page 1 edits the host profiles and selects one (its fields become the current host); page 2
// collects the transfer list from the Auto-FTP list (a copy of the ChangedList), a project's
// pages or files of a folder; page 3 connects, moves about the server and uploads the list into
// the server's current directory, one file after another. The screen owns its session (FTP, or
// SFTP for an SFTP profile) and handles the events of either the same way; every server
// operation runs on the event loop and ends in a session event, so the window stays
// responsive, and while one runs the screen is busy (the window shows the hourglass) and takes
// no other server command. An upload is an UploadPlan that an UploadRunner carries out over
// the session; the screen shows its progress. What the screen shows is kept in one part per
// page, each announcing its own changes: the window redraws the part that changed.
//
// A profile with a site folder keeps the site's layout on the server: a file below that folder
// goes to the same relative path below the remote directory the login ended in, and the remote
// folders it needs are made first (a folder that is there already is fine). Other files go
// into the current directory as always.
#pragma once

#include "ftp/Ftp.h"
#include "ftp/FtpSession.h"
#include "project/SiteOutline.h"
#include "publish/HostProfiles.h"
#include "publish/SiteSync.h"
#include "remote/RemoteEvent.h"
#include "sftp/SshChannel.h"
#include "publish/UploadRunner.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class ChangedList;
class Prompter;
class SftpRemoteSession;
struct SftpQuestion;
class UploadRunner;
struct Settings;

// The screen's state, one part per page, each announcing its own changes: the window redraws
// the part that changed and no other. Only the screen changes them; the window reads them (and
// types into the host fields).

// Page 1 and the connection: the host profiles, the one chosen, and the connection's state.
class FtpConnectionPage : public QObject {
    Q_OBJECT
public:
    // The six fields as typed, and "Save Password".
    const HostProfile& fields() const { return m_fields; }
    void setFields(const HostProfile& fields);
    bool savePassword() const { return m_savePassword; }
    void setSavePassword(bool on);
    const QStringList& hostList() const { return m_hostList; }
    int selectedHost() const { return m_selectedHost; }
    const QString& selectedHostLabel() const { return m_selectedLabel; }
    // The profile of the connection (the fields as the host was selected).
    const HostProfile& currentHost() const { return m_current; }
    bool connected() const { return m_connected; }
    bool busy() const { return m_busy; }
    bool closeEnabled() const { return m_closeEnabled; }
    bool noticeShown() const { return m_notice; }

signals:
    void changed();

private:
    friend class FtpScreen;
    HostProfile m_fields;
    bool m_savePassword = true;
    QStringList m_hostList;
    int m_selectedHost = -1;
    QString m_selectedLabel = QStringLiteral("Selected FTP Host: none");
    HostProfile m_current;
    bool m_connected = false;
    bool m_busy = false;
    bool m_closeEnabled = true;
    bool m_notice = false;
};

// Page 2: the files to send and where they come from.
class FtpLocalFilesPage : public QObject {
    Q_OBJECT
public:
    const QStringList& transferList() const { return m_transfer; }
    const QStringList& autoList() const { return m_auto; }
    const std::vector<ProjectPage>& projectPages() const { return m_projectPages; }

signals:
    void changed();

private:
    friend class FtpScreen;
    QStringList m_transfer;
    QStringList m_auto;
    std::vector<ProjectPage> m_projectPages;
};

// Page 3's remote lists: the server directory listed last (empty when not connected), its
// folders and files as shown and as the server's bytes.
class FtpRemotePage : public QObject {
    Q_OBJECT
public:
    const QStringList& directories() const { return m_dirs; }
    const QStringList& files() const { return m_files; }
    const QString& folder() const { return m_current; }

signals:
    void changed();

private:
    friend class FtpScreen;
    QStringList m_dirs;
    QList<QByteArray> m_dirNames;
    QStringList m_files;
    QList<QByteArray> m_fileNames;
    QString m_current;
};

// Page 3's transfer: the Log, the status line, the byte counter and the gauge.
class FtpTransferPage : public QObject {
    Q_OBJECT
public:
    const QStringList& log() const { return m_log; }
    const QString& statusLine() const { return m_status; }
    const QString& byteCounter() const { return m_bytes; }
    int gaugeMaximum() const { return m_gaugeMax; }
    int gaugePosition() const { return m_gaugePos; }
    bool gaugeVisible() const { return m_gaugeVisible; }
    bool transferring() const { return m_transferring; }

signals:
    void changed();

private:
    friend class FtpScreen;
    QStringList m_log{QStringLiteral("Log")};
    QString m_status;
    QString m_bytes;
    int m_gaugeMax = 0;
    int m_gaugePos = 0;
    bool m_gaugeVisible = false;
    bool m_transferring = false;
};

class FtpScreen : public QObject {
    Q_OBJECT
public:
    // The pages, numbered as the screen's tabs.
    enum Page { HostPage = 0, FilesPage = 1, TransferPage = 2, InstructionsPage = 3 };

    FtpScreen(QString programDirectory, ChangedList& changedList, const Settings& settings,
              Prompter& prompter, QObject* parent = nullptr);
    ~FtpScreen() override;

    // The steps of opening: host list, Auto-FTP copy, the one profile preselected.
    void open();

    // What each page shows.
    FtpConnectionPage& connection() { return m_connection; }
    const FtpConnectionPage& connection() const { return m_connection; }
    const FtpLocalFilesPage& localFiles() const { return m_local; }
    const FtpRemotePage& remote() const { return m_remote; }
    const FtpTransferPage& transfer() const { return m_transfer; }

    // ---- page 1 ----
    void selectHost(int index);
    void deleteHost();
    void clearFields();
    void addToList();
    void modify();

    // ---- page 2 ----
    void removeFromTransferList(const QList<int>& rows);
    void clearTransferList();
    void addFromAutoList(const QList<int>& rows);
    void addAllFromAutoList();
    void removeFromAutoList(const QList<int>& rows);
    void clearAutoList();
    // The project box: the outline files of projects/, upper-cased as the box lists them.
    QStringList projectNames() const;
    // Loads the project chosen in the box (or typed into it).
    void chooseProject(const QString& name);
    // "Add": item numbered from 1, 0 when none is selected.
    void addProjectPage(int item);
    void addAllProjectPages();
    // The "Files" page's "Add": the selected names of folder.
    void addFiles(const QString& folder, const QStringList& names);

    // ---- page 3 ----
    bool connected() const { return m_connection.m_connected; }
    bool busy() const { return m_connection.m_busy; }

    void connectToHost();
    void disconnectFromHost();
    void transferFiles();
    // Ends whatever the engine is doing at once (the transfer too): the connection is closed.
    void abort();
    void makeDirectory();
    void removeDirectory(int row);
    void renameFile(int row);
    void deleteFile(int row);
    void refresh();
    void openDirectory(int row);
    // "Close": true when the screen may close now.
    bool close();

    // ---- Synchronise (FtpScreenSync.cpp) ----
    // What is compared: a chosen folder; else the project chosen on page 2 (its pages and the
    // files they use); else the profile's site folder. False (nothing started): none of these,
    // the window asks for a folder.
    bool synchronise(const QString& folder = {});
    bool comparing() const { return m_sync && m_sync->running(); }
    // The differences of the last comparison, and what is ticked: new and newer here at first;
    // files missing here only while deleteOnServer is on.
    const QList<SyncItem>& syncItems() const { return m_syncItems; }
    void setSyncTicked(int row, bool ticked);
    bool deleteOnServer() const { return m_deleteOnServer; }
    // On: every file missing here is ticked for deletion; off: none is.
    void setDeleteOnServer(bool on);
    // The ticked files that go up, and the folder their layout starts at.
    QStringList syncUploads() const;
    const QString& syncRoot() const { return m_syncRoot; }
    // The ticked files missing here that are deleted on the server (empty unless deleteOnServer).
    QList<QByteArray> syncDeletes() const;
    // Deletes what syncDeletes() names, then uploads syncUploads() (the window runs the check
    // before an upload first).
    void uploadSync();
    static QString syncFailedText(const QString& why);
    static QString nothingDiffersText();

    // The FTP engine behind the session: its connection settings and questions.
    TStarFtp& engine() { return m_session->engine(); }
    RemoteSession& session() { return *m_session; }
    // The server's port when the host names none; the screen uses 21, tests their own server's.
    void setFtpPort(int port) { m_ftpPort = port; }
    // An SFTP profile's connection: the port when the host names none, and where the known
    // hosts and keys are (empty: the user's own ~/.ssh); the screen fills in host, user and
    // password from the profile.
    void setSftpConnection(int port, const SshChannel::Settings& settings) {
        m_sftpPort = port;
        m_sftpSettings = settings;
    }
    // The SFTP session of the connection under way; null for FTP.
    SftpRemoteSession* sftpSession() { return m_sftp.get(); }

    // The texts of the screen.
    static QString caption();
    static QString noticeText();
    static QString profileNameMissingText();
    static QString modifyNameMissingText();
    static QString fieldsMissingText();
    static QString notConnectedText();
    static QString nothingToTransferText();
    static QString fileMissingText(const QString& path);
    static QString badProjectText();
    static QString errorText(int code, const QString& extra);
    // The login's change to the profile's Initial Dir was refused with reply.
    static QString initialDirRefusedText(const QString& folder, const QString& reply);
    static QString lineBreakInNameText(const QString& path);
    static QString removedFromQueueText(const QString& path);
    // The connection ended while a file was being sent: which file, how far it got, and why.
    static QString connectionLostText(const QString& path, int sent, int count,
                                      const QString& cause);
    // A command the user started, refused by the server: what it was and the server's reply.
    static QString refusedText(const QString& what, const QString& reply);
    // A change of the host list that could not be stored: the file and the system's reason.
    static QString profileNotSavedText(const QString& name, const QString& path,
                                       const QString& reason);
    static QString profileNotDeletedText(const QString& name, const QString& path,
                                         const QString& reason);
    static QString certificateQuestionText(const TCertificateInfo& certificate,
                                           const QString& profile);
    // Where a local file goes on the server: the path below remoteBase that it has below
    // siteFolder, or remoteCurrent + its name when it is not below siteFolder (or none is set).
    // folders receives the remote folders that path needs, outermost first.
    static QString remotePathFor(const QString& localPath, const QString& siteFolder,
                                 const QString& remoteBase, const QString& remoteCurrent,
                                 QStringList* folders = nullptr);

signals:
    void busyChanged(bool busy);
    void showPage(int page);
    // The cursor goes to the Profile Name field.
    void focusProfileName();
    // A comparison ended with differences to show (syncItems()).
    void syncReady();

private:
    // The profile-name field empty (missingText) or unfit for a section name: says so and
    // puts the caret there.
    bool profileNameRefused(const QString& missingText);
    void wireEngine();
    void setBusy(bool busy);
    void appendLog(const QString& line);
    // A message box, shown once the session's handler has returned.
    void informLater(const QString& text);
    void afterChange();
    // One handler for the events of either protocol's session.
    void onSessionEvent(const RemoteEvent& event);
    void onInfo(const RemoteEvent& event);
    void onError(const RemoteEvent& event);
    void onDone(const RemoteEvent& event);
    void onListed(const RemoteListing& listing);
    void onQuit();
    // What the protocol's session says of an error that ended the connection; the generic
    // words of a lost connection when it says nothing.
    QString errorTextOf(const RemoteEvent& event) const;
    bool onCertificate(const TCertificateInfo& certificate);
    // The upload's steps, as its runner reports them.
    void fileStarted(int index);
    void fileDone(int index, const UploadRunner::FileResult& result);
    void transferStopped(const RemoteEvent& cause);
    void finishTransfer();
    // The connection ended in the middle of a transfer: it stops, with one message.
    void transferLost(const QString& cause);
    bool addExisting(const QString& path);
    // Files of the ChangedList that are gone from disk leave it, with a Log line each.
    void pruneChangedList();
    // Writes the profile (or erases it) and then the host list; on a failure of either file
    // both stay as they were, the list too, and the message names the file and the reason.
    bool saveHostList(const QStringList& list, const QString& name,
                      const std::function<ProfileFileWrite()>& writeProfile, bool saving);
    void saveProfile(QStringList list);
    QString remoteName(int row, bool directory) const;
    // A command the user started: what it does, in words, for the message if it is refused,
    // and the call that starts it over the connection's session.
    void startCommand(const QString& what, const std::function<RemoteOpId()>& call);
    // After its Done event: a refusal goes to the status line, the Log and a message.
    void reportRefusal(const RemoteEvent& done);
    void onNeedInfo(TFtpInfoNeeded need, QString& value);
    // The "bytes transferred" line of a file sent.
    void appendRate(qint64 bytes, qint64 ms);
    // The connection ended: nothing remote is shown any more.
    void clearRemote();

    // A host field that names its port ("ftp.example.com:2121") split in two; without one,
    // the host and the given port.
    static std::pair<QString, int> hostAndPort(const QString& field, int port);

    // ---- SFTP (FtpScreenSftp.cpp) ----
    void connectSftp(const QString& host);
    void onSftpQuestion(const SftpQuestion& question);
    // Runs the plan as a transfer of the screen, over the connection's session.
    void startUpload(UploadPlan plan);
    RemoteSession& activeSession();
    void compareFiles(QList<SyncLocalFile> files, const QString& root, const QString& base);
    void syncCompared();
    void deleteNext();
    void remoteList();

    QString m_programDirectory;
    ChangedList& m_changedList;
    const Settings& m_settings;
    Prompter& m_prompter;
    HostProfiles m_profiles;
    std::unique_ptr<FtpSession> m_session;
    int m_ftpPort = 21;
    int m_sftpPort = 22;
    SshChannel::Settings m_sftpSettings;

    FtpConnectionPage m_connection;
    FtpLocalFilesPage m_local;
    FtpRemotePage m_remote;
    FtpTransferPage m_transfer;

    // The FTP.INI section the current host was read from (a trusted certificate goes there).
    QString m_currentSection;
    // The directory the login ended in (site files go below it).
    QString m_remoteBase;
    // The user asked for the end of the connection (Disconnect, Close or Stop), and an error
    // event told why it ended: an end that neither explains is told as a lost connection.
    bool m_endAsked = false;
    bool m_endTold = false;
    // Why the connection ended while a transfer ran (its end tells it).
    QString m_lostCause;
    // The connection ended while the screen's own deletes ran: told once, with its cause.
    void deletesLost();

    // The transfer under way. Stop was pressed: the transfer ends without a message of its own.
    bool m_stopPressed = false;
    int m_count = 0;
    int m_sent = 0;
    qint64 m_size = 0;
    // The command the user started and whose reply is awaited (empty: none).
    QString m_command;
    // Files that reached the server while the screen was open: FTPFLUSH takes these, and only
    // these, off the ChangedList.
    QSet<QString> m_uploaded;

    std::unique_ptr<SftpRemoteSession> m_sftp;
    std::unique_ptr<UploadRunner> m_runner;
    // Synchronise: the comparison under way or last run, where its files start here and there,
    // and the deletes before its upload.
    std::unique_ptr<SiteSync> m_sync;
    QList<SyncItem> m_syncItems;
    QString m_syncRoot;
    QString m_syncBase;
    bool m_deleteOnServer = false;
    QList<QByteArray> m_deletes;
    RemoteOpId m_deleting = 0;
    QByteArray m_deletingName;
    QStringList m_syncFiles;
    QMetaObject::Connection m_deleteWatch;
    // The operations the screen asked for itself (the runner's are its own).
    QSet<RemoteOpId> m_remoteOps;
};
