#include "output/GridData.h"

#include "core/Failure.h"

#include <algorithm>

CellValue GridRows::value(int row, int column) const {
    TextBuffer text;
    appendText(text, row, column);
    return CellValue::fromText(stringOf(text));
}

qsizetype GridRows::textLength(int row, int column) const {
    TextBuffer text;
    appendText(text, row, column);
    return text.size();
}

void GridRows::appendRow(TextBuffer& out, int row, int columns, qsizetype* ends) const {
    for (int c = 0; c < columns; ++c) {
        appendText(out, row, c);
        ends[c] = out.size();
    }
}

void GridRows::rowLengths(int row, int columns, qsizetype* lengths) const {
    for (int c = 0; c < columns; ++c) {
        lengths[c] = textLength(row, c);
    }
}

void GridRows::columnLengths(int columns, qsizetype* widths) const {
    std::fill(widths, widths + columns, 0);
    std::vector<qsizetype> lengths(static_cast<std::size_t>(columns));
    for (int r = 0, rows = rowCount(); r < rows; ++r) {
        rowLengths(r, columns, lengths.data());
        for (int c = 0; c < columns; ++c) {
            widths[c] = std::max(widths[c], lengths[static_cast<std::size_t>(c)]);
        }
    }
}

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

void TextRows::appendText(TextBuffer& out, int row, int column) const {
    const QStringView text = m_rows[static_cast<std::size_t>(row)].cell(column);
    out.append(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

GridData::GridData(QStringList headers, std::vector<GridRow> rows) : m_headers(std::move(headers)) {
    m_checked.reserve(rows.size());
    for (const GridRow& row : rows) {
        m_checked.push_back(row.checked());
    }
    m_rows = std::make_shared<const TextRows>(std::move(rows));
}

GridData::GridData(QStringList headers, std::shared_ptr<const GridRows> rows)
    : m_headers(std::move(headers)),
      m_rows(std::move(rows)),
      m_checked(static_cast<std::size_t>(m_rows ? m_rows->rowCount() : 0), true) {}

const QString& GridData::header(int column) const {
    if (column < 0 || column >= m_headers.size()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    return m_headers[column];
}

void GridData::checkIndex(int row) const {
    if (row < 0 || row >= rowCount()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
}

bool GridData::checked(int row) const {
    checkIndex(row);
    return isChecked(row);
}

void GridData::setChecked(int row, bool checked) {
    checkIndex(row);
    m_checked[static_cast<std::size_t>(row)] = checked;
}

void GridData::setAllChecked(bool checked) {
    std::fill(m_checked.begin(), m_checked.end(), checked);
}

QString GridData::cell(int row, int column) const {
    checkIndex(row);
    if (column < 0 || column >= columnCount()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    TextBuffer text;
    appendCell(text, row, column);
    return stringOf(text);
}

CellValue GridData::value(int row, int column) const {
    checkIndex(row);
    if (column < 0 || column >= columnCount()) {
        throw Failure::platform(PlatformFailure::IndexOutOfBounds);
    }
    CellValue result = m_rows->value(row, column);
    if (result.kind == CellValue::Kind::Number || result.kind == CellValue::Kind::Date) {
        result.textLength = cellLength(row, column);
    }
    return result;
}

std::vector<qsizetype> columnWidths(const GridData& grid, bool withHeaders) {
    const int columns = grid.columnCount();
    std::vector<qsizetype> widths(static_cast<std::size_t>(columns), 0);
    if (const GridRows* rows = grid.rowSource()) {
        rows->columnLengths(columns, widths.data());
    }
    if (withHeaders) {
        for (int c = 0; c < columns; ++c) {
            auto& width = widths[static_cast<std::size_t>(c)];
            width = std::max(width, grid.headers()[c].size());
        }
    }
    return widths;
}
