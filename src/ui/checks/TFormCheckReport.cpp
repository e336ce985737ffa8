// The report window of the page checks.
#include "ui/checks/TFormCheckReport.h"

#include "checks/CheckRuns.h"
#include "ui/widgets/DialogParts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton* addButton(QHBoxLayout* row, QWidget* parent, const char* name, const QString& text) {
    QPushButton* b = button(text, QLatin1String(name), parent);
    row->addWidget(b);
    return b;
}

enum Role { PageRole = Qt::UserRole, LineRole };

} // namespace

TFormCheckReport::TFormCheckReport(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode) {
    setObjectName(QStringLiteral("FormCheckReport"));
    setWindowTitle(mode == Mode::BeforeUpload ? CheckTexts::uploadCheckTitle()
                                              : CheckTexts::checkLinksTitle());
    auto* v = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LabelSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    v->addWidget(m_summary);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListProblems"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels(
        {QStringLiteral("Page"), QStringLiteral("Line"), QStringLiteral("Problem")});
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 240);
    m_list->setColumnWidth(1, 50);
    v->addWidget(m_list, 1);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activate(item); });

    auto* note =
        new QLabel(QStringLiteral("Double-click a problem to open its page at that line."), this);
    v->addWidget(note);

    auto* row = new QHBoxLayout;
    QPushButton* printButton = addButton(row, this, "ButtonPrint", QStringLiteral("&Print"));
    connect(printButton, &QPushButton::clicked, this, [this] {
        if (print)
            print();
    });
    row->addStretch(1);
    if (mode == Mode::BeforeUpload) {
        QPushButton* goOn =
            addButton(row, this, "ButtonUploadAnyway", QStringLiteral("&Upload Anyway"));
        QPushButton* stop =
            addButton(row, this, "ButtonStopUpload", QStringLiteral("&Stop Upload"));
        // Enter stops rather than sends broken pages out.
        stop->setDefault(true);
        connect(goOn, &QPushButton::clicked, this, &QDialog::accept);
        connect(stop, &QPushButton::clicked, this, &QDialog::reject);
    } else {
        QPushButton* close = addButton(row, this, "ButtonClose", QStringLiteral("&Close"));
        connect(close, &QPushButton::clicked, this, &QDialog::close);
    }
    v->addLayout(row);
    resize(900, 480);
}

QPushButton* TFormCheckReport::button(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

void TFormCheckReport::setReport(const CheckReport& report) {
    m_report = report;
    QStringList summary{
        report.heading,
        CheckTexts::pagesLine(report.pagesChecked, static_cast<int>(report.problems.size()))};
    if (report.stopped)
        summary << CheckTexts::stoppedLine(report.pagesChecked, report.pagesPlanned);
    if (report.problems.empty())
        summary << CheckTexts::noProblemsLine();
    m_summary->setText(summary.join(QLatin1Char('\n')));

    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(report.problems.size()));
    for (const CheckProblem& p : report.problems) {
        // Pages show below the site folder; the tip and the print-out give the whole path.
        const QString shown = !report.siteFolder.isEmpty() && p.page.startsWith(report.siteFolder)
                                  ? p.page.mid(report.siteFolder.size())
                                  : p.page;
        auto* item =
            new QTreeWidgetItem({shown, p.line > 0 ? QString::number(p.line) : QString(), p.text});
        item->setToolTip(0, p.page);
        item->setToolTip(2, p.text);
        item->setData(0, PageRole, p.page);
        item->setData(0, LineRole, p.line);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    m_list->addTopLevelItems(items);
    if (!items.isEmpty())
        m_list->setCurrentItem(items.first());
}

void TFormCheckReport::activate(QTreeWidgetItem* item) {
    if (item && openAt)
        openAt(item->data(0, PageRole).toString(), item->data(0, LineRole).toInt());
}

void TFormCheckReport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    QTimer::singleShot(0, this, [this] {
        if (afterShown)
            afterShown();
    });
}
