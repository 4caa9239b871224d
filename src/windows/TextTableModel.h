#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <vector>

// A read-only table of texts for the tools' dialogs: headers, rows, a tint and a tooltip per
// row, and one highlighted cell.
class TextTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TextTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces everything at once (one model reset); rows may be ragged.
    void setContents(QStringList headers, std::vector<QStringList> rows);
    void setRowTint(int row, const QColor& tint, const QString& toolTip);
    // (-1, -1) for none.
    void setHighlight(int row, int column);
    // Columns whose texts are right-aligned.
    void setNumericColumns(std::vector<bool> numeric);

    int highlightRow() const { return m_highlightRow; }
    int highlightColumn() const { return m_highlightColumn; }

private:
    QStringList m_headers;
    std::vector<QStringList> m_rows;
    std::vector<QColor> m_tints;
    std::vector<QString> m_toolTips;
    std::vector<bool> m_numeric;
    int m_columns = 0;
    int m_highlightRow = -1;
    int m_highlightColumn = -1;
};
