#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <memory>
#include <utility>
#include <vector>

// One grid row: the first-column text, the sub-item texts and the check state. The cells live
// in one string so that a 32768-row schedule costs one allocation per row.
class GridRow {
public:
    GridRow() = default;
    explicit GridRow(QStringView firstColumn);
    // A whole row at once: the texts of all cells one after the other, and where each cell ends.
    GridRow(QString chars, const QVarLengthArray<qsizetype, 6>& ends)
        : m_chars(std::move(chars)), m_ends(ends) {}

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

// What the outputs read: the headers and the rows of the grid as they stood at one moment.
// Indexes are 0-based. Reading a row, cell or header that does not exist throws
// Failure(IndexOutOfBounds).
struct GridData {
    QStringList headers;
    std::vector<GridRow> rows;

    int columnCount() const { return static_cast<int>(headers.size()); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    const QString& header(int column) const;
    const GridRow& row(int row) const;
    QStringView cell(int row, int column) const;
};

// An immutable copy of the grid that an output works on while the grid itself may change.
using GridSnapshot = std::shared_ptr<const GridData>;
