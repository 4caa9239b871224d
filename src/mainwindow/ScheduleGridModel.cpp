#include "mainwindow/ScheduleGridModel.h"

#include "core/Failure.h"

#include <algorithm>

ScheduleGridModel::ScheduleGridModel(QObject* parent)
    : QAbstractTableModel(parent), m_data(std::make_shared<GridData>()) {}

int ScheduleGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data->rowCount();
}

int ScheduleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data->columnCount();
}

QVariant ScheduleGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole: {
            TextBuffer text;
            m_data->appendCell(text, index.row(), index.column());
            return stringOf(text);
        }
        case Qt::CheckStateRole:
            if (index.column() == 0) {
                return m_data->isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        case Qt::AccessibleTextRole:
            // The totals row's empty "#" cell names the row for assistive technology.
            if (index.column() == 0 && index.row() == m_data->rowCount() - 1) {
                return QStringLiteral("Total");
            }
            return {};
        default:
            return {};
    }
}

bool ScheduleGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != 0 ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

QVariant ScheduleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_data->columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return m_data->headers()[section];
}

Qt::ItemFlags ScheduleGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        result |= Qt::ItemIsUserCheckable;
    }
    return result;
}

void ScheduleGridModel::addColumn(const QString& header) {
    const int column = m_data->columnCount();
    beginInsertColumns({}, column, column);
    detach().addHeader(header);
    endInsertColumns();
}

void ScheduleGridModel::replace(GridData data) {
    beginResetModel();
    // A snapshot may hold the old rows: never change them in place.
    m_data = std::make_shared<GridData>(std::move(data));
    endResetModel();
}

void ScheduleGridModel::setRows(std::shared_ptr<const GridRows> rows) {
    replace(GridData(m_data->headers(), std::move(rows)));
}

void ScheduleGridModel::setRows(std::vector<GridRow> rows) {
    replace(GridData(m_data->headers(), std::move(rows)));
}

void ScheduleGridModel::clear() {
    replace(GridData(m_data->headers(), std::shared_ptr<const GridRows>()));
}

QString ScheduleGridModel::text(int row, int column) const {
    return m_data->cell(row, column);
}

bool ScheduleGridModel::isChecked(int row) const {
    return m_data->checked(row);
}

void ScheduleGridModel::setChecked(int row, bool checked) {
    if (m_data->checked(row) == checked) {
        return;
    }
    detach().setChecked(row, checked);
    const QModelIndex changed = index(row, 0);
    Q_EMIT dataChanged(changed, changed, {Qt::CheckStateRole});
}

void ScheduleGridModel::setAllChecked(bool checked) {
    if (m_data->rowCount() == 0) {
        return;
    }
    detach().setAllChecked(checked);
    Q_EMIT dataChanged(index(0, 0), index(m_data->rowCount() - 1, 0), {Qt::CheckStateRole});
}

void ScheduleGridModel::setChecked(const std::vector<int>& rows, bool checked) {
    if (rows.empty()) {
        return;
    }
    GridData& data = detach();
    for (const int row : rows) {
        data.setChecked(row, checked);
    }
    notifyChecks(rows);
}

void ScheduleGridModel::toggleChecked(const std::vector<int>& rows) {
    if (rows.empty()) {
        return;
    }
    GridData& data = detach();
    for (const int row : rows) {
        data.setChecked(row, !data.checked(row));
    }
    notifyChecks(rows);
}

void ScheduleGridModel::notifyChecks(const std::vector<int>& rows) {
    const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
    Q_EMIT dataChanged(index(*first, 0), index(*last, 0), {Qt::CheckStateRole});
}

int ScheduleGridModel::checkedCount() const {
    int count = 0;
    for (int row = 0, rows = m_data->rowCount(); row < rows; ++row) {
        count += m_data->isChecked(row) ? 1 : 0;
    }
    return count;
}

const QString& ScheduleGridModel::header(int column) const {
    return m_data->header(column);
}

GridData& ScheduleGridModel::detach() {
    if (m_data.use_count() > 1) {
        m_data = std::make_shared<GridData>(*m_data);
    }
    return *m_data;
}
