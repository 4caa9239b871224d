#pragma once

#include "core/Conversions.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <memory>
#include <utility>
#include <vector>

// A cell as a spreadsheet takes it: a number, a date, a text or nothing.
struct CellValue {
    enum class Kind : std::uint8_t { Empty, Number, Date, Text };
    Kind kind = Kind::Empty;
    double number = 0;  // a number, or a date as days since 30 December 1899
    QString text;
    qsizetype textLength = 0;  // the length of the text that the grid shows for the cell

    static CellValue fromNumber(double value) { return {Kind::Number, value, {}, 0}; }
    static CellValue fromDate(double value) { return {Kind::Date, value, {}, 0}; }
    static CellValue fromText(QString value) {
        const qsizetype length = value.size();
        return value.isEmpty() ? CellValue{} : CellValue{Kind::Text, 0, std::move(value), length};
    }
};

// The rows of a grid, read only: the texts of their cells, made when they are asked for.
class GridRows {
public:
    virtual ~GridRows() = default;
    virtual int rowCount() const = 0;
    // Appends the text of one cell (0-based row and column; column 0 is the first column, the
    // others the sub-items). A column that the row lacks reads empty.
    virtual void appendText(TextBuffer& out, int row, int column) const = 0;
    // The length of that text; rows that can tell it without making the text say so here.
    virtual qsizetype textLength(int row, int column) const;
    // A whole row at once, for loops over many rows: the texts of columns 0..columns-1 one
    // after the other, ends[c] being where column c ends; or their lengths alone.
    virtual void appendRow(TextBuffer& out, int row, int columns, qsizetype* ends) const;
    virtual void rowLengths(int row, int columns, qsizetype* lengths) const;
    // The greatest text length of each column 0..columns-1 over all rows.
    virtual void columnLengths(int columns, qsizetype* widths) const;
    // The cell as a value rather than a text; plain text rows give their text.
    virtual CellValue value(int row, int column) const;
};

// One grid row given as texts: the first-column text and the sub-item texts. The cells live
// in one string so that a row costs one allocation.
class GridRow {
public:
    GridRow() = default;
    explicit GridRow(QStringView firstColumn);

    // Cell 0 is the first-column text, cells 1.. the sub-items. A cell never set reads empty.
    QStringView cell(int column) const;
    void setCell(int column, QStringView text);
    int cellCount() const { return static_cast<int>(m_ends.size()); }

    bool checked() const { return m_checked; }
    void setChecked(bool checked) { m_checked = checked; }

private:
    QString m_chars;
    QVarLengthArray<qsizetype, 6> m_ends;
    bool m_checked = true;  // every new row starts checked
};

// Rows given as texts, for grids that no schedule fills.
class TextRows final : public GridRows {
public:
    explicit TextRows(std::vector<GridRow> rows) : m_rows(std::move(rows)) {}
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    void appendText(TextBuffer& out, int row, int column) const override;
    qsizetype textLength(int row, int column) const override {
        return m_rows[static_cast<std::size_t>(row)].cell(column).size();
    }
    const GridRow& row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

private:
    std::vector<GridRow> m_rows;
};

// What the outputs read: the headers, the rows and one check state per row, as the grid stood
// at one moment. Indexes are 0-based. Reading a row, cell or header that does not exist throws
// Failure(IndexOutOfBounds).
class GridData {
public:
    GridData() = default;
    // Rows given as texts keep their check states; the rows of a table all start checked.
    GridData(QStringList headers, std::vector<GridRow> rows);
    GridData(QStringList headers, std::shared_ptr<const GridRows> rows);

    int columnCount() const { return static_cast<int>(m_headers.size()); }
    int rowCount() const { return m_rows ? m_rows->rowCount() : 0; }
    const QStringList& headers() const { return m_headers; }
    const QString& header(int column) const;
    void addHeader(const QString& header) { m_headers.append(header); }

    bool checked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

    QString cell(int row, int column) const;
    CellValue value(int row, int column) const;
    // The rows themselves, for reading many values without the text lengths.
    const GridRows* rowSource() const { return m_rows.get(); }
    // As cell, for loops over valid indexes: no checks, no string of its own.
    void appendCell(TextBuffer& out, int row, int column) const {
        m_rows->appendText(out, row, column);
    }
    qsizetype cellLength(int row, int column) const { return m_rows->textLength(row, column); }
    void rowLengths(int row, qsizetype* lengths) const {
        m_rows->rowLengths(row, columnCount(), lengths);
    }
    // A whole row as GridRows::appendRow gives it, for loops over valid rows.
    void appendRow(TextBuffer& out, int row, qsizetype* ends) const {
        m_rows->appendRow(out, row, columnCount(), ends);
    }
    bool isChecked(int row) const { return m_checked[static_cast<std::size_t>(row)]; }

private:
    void checkIndex(int row) const;

    QStringList m_headers;
    std::shared_ptr<const GridRows> m_rows;
    std::vector<bool> m_checked;
};

// An immutable copy of the grid that an output works on while the grid itself may change.
using GridSnapshot = std::shared_ptr<const GridData>;

// The greatest text length in each column over all rows, checked or not, and over the headers
// when asked.
std::vector<qsizetype> columnWidths(const GridData& grid, bool withHeaders);

// Appends text and then spaces up to width; a longer text is written whole. A narrow out
// takes one byte per character, '?' for those beyond Latin-1.
template <class Char>
Char* appendPadded(Char* out, QStringView text, qsizetype width) {
    for (QChar ch : text) {
        const char16_t unit = ch.unicode();
        if constexpr (sizeof(Char) == 1) {
            *out++ = unit < 0x100 ? static_cast<Char>(unit) : '?';
        } else {
            *out++ = static_cast<Char>(unit);
        }
    }
    for (qsizetype i = text.size(); i < width; ++i) {
        *out++ = static_cast<Char>(u' ');
    }
    return out;
}
