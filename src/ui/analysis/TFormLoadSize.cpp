// TFormLoadSize: the analysis screen's widgets.
#include "ui/analysis/TFormLoadSize.h"

#include "platform/Prompter.h"
#include "ui/widgets/DialogParts.h"
#include "ui/widgets/RowsModel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <utility>

TFormLoadSize::TFormLoadSize(SiteAnalysis& logic, Prompter& prompter, FileChooser& chooser,
                             Printer& printer, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_prompter(prompter), m_chooser(chooser),
      m_printer(printer) {
    setObjectName(QStringLiteral("FormLoadSize"));
    setWindowTitle(QStringLiteral("Web Page Analysis"));
    setModal(true);
    resize(820, 600);
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(0);
    connect(m_refreshTimer, &QTimer::timeout, this, [this] { refresh(); });
    m_reportRows = RowsModel::ofLines(logic.report(), this);
    m_listingRows = RowsModel::ofLines(logic.listing(), this);
    m_searchRows = RowsModel::ofLines(logic.searchResult(), this);
    m_gridRows = new RowsModel(
        {[&logic] { return static_cast<int>(logic.grid().size()); },
         [&logic](int row, int column) { return logic.grid()[static_cast<size_t>(row)][column]; }},
        SiteAnalysis::gridHeadings(), this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("AnalysisPages"));
    m_pages->addTab(buildSitePage(), QStringLiteral("Site Analysis"));
    m_pages->addTab(buildListingPage(), QStringLiteral("Link / Image Lists"));
    m_pages->addTab(buildSearchPage(), QStringLiteral("Show Me Where..."));
    auto* v = new QVBoxLayout(this);
    v->addWidget(m_pages);
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { m_logic.pageChanged(); });

    // The logic's changes, shown.
    connect(&logic, &SiteAnalysis::projectsChanged, this, [this] {
        for (QComboBox* box : m_projectBoxes) {
            const QSignalBlocker block(box);
            box->clear();
            for (const AnalysisProject& p : m_logic.projects())
                box->addItem(p.shown);
            box->setCurrentIndex(-1);
        }
    });
    connect(&logic, &SiteAnalysis::projectChosen, this, [this](int index) {
        for (QComboBox* box : m_projectBoxes) {
            const QSignalBlocker block(box);
            box->setCurrentIndex(index);
        }
    });
    connect(&logic, &SiteAnalysis::outlineChanged, this, [this] { fillOutlines(); });
    connect(&logic, &SiteAnalysis::selectionChanged, this, [this](int item) {
        m_pendingSelection = item;
        scheduleRefresh();
    });
    connect(&logic, &SiteAnalysis::searchEnabledChanged, m_findButton, &QWidget::setEnabled);
    connect(&logic, &SiteAnalysis::searchLabelChanged, m_siteLabel, &QLabel::setText);
    for (const auto& [changed, rows] :
         {std::pair{&SiteAnalysis::reportChanged, m_reportRows},
          std::pair{&SiteAnalysis::gridChanged, m_gridRows},
          std::pair{&SiteAnalysis::listingChanged, m_listingRows},
          std::pair{&SiteAnalysis::searchResultChanged, m_searchRows}}) {
        RowsModel* model = rows;
        connect(&logic, changed, this, [this, model] {
            model->noteChange();
            scheduleRefresh();
        });
    }
    connect(&logic, &SiteAnalysis::errorLabelChanged, m_errorLabel, &QWidget::setVisible);
    for (size_t tab = 0; tab < m_passViews.size(); ++tab) {
        m_passViews[tab] = std::make_unique<TabPass>(*this, tab);
        logic.setPassView(static_cast<AnalysisTab>(tab), m_passViews[tab].get());
    }
}

void TFormLoadSize::TabPass::runStarted(int maximum) {
    m_maximum = maximum;
    show({true, maximum, 0});
}

void TFormLoadSize::TabPass::fileStarted(int index) {
    show({true, m_maximum, index});
}

void TFormLoadSize::TabPass::runEnded() {
    show({});
}

void TFormLoadSize::TabPass::setStatus(const QString& text) {
    if (QLabel* status = m_form.m_statusTexts[m_tab])
        status->setText(text);
}

void TFormLoadSize::TabPass::show(AnalysisProgress progress) {
    m_form.m_pendingProgress[m_tab] = progress;
    m_form.scheduleRefresh();
}

void TFormLoadSize::scheduleRefresh() {
    // Outside a pass a change shows at once. During one, the views catch up when the pass lets
    // events run, a few times a second: each catching up repaints the bar and the lists, and
    // doing that at every look at the event loop would cost the pass more than its own work.
    if (!m_busy) {
        refresh();
        return;
    }
    if (m_refreshTimer->isActive())
        return;
    const qint64 since = m_sinceRefresh.isValid() ? m_sinceRefresh.elapsed() : RefreshEveryMs;
    m_refreshTimer->start(static_cast<int>(std::max<qint64>(0, RefreshEveryMs - since)));
}

void TFormLoadSize::refresh() {
    m_refreshTimer->stop();
    m_sinceRefresh.start();
    for (RowsModel* rows : {m_reportRows, m_gridRows, m_listingRows, m_searchRows})
        rows->sync();
    if (m_pendingSelection >= 0) {
        showSelection(m_pendingSelection);
        m_pendingSelection = -1;
    }
    for (size_t tab = 0; tab < m_pendingProgress.size(); ++tab) {
        const std::optional<AnalysisProgress> p = std::exchange(m_pendingProgress[tab], {});
        if (!p)
            continue;
        QProgressBar* bar = m_bars[tab];
        bar->setMaximum(std::max(1, p->maximum));
        bar->setValue(std::min(p->value, bar->maximum()));
        bar->setVisible(p->visible);
    }
}

TFormLoadSize::~TFormLoadSize() {
    for (size_t tab = 0; tab < m_passViews.size(); ++tab)
        m_logic.setPassView(static_cast<AnalysisTab>(tab), nullptr);
}

QWidget* TFormLoadSize::projectRow(int page) {
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(new QLabel(QStringLiteral("Select a Site/Project:")));
    auto* box = new QComboBox;
    box->setObjectName(QStringLiteral("ProjectBox%1").arg(page));
    box->setMinimumWidth(200);
    h->addWidget(box, 1);
    m_projectBoxes[page] = box;
    connect(box, &QComboBox::activated, this, [this](int index) {
        if (m_busy)
            return;
        m_logic.chooseProject(index);
    });
    auto* tree = new QTreeWidget;
    tree->setObjectName(QStringLiteral("Outline%1").arg(page));
    tree->setHeaderHidden(true);
    m_outlines[page] = tree;
    // The highlighted page is the selected one, however it became so: a click, the arrow keys,
    // Home and End, typing its first letters.
    connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (m_busy || !item)
            return;
        m_logic.clickItem(item->data(0, Qt::UserRole).toInt());
    });
    return row;
}

QPushButton* TFormLoadSize::addButton(const QString& name, const QString& caption,
                                      const QString& hint) {
    QPushButton* b = ::button(caption, name, nullptr, hint);
    m_passButtons << b;
    return b;
}

QPushButton* TFormLoadSize::stopButton(const QString& name) {
    QPushButton* b =
        ::button(QStringLiteral("Stop"), name, nullptr, QStringLiteral("Stop Site Analysis"));
    // On the press, not the release: the pass looks at the request between pages.
    connect(b, &QPushButton::pressed, this, [this] { m_logic.requestStop(); });
    return b;
}

QPushButton* TFormLoadSize::button(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

QStatusBar* TFormLoadSize::statusBar(int page) const {
    return m_statusBars[page];
}

QWidget* TFormLoadSize::buildSitePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SiteAnalysisPage"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(projectRow(0), 0, 0, 1, 2);
    grid->addWidget(m_outlines[0], 1, 0, 3, 1);

    auto* folderRow = new QWidget;
    auto* fh = new QHBoxLayout(folderRow);
    fh->setContentsMargins(0, 0, 0, 0);
    fh->addWidget(new QLabel(QStringLiteral("Image Directory:")));
    m_imageFolder = new QLineEdit;
    m_imageFolder->setObjectName(QStringLiteral("ImageFolder"));
    m_imageFolder->installEventFilter(this);
    fh->addWidget(m_imageFolder, 1);
    QPushButton* browse = addButton(QStringLiteral("BrowseImages"), QStringLiteral("..."));
    fh->addWidget(browse);
    grid->addWidget(folderRow, 1, 1);
    connect(m_imageFolder, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.imageFolderEdited(text); });
    connect(browse, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> folder = m_logic.browseImageFolder(m_chooser))
            m_imageFolder->setText(*folder);
    });

    auto* buttons = new QWidget;
    auto* bh = new QHBoxLayout(buttons);
    bh->setContentsMargins(0, 0, 0, 0);
    QPushButton* page1 = addButton(QStringLiteral("AnalyzePage"), QStringLiteral("Analyze Page"),
                                   QStringLiteral("Analyze Selected Page from Site"));
    QPushButton* site = addButton(QStringLiteral("AnalyzeSite"), QStringLiteral("Analyze Site"),
                                  QStringLiteral("Analyze All Pages in Site"));
    QPushButton* stop = stopButton(QStringLiteral("StopSite"));
    QPushButton* clear =
        addButton(QStringLiteral("ClearGrid"), QStringLiteral("Clear Site Summary Grid"));
    QPushButton* printReport =
        addButton(QStringLiteral("PrintPageSummary"), QStringLiteral("Page Summary"));
    QPushButton* printGrid =
        addButton(QStringLiteral("PrintSiteSummary"), QStringLiteral("Site Summary"));
    for (QPushButton* b : {page1, site, stop, clear, printReport, printGrid})
        bh->addWidget(b);
    grid->addWidget(buttons, 2, 1);
    connect(page1, &QPushButton::clicked, this,
            [this] { runPass([this] { m_logic.analyzePage(); }); });
    connect(site, &QPushButton::clicked, this, [this] {
        // Expanding lays the whole outline out again: only when a page is folded away.
        QTreeWidget* tree = m_outlines[0];
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->childCount() > 0 && !(*it)->isExpanded()) {
                tree->expandAll();
                break;
            }
        }
        runPass([this] { m_logic.analyzeSite(); });
    });
    connect(clear, &QPushButton::clicked, this, [this] { m_logic.clearGrid(); });
    connect(printReport, &QPushButton::clicked, this, [this] { m_logic.printReport(m_printer); });
    connect(printGrid, &QPushButton::clicked, this, [this] { m_logic.printGrid(m_printer); });

    auto* reportBox = new QWidget;
    auto* rv = new QVBoxLayout(reportBox);
    rv->setContentsMargins(0, 0, 0, 0);
    m_report = makeList(QStringLiteral("PageSummary"), m_reportRows);
    rv->addWidget(m_report, 1);
    m_errorLabel = new QLabel(SiteAnalysis::errorLabelText());
    m_errorLabel->setObjectName(QStringLiteral("ErrorLabel"));
    m_errorLabel->hide();
    rv->addWidget(m_errorLabel);
    grid->addWidget(reportBox, 3, 1);

    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("SiteSummaryGrid"));
    m_grid->setModel(m_gridRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    // Rows of one height, known without measuring each; the columns fit the headings and the
    // rows in view, not every row of a thousand-page site each time rows come in.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setResizeContentsPrecision(0);
    grid->addWidget(m_grid, 4, 0, 1, 2);

    m_bars[0] = new QProgressBar;
    m_bars[0]->setObjectName(QStringLiteral("SiteProgress"));
    m_bars[0]->hide();
    grid->addWidget(m_bars[0], 5, 0, 1, 2);
    QPushButton* close = ::button(QStringLiteral("&Close"), QStringLiteral("Close0"), nullptr);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(close, 6, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TFormLoadSize::buildListingPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ListingPage"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(projectRow(1), 0, 0, 1, 2);
    grid->addWidget(m_outlines[1], 1, 0, 2, 1);
    auto* choices = new QWidget;
    auto* ch = new QHBoxLayout(choices);
    ch->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(this);
    const std::array<const char*, 3> captions = {"All HREF Links", "All Images", "Both"};
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(QLatin1String(captions[i]));
        m_choices[i]->setObjectName(QStringLiteral("ListingChoice%1").arg(i));
        group->addButton(m_choices[i], i);
        ch->addWidget(m_choices[i]);
    }
    m_choices[0]->setChecked(true);
    QPushButton* onePage = addButton(QStringLiteral("ListPage"), QStringLiteral("Analyze Page"));
    QPushButton* site = addButton(QStringLiteral("ListSite"), QStringLiteral("Analyze Site"));
    QPushButton* print = addButton(QStringLiteral("PrintListing"), QStringLiteral("Print Listing"));
    QPushButton* stop = stopButton(QStringLiteral("StopListing"));
    for (QPushButton* b : {onePage, site, print, stop})
        ch->addWidget(b);
    grid->addWidget(choices, 1, 1);
    connect(onePage, &QPushButton::clicked, this,
            [this] { runPass([this] { m_logic.listPage(listingChoice()); }); });
    connect(site, &QPushButton::clicked, this,
            [this] { runPass([this] { m_logic.listSite(listingChoice()); }); });
    connect(print, &QPushButton::clicked, this, [this] { m_logic.printListing(m_printer); });
    m_listing = makeList(QStringLiteral("Listing"), m_listingRows);
    grid->addWidget(m_listing, 2, 1);
    m_bars[1] = new QProgressBar;
    m_bars[1]->setObjectName(QStringLiteral("ListingProgress"));
    m_bars[1]->hide();
    grid->addWidget(m_bars[1], 3, 0, 1, 2);
    m_statusBars[1] = new QStatusBar;
    m_statusBars[1]->setSizeGripEnabled(false);
    m_statusTexts[1] = new QLabel(m_logic.listingStatus());
    m_statusTexts[1]->setObjectName(QStringLiteral("ListingStatus"));
    m_statusBars[1]->addWidget(m_statusTexts[1], 1);
    grid->addWidget(m_statusBars[1], 4, 0, 1, 2);
    QPushButton* close = ::button(QStringLiteral("&Close"), QStringLiteral("Close1"), nullptr);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(close, 5, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TFormLoadSize::buildSearchPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SearchPage"));
    auto* v = new QVBoxLayout(page);
    m_siteLabel = new QLabel(QStringLiteral("Site to search:  "));
    m_siteLabel->setObjectName(QStringLiteral("SiteToSearch"));
    v->addWidget(m_siteLabel);
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    m_findButton =
        addButton(QStringLiteral("FindPages"), QStringLiteral("&Find Pages with this text:"));
    m_findButton->setEnabled(false);
    h->addWidget(m_findButton);
    m_searchText = new QLineEdit(SiteAnalysis::initialSearchText());
    m_searchText->setObjectName(QStringLiteral("SearchText"));
    h->addWidget(m_searchText, 1);
    v->addWidget(row);
    m_fileNameOnly = new QCheckBox(QStringLiteral("Show HTML filename only, without full path"));
    m_fileNameOnly->setObjectName(QStringLiteral("FileNameOnly"));
    v->addWidget(m_fileNameOnly);
    auto* buttons = new QWidget;
    auto* bh = new QHBoxLayout(buttons);
    bh->setContentsMargins(0, 0, 0, 0);
    QPushButton* print = addButton(QStringLiteral("PrintReport"), QStringLiteral("&Print Report"));
    QPushButton* stop = stopButton(QStringLiteral("StopSearch"));
    bh->addWidget(print);
    bh->addWidget(stop);
    bh->addStretch(1);
    v->addWidget(buttons);
    connect(m_findButton, &QPushButton::clicked, this, [this] {
        runPass([this] { m_logic.findPages(m_searchText->text(), m_fileNameOnly->isChecked()); });
    });
    connect(print, &QPushButton::clicked, this, [this] { m_logic.printSearchResult(m_printer); });
    m_search = makeList(QStringLiteral("SearchResult"), m_searchRows);
    v->addWidget(m_search, 1);
    m_bars[2] = new QProgressBar;
    m_bars[2]->setObjectName(QStringLiteral("SearchProgress"));
    m_bars[2]->hide();
    v->addWidget(m_bars[2]);
    m_statusBars[2] = new QStatusBar;
    m_statusBars[2]->setSizeGripEnabled(false);
    m_statusTexts[2] = new QLabel(m_logic.searchStatus());
    m_statusTexts[2]->setObjectName(QStringLiteral("SearchStatus"));
    m_statusBars[2]->addWidget(m_statusTexts[2], 1);
    v->addWidget(m_statusBars[2]);
    QPushButton* close = ::button(QStringLiteral("&Close"), QStringLiteral("Close2"), nullptr);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    v->addWidget(close, 0, Qt::AlignRight);
    return page;
}

QListView* TFormLoadSize::makeList(const QString& name, RowsModel* model) {
    auto* list = new QListView;
    list->setObjectName(name);
    QFont f = list->font();
    f.setStyleHint(QFont::TypeWriter);
    f.setFamily(QStringLiteral("monospace"));
    list->setFont(f);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Every line as wide as the 1000 pixels the list scrolls to, and one line high: the list
    // lays out any number of lines without measuring them.
    list->setUniformItemSizes(true);
    model->setRowSize(QSize(1000, QFontMetrics(f).height() + 2));
    list->setModel(model);
    return list;
}

void TFormLoadSize::fillOutlines() {
    const SiteOutline& outline = m_logic.outline();
    for (size_t t = 0; t < m_outlines.size(); ++t) {
        QTreeWidget* tree = m_outlines[t];
        // Filling is not the user choosing a page.
        const QSignalBlocker block(tree);
        tree->clear();
        // Item n of the outline, found at once when a site pass selects every page in turn.
        std::vector<QTreeWidgetItem*>& items = m_outlineItems[t];
        items.assign(1, nullptr);
        std::vector<QTreeWidgetItem*> parents;
        for (int n = 1; n <= outline.count(); ++n) {
            const ProjectPage& p = outline.page(n);
            const size_t depth = static_cast<size_t>(std::max(1, p.level)) - 1;
            parents.resize(std::min(parents.size(), depth));
            auto* item =
                parents.empty() ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(parents.back());
            item->setText(0, p.title);
            item->setData(0, Qt::UserRole, n);
            parents.push_back(item);
            items.push_back(item);
        }
        tree->expandAll();
    }
}

void TFormLoadSize::showSelection(int item) {
    for (size_t t = 0; t < m_outlines.size(); ++t) {
        const std::vector<QTreeWidgetItem*>& items = m_outlineItems[t];
        QTreeWidgetItem* found =
            item > 0 && static_cast<size_t>(item) < items.size() ? items[item] : nullptr;
        const QSignalBlocker block(m_outlines[t]);
        m_outlines[t]->setCurrentItem(found);
    }
}

ListingChoice TFormLoadSize::listingChoice() const {
    if (m_choices[1]->isChecked())
        return ListingChoice::Images;
    if (m_choices[2]->isChecked())
        return ListingChoice::Both;
    return ListingChoice::HrefLinks;
}

void TFormLoadSize::runPass(const std::function<void()>& pass) {
    if (m_busy)
        return;
    m_busy = true;
    for (QPushButton* b : m_passButtons)
        b->setProperty("wasEnabled", b->isEnabled()), b->setEnabled(false);
    for (QComboBox* box : m_projectBoxes)
        box->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A pass that ends within a glance shows its results once, at its end.
    m_sinceRefresh.start();
    pass();
    refresh();
    QApplication::restoreOverrideCursor();
    for (QPushButton* b : m_passButtons)
        b->setEnabled(b->property("wasEnabled").toBool());
    m_findButton->setEnabled(m_logic.searchEnabled());
    for (QComboBox* box : m_projectBoxes)
        box->setEnabled(true);
    m_busy = false;
    if (m_closeAfterPass)
        QTimer::singleShot(0, this, [this] { done(m_closeResult); });
}

void TFormLoadSize::done(int result) {
    // Closing while a pass runs stops it first; the screen closes when the pass has ended.
    if (m_busy) {
        m_logic.requestStop();
        m_closeAfterPass = true;
        m_closeResult = result;
        return;
    }
    m_logic.close();
    QDialog::done(result);
}

void TFormLoadSize::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_imageFolder->text() != m_logic.imageFolder()) {
        const QSignalBlocker block(m_imageFolder);
        m_imageFolder->setText(m_logic.imageFolder());
    }
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Once per opening, after the screen is up: a message box closing activates the screen
    // again, and that must not bring the notice back.
    QTimer::singleShot(0, this, [this] {
        if (m_noticePending) {
            m_noticePending = false;
            m_prompter.inform(SiteAnalysis::preparedNoticeText());
        }
        if (afterShown)
            afterShown();
    });
}

bool TFormLoadSize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_imageFolder && event->type() == QEvent::FocusOut) {
        const QString shown = m_logic.imageFolderLeft(m_imageFolder->text());
        if (shown != m_imageFolder->text()) {
            const QSignalBlocker block(m_imageFolder);
            m_imageFolder->setText(shown);
        }
    }
    return QDialog::eventFilter(watched, event);
}
