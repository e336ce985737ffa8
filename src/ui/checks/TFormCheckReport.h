// TFormCheckReport: the report of the page checks, one row per problem (page, line, problem).
// A double-click on a row opens the page at that line in the editor. Before an upload it is
// modal with "&Upload Anyway" and "&Stop Upload"; for Check Links it stays open beside the main
// window while the user mends the pages. "&Print" prints the report's lines.
#pragma once

#include "checks/PageChecks.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TFormCheckReport : public QDialog {
    Q_OBJECT
public:
    enum class Mode { BeforeUpload, CheckLinks };
    TFormCheckReport(Mode mode, QWidget* parent = nullptr);

    void setReport(const CheckReport& report);
    const CheckReport& report() const { return m_report; }

    QTreeWidget* list() const { return m_list; }
    QLabel* summary() const { return m_summary; }
    QPushButton* button(const QString& objectName) const;

    // A row was double-clicked (or Enter pressed on it).
    std::function<void(const QString& page, int line)> openAt;
    // "&Print".
    std::function<void()> print;
    // Run once the window is up (tests look at the modal window from here).
    std::function<void()> afterShown;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void activate(QTreeWidgetItem* item);

    Mode m_mode;
    CheckReport m_report;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
    bool m_shownOnce = false;
};
