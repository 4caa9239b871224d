#include "windows/TextTableModel.h"

#include <algorithm>

TextTableModel::TextTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const QStringList& cells = m_rows[row];
    switch (role) {
        case Qt::DisplayRole:
            return index.column() < cells.size() ? cells[index.column()] : QString();
        case Qt::TextAlignmentRole: {
            const auto column = static_cast<std::size_t>(index.column());
            const bool numeric = column < m_numeric.size() && m_numeric[column];
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (numeric ? Qt::AlignRight : Qt::AlignLeft));
        }
        case Qt::BackgroundRole:
            if (index.row() == m_highlightRow && index.column() == m_highlightColumn) {
                return QColor(255, 200, 80);
            }
            return m_tints[row].isValid() ? QVariant(m_tints[row]) : QVariant();
        case Qt::ToolTipRole:
            return m_toolTips[row].isEmpty() ? QVariant() : QVariant(m_toolTips[row]);
        default:
            return {};
    }
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section < m_headers.size() ? m_headers[section] : QString::number(section + 1);
}

void TextTableModel::setContents(QStringList headers, std::vector<QStringList> rows) {
    beginResetModel();
    m_headers = std::move(headers);
    m_rows = std::move(rows);
    m_columns = static_cast<int>(m_headers.size());
    for (const QStringList& row : m_rows) {
        m_columns = std::max(m_columns, static_cast<int>(row.size()));
    }
    m_tints.assign(m_rows.size(), QColor());
    m_toolTips.assign(m_rows.size(), QString());
    m_highlightRow = -1;
    m_highlightColumn = -1;
    endResetModel();
}

void TextTableModel::setRowTint(int row, const QColor& tint, const QString& toolTip) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    m_tints[static_cast<std::size_t>(row)] = tint;
    m_toolTips[static_cast<std::size_t>(row)] = toolTip;
    Q_EMIT dataChanged(index(row, 0), index(row, std::max(0, m_columns - 1)));
}

void TextTableModel::setHighlight(int row, int column) {
    const int oldRow = m_highlightRow;
    const int oldColumn = m_highlightColumn;
    m_highlightRow = row;
    m_highlightColumn = column;
    if (oldRow >= 0 && oldRow < rowCount()) {
        Q_EMIT dataChanged(index(oldRow, oldColumn), index(oldRow, oldColumn));
    }
    if (row >= 0 && row < rowCount()) {
        Q_EMIT dataChanged(index(row, column), index(row, column));
    }
}

void TextTableModel::setNumericColumns(std::vector<bool> numeric) {
    m_numeric = std::move(numeric);
    if (rowCount() > 0 && m_columns > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, m_columns - 1));
    }
}
