#include "mainwindow/Form1.h"
#include "windows/CompareWindow.h"
#include "support/RecordingBoxes.h"

#include "windows/LoanEntry.h"
#include "windows/PlannerModels.h"
#include "windows/ReconcileDialog.h"
#include "windows/SolveDialog.h"
#include "windows/TextTableModel.h"
#include "shell/SettingsStore.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class ToolDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void loanEntry_data();
    void loanEntry();
    void solveFillsTheInputs_data();
    void solveFillsTheInputs();
    void reconcileHighlightsTheFirstDifference();
    void compareLoansMarksTheCheapest();
    void reconcileWithThePlannersEvents();
    void reconcileKeepsItsSize();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_window;
};

void ToolDialogsTest::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void ToolDialogsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<Form1>(
        std::make_unique<SettingsStore>(m_dir->filePath(u"Kestrelor.ini"_s)));
    m_window->setMessageBoxes(std::make_unique<RecordingBoxes>());
    m_window->setRandomDraw([] { return 100; });
    m_window->Form_Load();
    m_window->Text1->setText(u"100000"_s);
    m_window->Text2->setText(u"12"_s);
    m_window->Text3->setText(u"11"_s);
}

void ToolDialogsTest::cleanup() {
    m_window.reset();
    m_dir.reset();
}

// Every window reads a loan the same way: in the user's locale, on the engine's limits, the
// principal in whole cents rounded as the money rule rounds.
void ToolDialogsTest::loanEntry_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("typed");  // principal, months, rate
    QTest::addColumn<qint64>("cents");       // -1: not read
    QTest::addColumn<int>("months");         // 0: not read
    QTest::addColumn<double>("rate");        // -1: not read
    const QLocale c(QLocale::C);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("C") << c << QStringList{u"100000"_s, u"12"_s, u"11"_s} << qint64(10'000'000) << 12 << 11.0;
    QTest::newRow("en_US grouped") << us << QStringList{u"250,000.50"_s, u"360"_s, u"5.125"_s} << qint64(25'000'050) << 360 << 5.125;
    QTest::newRow("de_DE grouped") << de << QStringList{u"250.000,50"_s, u"360"_s, u"5,125"_s} << qint64(25'000'050) << 360 << 5.125;
    QTest::newRow("sub-cent tie to even") << us << QStringList{u"0.125"_s, u"1"_s, u"0"_s} << qint64(12) << 1 << 0.0;
    QTest::newRow("largest") << us << QStringList{u"1000000000000"_s, u"32767"_s, u"1000"_s} << qint64(100'000'000'000'000) << 32767 << 1000.0;
    QTest::newRow("past the limits") << us << QStringList{u"1000000000000.01"_s, u"32768"_s, u"1000.01"_s} << qint64(-1) << 0 << -1.0;
    QTest::newRow("zero and negative") << us << QStringList{u"0"_s, u"0"_s, u"-0.5"_s} << qint64(-1) << 0 << -1.0;
    QTest::newRow("fractional months") << us << QStringList{u"1"_s, u"12.5"_s, u"abc"_s} << qint64(100) << 0 << -1.0;
    QTest::newRow("de_DE reads no US point") << de << QStringList{u"1,000.50"_s, u"12"_s, u"5.5"_s} << qint64(-1) << 12 << -1.0;
}

void ToolDialogsTest::loanEntry() {
    QFETCH(QLocale, locale);
    QFETCH(QStringList, typed);
    QFETCH(qint64, cents);
    QFETCH(int, months);
    QFETCH(double, rate);
    const LoanEntry entry = readLoanEntry(typed[0], typed[1], typed[2], locale);
    QCOMPARE(entry.principal.value_or(-1), cents);
    QCOMPARE(entry.months.value_or(0), months);
    QCOMPARE(entry.annualPercent.value_or(-1), rate);
}

void ToolDialogsTest::solveFillsTheInputs_data() {
    QTest::addColumn<int>("unknown");
    QTest::addColumn<QString>("emi");
    QTest::addColumn<QStringList>("inputs");  // principal, months, rate afterwards
    QTest::newRow("rate of the worked example")
        << 2 << "8838.17" << QStringList{u"100000"_s, u"12"_s, u"11"_s};
    QTest::newRow("principal for 9000")
        << 0 << "9000" << QStringList{u"101831.13"_s, u"12"_s, u"11"_s};
    QTest::newRow("months for 5000") << 1 << "5000" << QStringList{u"100000"_s, u"23"_s, u"11"_s};
    QTest::newRow("no term covers 900") << 1 << "900" << QStringList();
}

void ToolDialogsTest::solveFillsTheInputs() {
    QFETCH(int, unknown);
    QFETCH(QString, emi);
    QFETCH(QStringList, inputs);
    SolveDialog* dialog = m_window->openSolveDialog();
    QCOMPARE(dialog->emiEdit->text(), u"8838.17"_s);
    dialog->unknownBox->setCurrentIndex(unknown);
    dialog->emiEdit->setText(emi);
    if (inputs.isEmpty()) {
        QVERIFY(!dialog->useButton->isEnabled());
        QVERIFY(dialog->resultLabel->text().contains(u"does not cover more than the interest"_s));
        return;
    }
    QVERIFY2(dialog->useButton->isEnabled(), qPrintable(dialog->resultLabel->text()));
    // The main schedule's own totals, and both legal rates, each labelled.
    for (const QString& label :
         {u"Schedule total interest"_s, u"APR (US)"_s, u"APRC (EU/UK)"_s}) {
        QVERIFY(dialog->resultLabel->text().contains(label));
    }
    dialog->useButton->click();
    QCOMPARE(
        (QStringList{m_window->Text1->text(), m_window->Text2->text(), m_window->Text3->text()}),
        inputs);
}

// 100000 at 11 %: over 12 months 6058.09 interest, over 24 months 11856.61; fees of 7000 on
// the shorter loan make the longer one, with fees of 500, the cheaper.
void ToolDialogsTest::compareLoansMarksTheCheapest() {
    CompareWindow* compare = m_window->openCompareWindow();
    QCOMPARE(compare->loanCount(), 2);
    QCOMPARE(compare->offers().front().loan.principal, 10000000);
    compare->monthsEdit(1)->setText(u"24"_s);
    compare->feesEdit(1)->setText(u"500"_s);
    QCOMPARE(compare->comparison().cheapest, 0);
    QVERIFY(compare->headerLabel(0)->text().contains(u"cheapest"_s));
    compare->feesEdit(0)->setText(u"7,000"_s);
    compare->rateEdit(0)->setText(u"11.005"_s);  // shown as typed, not as 11.01
    QCOMPARE(compare->comparison().cheapest, 1);
    QVERIFY(!compare->headerLabel(0)->text().contains(u"cheapest"_s));
    compare->copy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u"\r\n"_s, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[2].startsWith(u"2\t100,000.00\t11.00 %\t"_s) && lines[2].endsWith(u"\tYes"_s));
    QVERIFY(lines[1].startsWith(u"1\t100,000.00\t11.005 %\t"_s));
    // APR (US) to two decimals and APRC (EU/UK) to one, as every other window shows them.
    const QStringList cells = lines[1].split(u'\t');
    QVERIFY(QRegularExpression(u"^\\d+\\.\\d\\d %$"_s).match(cells.value(9)).hasMatch());
    QVERIFY(QRegularExpression(u"^\\d+\\.\\d %$"_s).match(cells.value(10)).hasMatch());
    for (int i = 0; i < 6; ++i) {
        compare->addLoan();
    }
    QCOMPARE(compare->loanCount(), CompareWindow::maxLoans);
    for (int i = 0; i < 6; ++i) {
        compare->removeLoan();
    }
    QCOMPARE(compare->loanCount(), CompareWindow::minLoans);
    compare->close();
}

void ToolDialogsTest::reconcileHighlightsTheFirstDifference() {
    m_window->Text3->setText(u"11.5"_s);
    m_window->DateTimePicker1->setDate(QDate(2026, 1, 31));  // the statement's due dates
    ReconcileDialog* dialog = m_window->openReconcileDialog();
    QAbstractItemModelTester statementTester(&dialog->statementModel());
    QAbstractItemModelTester computedTester(&dialog->computedModel());
    // Before a statement: what to paste, no arithmetic listed.
    QVERIFY(dialog->sentenceLabel->text().startsWith(u"Paste the lender's statement"_s));
    QVERIFY(dialog->reconciliation().results.empty());
    QFile file(QStringLiteral(STATEMENTS_DIR) + u"/us-pdf.txt"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    dialog->setStatementText(QString::fromUtf8(file.readAll()));
    QCOMPARE(dialog->columnBoxes.size(), std::size_t(6));
    QVERIFY(!dialog->unreadableList->findItems(u"Line 17: a totals row"_s, Qt::MatchStartsWith)
                 .isEmpty());
    QVERIFY(dialog->sentenceLabel->text().startsWith(u"No arithmetic matches every row"_s));
    // Line 5, the first instalment, differs first in its payment: both tables mark it.
    QCOMPARE(dialog->statementModel().highlightRow(), 3);
    QCOMPARE(dialog->statementModel().highlightColumn(), 2);
    QCOMPARE(dialog->computedModel().highlightRow(), 0);
    QCOMPARE(dialog->computedModel().highlightColumn(), 3);
    // Every computed column shows its texts whole.
    const QTableView* computed = dialog->findChild<QTableView*>(u"computedView"_s);
    for (int c = 0; c < computed->model()->columnCount(); ++c) {
        const QString text = computed->model()->index(0, c).data().toString();
        QVERIFY(computed->columnWidth(c) > computed->fontMetrics().horizontalAdvance(text));
    }
    // Without the payment column the principal differs first.
    dialog->setColumnRole(2, solver::Role::Ignore);
    QCOMPARE(dialog->statementModel().highlightColumn(), 3);
    QCOMPARE(dialog->computedModel().highlightColumn(), 4);
}

// A statement of a loan with an extra payment matches once the planner's event is included.
void ToolDialogsTest::reconcileWithThePlannersEvents() {
    m_window->settings().writeInGroup(
        u"Planner"_s, u"Events"_s,
        planEventsToText({{PlanEventKind::OneOff, u"3"_s, u"10000"_s, QString()}}));
    planner::PlanInput loan;
    loan.principal = 10000000;
    loan.months = 12;
    loan.annualPercent = 11;
    loan.startDate = m_window->DateTimePicker1->date();
    loan.events = {planner::OneOffExtra{3, 1000000}};
    QString text = u"No;Payment;Principal;Interest;Extra;Balance\n"_s;
    const planner::PlanResult plan = planner::computePlan(loan);
    for (const auto& row : plan.plan->rows) {
        text += u"%1;%2;%3;%4;%5;%6\n"_s.arg(row.number)
                    .arg(row.payment / 100.0, 0, 'f', 2)
                    .arg(row.principal / 100.0, 0, 'f', 2)
                    .arg(row.interest / 100.0, 0, 'f', 2)
                    .arg(row.extra / 100.0, 0, 'f', 2)
                    .arg(row.closing / 100.0, 0, 'f', 2);
    }
    ReconcileDialog* dialog = m_window->openReconcileDialog();
    dialog->setStatementText(text);
    QVERIFY(dialog->eventsBox->isChecked());
    QCOMPARE(dialog->reconciliation().results.size(),
             solver::allArithmetics().size() - 1);  // no main schedule
    QVERIFY2(dialog->reconciliation().matchesEveryRow, qPrintable(dialog->sentenceLabel->text()));
    dialog->eventsBox->setChecked(false);
    QVERIFY(!dialog->reconciliation().matchesEveryRow);
}

// A line of 64 cells: one column chooser each, in a strip that scrolls.
void ToolDialogsTest::reconcileKeepsItsSize() {
    ReconcileDialog* dialog = m_window->openReconcileDialog();
    QStringList cells;
    for (int c = 1; c <= 64; ++c) {
        cells << QString::number(c * 100) + u".00"_s;
    }
    dialog->setStatementText(cells.join(u';') + u'\n' + cells.join(u';'));
    QCOMPARE(dialog->columnBoxes.size(), std::size_t(64));
    dialog->show();
    QCoreApplication::sendPostedEvents();
    QVERIFY2(dialog->width() < 1600, qPrintable(QString::number(dialog->width())));
    QVERIFY2(dialog->minimumSizeHint().width() < 1000,
             qPrintable(QString::number(dialog->minimumSizeHint().width())));
}

QTEST_MAIN(ToolDialogsTest)
#include "tst_tooldialogs.moc"
