#include "output/GridData.h"

#include "core/Failure.h"

GridRow::GridRow(QStringView firstColumn) : m_chars(firstColumn.toString()) {
    m_ends.append(m_chars.size());
}

QStringView GridRow::cell(int column) const {
    if (column < 0 || column >= m_ends.size()) {
        return {};
    }
    const qsizetype begin = column == 0 ? 0 : m_ends[column - 1];
    return QStringView(m_chars).sliced(begin, m_ends[column] - begin);
}

void GridRow::setCell(int column, QStringView text) {
    if (column < 0) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    while (m_ends.size() < column) {
        m_ends.append(m_chars.size());
    }
    if (column == m_ends.size()) {
        m_chars.append(text);
        m_ends.append(m_chars.size());
        return;
    }
    // Replacing a cell in the middle is rare: rebuild the string.
    QString chars;
    QVarLengthArray<qsizetype, 6> ends;
    for (int c = 0; c < m_ends.size(); ++c) {
        chars.append(c == column ? text : cell(c));
        ends.append(chars.size());
    }
    m_chars = std::move(chars);
    m_ends = std::move(ends);
}

const QString& GridData::header(int column) const {
    if (column < 0 || column >= headers.size()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    return headers[column];
}

const GridRow& GridData::row(int row) const {
    if (row < 0 || row >= rowCount()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    return rows[static_cast<std::size_t>(row)];
}

QStringView GridData::cell(int row, int column) const {
    if (column < 0 || column >= columnCount()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    return this->row(row).cell(column);
}
