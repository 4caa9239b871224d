// The menu bar: every item runs the same handler as its button, or one of the commands that
// only the menu offers.
#include "mainwindow/Form1.h"

#include "core/MessageBoxes.h"
#include "core/Version.h"
#include "mainwindow/ScheduleGridModel.h"
#include "windows/PlannerDialog.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

void Form1::buildMenuBar() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(u"menuBar"_s);
    m_menuBar->setNativeMenuBar(false);
    m_menuBar->setFont(QFont());
    // The hover cue: over the menu bar the pointer is the ordinary one.
    m_menuBar->setMouseTracking(true);
    m_menuBar->installEventFilter(this);

    const auto add = [this](QMenu* menu, const QString& text, const QKeySequence& shortcut,
                            bool needsSchedule, auto handler) {
        QAction* action = menu->addAction(text);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        if (needsSchedule) {
            m_scheduleActions.push_back(action);
        }
        return action;
    };
    // The window's keyboard commands appear in the menus as they are, shortcut and all.
    const auto reuse = [this](QMenu* menu, QAction* action, const QString& text,
                              bool needsSchedule) {
        action->setText(text);
        menu->addAction(action);
        if (needsSchedule) {
            m_scheduleActions.push_back(action);
        }
    };

    QMenu* file = m_menuBar->addMenu(u"&File"_s);
    file->setObjectName(u"fileMenu"_s);
    // Saving the text report and exporting work, as their buttons do, on an empty grid too.
    reuse(file, m_actions.saveText, u"&Save Results As Text File…"_s, false);
    add(file, u"Save &As…"_s, QKeySequence(u"Ctrl+Shift+S"_s), true, &Form1::saveAs);
    reuse(file, m_actions.exportSheet, u"&Export To Spreadsheet Program"_s, false);
    file->addSeparator();
    add(file, u"Print Pre&view…"_s, QKeySequence(), true, &Form1::printPreview);
    add(file, u"&Print…"_s, QKeySequence(u"Ctrl+P"_s), true, &Form1::printSchedule);
    file->addSeparator();
    add(file, u"&Quit"_s, QKeySequence(u"Ctrl+Q"_s), false, &QWidget::close);

    QMenu* edit = m_menuBar->addMenu(u"E&dit"_s);
    edit->setObjectName(u"editMenu"_s);
    reuse(edit, m_actions.copyResults, u"&Copy Results"_s, true);
    add(edit, u"Copy &With Headers"_s, QKeySequence(), true, &Form1::copyWithHeaders);
    edit->addSeparator();
    add(edit, u"&Tick All"_s, QKeySequence(), true, [this] { tickAll(true); });
    add(edit, u"&Untick All"_s, QKeySequence(), true, [this] { tickAll(false); });
    edit->addSeparator();
    add(edit, u"C&lear Results"_s, QKeySequence(), true, &Form1::PushButton10_Click);

    QMenu* view = m_menuBar->addMenu(u"&View"_s);
    view->setObjectName(u"viewMenu"_s);
    add(view, u"&Yearly Summary"_s, QKeySequence(), true, &Form1::showYearlySummary);
    add(view, u"&Chart"_s, QKeySequence(), true, &Form1::showChart);

    // The planner and solver dialogs live in this menu.
    QMenu* tools = m_menuBar->addMenu(u"T&ools"_s);
    tools->setObjectName(u"toolsMenu"_s);
    add(tools, u"&Plan Prepayments And Rate Changes…"_s, QKeySequence(), false,
        [this] { openPlannerDialog(); });
    add(tools, u"&Solve For…"_s, QKeySequence(), false, [this] { openSolveDialog(); });
    add(tools, u"&Reconcile With Statement…"_s, QKeySequence(), false,
        [this] { openReconcileDialog(); });
    add(tools, u"&Compare Loans…"_s, QKeySequence(), false,
        [this] { openCompareWindow(); });

    QMenu* help = m_menuBar->addMenu(u"&Help"_s);
    help->setObjectName(u"helpMenu"_s);
    add(help, u"&Keyboard Shortcuts"_s, QKeySequence(), false, &Form1::showKeyboardShortcuts);
    add(help, u"&About Ravenmoor"_s, QKeySequence(), false, &Form1::showAbout);

    connect(m_grid, &QAbstractItemModel::modelReset, this, &Form1::updateScheduleCommands);
    connect(m_grid, &QAbstractItemModel::rowsInserted, this, &Form1::updateScheduleCommands);
    connect(m_grid, &QAbstractItemModel::rowsRemoved, this, &Form1::updateScheduleCommands);
    updateScheduleCommands();
}

void Form1::showKeyboardShortcuts() {
    QString text = u"Keyboard shortcuts:\n"_s;
    for (QAction* menu : m_menuBar->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (!item->shortcut().isEmpty()) {
                text += u"\n%1\t%2"_s.arg(item->shortcut().toString(QKeySequence::NativeText),
                                          QString(item->text()).remove(u'&'));
            }
        }
    }
    text +=
        u"\nF4, Alt+Down\tOpen the start date's calendar"
        "\nSpace\tTick or untick the selected rows"
        "\nCtrl+C\tCopy the selected rows (in the grid)"
        "\nEnter\tCalculate EMI (in an input)"_s;
    messageBoxes().show(Message{text, u"Keyboard Shortcuts"_s, MessageIcon::None});
}

void Form1::showAbout() {
    const QString text =
        u"Ravenmoor %1\n\nA calculator for loans repaid in equal monthly instalments: the "
        "instalment, the repayment schedule, yearly summary, chart, print and files.\n\n"
        "Licence: MIT\n%2"_s.arg(QString::fromLatin1(ravenmoor::version),
                                 QString::fromUtf16(webSiteAddress));
    messageBoxes().show(Message{text, u"About Ravenmoor"_s, MessageIcon::None});
}
