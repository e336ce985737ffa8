// TFormSync: the rows of FtpScreen::syncItems(); ticks go straight to the screen.
#include "ui/publish/TFormSync.h"

#include "publish/FtpScreen.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString sizeText(qint64 size) {
    return size < 0 ? QString() : QString::number(size);
}

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QString();
}

} // namespace

TFormSync::TFormSync(FtpScreen& screen, QWidget* parent) : QDialog(parent), m_screen(screen) {
    setObjectName(QStringLiteral("FormSync"));
    setWindowTitle(QStringLiteral("Synchronise"));
    resize(860, 480);
    auto* v = new QVBoxLayout(this);
    auto* heading = new QLabel(
        QStringLiteral("What differs between the files here and on the server. Ticked files "
                       "are uploaded; files missing here are deleted on the server only when "
                       "\"Delete on server\" is on and they are ticked."),
        this);
    heading->setWordWrap(true);
    v->addWidget(heading);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListDifferences"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Difference"),
                             QStringLiteral("Size here"), QStringLiteral("Time here"),
                             QStringLiteral("Size there"), QStringLiteral("Time there")});
    v->addWidget(m_list);
    m_delete = new QCheckBox(QStringLiteral("&Delete on server the files missing here"), this);
    m_delete->setObjectName(QStringLiteral("CheckDeleteOnServer"));
    v->addWidget(m_delete);
    auto* row = new QHBoxLayout;
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("LabelTicked"));
    row->addWidget(m_count, 1);
    m_upload = new QPushButton(QStringLiteral("&Upload"), this);
    m_upload->setObjectName(QStringLiteral("ButtonSyncUpload"));
    m_upload->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("ButtonSyncCancel"));
    row->addWidget(m_upload);
    row->addWidget(cancel);
    v->addLayout(row);

    fill();
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (m_filling || column != 0)
            return;
        m_screen.setSyncTicked(m_list->indexOfTopLevelItem(item),
                               item->checkState(0) == Qt::Checked);
        fill();
    });
    connect(m_delete, &QCheckBox::toggled, this, [this](bool on) {
        m_screen.setDeleteOnServer(on);
        fill();
    });
    connect(m_upload, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_list->setFocus();
}

void TFormSync::fill() {
    m_filling = true;
    const QList<SyncItem>& items = m_screen.syncItems();
    if (m_list->topLevelItemCount() != items.size()) {
        m_list->clear();
        for (qsizetype i = 0; i < items.size(); ++i)
            m_list->addTopLevelItem(new QTreeWidgetItem);
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        const SyncItem& s = items.at(i);
        QTreeWidgetItem* row = m_list->topLevelItem(static_cast<int>(i));
        const bool missing = s.state == SyncItem::State::MissingHere;
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (!missing || m_screen.deleteOnServer())
            flags |= Qt::ItemIsUserCheckable;
        row->setFlags(flags);
        row->setCheckState(0, s.ticked ? Qt::Checked : Qt::Unchecked);
        row->setText(0, s.relative);
        row->setText(1,
                     SyncItem::stateText(s.state) +
                         (missing && s.ticked ? QStringLiteral(": delete on server") : QString()));
        row->setText(2, sizeText(s.localSize));
        row->setText(3, timeText(s.localTime));
        row->setText(4, sizeText(s.remoteSize));
        row->setText(5, timeText(s.remoteTime));
    }
    for (int c = 0; c < m_list->columnCount(); ++c)
        m_list->resizeColumnToContents(c);
    m_filling = false;
    showCount();
}

void TFormSync::showCount() {
    const qsizetype uploads = m_screen.syncUploads().size();
    const qsizetype deletes = m_screen.syncDeletes().size();
    m_count->setText(
        QStringLiteral("%1 to upload, %2 to delete on the server").arg(uploads).arg(deletes));
    m_upload->setEnabled(uploads + deletes > 0);
}
