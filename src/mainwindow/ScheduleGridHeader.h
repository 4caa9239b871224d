#pragma once

#include <QHeaderView>

// The schedule grid's column headers, with a tri-state check box before the "#" text: ticked
// when every row is ticked, unticked when none is, partly ticked otherwise. Clicking it asks
// for every row to be ticked, or, when all are, unticked.
class ScheduleGridHeader final : public QHeaderView {
    Q_OBJECT
public:
    explicit ScheduleGridHeader(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    Qt::CheckState checkState() const;
    QRect checkBoxRect() const;

Q_SIGNALS:
    void allCheckRequested(bool checked);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect checkBoxRect(const QRect& section) const;
};
