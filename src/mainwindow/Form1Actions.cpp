// The window's keyboard commands, all made here as actions of Form1.
#include "mainwindow/Form1.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

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

}  // namespace

void Form1::createActions() {
    const auto windowAction = [this](const QString& name, QPushButton* button,
                                      const QKeySequence& key, void (Form1::*handler)()) {
        QAction* action = makeAction(this, this, name, button->text(), {key}, Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        button->setToolTip(key.toString(QKeySequence::NativeText));
        return action;
    };
    m_actions.saveText = windowAction(u"actionSaveText"_s, PushButton9,
                                      QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::PushButton9_Click);
    m_actions.exportSheet =
        windowAction(u"actionExportSheet"_s, PushButton13, QKeySequence(Qt::CTRL | Qt::Key_E),
                     &Form1::PushButton13_Click);
    m_actions.copyResults =
        windowAction(u"actionCopyResults"_s, PushButton11,
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &Form1::PushButton11_Click);

    m_actions.openCalendar =
        makeAction(this, DateTimePicker1, u"actionOpenCalendar"_s, u"Open Calendar"_s,
                   {QKeySequence(Qt::Key_F4), QKeySequence(Qt::ALT | Qt::Key_Down)},
                   Qt::WidgetShortcut);
    connect(m_actions.openCalendar, &QAction::triggered, this, &Form1::openCalendar);
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
