// TFormBigReplace: the "Extended Replace" dialog.
#include "ui/services/TFormBigReplace.h"

#include "app/AppState.h"
#include "platform/FileChooser.h"
#include "platform/UiPump.h"
#include "ui/widgets/DialogParts.h"
#include "ui/widgets/ElidedLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

TFormBigReplace::TFormBigReplace(AppState& state, Prompter& prompter, FileChooser& chooser,
                                 QWidget* parent)
    : QDialog(parent), m_pump(std::make_unique<EventLoopPump>()),
      m_model(std::make_unique<ExtendedReplace>(state.programDirectory(), prompter, *m_pump)),
      m_chooser(chooser), m_addFolderStart(state.settings().lastHtmlDirectory) {
    setObjectName(QStringLiteral("TFormBigReplace"));
    setWindowTitle(QStringLiteral("Extended Replace"));
    setModal(true);
    auto* v = new QVBoxLayout(this);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Replace:"), this), 0, 0);
    m_text = named(new QLineEdit(this), "EditText");
    fields->addWidget(m_text, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("With:"), this), 1, 0);
    m_replacement = named(new QLineEdit(this), "EditReplacement");
    fields->addWidget(m_replacement, 1, 1);
    m_case = named(new QCheckBox(QStringLiteral("Match Case?"), this), "CheckCase");
    fields->addWidget(m_case, 2, 1);
    v->addLayout(fields);

    auto* where = named(new QGroupBox(QStringLiteral("Where? "), this), "GroupWhere");
    auto* wg = new QGridLayout(where);
    m_radioProj =
        named(new QRadioButton(QStringLiteral("Selected Project (below)"), where), "RadioProj");
    m_radioFiles =
        named(new QRadioButton(QStringLiteral("Selected Files (below)"), where), "RadioFiles");
    m_radioProj->setChecked(true);
    wg->addWidget(m_radioProj, 0, 0);
    wg->addWidget(m_radioFiles, 0, 1);
    wg->addWidget(new QLabel(QStringLiteral("Click to select a project"), where), 1, 0);
    m_projects = named(new QComboBox(where), "ComboProjects");
    m_projects->setPlaceholderText(QStringLiteral("Select a Project"));
    for (const ProjectEntry& e : m_model->projects())
        m_projects->addItem(e.shown);
    const QString open = m_model->shownProject(state.project().projectFileName);
    m_projects->setCurrentIndex(open.isEmpty() ? -1 : m_projects->findText(open));
    wg->addWidget(m_projects, 2, 0);
    m_files = named(new QListWidget(where), "ListBox1");
    wg->addWidget(m_files, 1, 1, 3, 1);
    auto* fileButtons = new QHBoxLayout;
    m_addFile = named(new QPushButton(QStringLiteral("Add File"), where), "ButtonAddFile");
    m_addFolder =
        named(new QPushButton(QStringLiteral("Add Fol&der..."), where), "ButtonAddFolder");
    m_addFolder->setToolTip(
        QStringLiteral("Add every HTML file of a folder and of the folders inside it"));
    m_remove = named(new QPushButton(QStringLiteral("Re&move"), where), "ButtonRemove");
    fileButtons->addWidget(m_addFile);
    fileButtons->addWidget(m_addFolder);
    fileButtons->addWidget(m_remove);
    wg->addLayout(fileButtons, 4, 1);
    wg->addWidget(
        wrapped(QStringLiteral("Hint: If you regularly replace text in a specific list of files, "
                               "create a separate project for them so you can quickly select "
                               "them from the Project list to the left, rather than selecting "
                               "them individually."),
                where),
        3, 0, 2, 1);
    v->addWidget(where);

    auto* backup = named(new QGroupBox(QStringLiteral("Backup Option "), this), "GroupBackup");
    auto* bg = new QGridLayout(backup);
    m_backup = named(new QCheckBox(QStringLiteral("Backup all files before replacing"), backup),
                     "CheckBackup");
    bg->addWidget(m_backup, 0, 0, 1, 2);
    bg->addWidget(new QLabel(QStringLiteral("Create this new directory:"), backup), 1, 0);
    m_backupDir = named(new QLineEdit(m_model->backupDir, backup), "EditBackupDir");
    bg->addWidget(m_backupDir, 1, 1);
    bg->addWidget(wrapped(QStringLiteral("NOTE: Files will be copied to the \\BACKUP directory "
                                         "in your Quillon Pro directory. A new directory named "
                                         "after today's date (example: \\10_12_97) will be "
                                         "created unless another is specified above."),
                          backup),
                  2, 0, 1, 2);
    v->addWidget(backup);

    // What a run did to each file, or what a preview found: as long a list as it needs, in a
    // box of its own that scrolls.
    m_results = named(new QListWidget(this), "ListResults");
    m_results->setMinimumHeight(90);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    v->addWidget(m_results, 1);

    auto* buttons = new QHBoxLayout;
    m_strip =
        std::make_unique<ProgressStrip>("Bar1", "ButtonStop", this, [this] { m_model->stop(); });
    buttons->addWidget(m_strip->bar(), 1);
    buttons->addWidget(m_strip->stopButton());
    buttons->addStretch();
    m_preview = named(new QPushButton(QStringLiteral("Pre&view"), this), "ButtonPreview");
    m_preview->setToolTip(QStringLiteral("Show the first matches without changing any file"));
    m_replaceAll = named(new QPushButton(QStringLiteral("&Replace All"), this), "Button1");
    m_exit = named(new QPushButton(QStringLiteral("E&xit"), this), "ButtonExit");
    for (QPushButton* b : {m_addFile, m_addFolder, m_remove, m_preview, m_replaceAll, m_exit})
        b->setAutoDefault(false);
    buttons->addWidget(m_preview);
    buttons->addWidget(m_replaceAll);
    buttons->addWidget(m_exit);
    v->addLayout(buttons);

    auto* status = named(new QStatusBar(this), "StatusBar1");
    status->setSizeGripEnabled(false);
    // Both panels are cut to their width: a long text never widens the dialog. The status keeps
    // its width (a label that cuts its text takes no room of its own in a layout).
    m_status = named(new ElidedLabel(status), "StatusPanel");
    m_status->setText(QStringLiteral("Status:"));
    m_status->setPreferredWidth(120);
    m_status->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_status->setFixedWidth(120);
    m_report = named(new ElidedLabel(status), "ReportPanel");
    status->addWidget(m_status);
    status->addWidget(m_report, 1);
    v->addWidget(status);

    setMode(true);
    connect(m_radioProj, &QRadioButton::toggled, this, [this](bool on) { setMode(on); });
    connect(m_addFile, &QPushButton::clicked, this, &TFormBigReplace::addFile);
    connect(m_addFolder, &QPushButton::clicked, this, &TFormBigReplace::addFolder);
    connect(m_preview, &QPushButton::clicked, this, &TFormBigReplace::preview);
    connect(m_remove, &QPushButton::clicked, this, &TFormBigReplace::removeFile);
    connect(m_replaceAll, &QPushButton::clicked, this, &TFormBigReplace::replaceAll);
    connect(m_exit, &QPushButton::clicked, this, &TFormBigReplace::reject);
    resize(640, 600);
}

TFormBigReplace::~TFormBigReplace() = default;

QProgressBar* TFormBigReplace::bar() const {
    return m_strip->bar();
}

QPushButton* TFormBigReplace::stopButton() const {
    return m_strip->stopButton();
}

void TFormBigReplace::setMode(bool projects) {
    m_projects->setEnabled(projects);
    m_files->setEnabled(!projects);
    m_addFile->setEnabled(!projects);
    m_addFolder->setEnabled(!projects);
    m_remove->setEnabled(!projects);
}

void TFormBigReplace::showFiles() {
    const QStringList& files = m_model->files;
    for (int i = m_files->count(); i < files.size(); ++i)
        m_files->addItem(files[i]);
}

void TFormBigReplace::addFile() {
    FileDialogRequest r;
    r.title = QStringLiteral("Add File");
    r.filter = ExtendedReplace::addFileFilter();
    r.initialDirectory = m_addFolderStart;
    const std::optional<QString> chosen = m_chooser.openFile(r);
    if (!chosen)
        return;
    const QString path = QFileInfo(*chosen).absoluteFilePath();
    m_addFolderStart = QFileInfo(path).absolutePath() + QLatin1Char('/');
    // A file listed already stays once; it is shown selected.
    if (!m_model->addFile(path)) {
        const QList<QListWidgetItem*> there = m_files->findItems(path, Qt::MatchExactly);
        if (!there.isEmpty())
            m_files->setCurrentItem(there.first());
        return;
    }
    showFiles();
}

void TFormBigReplace::addFolder() {
    FileDialogRequest r;
    r.title = QStringLiteral("Add Folder");
    r.initialDirectory = m_addFolderStart;
    const std::optional<QString> chosen = m_chooser.chooseFolder(r);
    if (!chosen)
        return;
    m_addFolderStart = *chosen;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int added = m_model->addFolder(*chosen);
    QApplication::restoreOverrideCursor();
    showFiles();
    setReport(added == 1 ? QStringLiteral("1 file added from %1").arg(*chosen)
                         : QStringLiteral("%1 files added from %2").arg(added).arg(*chosen));
}

void TFormBigReplace::removeFile() {
    const int row = m_files->currentRow();
    if (row >= 0 && m_files->currentItem() && m_files->currentItem()->isSelected()) {
        delete m_files->takeItem(row);
        m_model->files.removeAt(row);
    }
}

void TFormBigReplace::takeFields() {
    ExtendedReplace& m = *m_model;
    m.text = m_text->text();
    m.replacement = m_replacement->text();
    m.matchCase = m_case->isChecked();
    m.projectMode = m_radioProj->isChecked();
    m.project = m_projects->currentIndex() >= 0 ? m_projects->currentText() : QString();
    m.backup = m_backup->isChecked();
    m.backupDir = m_backupDir->text();
}

void TFormBigReplace::preview() {
    takeFields();
    m_model->preview(*this);
    if (m_closeAfterRun)
        QDialog::reject();
}

void TFormBigReplace::replaceAll() {
    ExtendedReplace& m = *m_model;
    takeFields();
    m.run(*this);
    // The date put in for an empty name shows in the field.
    m_backupDir->setText(m.backupDir);
    if (m_closeAfterRun)
        QDialog::reject();
}

void TFormBigReplace::runStarted(int fileCount) {
    m_strip->start(fileCount);
    // Exit stays: it stops the run and then closes.
    m_replaceAll->setEnabled(false);
    m_preview->setEnabled(false);
}

void TFormBigReplace::fileStarted(int index) {
    m_strip->step(index);
}

void TFormBigReplace::runEnded() {
    m_strip->end();
    m_replaceAll->setEnabled(true);
    m_preview->setEnabled(true);
}

void TFormBigReplace::setStatus(const QString& text) {
    m_status->setText(text);
}

void TFormBigReplace::setReport(const QString& text) {
    m_report->setText(text);
}

void TFormBigReplace::clearResults() {
    m_results->clear();
}

void TFormBigReplace::addResult(const QString& line) {
    m_results->addItem(line);
}

void TFormBigReplace::reject() {
    // Closing while files are rewritten: the run stops after the file in hand, then the
    // dialog closes.
    if (m_model->running()) {
        m_model->stop();
        m_closeAfterRun = true;
        return;
    }
    QDialog::reject();
}
