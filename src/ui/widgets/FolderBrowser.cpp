// FolderBrowser: drive box and folder list.
#include "ui/widgets/FolderBrowser.h"

#include "project/FilesTab.h"
#include "ui/widgets/DialogParts.h"
#include "ui/widgets/ElidedLabel.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

FolderBrowser::FolderBrowser(const QString& homeDirectory, const char* driveName,
                             const char* folderName, QWidget* parent)
    : QWidget(parent), m_home(homeDirectory) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    m_drives = new QComboBox(this);
    m_drives->setObjectName(QLatin1String(driveName));
    m_drives->addItems(FilesTab::drives(homeDirectory));
    m_path = new ElidedLabel(this);
    m_path->setObjectName(QLatin1String(folderName) + QStringLiteral("Path"));
    m_folders = new QListWidget(this);
    m_folders->setObjectName(QLatin1String(folderName));
    v->addWidget(m_drives);
    v->addWidget(m_path);
    v->addWidget(m_folders, 1);
    connect(m_drives, &QComboBox::activated, this,
            [this](int index) { setFolder(m_drives->itemText(index)); });
    connect(m_folders, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        setFolder(QDir::cleanPath(FilesTab::joinPath(m_folder, item->text())));
    });
}

void FolderBrowser::setFolder(const QString& folder) {
    QString f = folder.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(folder);
    m_folder = f;
    refresh();
    emit folderChanged(m_folder);
}

void FolderBrowser::refresh() {
    m_path->setText(m_folder);
    m_drives->setCurrentIndex(m_drives->findText(FilesTab::driveOf(m_folder, m_home)));
    showFolders(m_folders, m_folder, FilesTab::listFolders(m_folder));
}
