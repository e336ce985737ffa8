// TFormFTP: each control calls FtpScreen and draws what it announces.
#include "ui/publish/TFormFTP.h"

#include "app/ShellParts.h"
#include "platform/NativeNames.h"
#include "project/FilesTab.h"
#include "publish/FtpList.h"
#include "publish/FtpScreen.h"
#include "ui/publish/TFormSync.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text,
                    const QString& hint = {}) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QListWidget* list(QWidget* parent, const char* name, bool multi) {
    auto* l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    if (multi)
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return l;
}

// Refills a list only when its entries changed, so that selections survive a redraw.
void showEntries(QListWidget* list, const QStringList& entries) {
    bool same = list->count() == entries.size();
    for (int i = 0; same && i < list->count(); ++i)
        same = list->item(i)->text() == entries.at(i);
    if (same)
        return;
    list->clear();
    list->addItems(entries);
}

void showText(QLineEdit* field, const QString& text) {
    if (field->text() != text)
        field->setText(text);
}

// The combo boxes' entries, in the order shown, with what each stands for.
const QList<std::pair<TDataConnection, QString>> kModeEntries = {
    {TDataConnection::Passive, QStringLiteral("Passive")},
    {TDataConnection::Active, QStringLiteral("Active")},
    {TDataConnection::PassiveThenActive, QStringLiteral("Passive, then active if refused")},
};

const QList<std::pair<HostProtocol, QString>> kProtocolEntries = {
    {HostProtocol::Ftp, QStringLiteral("FTP")},
    {HostProtocol::FtpTls, QStringLiteral("FTP over TLS")},
    {HostProtocol::Sftp, QStringLiteral("SFTP")},
};

const QList<std::pair<TFtpSecurity, QString>> kSecurityEntries = {
    {TFtpSecurity::None, QStringLiteral("None")},
    {TFtpSecurity::TlsIfOffered, QStringLiteral("TLS if offered")},
    {TFtpSecurity::TlsRequired, QStringLiteral("TLS required")},
};

template <typename E>
QComboBox* choices(QWidget* parent, const char* name, const QList<std::pair<E, QString>>& entries) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const auto& [value, text] : entries)
        box->addItem(text, static_cast<int>(value));
    return box;
}

template <typename E> void showChoice(QComboBox* box, E value) {
    const int at = box->findData(static_cast<int>(value));
    if (at >= 0 && box->currentIndex() != at) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(at);
    }
}

} // namespace

TFormFTP::TFormFTP(FtpScreen& screen, const QString& startFolder, const QString& homeDirectory,
                   QWidget* parent)
    : QDialog(parent), m_screen(screen), m_home(homeDirectory) {
    setObjectName(QStringLiteral("FormFTP"));
    setWindowTitle(FtpScreen::caption());
    // No close box: "Close" decides whether the screen may be left.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    resize(760, 560);

    auto* v = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    m_pages->addTab(buildHostPage(), QStringLiteral("1. Select FTP Host  "));
    m_pages->addTab(buildFilesPage(), QStringLiteral("2. Select Files to Transfer   "));
    m_pages->addTab(buildTransferPage(), QStringLiteral("3. Transfer Files  "));
    m_pages->addTab(buildInstructionsPage(), QStringLiteral("Instructions"));
    v->addWidget(m_pages);
    m_close = button(this, "ButtonClose", QStringLiteral("Close"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_close);
    v->addLayout(bottom);
    connect(m_close, &QPushButton::clicked, this, &TFormFTP::ButtonCloseClick);

    // Each part of the screen redraws what its page shows, and nothing else.
    connect(&m_screen.connection(), &FtpConnectionPage::changed, this, &TFormFTP::showConnection);
    connect(&m_screen.localFiles(), &FtpLocalFilesPage::changed, this, &TFormFTP::showLocalFiles);
    connect(&m_screen.remote(), &FtpRemotePage::changed, this, &TFormFTP::showRemote);
    connect(&m_screen.transfer(), &FtpTransferPage::changed, this, &TFormFTP::showTransfer);
    connect(&m_screen, &FtpScreen::busyChanged, this, &TFormFTP::setBusyPointer);
    connect(&m_screen, &FtpScreen::showPage, m_pages, &QTabWidget::setCurrentIndex);
    connect(&m_screen, &FtpScreen::focusProfileName, this, [this] { m_profile->setFocus(); });

    // Opening: the projects, the host list, the Auto-FTP copy, the Files page's folder.
    m_projects->addItems(m_screen.projectNames());
    m_projects->setCurrentIndex(-1);
    m_drives->addItems(FilesTab::drives(homeDirectory));
    setFolder(QDir(startFolder).exists() && !startFolder.isEmpty() ? startFolder : homeDirectory);
    m_screen.open();
    m_pages->setCurrentIndex(FtpScreen::HostPage);
    m_filePages->setCurrentIndex(0);
    showConnection();
    showLocalFiles();
    showRemote();
    showTransfer();
}

TFormFTP::~TFormFTP() {
    setBusyPointer(false);
}

QWidget* TFormFTP::buildHostPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("HostPage"));
    auto* grid = new QGridLayout(page);
    auto* form = new QFormLayout;
    const auto field = [page](const char* name) {
        auto* f = new QLineEdit(page);
        f->setObjectName(QLatin1String(name));
        return f;
    };
    m_profile = field("EditProfile");
    m_host = field("EditHost");
    m_user = field("EditUser");
    m_password = field("EditPassword");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_account = field("EditAccount");
    m_directory = field("EditDir");
    form->addRow(QStringLiteral("Profile Name:"), m_profile);
    form->addRow(QStringLiteral("Host Name:"), m_host);
    form->addRow(QString(), new QLabel(QStringLiteral("(example: ftp.myprovider.com)"), page));
    form->addRow(QStringLiteral("User Name:"), m_user);
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(QStringLiteral("Account:"), m_account);
    form->addRow(QString(), new QLabel(QStringLiteral("(normally leave blank)"), page));
    form->addRow(QStringLiteral("Initial Dir:"), m_directory);
    form->addRow(QString(), new QLabel(QStringLiteral("(optional)"), page));
    m_siteFolder = field("EditSiteFolder");
    auto* siteRow = new QHBoxLayout;
    siteRow->addWidget(m_siteFolder);
    QPushButton* browse = button(page, "ButtonBrowseSiteFolder", QStringLiteral("Browse..."),
                                 QStringLiteral("Choose the local folder of the site"));
    siteRow->addWidget(browse);
    form->addRow(QStringLiteral("Site folder:"), siteRow);
    form->addRow(QString(),
                 new QLabel(QStringLiteral("(optional: files below it keep their folders)"), page));
    m_protocol = choices(page, "ComboProtocol", kProtocolEntries);
    form->addRow(QStringLiteral("Protocol:"), m_protocol);
    m_dataConnection = choices(page, "ComboTransferMode", kModeEntries);
    form->addRow(QStringLiteral("Transfer mode:"), m_dataConnection);
    m_security = choices(page, "ComboSecurity", kSecurityEntries);
    form->addRow(QStringLiteral("Security:"), m_security);
    m_fingerprint = field("EditFingerprint");
    m_fingerprint->setReadOnly(true);
    form->addRow(QStringLiteral("Trusted certificate:"), m_fingerprint);
    m_savePassword = new QCheckBox(QStringLiteral("Save Password"), page);
    m_savePassword->setObjectName(QStringLiteral("CheckSavePassword"));
    m_savePassword->setChecked(true);
    form->addRow(QString(), m_savePassword);
    grid->addLayout(form, 0, 0);
    m_hosts = list(page, "ListHosts", false);
    grid->addWidget(m_hosts, 0, 1);
    auto* buttons = new QHBoxLayout;
    QPushButton* del = button(page, "ButtonDeleteHost", QStringLiteral("Delete"),
                              QStringLiteral("Remove selected Profile"));
    QPushButton* clear = button(page, "ButtonClearFields", QStringLiteral("Clear"),
                                QStringLiteral("Clear data fields"));
    QPushButton* add = button(page, "ButtonAddHost", QStringLiteral("Add to List"),
                              QStringLiteral("Add Profile to List"));
    QPushButton* modify = button(page, "ButtonModify", QStringLiteral("Modify"),
                                 QStringLiteral("Submit Modified Profile to list"));
    for (QPushButton* b : {del, clear, add, modify})
        buttons->addWidget(b);
    grid->addLayout(buttons, 1, 0, 1, 2);

    for (QLineEdit* f : {m_profile, m_host, m_user, m_password, m_account, m_directory})
        connect(f, &QLineEdit::textEdited, this, &TFormFTP::pullFields);
    connect(m_savePassword, &QCheckBox::toggled, this, &TFormFTP::pullFields);
    connect(m_siteFolder, &QLineEdit::textEdited, this, &TFormFTP::pullFields);
    connect(m_dataConnection, &QComboBox::activated, this, &TFormFTP::pullFields);
    // The protocol and the TLS choice agree: TLS makes FTP FTP over TLS and back.
    connect(m_protocol, &QComboBox::activated, this, [this] {
        const auto protocol = static_cast<HostProtocol>(m_protocol->currentData().toInt());
        const auto none = static_cast<int>(TFtpSecurity::None);
        if (protocol == HostProtocol::Ftp)
            m_security->setCurrentIndex(m_security->findData(none));
        else if (protocol == HostProtocol::FtpTls && m_security->currentData().toInt() == none)
            m_security->setCurrentIndex(
                m_security->findData(static_cast<int>(TFtpSecurity::TlsRequired)));
        pullFields();
    });
    connect(m_security, &QComboBox::activated, this, [this] {
        const bool tls = m_security->currentData().toInt() != static_cast<int>(TFtpSecurity::None);
        m_protocol->setCurrentIndex(
            m_protocol->findData(static_cast<int>(tls ? HostProtocol::FtpTls : HostProtocol::Ftp)));
        pullFields();
    });
    connect(browse, &QPushButton::clicked, this, &TFormFTP::BrowseSiteFolderClick);
    connect(m_hosts, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { m_screen.selectHost(m_hosts->row(item)); });
    connect(m_hosts, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { m_screen.selectHost(m_hosts->row(item)); });
    connect(del, &QPushButton::clicked, this, [this] { m_screen.deleteHost(); });
    connect(clear, &QPushButton::clicked, this, [this] { m_screen.clearFields(); });
    connect(add, &QPushButton::clicked, this, [this] {
        pullFields();
        m_screen.addToList();
    });
    connect(modify, &QPushButton::clicked, this, [this] {
        pullFields();
        m_screen.modify();
    });
    return page;
}

QWidget* TFormFTP::buildFilesPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("FilesPage"));
    auto* grid = new QGridLayout(page);
    m_filePages = new QTabWidget(page);
    m_filePages->setObjectName(QStringLiteral("FilePages"));

    // Auto-FTP List.
    auto* autoPage = new QWidget;
    auto* av = new QVBoxLayout(autoPage);
    m_auto = list(autoPage, "ListAutoFTP", true);
    av->addWidget(m_auto);
    auto* ab = new QHBoxLayout;
    QPushButton* autoAdd = button(autoPage, "ButtonAutoAdd", QStringLiteral("Add"));
    QPushButton* autoAll = button(autoPage, "ButtonAutoAddAll", QStringLiteral("Add All"));
    QPushButton* autoRemove =
        button(autoPage, "ButtonAutoRemove", QStringLiteral("Remove from List"));
    QPushButton* autoClear = button(autoPage, "ButtonAutoClear", QStringLiteral("Clear"));
    for (QPushButton* b : {autoAdd, autoAll, autoRemove, autoClear})
        ab->addWidget(b);
    av->addLayout(ab);
    m_filePages->addTab(autoPage, QStringLiteral("Auto-FTP List"));
    connect(autoAdd, &QPushButton::clicked, this,
            [this] { m_screen.addFromAutoList(selectedRows(m_auto)); });
    connect(m_auto, &QListWidget::itemDoubleClicked, this,
            [this] { m_screen.addFromAutoList(selectedRows(m_auto)); });
    connect(autoAll, &QPushButton::clicked, this, [this] { m_screen.addAllFromAutoList(); });
    connect(autoRemove, &QPushButton::clicked, this,
            [this] { m_screen.removeFromAutoList(selectedRows(m_auto)); });
    connect(autoClear, &QPushButton::clicked, this, [this] { m_screen.clearAutoList(); });

    // Projects.
    auto* projectPage = new QWidget;
    auto* pv = new QVBoxLayout(projectPage);
    m_projects = new QComboBox(projectPage);
    m_projects->setObjectName(QStringLiteral("ComboProjects"));
    m_projects->setEditable(true);
    m_projects->setInsertPolicy(QComboBox::NoInsert);
    m_projects->lineEdit()->setPlaceholderText(QStringLiteral("Select a Project"));
    pv->addWidget(m_projects);
    m_outline = new QTreeWidget(projectPage);
    m_outline->setObjectName(QStringLiteral("ProjectOutline"));
    m_outline->setHeaderHidden(true);
    pv->addWidget(m_outline);
    auto* pb = new QHBoxLayout;
    QPushButton* projectAdd = button(projectPage, "ButtonProjectAdd", QStringLiteral("Add"),
                                     QStringLiteral("Add selected webpage to FTP list"));
    QPushButton* projectAll = button(projectPage, "ButtonProjectAddAll", QStringLiteral("Add All"),
                                     QStringLiteral("Add all pages in this project to FTP list"));
    pb->addWidget(projectAdd);
    pb->addWidget(projectAll);
    pv->addLayout(pb);
    m_filePages->addTab(projectPage, QStringLiteral("Projects"));
    connect(m_projects, &QComboBox::activated, this,
            [this](int index) { m_screen.chooseProject(m_projects->itemText(index)); });
    connect(m_projects->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (m_projects->findText(m_projects->currentText()) < 0)
            m_screen.chooseProject(m_projects->currentText());
    });
    connect(projectAdd, &QPushButton::clicked, this, [this] {
        QTreeWidgetItem* item = m_outline->currentItem();
        m_screen.addProjectPage(item ? item->data(0, Qt::UserRole).toInt() : 0);
    });
    connect(projectAll, &QPushButton::clicked, this, [this] { m_screen.addAllProjectPages(); });

    // Files.
    auto* filesPage = new QWidget;
    auto* fv = new QVBoxLayout(filesPage);
    m_drives = new QComboBox(filesPage);
    m_drives->setObjectName(QStringLiteral("ComboDrive"));
    fv->addWidget(m_drives);
    // The folder whose files are listed.
    m_folderLabel = new QLabel(filesPage);
    m_folderLabel->setObjectName(QStringLiteral("LabelFilesFolder"));
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fv->addWidget(m_folderLabel);
    auto* fh = new QHBoxLayout;
    m_folders = list(filesPage, "ListFolders", false);
    m_files = list(filesPage, "ListFiles", true);
    fh->addWidget(m_folders);
    fh->addWidget(m_files);
    fv->addLayout(fh);
    QPushButton* filesAdd = button(filesPage, "ButtonFilesAdd", QStringLiteral("Add"));
    fv->addWidget(filesAdd);
    m_filePages->addTab(filesPage, QStringLiteral("Files"));
    connect(m_drives, &QComboBox::activated, this,
            [this](int index) { setFolder(m_drives->itemText(index)); });
    connect(m_folders, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        setFolder(QDir::cleanPath(FilesTab::joinPath(m_folder, item->text())));
    });
    const auto addFiles = [this] {
        if (!m_files->currentItem())
            return;
        QStringList names;
        for (QListWidgetItem* item : m_files->selectedItems())
            names << item->text();
        m_screen.addFiles(m_folder, names);
    };
    connect(filesAdd, &QPushButton::clicked, this, addFiles);
    connect(m_files, &QListWidget::itemDoubleClicked, this, addFiles);

    grid->addWidget(m_filePages, 0, 0);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Files to transfer:"), page));
    m_transfer = list(page, "ListTransferFiles", true);
    m_transfer->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    right->addWidget(m_transfer);
    auto* tb = new QHBoxLayout;
    QPushButton* remove = button(page, "ButtonRemoveTransfer", QStringLiteral("Remove From List"));
    QPushButton* clear = button(page, "ButtonClearTransfer", QStringLiteral("Clear"));
    tb->addWidget(remove);
    tb->addWidget(clear);
    right->addLayout(tb);
    grid->addLayout(right, 0, 1);
    connect(remove, &QPushButton::clicked, this,
            [this] { m_screen.removeFromTransferList(selectedRows(m_transfer)); });
    connect(clear, &QPushButton::clicked, this, [this] { m_screen.clearTransferList(); });
    return page;
}

QWidget* TFormFTP::buildTransferPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TransferPage"));
    auto* grid = new QGridLayout(page);
    m_hostLabel = new QLabel(page);
    m_hostLabel->setObjectName(QStringLiteral("LabelSelectedHost"));
    grid->addWidget(m_hostLabel, 0, 0, 1, 2);
    m_log = new QPlainTextEdit(page);
    m_log->setObjectName(QStringLiteral("MemoLog"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(20000);
    grid->addWidget(m_log, 1, 0, 1, 2);
    m_status = new QLabel(page);
    m_status->setObjectName(QStringLiteral("LabelStatus"));
    m_bytes = new QLabel(page);
    m_bytes->setObjectName(QStringLiteral("LabelBytes"));
    // The status line takes the width of the page, the byte counter what is left; a long
    // status (a server's refusal) is cut rather than widening a column, so the two remote
    // lists keep their halves of the page.
    auto* statusRow = new QHBoxLayout;
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_bytes);
    grid->addLayout(statusRow, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    m_gauge = new QProgressBar(page);
    m_gauge->setObjectName(QStringLiteral("Gauge"));
    m_gauge->setVisible(false);
    grid->addWidget(m_gauge, 3, 0, 1, 2);
    m_remoteFolder = new QLabel(page);
    m_remoteFolder->setObjectName(QStringLiteral("LabelRemoteFolder"));
    m_remoteFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_remoteFolder, 4, 0, 1, 2);
    m_remoteDirs = list(page, "ListRemoteDirs", false);
    m_remoteFiles = list(page, "ListRemoteFiles", false);
    auto* dirsLabel = new QLabel(QStringLiteral("Remote &folders:"), page);
    auto* filesLabel = new QLabel(QStringLiteral("Remote f&iles:"), page);
    dirsLabel->setBuddy(m_remoteDirs);
    filesLabel->setBuddy(m_remoteFiles);
    grid->addWidget(dirsLabel, 5, 0);
    grid->addWidget(filesLabel, 5, 1);
    grid->addWidget(m_remoteDirs, 6, 0);
    grid->addWidget(m_remoteFiles, 6, 1);
    m_notice = new QLabel(FtpScreen::noticeText(), page);
    m_notice->setObjectName(QStringLiteral("LabelNotice"));
    m_notice->setVisible(false);
    grid->addWidget(m_notice, 7, 0, 1, 2);

    auto* buttons = new QGridLayout;
    QPushButton* connectButton = button(page, "ButtonConnect", QStringLiteral("Connect"));
    QPushButton* disconnectButton = button(page, "ButtonDisconnect", QStringLiteral("Disconnect"));
    QPushButton* transfer = button(page, "ButtonTransfer", QStringLiteral("Transfer Files"));
    QPushButton* stop = button(page, "ButtonStop", QStringLiteral("Stop"),
                               QStringLiteral("Stop at once and close the connection"));
    QPushButton* makeDir = button(page, "ButtonMakeDir", QStringLiteral("Make Dir"));
    QPushButton* removeDir = button(page, "ButtonRemoveDir", QStringLiteral("Remove Dir"));
    QPushButton* rename = button(page, "ButtonRename", QStringLiteral("Rename"));
    QPushButton* del = button(page, "ButtonDeleteFile", QStringLiteral("Delete"));
    QPushButton* refresh = button(page, "ButtonRefresh", QStringLiteral("Refresh"));
    QPushButton* sync = button(
        page, "ButtonSynchronise", QStringLiteral("&Synchronise"),
        QStringLiteral("Compare the site's files with the server's and upload what differs"));
    const QList<QPushButton*> all = {connectButton, disconnectButton, transfer, stop,    makeDir,
                                     removeDir,     rename,           del,      refresh, sync};
    for (int i = 0; i < all.size(); ++i)
        buttons->addWidget(all[i], i / 5, i % 5);
    grid->addLayout(buttons, 8, 0, 1, 2);
    m_connect = connectButton;
    m_disconnect = disconnectButton;
    m_stop = stop;
    // What needs a connection is offered only with one.
    m_serverCommands = {transfer, makeDir, removeDir, rename, del, refresh, sync};
    connect(sync, &QPushButton::clicked, this, &TFormFTP::ButtonSynchroniseClick);
    connect(&m_screen, &FtpScreen::syncReady, this, &TFormFTP::showDifferences,
            Qt::QueuedConnection);

    connect(connectButton, &QPushButton::clicked, this, [this] { m_screen.connectToHost(); });
    connect(disconnectButton, &QPushButton::clicked, this,
            [this] { m_screen.disconnectFromHost(); });
    connect(transfer, &QPushButton::clicked, this, [this] { ButtonTransferClick(); });
    // Acts on the press: a transfer under way is cut off at once.
    connect(stop, &QPushButton::pressed, this, [this] { m_screen.abort(); });
    connect(makeDir, &QPushButton::clicked, this, [this] { m_screen.makeDirectory(); });
    connect(removeDir, &QPushButton::clicked, this,
            [this] { m_screen.removeDirectory(m_remoteDirs->currentRow()); });
    connect(rename, &QPushButton::clicked, this,
            [this] { m_screen.renameFile(m_remoteFiles->currentRow()); });
    connect(del, &QPushButton::clicked, this,
            [this] { m_screen.deleteFile(m_remoteFiles->currentRow()); });
    connect(refresh, &QPushButton::clicked, this, [this] { m_screen.refresh(); });
    connect(m_remoteDirs, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { m_screen.openDirectory(m_remoteDirs->row(item)); });
    return page;
}

QWidget* TFormFTP::buildInstructionsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("InstructionsPage"));
    auto* v = new QVBoxLayout(page);
    auto* text = new QPlainTextEdit(page);
    text->setObjectName(QStringLiteral("MemoInstructions"));
    text->setReadOnly(true);
    text->setPlainText(QStringLiteral(
        "Publishing your pages takes three steps, one for each numbered page of this screen.\n\n"
        "1. Select FTP Host: pick a host profile from the list, or fill in the Profile Name, "
        "Host Name, User Name and Password and press \"Add to List\" to keep it for next time. "
        "Select the profile you want to use.\n\n"
        "2. Select Files to Transfer: the Auto-FTP List holds the files you saved or added "
        "with \"+FTP\". Move them to the transfer list with \"Add\" or \"Add All\". You can "
        "also add the pages of a project, or any files from a folder.\n\n"
        "3. Transfer Files: press \"Connect\", go to the server directory the files belong "
        "in (double-click a directory, \"..\" goes up), then press \"Transfer Files\". Every "
        "file goes into the current directory under its own name, except when the profile "
        "names a site folder: a file below it goes to the same folders below the directory "
        "the login starts in, and missing folders are made. \"Stop\" ends a transfer at "
        "once. Press \"Disconnect\" when you are done, then \"Close\".\n\n"
        "Synchronise compares your site with the server: the pages of the project chosen on "
        "page 2 and the images they use, else the profile's site folder, else a folder you "
        "choose. It lists what is new or newer here, newer on the server, or missing here; "
        "tick what to upload (new and newer files are ticked for you). Files missing here are "
        "deleted on the server only when you turn on \"Delete on server\" and tick them."));
    v->addWidget(text);
    return page;
}

void TFormFTP::pullFields() {
    FtpConnectionPage& page = m_screen.connection();
    HostProfile f = page.fields();
    f.profile = m_profile->text();
    f.host = m_host->text();
    f.user = m_user->text();
    f.password = m_password->text();
    f.account = m_account->text();
    f.directory = m_directory->text();
    f.siteFolder = m_siteFolder->text();
    f.dataConnection = static_cast<TDataConnection>(m_dataConnection->currentData().toInt());
    f.security = static_cast<TFtpSecurity>(m_security->currentData().toInt());
    f.protocol = static_cast<HostProtocol>(m_protocol->currentData().toInt());
    page.setFields(f);
    page.setSavePassword(m_savePassword->isChecked());
}

void TFormFTP::BrowseSiteFolderClick() {
    const QString start = m_siteFolder->text().isEmpty() ? m_home : m_siteFolder->text();
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Site folder"),
                                                             start, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    m_siteFolder->setText(folder);
    pullFields();
}

void TFormFTP::showConnection() {
    const FtpConnectionPage& page = m_screen.connection();
    const HostProfile& f = page.fields();
    showText(m_profile, f.profile);
    showText(m_host, f.host);
    showText(m_user, f.user);
    showText(m_password, f.password);
    showText(m_account, f.account);
    showText(m_directory, f.directory);
    showText(m_siteFolder, f.siteFolder);
    showText(m_fingerprint, f.fingerprint);
    showChoice(m_dataConnection, f.dataConnection);
    showChoice(m_security, f.security);
    showChoice(m_protocol, f.protocol);
    // Data connections and TLS are FTP's: SFTP has neither to choose.
    m_dataConnection->setEnabled(f.protocol != HostProtocol::Sftp);
    m_security->setEnabled(f.protocol != HostProtocol::Sftp);
    showEntries(m_hosts, page.hostList());
    if (page.selectedHost() >= 0 && m_hosts->currentRow() != page.selectedHost()) {
        const QSignalBlocker quiet(m_hosts);
        m_hosts->setCurrentRow(page.selectedHost());
    }
    m_hostLabel->setText(page.selectedHostLabel());

    // The server commands are offered while connected and nothing runs; Stop while a
    // connection is there or being made.
    const bool connected = page.connected();
    const bool idle = !page.busy();
    for (QPushButton* b : m_serverCommands)
        b->setEnabled(connected && idle);
    m_connect->setEnabled(!connected && idle);
    m_disconnect->setEnabled(connected);
    m_stop->setEnabled(connected || !idle);
    m_notice->setVisible(page.noticeShown());
    m_close->setEnabled(page.closeEnabled());
    showRemoteFolder();
}

void TFormFTP::showLocalFiles() {
    const FtpLocalFilesPage& page = m_screen.localFiles();
    showEntries(m_transfer, page.transferList());
    showEntries(m_auto, page.autoList());

    // The project's outline, expanded.
    const std::vector<ProjectPage>& pages = page.projectPages();
    if (pages == m_shownPages)
        return;
    m_shownPages = pages;
    m_outline->clear();
    std::vector<QTreeWidgetItem*> parents;
    int n = 0;
    for (const ProjectPage& p : pages) {
        ++n;
        const size_t level = static_cast<size_t>(std::max(1, p.level));
        parents.resize(std::min(parents.size(), level - 1));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(m_outline) : new QTreeWidgetItem(parents.back());
        item->setText(0, p.title);
        item->setData(0, Qt::UserRole, n);
        parents.push_back(item);
    }
    m_outline->expandAll();
}

void TFormFTP::showRemote() {
    const FtpRemotePage& page = m_screen.remote();
    showEntries(m_remoteDirs, page.directories());
    showEntries(m_remoteFiles, page.files());
    showRemoteFolder();
}

void TFormFTP::showRemoteFolder() {
    m_remoteFolder->setText(m_screen.connected()
                                ? QStringLiteral("Remote folder: ") + m_screen.remote().folder()
                                : QStringLiteral("Remote folder: (not connected)"));
}

void TFormFTP::showTransfer() {
    const FtpTransferPage& page = m_screen.transfer();
    const QStringList& log = page.log();
    if (log.size() < m_logShown) {
        m_log->clear();
        m_logShown = 0;
    }
    if (m_logShown < log.size()) {
        for (; m_logShown < log.size(); ++m_logShown)
            m_log->appendPlainText(log.at(m_logShown));
        // The newest line stays in sight, also when lines came in while another page showed.
        m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
    }
    m_status->setText(page.statusLine());
    m_status->setToolTip(page.statusLine());
    m_bytes->setText(page.byteCounter());
    m_gauge->setMaximum(std::max(1, page.gaugeMaximum()));
    m_gauge->setValue(page.gaugePosition());
    m_gauge->setVisible(page.gaugeVisible());
}

void TFormFTP::setFolder(const QString& folder) {
    m_folder = folder.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(folder);
    m_folderLabel->setText(m_folder);
    m_folders->clear();
    if (!QDir(m_folder).isRoot())
        m_folders->addItem(QStringLiteral(".."));
    // Listed by the bytes on disk, so that names in Latin-1 are there too; hidden ones are not.
    QStringList folders;
    QStringList files;
    for (const FolderEntry& e : listFolder(m_folder).entries) {
        if (e.name.startsWith(u'.'))
            continue;
        if (e.kind == FolderEntry::Kind::Folder)
            folders << e.name;
        else if (e.kind == FolderEntry::Kind::File)
            files << e.name;
    }
    folders.sort();
    files.sort();
    m_folders->addItems(folders);
    m_files->clear();
    m_files->addItems(files);
}

void TFormFTP::setBusyPointer(bool busy) {
    if (busy == m_pointerSet)
        return;
    m_pointerSet = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QList<int> TFormFTP::selectedRows(const QListWidget* list) {
    QList<int> rows;
    for (QListWidgetItem* item : list->selectedItems())
        rows << list->row(item);
    return rows;
}

void TFormFTP::ButtonCloseClick() {
    if (m_screen.close()) {
        setBusyPointer(false);
        accept();
    }
}

void TFormFTP::ButtonTransferClick() {
    // Only a transfer that would start is checked: the screen's own messages come first.
    const QStringList& files = m_screen.localFiles().transferList();
    if (uploadCheck && m_screen.connected() && !m_screen.busy() && !files.isEmpty() &&
        !uploadCheck->checkBeforeUpload(files, m_screen.connection().currentHost().siteFolder))
        return;
    m_screen.transferFiles();
}

void TFormFTP::ButtonSynchroniseClick() {
    if (m_screen.synchronise())
        return;
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Folder to synchronise"), m_folder, QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        m_screen.synchronise(folder);
}

void TFormFTP::showDifferences() {
    if (m_screen.syncItems().isEmpty())
        return;
    TFormSync form(m_screen, this);
    if (onSyncDialog)
        onSyncDialog(form);
    else
        form.exec();
    if (form.result() != QDialog::Accepted)
        return;
    // Only what goes up is checked; deletes alone need no check.
    const QStringList uploads = m_screen.syncUploads();
    if (uploadCheck && !uploads.isEmpty() &&
        !uploadCheck->checkBeforeUpload(uploads, m_screen.syncRoot()))
        return;
    m_screen.uploadSync();
}

void TFormFTP::reject() {
    if (m_close->isEnabled())
        ButtonCloseClick();
}

void TFormFTP::closeEvent(QCloseEvent* event) {
    // Only "Close" leaves the screen.
    event->ignore();
}

// ---- the image-folder dialog ----

TFormFTPImageLoc::TFormFTPImageLoc(FileChooser& chooser, Prompter& prompter, const QString& current,
                                   const QString& startFolder, QWidget* parent)
    : QDialog(parent), m_chooser(chooser), m_prompter(prompter), m_start(startFolder) {
    setObjectName(QStringLiteral("FormFTPImageLoc"));
    setWindowTitle(QStringLiteral("Image Directory"));
    auto* v = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral(
            "Please enter the directory where your image files for this page are located by "
            "clicking the SELECT button below. Then go to the directory on your hard drive and "
            "double-click any image file -- the directory will be automatically returned "
            "below."),
        this);
    text->setWordWrap(true);
    v->addWidget(text);
    auto* form = new QFormLayout;
    m_field = new QLineEdit(current, this);
    m_field->setObjectName(QStringLiteral("EditImageLocation"));
    m_field->setReadOnly(true);
    form->addRow(QStringLiteral("Image Location:"), m_field);
    v->addLayout(form);
    auto* buttons = new QHBoxLayout;
    QPushButton* select = button(this, "ButtonSelect", QStringLiteral("Select Directory"));
    QPushButton* ok = button(this, "ButtonOK", QStringLiteral("&OK"));
    QPushButton* cancel = button(this, "ButtonCancel", QStringLiteral("&Cancel"));
    buttons->addWidget(select);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    v->addLayout(buttons);
    connect(select, &QPushButton::clicked, this, &TFormFTPImageLoc::SelectClick);
    connect(ok, &QPushButton::clicked, this, &TFormFTPImageLoc::OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormFTPImageLoc::SelectClick() {
    if (const std::optional<QString> folder = FtpList::chooseImageFolder(m_chooser, m_start))
        m_field->setText(*folder);
}

void TFormFTPImageLoc::OkClick() {
    // Without a folder the message tells the user to choose one or press Cancel: the dialog
    // stays for that.
    const std::optional<QString> folder = FtpList::acceptImageFolder(m_field->text(), m_prompter);
    if (!folder)
        return;
    m_result = *folder;
    accept();
}
