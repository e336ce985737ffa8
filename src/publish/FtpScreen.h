// FtpScreen: what the FTP screen does, without a widget.
//
// Page 1 edits the host profiles and selects one (its fields become the current host); page 2
// collects the transfer list from the Auto-FTP list (a copy of the ChangedList), a project's
// pages or files of a folder; page 3 connects, moves about the server and uploads the list into
// the server's current directory, one file after another. The screen owns its FTP session;
// every server operation runs on the event loop and ends in a session event, so the window
// stays responsive, and while one runs the screen is busy (the window shows the hourglass) and
// takes no other server command. An upload is an UploadPlan that an UploadRunner carries out
// over the session; the screen shows its progress. The window draws what changed() announces.
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

    // ---- page 1 ----
    HostProfile fields;       // the six fields as typed
    bool savePassword = true; // "Save Password"
    const QStringList& hostList() const { return m_hostList; }
    int selectedHost() const { return m_selectedHost; }
    void selectHost(int index);
    void deleteHost();
    void clearFields();
    void addToList();
    void modify();
    QString selectedHostLabel() const { return m_selectedLabel; }
    const HostProfile& currentHost() const { return m_current; }

    // ---- page 2 ----
    const QStringList& transferList() const { return m_transfer; }
    void removeFromTransferList(const QList<int>& rows);
    void clearTransferList();
    const QStringList& autoList() const { return m_auto; }
    void addFromAutoList(const QList<int>& rows);
    void addAllFromAutoList();
    void removeFromAutoList(const QList<int>& rows);
    void clearAutoList();
    // The project box: the outline files of projects/, upper-cased as the box lists them.
    QStringList projectNames() const;
    // Loads the project chosen in the box (or typed into it).
    void chooseProject(const QString& name);
    const std::vector<ProjectPage>& projectPages() const { return m_projectPages; }
    // "Add": item numbered from 1, 0 when none is selected.
    void addProjectPage(int item);
    void addAllProjectPages();
    // The "Files" page's "Add": the selected names of folder.
    void addFiles(const QString& folder, const QStringList& names);

    // ---- page 3 ----
    const QStringList& log() const { return m_log; }
    const QString& statusLine() const { return m_status; }
    const QString& byteCounter() const { return m_bytes; }
    int gaugeMaximum() const { return m_gaugeMax; }
    int gaugePosition() const { return m_gaugePos; }
    bool gaugeVisible() const { return m_gaugeVisible; }
    const QStringList& remoteDirectories() const { return m_remoteDirs; }
    const QStringList& remoteFiles() const { return m_remoteFiles; }
    // The server directory listed last; empty when not connected.
    const QString& remoteFolder() const { return m_remoteCurrent; }
    bool connected() const;
    bool busy() const { return m_busy; }
    bool closeEnabled() const { return m_closeEnabled; }
    bool noticeShown() const { return m_notice; }
    bool transferring() const { return m_transferring; }

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

    // The FTP engine behind the session: its connection settings and questions.
    TStarFtp& engine() { return m_session->engine(); }
    RemoteSession& session() { return *m_session; }
    // The server's port; the screen uses 21, tests their own server's.
    int ftpPort = 21;
    // An SFTP profile's connection: the port when the host names none, and where the known
    // hosts and keys are (empty: the user's own ~/.ssh); the screen fills in host, user and
    // password from the profile.
    int sftpPort = 22;
    SshChannel::Settings sftpSettings;
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
    // Anything shown may have changed.
    void changed();
    void busyChanged(bool busy);
    void showPage(int page);
    // The cursor goes to the Profile Name field.
    void focusProfileName();

private:
    // The profile-name field empty (missingText) or unfit for a section name: says so and
    // puts the caret there.
    bool profileNameRefused(const QString& missingText);
    void wireEngine();
    void setBusy(bool busy);
    void appendLog(const QString& line);
    void afterChange();
    void onSessionEvent(const RemoteEvent& event);
    void onInfo(FtpInfo code, const QString& text);
    void onError(FtpError code);
    void onDone(const RemoteEvent& event);
    void onListingDone(const RemoteListing& listing);
    void onQuit();
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
    // A command the user started: what it does, in words, for the message if it is refused.
    void startCommand(const QString& what);
    // After its Done event: a refusal goes to the status line, the Log and a message.
    void reportRefusal(bool succeeded);
    void onNeedInfo(TFtpInfoNeeded need, QString& value);
    // The "bytes transferred" line of a file sent.
    void appendRate(qint64 bytes, qint64 ms);

    // ---- SFTP (FtpScreenSftp.cpp) ----
    void connectSftp(const QString& host);
    void onRemoteEvent(const RemoteEvent& event);
    void onSftpQuestion(const SftpQuestion& question);
    void sftpListed(const RemoteListing& listing);
    void startSftpTransfer();
    // A server operation of the screen's own, over the session of the connection.
    void remoteCommand(const std::function<RemoteOpId()>& call);
    void remoteQuit();
    void remoteList();

    QString m_programDirectory;
    ChangedList& m_changedList;
    const Settings& m_settings;
    Prompter& m_prompter;
    HostProfiles m_profiles;
    std::unique_ptr<FtpSession> m_session;

    QStringList m_hostList;
    int m_selectedHost = -1;
    QString m_selectedLabel = QStringLiteral("Selected FTP Host: none");
    HostProfile m_current;
    // The FTP.INI section the current host was read from (a trusted certificate goes there).
    QString m_currentSection;
    // The directory the login ended in (site files go below it) and the one listed last.
    QString m_remoteBase;
    QString m_remoteCurrent;

    QStringList m_transfer;
    QStringList m_auto;
    std::vector<ProjectPage> m_projectPages;

    QStringList m_log{QStringLiteral("Log")};
    QString m_status;
    QString m_bytes;
    int m_gaugeMax = 0;
    int m_gaugePos = 0;
    bool m_gaugeVisible = false;
    QStringList m_remoteDirs;
    QList<QByteArray> m_remoteDirNames;
    QStringList m_remoteFiles;
    QList<QByteArray> m_remoteFileNames;
    bool m_busy = false;
    bool m_connected = false;
    bool m_closeEnabled = true;
    bool m_notice = false;

    // The transfer under way.
    bool m_transferring = false;
    // Stop was pressed: the transfer ends without a message of its own.
    bool m_stopPressed = false;
    int m_count = 0;
    int m_sent = 0;
    qint64 m_size = 0;
    QString m_lastReply;
    // The command the user started and whose reply is awaited (empty: none).
    QString m_command;
    // Files that reached the server while the screen was open: FTPFLUSH takes these, and only
    // these, off the ChangedList.
    QSet<QString> m_uploaded;

    std::unique_ptr<SftpRemoteSession> m_sftp;
    std::unique_ptr<UploadRunner> m_runner;
    // The operations the screen asked for itself (the runner's are its own).
    QSet<RemoteOpId> m_remoteOps;
};
