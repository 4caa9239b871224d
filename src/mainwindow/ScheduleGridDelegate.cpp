#include "mainwindow/ScheduleGridDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace {

bool isTotalsRow(const QModelIndex& index) {
    return index.row() == index.model()->rowCount(index.parent()) - 1;
}

}  // namespace

QStyleOptionViewItem viewItemOption(const QAbstractItemView& view, const QModelIndex& index) {
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.state &= ~QStyle::State_HasFocus;
    option.font = view.font();
    option.fontMetrics = QFontMetrics(option.font);
    option.widget = &view;
    option.showDecorationSelected = true;
    option.rect = view.visualRect(index);
    return option;
}

void ScheduleGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                           const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (isTotalsRow(index)) {
        const QPalette& palette = option->palette;
        QColor shade = palette.color(QPalette::Base);
        const QColor tint = palette.color(QPalette::Highlight);
        // A light tint of the selection colour, whatever the palette.
        shade.setRgbF(0.8f * shade.redF() + 0.2f * tint.redF(),
                      0.8f * shade.greenF() + 0.2f * tint.greenF(),
                      0.8f * shade.blueF() + 0.2f * tint.blueF());
        option->backgroundBrush = shade;
        option->font.setBold(true);
    }
}

bool ScheduleGridDelegate::isCutOff(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty()) {
        return false;
    }
    const QWidget* widget = cell.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    // The style keeps this margin on either side of the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return cell.fontMetrics.horizontalAdvance(cell.text) > room.width() - 2 * margin;
}

bool ScheduleGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                     const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip ||
        !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    if (isCutOff(option, index)) {
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(),
                           view->viewport(), option.rect);
    } else {
        QToolTip::hideText();
    }
    return true;
}
