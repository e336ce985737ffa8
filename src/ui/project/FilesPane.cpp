// FilesPane: browsing folders and files on the Files tab.
#include "ui/project/FilesPane.h"

#include "project/FilesTab.h"
#include "ui/widgets/DialogParts.h"
#include "ui/widgets/ElidedLabel.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

FilesPane::FilesPane(FilesTab& logic, const QString& homeDirectory, const QString& filter,
                     QWidget* parent)
    : QWidget(parent), m_logic(logic), m_home(homeDirectory) {
    setObjectName(QStringLiteral("FilesPane"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("DriveBox"));
    m_drives->addItems(FilesTab::drives(homeDirectory));
    // The folder shown, whole when it fits, else cut in the middle.
    m_path = new ElidedLabel(this);
    m_path->setObjectName(QStringLiteral("FolderPath"));
    m_folders = new QListWidget(this);
    m_folders->setObjectName(QStringLiteral("FolderList"));
    m_types = new QComboBox(this);
    m_types->setObjectName(QStringLiteral("TypeFilter"));
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("FileList"));
    setFilter(filter);
    v->addWidget(m_drives);
    v->addWidget(m_path);
    v->addWidget(m_folders, 1);
    v->addWidget(m_types);
    v->addWidget(m_files, 2);

    connect(m_drives, &QComboBox::activated, this,
            [this](int index) { setFolder(m_drives->itemText(index)); });
    connect(m_folders, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        setFolder(QDir::cleanPath(FilesTab::joinPath(m_folder, item->text())));
    });
    connect(m_types, &QComboBox::currentIndexChanged, this, [this] { refillFiles(); });
    connect(m_files, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { m_logic.clickFile(m_folder, item->text()); });
    connect(m_files, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { m_logic.doubleClickFile(m_folder, item->text()); });
}

void FilesPane::setFilter(const QString& filter) {
    const int chosen = m_types->currentIndex();
    {
        const QSignalBlocker quiet(m_types);
        m_types->clear();
        m_patterns.clear();
        const QStringList parts = filter.split(QLatin1Char('|'));
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            m_types->addItem(parts[i]);
            m_patterns << parts[i + 1];
        }
        m_types->setCurrentIndex(chosen >= 0 && chosen < m_types->count() ? chosen : 0);
    }
    refillFiles();
}

void FilesPane::activate() {
    setFolder(m_logic.startFolder());
}

void FilesPane::setFolder(const QString& folder) {
    m_folder = folder.isEmpty() ? QStringLiteral("/") : folder;
    m_path->setText(m_folder);
    m_drives->setCurrentIndex(m_drives->findText(FilesTab::driveOf(m_folder, m_home)));
    showFolders(m_folders, m_folder, FilesTab::listFolders(m_folder));
    refillFiles();
}

void FilesPane::refillFiles() {
    m_files->clear();
    const int type = m_types->currentIndex();
    if (m_folder.isEmpty() || type < 0 || type >= m_patterns.size())
        return;
    m_files->addItems(FilesTab::listFiles(m_folder, m_patterns[type]));
}
