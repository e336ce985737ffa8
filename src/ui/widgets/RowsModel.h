// RowsModel: rows of text kept by the logic (the lines of a report, a listing or a search result,
// the rows of a summary grid) shown in a list or table view. The view asks only for the rows it
// draws, so thousands of rows cost what the screen holds, not one widget item per cell, and rows
// added at the end go in as one insertion however many there are.
#pragma once

#include <QAbstractTableModel>
#include <QSize>
#include <QStringList>

#include <functional>

class RowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Source {
        std::function<int()> count;                       // the rows the logic holds now
        std::function<QString(int row, int column)> cell; // a cell of a row below count()
    };
    // headings: one per column; none: one column without a heading (a list of lines).
    RowsModel(Source source, QStringList headings = {}, QObject* parent = nullptr);
    // The lines of a list the logic keeps (which outlives the model), one column.
    static RowsModel* ofLines(const QStringList& lines, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Every row reports this size: a list view of uniform item sizes then knows its width and
    // height without measuring the lines.
    void setRowSize(const QSize& size) { m_rowSize = size; }

    // Called on every change of the logic's rows (cheap): rows emptied or cut since the last
    // sync are shown anew by it, even when more have been added by then.
    void noteChange();
    // Catches up with the logic: rows added at the end are inserted; rows started anew are
    // shown whole again.
    void sync();
    int shownRows() const { return m_shown; }

private:
    Source m_source;
    QStringList m_headings;
    int m_shown = 0;
    QString m_first; // the first cell shown: rows started anew begin with another one
    bool m_anew = false;
    QSize m_rowSize;
};
