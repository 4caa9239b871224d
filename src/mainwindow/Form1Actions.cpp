// The window's keyboard commands, all made here as actions of Form1.
#include "mainwindow/Form1.h"

#include "core/AutomationDate.h"
#include "documents/Clipboard.h"
#include "mainwindow/ScheduleGridModel.h"
#include "output/CopyText.h"
#include "output/ScheduleTable.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTreeView>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QAction* makeAction(QWidget* owner, QWidget* scope, const QString& name, const QString& text,
                    const QList<QKeySequence>& keys, Qt::ShortcutContext context) {
    auto* action = new QAction(text, owner);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    scope->addAction(action);
    return action;
}

// The calendar year of a row's due date; none for the totals row.
std::optional<int> dueYear(const GridData& grid, int row) {
    const CellValue date = grid.value(row, static_cast<int>(ScheduleColumn::Date));
    if (date.kind != CellValue::Kind::Date) {
        return std::nullopt;
    }
    return AutomationDate::toDate(date.number).year();
}

}  // namespace

void Form1::createActions() {
    const auto windowAction = [this](const QString& name, QPushButton* button,
                                     const QKeySequence& key, void (Form1::*handler)()) {
        QAction* action = makeAction(this, this, name, button->text(), {key}, Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        button->setToolTip(key.toString(QKeySequence::NativeText));
        return action;
    };
    m_actions.saveText =
        windowAction(u"actionSaveText"_s, PushButton9, QKeySequence(Qt::CTRL | Qt::Key_S),
                     &Form1::PushButton9_Click);
    m_actions.exportSheet =
        windowAction(u"actionExportSheet"_s, PushButton13, QKeySequence(Qt::CTRL | Qt::Key_E),
                     &Form1::PushButton13_Click);
    m_actions.copyResults =
        windowAction(u"actionCopyResults"_s, PushButton11,
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &Form1::PushButton11_Click);

    m_actions.openCalendar = makeAction(
        this, DateTimePicker1, u"actionOpenCalendar"_s, u"Open calendar"_s,
        {QKeySequence(Qt::Key_F4), QKeySequence(Qt::ALT | Qt::Key_Down)}, Qt::WidgetShortcut);
    connect(m_actions.openCalendar, &QAction::triggered, this, &Form1::openCalendar);

    const auto gridAction = [this](const QString& name, const QString& text,
                                   const QKeySequence& key, auto slot) {
        QAction* action = makeAction(this, ListView2, name, text,
                                     key.isEmpty() ? QList<QKeySequence>{} : QList{key},
                                     Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_actions.tickAll = gridAction(u"actionTickAll"_s, u"Tick all"_s, {},
                                   [this] { gridModel().setAllChecked(true); });
    m_actions.untickAll = gridAction(u"actionUntickAll"_s, u"Untick all"_s, {},
                                     [this] { gridModel().setAllChecked(false); });
    m_actions.tickSelected = gridAction(u"actionTickSelected"_s, u"Tick selected"_s, {}, [this] {
        gridModel().setChecked(selectedGridRows(), true);
    });
    m_actions.untickSelected =
        gridAction(u"actionUntickSelected"_s, u"Untick selected"_s, {},
                   [this] { gridModel().setChecked(selectedGridRows(), false); });
    m_actions.tickYear = gridAction(u"actionTickYear"_s, u"Tick instalments of year…"_s, {},
                                    [this] { askYearAndTick(); });
    m_actions.toggleRows = gridAction(u"actionToggleRows"_s, u"Toggle ticks of selected"_s,
                                      QKeySequence(Qt::Key_Space),
                                      [this] { gridModel().toggleChecked(selectedGridRows()); });
    m_actions.copyRows = gridAction(u"actionCopyRows"_s, u"Copy selected rows"_s,
                                    QKeySequence::Copy, [this] { copySelectedRows(); });
    // The grid's context menu lists its actions in groups.
    for (QAction* groupStart : {m_actions.tickSelected, m_actions.tickYear, m_actions.toggleRows}) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        ListView2->insertAction(groupStart, separator);
    }
    ListView2->setContextMenuPolicy(Qt::ActionsContextMenu);
}

std::vector<int> Form1::selectedGridRows() const {
    std::vector<int> rows;
    const QItemSelectionModel* selection = ListView2->selectionModel();
    if (selection == nullptr) {
        return rows;
    }
    for (const QItemSelectionRange& range : selection->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void Form1::tickInstalmentsOfYear(int year) {
    const GridSnapshot grid = gridModel().snapshot();
    std::vector<int> rows;
    for (int row = 0, count = grid->rowCount(); row < count; ++row) {
        if (dueYear(*grid, row) == year) {
            rows.push_back(row);
        }
    }
    gridModel().setChecked(rows, true);
}

void Form1::askYearAndTick() {
    const GridSnapshot grid = gridModel().snapshot();
    const int rows = grid->rowCount();
    const std::optional<int> first = rows > 1 ? dueYear(*grid, 0) : std::nullopt;
    const std::optional<int> last = rows > 1 ? dueYear(*grid, rows - 2) : std::nullopt;
    if (!first || !last) {
        return;
    }
    bool chosen = false;
    const int year = QInputDialog::getInt(
        this, u"Tick instalments of year"_s, u"Calendar year of the due dates:"_s, *first,
        std::min(*first, *last), std::max(*first, *last), 1, &chosen);
    if (chosen) {
        tickInstalmentsOfYear(year);
    }
}

void Form1::copySelectedRows() {
    const std::vector<int> rows = selectedGridRows();
    if (rows.empty()) {
        return;
    }
    // The Copy command's text, with the selection in place of the ticks.
    GridData selected = *gridModel().snapshot();
    selected.setAllChecked(false);
    for (const int row : rows) {
        selected.setChecked(row, true);
    }
    SetClipboardText(buildCopyText(selected), 0);
}

bool Form1::isWindowShortcut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action :
         {m_actions.saveText, m_actions.exportSheet, m_actions.copyResults}) {
        if (action != nullptr && action->shortcut() == pressed) {
            return true;
        }
    }
    return false;
}

void Form1::openCalendar() {
    // The picker opens its calendar only from a press on its arrow: press it there.
    QStyleOptionComboBox option;
    option.initFrom(DateTimePicker1);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow = DateTimePicker1->style()->subControlRect(
        QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, DateTimePicker1);
    const QPointF at = arrow.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, DateTimePicker1->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(DateTimePicker1, &press);
}
