#pragma once

#include "output/GridData.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

// The data behind ListView2: headers, rows and one check state per row, shared copy-on-write
// with the snapshots that the outputs take, so an output never sees rows change under it.
// Cell texts are made when the view or an output asks for them.
class ScheduleGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ScheduleGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Column 0 takes Qt::CheckStateRole: the row's check state.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends a column with a header text.
    void addColumn(const QString& header);
    // Replaces every row at once (one model reset); every row starts checked.
    void setRows(std::shared_ptr<const GridRows> rows);
    // The same with rows given as texts, which keep their check states.
    void setRows(std::vector<GridRow> rows);
    // Removes all rows; the columns stay.
    void clear();

    // Throws Failure(IndexOutOfBounds) for a row, column or header that does not exist.
    QString text(int row, int column) const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    // Rows in any order; one change notice for all of them.
    void setChecked(const std::vector<int>& rows, bool checked);
    void toggleChecked(const std::vector<int>& rows);
    int checkedCount() const;
    const QString& header(int column) const;

    // The grid as it stands now; later changes to the grid do not reach it.
    GridSnapshot snapshot() const { return m_data; }

private:
    void replace(GridData data);
    void notifyChecks(const std::vector<int>& rows);
    GridData& detach();

    std::shared_ptr<GridData> m_data;
};
