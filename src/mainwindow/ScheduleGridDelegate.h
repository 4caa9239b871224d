#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

// The options a view gives its cells, with the rect of this cell.
QStyleOptionViewItem viewItemOption(const QAbstractItemView& view, const QModelIndex& index);

// Draws the schedule grid's cells: the totals row (the last row) shaded, and the whole text of a
// cut-off cell as its tooltip.
class ScheduleGridDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // True when the cell's text does not fit in the room the cell gives it.
    bool isCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
