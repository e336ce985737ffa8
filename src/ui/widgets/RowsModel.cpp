// RowsModel: growing rows of text as an item model.
#include "ui/widgets/RowsModel.h"

RowsModel::RowsModel(Source source, QStringList headings, QObject* parent)
    : QAbstractTableModel(parent), m_source(std::move(source)), m_headings(std::move(headings)) {
}

RowsModel* RowsModel::ofLines(const QStringList& lines, QObject* parent) {
    return new RowsModel({[&lines] { return static_cast<int>(lines.size()); },
                          [&lines](int row, int) { return lines.at(row); }},
                         {}, parent);
}

int RowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

int RowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::max<qsizetype>(1, m_headings.size()));
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
    // Between a change of the rows and the next sync there may be fewer rows than are shown:
    // those are blank until then.
    if (!index.isValid() || index.row() >= m_shown || index.row() >= m_source.count())
        return {};
    if (role == Qt::DisplayRole)
        return m_source.cell(index.row(), index.column());
    if (role == Qt::SizeHintRole && m_rowSize.isValid())
        return m_rowSize;
    return {};
}

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 &&
        section < m_headings.size())
        return m_headings.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void RowsModel::noteChange() {
    if (m_source.count() < m_shown)
        m_anew = true;
}

void RowsModel::sync() {
    const int count = m_source.count();
    const QString first = count > 0 ? m_source.cell(0, 0) : QString();
    const bool anew = m_anew || count < m_shown || (m_shown > 0 && first != m_first);
    m_anew = false;
    if (anew) {
        beginResetModel();
        m_shown = count;
        m_first = first;
        endResetModel();
        return;
    }
    if (count == m_shown)
        return;
    beginInsertRows({}, m_shown, count - 1);
    m_shown = count;
    m_first = first;
    endInsertRows();
}
