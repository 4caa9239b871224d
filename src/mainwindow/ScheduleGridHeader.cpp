#include "mainwindow/ScheduleGridHeader.h"

#include "mainwindow/ScheduleGridModel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>

namespace {

// Space between the box and the "#" text.
constexpr int boxGap = 4;

}  // namespace

ScheduleGridHeader::ScheduleGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // As a tree view's own header: texts on the left.
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ScheduleGridHeader::setModel(QAbstractItemModel* model) {
    if (this->model() != nullptr) {
        disconnect(this->model(), nullptr, this, nullptr);
    }
    QHeaderView::setModel(model);
    if (model == nullptr) {
        return;
    }
    const auto repaint = [this] { viewport()->update(); };
    connect(model, &QAbstractItemModel::dataChanged, this, repaint);
    connect(model, &QAbstractItemModel::modelReset, this, repaint);
}

Qt::CheckState ScheduleGridHeader::checkState() const {
    const auto* grid = qobject_cast<const ScheduleGridModel*>(model());
    if (grid == nullptr || grid->rowCount() == 0) {
        return Qt::Unchecked;
    }
    const int checked = grid->checkedCount();
    if (checked == 0) {
        return Qt::Unchecked;
    }
    return checked == grid->rowCount() ? Qt::Checked : Qt::PartiallyChecked;
}

QRect ScheduleGridHeader::checkBoxRect(const QRect& section) const {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    const int size = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    return {section.left() + margin, section.center().y() - size / 2 + 1, size, size};
}

QRect ScheduleGridHeader::checkBoxRect() const {
    return checkBoxRect(QRect(sectionViewportPosition(0), 0, sectionSize(0), height()));
}

void ScheduleGridHeader::paintSection(QPainter* painter, const QRect& rect,
                                      int logicalIndex) const {
    if (logicalIndex != 0 || !rect.isValid()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    const QRect box = checkBoxRect(rect);
    QStyleOptionHeader label = option;
    label.rect = rect.adjusted(box.right() + boxGap - rect.left(), 0, 0, 0);
    style()->drawControl(QStyle::CE_HeaderLabel, &label, painter, this);

    QStyleOptionButton check;
    check.initFrom(this);
    check.rect = box;
    const Qt::CheckState state = checkState();
    check.state |= state == Qt::Checked     ? QStyle::State_On
                   : state == Qt::Unchecked ? QStyle::State_Off
                                            : QStyle::State_NoChange;
    if (model() == nullptr || model()->rowCount() == 0) {
        check.state &= ~QStyle::State_Enabled;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, this);
    painter->restore();
}

QSize ScheduleGridHeader::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (logicalIndex == 0) {
        size.rwidth() += checkBoxRect(QRect()).width() + boxGap;
    }
    return size;
}

void ScheduleGridHeader::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && model() != nullptr && model()->rowCount() > 0 &&
        checkBoxRect().contains(event->position().toPoint())) {
        Q_EMIT allCheckRequested(checkState() != Qt::Checked);
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}
