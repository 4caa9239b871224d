#include "mainwindow/ScheduleGridModel.h"

#include "core/Failure.h"

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
    const GridRow& row = m_data->rows[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return row.cell(index.column()).toString();
        case Qt::CheckStateRole:
            if (index.column() == 0) {
                return row.checked() ? Qt::Checked : Qt::Unchecked;
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
    const bool checked = value.value<Qt::CheckState>() == Qt::Checked;
    detach().rows[static_cast<std::size_t>(index.row())].setChecked(checked);
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

QVariant ScheduleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_data->columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return m_data->headers[section];
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
    detach().headers.append(header);
    endInsertColumns();
}

void ScheduleGridModel::setRows(std::vector<GridRow> rows) {
    beginResetModel();
    if (m_data.use_count() > 1) {
        // A snapshot holds the old rows: start a fresh copy instead of duplicating them.
        auto fresh = std::make_shared<GridData>();
        fresh->headers = m_data->headers;
        m_data = std::move(fresh);
    }
    m_data->rows = std::move(rows);
    endResetModel();
}

void ScheduleGridModel::clear() {
    setRows({});
}

QString ScheduleGridModel::text(int row, int column) const {
    return m_data->cell(row, column).toString();
}

bool ScheduleGridModel::isChecked(int row) const {
    return m_data->row(row).checked();
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

void ScheduleGridModel::setAllChecked(bool checked) {
    if (m_data->rows.empty()) {
        return;
    }
    for (GridRow& row : detach().rows) {
        row.setChecked(checked);
    }
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}
