#include "windows/ChartWindow.h"
#include "mainwindow/Form1.h"
#include "windows/PlannerDialog.h"
#include "windows/ReconcileDialog.h"
#include "mainwindow/ScheduleGridModel.h"
#include "windows/SolveDialog.h"
#include "windows/SummaryWindow.h"
#include "support/WindowTest.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QSet>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

class Form1MenuTest : public WindowTest {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuWalk();
    void emptyGridDisablesScheduleItems();
    void saveFailureShowsOneBox();
    void noAmbiguousKeys();
    void summaryAndChartWindows();

private:
    QAction* item(const QString& text) const;
    void calculate(const QString& months, const QString& principal = u"100000"_s);

    QStringList m_dialogs;  // class names of the dialogs run, in order
    QString m_saveAsPath;   // what a file dialog is given, if anything
};

void Form1MenuTest::init() {
    startWindowTest();
    openWindow();
    m_dialogs.clear();
    m_saveAsPath.clear();
    m_window->setDialogRunner([this](QDialog& dialog) {
        m_dialogs.append(QString::fromLatin1(dialog.metaObject()->className()));
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        if (files != nullptr && !m_saveAsPath.isEmpty()) {
            files->selectFile(m_saveAsPath);
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    });
}

void Form1MenuTest::cleanup() {
    QVERIFY2(finishWindowTest(), "a modal window stayed open");
}

QAction* Form1MenuTest::item(const QString& text) const {
    for (QAction* menu : m_window->menuBar()->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            if (QString(action->text()).remove(u'&') == text) {
                return action;
            }
        }
    }
    return nullptr;
}

void Form1MenuTest::calculate(const QString& months, const QString& principal) {
    m_window->Text1->setText(principal);
    m_window->Text2->setText(months);
    m_window->Text3->setText(u"11"_s);
    m_window->DateTimePicker1->setDate(QDate(2026, 3, 15));
    m_window->PushButton1_Click();
}

void Form1MenuTest::menuWalk() {
    calculate(u"12"_s);
    ScheduleGridModel& grid = m_window->gridModel();
    QCOMPARE(grid.rowCount(), 13);
    QStringList savedNames;
    m_window->setSaveFileChooser([&savedNames](QWidget*, const QString&) {
        savedNames.append(u"asked"_s);
        return QString();
    });
    const QString csv = m_dir->filePath(u"walk.csv"_s);
    const QByteArray emptyPath = m_dir->filePath(u"bin"_s).toLocal8Bit();
    const QByteArray path = qgetenv("PATH");
    const auto clipboard = [] { return QApplication::clipboard()->text(); };

    struct Step {
        QString item;
        QKeySequence shortcut;
        std::function<void()> before;
        std::function<bool()> reached;
    };
    const std::vector<Step> steps{
        {u"Save Results As Text File…"_s,
         QKeySequence(u"Ctrl+S"_s),
         {},
         [&] { return savedNames.size() == 1; }},
        {u"Save As…"_s, QKeySequence(u"Ctrl+Shift+S"_s), [&] { m_saveAsPath = csv; },
         [&] {
             QFile file(csv);
             return m_dialogs.endsWith(u"QFileDialog"_s) && file.open(QIODevice::ReadOnly) &&
                    file.readLine() ==
                        "#,Date,Opening Bal.,Principle Amt.,Interest Amt.,Closing Bal.\r\n";
         }},
        {u"Export To Spreadsheet Program"_s, QKeySequence(u"Ctrl+E"_s),
         [&] { qputenv("PATH", emptyPath); },
         [&] {
             qputenv("PATH", path);
             return m_boxes->shown.size() == 2 &&
                    m_boxes->shown[1].text.endsWith(u"to use this feature."_s);
         }},
        {u"Print Preview…"_s, {}, {}, [&] { return m_dialogs.endsWith(u"QPrintPreviewDialog"_s); }},
        {u"Print…"_s,
         QKeySequence(u"Ctrl+P"_s),
         {},
         [&] { return m_dialogs.endsWith(u"QPrintDialog"_s); }},
        {u"Copy Results"_s, QKeySequence(u"Ctrl+Shift+C"_s),
         [&] { QApplication::clipboard()->clear(); },
         [&] { return clipboard().startsWith(u"1 "_s); }},
        {u"Copy With Headers"_s, {}, {}, [&] { return clipboard().startsWith(u"# "_s); }},
        {u"Untick All"_s, {}, {}, [&] { return !grid.isChecked(0) && !grid.isChecked(12); }},
        {u"Tick All"_s, {}, {}, [&] { return grid.isChecked(0) && grid.isChecked(12); }},
        {u"Yearly Summary"_s,
         {},
         {},
         [&] { return m_window->summaryWindow() && m_window->summaryWindow()->isVisible(); }},
        {u"Chart"_s,
         {},
         {},
         [&] { return m_window->chartWindow() && m_window->chartWindow()->isVisible(); }},
        {u"Plan Prepayments And Rate Changes…"_s,
         {},
         {},
         [&] { return m_window->findChild<PlannerDialog*>() != nullptr; }},
        {u"Solve For…"_s, {}, {}, [&] { return m_window->findChild<SolveDialog*>() != nullptr; }},
        {u"Reconcile With Statement…"_s,
         {},
         {},
         [&] { return m_window->findChild<ReconcileDialog*>() != nullptr; }},
        {u"Keyboard Shortcuts"_s,
         {},
         {},
         [&] { return m_boxes->shown.last().text.contains(u"Ctrl+Shift+S\tSave As…"_s); }},
        {u"About Ravenmoor"_s,
         {},
         {},
         [&] { return m_boxes->shown.last().text.contains(u"https://ravenmoor.example/"_s); }},
        {u"Clear Results"_s,
         {},
         {},
         [&] { return grid.rowCount() == 0 && !m_window->summaryWindow()->isVisible(); }},
        {u"Quit"_s, QKeySequence(u"Ctrl+Q"_s), {}, [&] { return m_window->isClosing(); }},
    };
    m_window->show();
    QSet<QKeySequence> shortcuts;
    for (const Step& step : steps) {
        QAction* action = item(step.item);
        QVERIFY2(action != nullptr, qPrintable(step.item));
        QCOMPARE(action->shortcut(), step.shortcut);
        if (!step.shortcut.isEmpty()) {
            QVERIFY2(!shortcuts.contains(step.shortcut), "one shortcut, one item");
            shortcuts.insert(step.shortcut);
        }
        if (step.before) {
            step.before();
        }
        action->trigger();
        QVERIFY2(step.reached(), qPrintable(step.item));
    }
}

void Form1MenuTest::emptyGridDisablesScheduleItems() {
    for (const QString& text : {u"Save As…"_s, u"Print Preview…"_s, u"Print…"_s, u"Copy Results"_s,
                                u"Copy With Headers"_s, u"Tick All"_s, u"Untick All"_s,
                                u"Clear Results"_s, u"Yearly Summary"_s, u"Chart"_s}) {
        QVERIFY2(!item(text)->isEnabled(), qPrintable(text));
    }
    for (const QString& text : {u"Save Results As Text File…"_s, u"Export To Spreadsheet Program"_s,
                                u"Quit"_s, u"Keyboard Shortcuts"_s, u"About Ravenmoor"_s}) {
        QVERIFY2(item(text)->isEnabled(), qPrintable(text));
    }
}

void Form1MenuTest::noAmbiguousKeys() {
    // No two actions of the window share a shortcut.
    QSet<QKeySequence> shortcuts;
    for (QAction* action : m_window->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            QVERIFY2(!shortcuts.contains(key), qPrintable(key.toString()));
            shortcuts.insert(key);
        }
    }
    // No Alt+letter opens a menu and also presses a button or moves to an input.
    QSet<QChar> letters;
    QStringList texts;
    for (QAction* menu : m_window->menuBar()->actions()) {
        texts.append(menu->text());
    }
    for (QAbstractButton* button : m_window->findChildren<QAbstractButton*>()) {
        texts.append(button->text());
    }
    for (QLabel* label : m_window->Label1) {
        texts.append(label->text());
    }
    for (const QString& text : texts) {
        const qsizetype amp = text.indexOf(u'&');
        if (amp >= 0 && amp + 1 < text.size()) {
            const QChar letter = text[amp + 1].toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(text));
            letters.insert(letter);
        }
    }
}

void Form1MenuTest::saveFailureShowsOneBox() {
    calculate(u"12"_s);
    m_saveAsPath = m_dir->filePath(u"missing/schedule.pdf"_s);
    m_window->saveAs();
    QCOMPARE(m_boxes->shown.size(), 1);
    QVERIFY2(m_boxes->shown[0].text.startsWith(u"Ravenmoor could not save \""_s) &&
                 m_boxes->shown[0].text.contains(u"/missing/schedule.pdf\": "_s),
             qPrintable(m_boxes->shown[0].text));
    QCOMPARE(m_boxes->shown[0].icon, MessageIcon::Warning);

    m_window->showYearlySummary();
    m_window->summaryWindow()->saveAs();
    QCOMPARE(m_boxes->shown.size(), 2);
    QVERIFY(m_boxes->shown[1].text.contains(u"missing"_s));

    // Amounts beyond whole cents in 64 bits: one box, no file.
    calculate(u"12"_s, u"1e20"_s);
    QCOMPARE(m_window->gridModel().rowCount(), 13);
    m_window->saveAs();
    QCOMPARE(m_boxes->shown.size(), 3);
    QVERIFY(m_boxes->shown[2].text.contains(u"too large"_s));
}

void Form1MenuTest::summaryAndChartWindows() {
    calculate(u"30"_s);
    m_window->showYearlySummary();
    SummaryWindow* summary = m_window->summaryWindow();
    QCOMPARE(summary->summary().years.size(), 3u);  // April 2026 to September 2028
    // The true cost names both legal rates; the schedule's rows repay its principal here.
    QVERIFY(summary->findChild<QLabel*>(u"aprUs"_s)->text().endsWith(u" %"_s));
    QVERIFY(summary->findChild<QLabel*>(u"aprcEu"_s)->text().endsWith(u" %"_s));
    summary->setBasis(YearBasis::Loan);
    QCOMPARE(summary->summary().years.size(), 3u);
    QCOMPARE(summary->summary().years[2].firstInstalment, 25);

    m_window->showChart();
    ChartView* view = m_window->chartWindow()->view();
    view->resize(600, 300);
    m_window->chartWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window->chartWindow()));
    QString readout;
    connect(view, &ChartView::readoutChanged, this,
            [&readout](const QString& text) { readout = text; });
    const QPointF middle(view->width() / 2.0, view->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, middle, view->mapToGlobal(middle), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QVERIFY2(readout.startsWith(u"Month "_s), qPrintable(readout));

    // A new Calculate refreshes the open windows; Clear hides them.
    calculate(u"60"_s);
    QCOMPARE(summary->summary().years.size(), 5u);  // loan years still chosen
    m_window->PushButton10_Click();
    QVERIFY(!summary->isVisible() && !m_window->chartWindow()->isVisible());
}

QTEST_MAIN(Form1MenuTest)
#include "tst_form1menu.moc"
