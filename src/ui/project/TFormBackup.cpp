// TFormBackup: the "Backup Project Files" dialog.
#include "ui/project/TFormBackup.h"

#include "app/AppState.h"
#include "platform/UiPump.h"
#include "ui/widgets/DialogParts.h"
#include "ui/widgets/FolderBrowser.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TFormBackup::TFormBackup(AppState& state, Prompter& prompter, QWidget* parent,
                         const QString& openProjectPath)
    : QDialog(parent), m_pump(std::make_unique<EventLoopPump>()),
      m_model(std::make_unique<ProjectBackup>(state.programDirectory(), prompter, *m_pump)) {
    setObjectName(QStringLiteral("TFormBackup"));
    setWindowTitle(QStringLiteral("Backup Project Files"));
    setModal(true);
    auto* v = new QVBoxLayout(this);
    v->addWidget(wrapped(QStringLiteral("Use this function to backup all the HTML files "
                                        "associated with this project. Also creates a backup of "
                                        "the project data files."),
                         this));

    auto* g1 = new QGroupBox(QStringLiteral("#1  Select Project to Backup:  "), this);
    auto* l1 = new QVBoxLayout(g1);
    m_projects = named(new QComboBox(g1), "ComboProjects");
    m_projects->setEditable(true);
    m_projects->setInsertPolicy(QComboBox::NoInsert);
    l1->addWidget(m_projects);
    v->addWidget(g1);

    auto* middle = new QHBoxLayout;
    auto* g2 = new QGroupBox(QStringLiteral("#2 Select Backup Location:  "), this);
    auto* l2 = new QVBoxLayout(g2);
    m_browser = new FolderBrowser(state.homeDirectory(), "DriveComboBox1", "DirectoryListBox1", g2);
    l2->addWidget(m_browser);
    middle->addWidget(g2, 1);
    auto* g3 = new QGroupBox(QStringLiteral("#3 Create New Sub-directory? "), this);
    auto* l3 = new QVBoxLayout(g3);
    m_newSub = named(new QLineEdit(g3), "EditNewSub");
    m_create = named(new QPushButton(QStringLiteral("Create"), g3), "ButtonNewSub");
    l3->addWidget(m_newSub);
    l3->addWidget(m_create);
    l3->addStretch();
    middle->addWidget(g3, 1);
    v->addLayout(middle);

    v->addWidget(new QLabel(QStringLiteral("All HTML files connected to this project will be "
                                           "backed up to this location:"),
                            this));
    m_path = named(new QLineEdit(this), "EditBackupPath");
    v->addWidget(m_path);

    auto* g4 = new QGroupBox(QStringLiteral("#4 Finish:  "), this);
    auto* l4 = new QHBoxLayout(g4);
    m_backup = named(new QPushButton(QStringLiteral("Backup NOW"), g4), "BitBtnBackup");
    m_backup->setEnabled(false);
    m_strip =
        std::make_unique<ProgressStrip>("Bar1", "ButtonStop", g4, [this] { m_model->stop(); });
    l4->addWidget(m_backup);
    l4->addWidget(m_strip->bar(), 1);
    l4->addWidget(m_strip->stopButton());
    v->addWidget(g4);
    v->addWidget(wrapped(QStringLiteral("Restoring a project: To restore a backed up project, "
                                        "copy the HTML files back to your default HTML "
                                        "directory, and the .FIL and .OUT project files back to "
                                        "the \\QUILLON\\PROJECTS directory."),
                         this));
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    m_close = named(new QPushButton(QStringLiteral("&Close"), this), "BitBtn1");
    closeRow->addWidget(m_close);
    v->addLayout(closeRow);
    auto* status = named(new QStatusBar(this), "StatusBar1");
    status->setSizeGripEnabled(false);
    m_status = named(new QLabel(ProjectBackup::statusText(), status), "StatusPanel");
    status->addWidget(m_status, 1);
    v->addWidget(status);
    for (QPushButton* b : {m_create, m_backup, m_close})
        b->setAutoDefault(false);

    // The folder list starts in the program's backup folder.
    m_browser->setFolder(m_model->backupFolder());
    m_model->open(state.project().projectFileName, m_browser->folder(), openProjectPath);
    for (const ProjectBackup::Project& p : m_model->projects())
        m_projects->addItem(p.shown);
    m_projects->setCurrentIndex(-1);
    m_projects->setEditText(QString());
    if (!m_model->project().isEmpty())
        m_projects->setCurrentIndex(m_projects->findText(m_model->project()));
    pushFields();

    connect(m_projects, &QComboBox::activated, this,
            [this](int index) { chooseProject(m_projects->itemText(index)); });
    connect(m_projects->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { chooseProject(m_projects->currentText()); });
    connect(m_browser, &FolderBrowser::folderChanged, this, [this](const QString& folder) {
        m_model->changeFolder(folder);
        pushFields();
    });
    connect(m_path, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_model->editBackupPath(text);
        m_backup->setEnabled(m_model->backupEnabled());
    });
    connect(m_create, &QPushButton::clicked, this, &TFormBackup::createSubFolder);
    connect(m_backup, &QPushButton::clicked, this, &TFormBackup::backupNow);
    connect(m_close, &QPushButton::clicked, this, &TFormBackup::reject);
    resize(560, 560);
}

TFormBackup::~TFormBackup() = default;

QProgressBar* TFormBackup::bar() const {
    return m_strip->bar();
}

void TFormBackup::pushFields() {
    m_newSub->setText(m_model->newSub);
    m_path->setText(m_model->backupPath);
    m_backup->setEnabled(m_model->backupEnabled());
    m_status->setText(m_model->status());
}

void TFormBackup::chooseProject(const QString& text) {
    m_model->chooseProject(text);
    pushFields();
}

void TFormBackup::createSubFolder() {
    m_model->newSub = m_newSub->text();
    m_model->createSubFolder();
    m_browser->refresh();
    pushFields();
}

void TFormBackup::backupNow() {
    m_model->backupPath = m_path->text();
    m_model->backupRun(*this);
    m_path->setText(m_model->backupPath);
    if (m_closeAfterRun)
        QDialog::reject();
}

void TFormBackup::runStarted(int barMaximum) {
    m_strip->start(barMaximum);
    m_backup->setEnabled(false);
}

void TFormBackup::fileStarted(int index) {
    m_strip->step(index);
}

void TFormBackup::runEnded() {
    m_strip->end();
    m_backup->setEnabled(m_model->backupEnabled());
}

void TFormBackup::setStatus(const QString& text) {
    m_status->setText(text);
}

void TFormBackup::reject() {
    if (m_model->running()) {
        m_model->stop();
        m_closeAfterRun = true;
        return;
    }
    QDialog::reject();
}
