// TFormLoadSize: the "Web Page Analysis" screen: "Site Analysis", "Link / Image Lists" and
// "Show Me Where...", over the analysis logic (analysis/SiteAnalysis.h).
#pragma once

#include "analysis/SiteAnalysis.h"

#include <QDialog>
#include <QElapsedTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class FileChooser;
class Printer;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class RowsModel;
class UiPump;

class TFormLoadSize : public QDialog {
    Q_OBJECT
public:
    TFormLoadSize(SiteAnalysis& logic, Prompter& prompter, FileChooser& chooser, Printer& printer,
                  QWidget* parent = nullptr);
    ~TFormLoadSize() override;

    // Opened by "Analyze Web Page": the notice is shown once, when the screen first shows.
    void setPreselectedNotice(bool on) { m_noticePending = on; }

    SiteAnalysis& logic() { return m_logic; }
    QTabWidget* pages() const { return m_pages; }
    QComboBox* projectBox(int page) const { return m_projectBoxes[page]; }
    QTreeWidget* outline(int page) const { return m_outlines[page]; }
    QLineEdit* imageFolderField() const { return m_imageFolder; }
    QListView* reportList() const { return m_report; }
    QTableView* grid() const { return m_grid; }
    QLabel* errorLabel() const { return m_errorLabel; }
    QListView* listingList() const { return m_listing; }
    QListView* searchList() const { return m_search; }
    QLineEdit* searchField() const { return m_searchText; }
    QCheckBox* fileNameOnlyBox() const { return m_fileNameOnly; }
    QLabel* searchSiteLabel() const { return m_siteLabel; }
    QPushButton* button(const QString& objectName) const;
    QRadioButton* choice(int index) const { return m_choices[index]; }
    QStatusBar* statusBar(int page) const;
    QProgressBar* progressBar(AnalysisTab tab) const { return m_bars[static_cast<int>(tab)]; }
    // Run once the screen is up (and its notice closed): tests drive the modal screen from here.
    std::function<void()> afterShown;
    // Whether a pass is running (its stop button works; the rest waits).
    bool busy() const { return m_busy; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSitePage();
    QWidget* buildListingPage();
    QWidget* buildSearchPage();
    QWidget* projectRow(int page);
    QPushButton* addButton(const QString& name, const QString& caption, const QString& hint = {});
    QPushButton* stopButton(const QString& name);
    void fillOutlines();
    void showSelection(int item);
    QListView* makeList(const QString& name, RowsModel* model);
    // The logic's changes reach the views together, when events next run: a pass that adds a
    // page's lines, row, selection and progress many times a second costs one update of each.
    void scheduleRefresh();
    void refresh();
    ListingChoice listingChoice() const;
    // Runs a pass with the hourglass and the other buttons held until it ends.
    void runPass(const std::function<void()>& pass);

    SiteAnalysis& m_logic;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    Printer& m_printer;
    bool m_noticePending = false;
    bool m_shownOnce = false;
    bool m_busy = false;
    bool m_closeAfterPass = false;
    int m_closeResult = QDialog::Rejected;

    QTabWidget* m_pages = nullptr;
    std::array<QComboBox*, 2> m_projectBoxes{};
    std::array<QTreeWidget*, 2> m_outlines{};
    std::array<std::vector<QTreeWidgetItem*>, 2> m_outlineItems; // [n]: item n, from 1
    QLineEdit* m_imageFolder = nullptr;
    RowsModel* m_reportRows = nullptr;
    RowsModel* m_gridRows = nullptr;
    RowsModel* m_listingRows = nullptr;
    RowsModel* m_searchRows = nullptr;
    QListView* m_report = nullptr;
    QTableView* m_grid = nullptr;
    QLabel* m_errorLabel = nullptr;
    QListView* m_listing = nullptr;
    QListView* m_search = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QElapsedTimer m_sinceRefresh;
    static constexpr qint64 RefreshEveryMs = 250;
    int m_pendingSelection = -1; // the page to show selected at the next refresh; -1: none
    std::array<std::optional<AnalysisProgress>, 3> m_pendingProgress{};
    // A tab's passes as its bar and status line show them: the bar catches up at the next
    // refresh.
    class TabPass : public LongPassView {
    public:
        TabPass(TFormLoadSize& form, size_t tab) : m_form(form), m_tab(tab) {}
        void runStarted(int maximum) override;
        void fileStarted(int index) override;
        void runEnded() override;
        void setStatus(const QString& text) override;

    private:
        void show(AnalysisProgress progress);
        TFormLoadSize& m_form;
        size_t m_tab;
        int m_maximum = 0;
    };
    std::array<std::unique_ptr<TabPass>, 3> m_passViews;
    QLineEdit* m_searchText = nullptr;
    QCheckBox* m_fileNameOnly = nullptr;
    QLabel* m_siteLabel = nullptr;
    QPushButton* m_findButton = nullptr;
    std::array<QRadioButton*, 3> m_choices{};
    std::array<QStatusBar*, 3> m_statusBars{};
    std::array<QLabel*, 3> m_statusTexts{};
    std::array<QProgressBar*, 3> m_bars{};
    QList<QPushButton*> m_passButtons;
};
