#include "core/Conversions.h"
#include "shell/SettingsStore.h"
#include "windows/LoanTermsBox.h"
#include "windows/PlannerDialog.h"
#include "windows/PlannerModels.h"
#include "windows/PlannerOutputs.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPlannerDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void parseEvents_data();
    void parseEvents();
    void windowWalk();
    void loanTerms_data();
    void loanTerms();
    void planFromBeforeTheTermsOpensUnchanged();
    void problemsKeepTheSize();
    void saveAsByExtension_data();
    void saveAsByExtension();
    void savedFactsAreTheShownCost();
    void accountsRememberedAndPayoff();
};

void TestPlannerDialog::parseEvents_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("endMonth");
    QTest::addColumn<QString>("expected");  // the event, or the column and message of the problem
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("one-off") << us << 0 << u"12"_s << u"1000.5"_s << QString()
                             << u"once 12 100050"_s;
    QTest::newRow("one-off, German amount")
        << de << 0 << u"3"_s << u"1.000,25"_s << QString() << u"once 3 100025"_s;
    QTest::newRow("due date") << us << 0 << u"3/31/2026"_s << u"5"_s << QString()
                              << u"once 2 500"_s;
    QTest::newRow("date between due dates")
        << us << 0 << u"4/1/2026"_s << u"5"_s << QString() << u"once 3 500"_s;
    QTest::newRow("monthly to the end")
        << us << 1 << u"1"_s << u"200"_s << QString() << u"monthly 1-0 20000"_s;
    QTest::newRow("monthly to a date")
        << de << 1 << u"1"_s << u"200"_s << u"31.05.2026"_s << u"monthly 1-4 20000"_s;
    QTest::newRow("rate") << us << 2 << u"25"_s << u"6.25"_s << u"ignored"_s << u"rate 25 6.25"_s;
    QTest::newRow("month not a number")
        << us << 0 << u"soon"_s << u"5"_s << QString() << u"1 Type a month number or a due date."_s;
    QTest::newRow("month with a fraction")
        << us << 0 << u"2.5"_s << u"5"_s << QString() << u"1 Type a month number or a due date."_s;
    QTest::newRow("amount not a number")
        << us << 0 << u"2"_s << u"lots"_s << QString() << u"2 Type an amount."_s;
    QTest::newRow("rate not a number")
        << us << 2 << u"2"_s << u""_s << QString() << u"2 Type the new rate in percent a year."_s;
    QTest::newRow("holiday, by date")
        << us << 3 << u"4/30/2026"_s << u"ignored"_s << QString() << u"holiday 3"_s;
    QTest::newRow("bad end")
        << us << 1 << u"2"_s << u"5"_s << u"x"_s
        << u"3 Type a month number or a due date, or leave it empty for the end."_s;
}

void TestPlannerDialog::parseEvents() {
    QFETCH(QLocale, locale);
    QFETCH(int, kind);
    QFETCH(QString, month);
    QFETCH(QString, value);
    QFETCH(QString, endMonth);
    const ParsedPlanEvents parsed = parsePlanEvents(
        {{static_cast<PlanEventKind>(kind), month, value, endMonth}}, QDate(2026, 1, 31), locale);
    QString actual;
    if (!parsed.problems.empty()) {
        actual = u"%1 %2"_s.arg(int(parsed.problems.front().column))
                     .arg(parsed.problems.front().message);
    } else if (const auto* once = std::get_if<planner::OneOffExtra>(&parsed.events.front())) {
        actual = u"once %1 %2"_s.arg(once->month).arg(once->amount);
    } else if (const auto* monthly = std::get_if<planner::RecurringExtra>(&parsed.events.front())) {
        actual = u"monthly %1-%2 %3"_s.arg(monthly->fromMonth)
                     .arg(monthly->toMonth)
                     .arg(monthly->amount);
    } else if (const auto* holiday = std::get_if<planner::PaymentHoliday>(&parsed.events.front())) {
        actual = u"holiday %1"_s.arg(holiday->period);
    } else {
        const auto& rate = std::get<planner::RateChange>(parsed.events.front());
        actual = u"rate %1 %2"_s.arg(rate.fromMonth).arg(rate.annualPercent);
    }
    QTEST(actual, "expected");
}

void TestPlannerDialog::windowWalk() {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Kestrelor.ini"_s));
    store.write(u"Text1"_s, u"kept"_s);
    const PlannerInputs inputs{30'000'000, 360, 5, QDate(2026, 1, 31)};
    {
        PlannerDialog dialog(inputs, store);
        QAbstractItemModelTester eventsTester(&dialog.events());
        QAbstractItemModelTester planTester(dialog.planView()->model());
        QCOMPARE(dialog.resultLabel(PlannerResult::Instalments)->text(), u"1,610.46"_s);
        QCOMPARE(dialog.planView()->model()->rowCount(), 361);
        const QModelIndex totals = dialog.planView()->model()->index(360, 0);
        QCOMPARE(totals.data().toString(), u"Total"_s);
        QVERIFY(totals.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(dialog.planView()->model()->index(0, 3).data(Qt::TextAlignmentRole).toInt() &
                     Qt::AlignRight,
                 int(Qt::AlignRight));

        dialog.events().addEntry({PlanEventKind::OneOff, u"12"_s, u"10000"_s, {}});
        QCOMPARE(dialog.resultLabel(PlannerResult::Months)->text(), u"335"_s);
        QCOMPARE(dialog.events().index(0, 1).data(Qt::ToolTipRole).toString(),
                 u"Month 12, due 1/31/2027"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::MonthsSaved)->text(), u"25 months"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::InterestSaved)->text(), u"30,408.42"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::TotalPaid)->text(), u"549,361.27"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::EffectiveRate)->text(), u"5.12 %"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::AprUs)->text(), u"5.00 %"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::AprcEu)->text(), u"5.1 %"_s);
        dialog.feesEdit()->setText(u"3000"_s);
        dialog.feePerPaymentEdit()->setText(u"10"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::TotalPaid)->text(), u"555,711.27"_s);
        QCOMPARE(dialog.resultLabel(PlannerResult::AprUs)->text(), u"5.15 %"_s);
        dialog.feesEdit()->clear();
        dialog.feePerPaymentEdit()->clear();

        dialog.copyButton()->click();
        const QStringList copied = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
        QCOMPARE(copied.size(), 1 + 335 + 1 + 1);  // titles, rows, totals, the empty end
        QCOMPARE(copied.front().simplified(),
                 u"# Date Opening Payment Principal Interest Extra Closing"_s);
        QVERIFY(copied[12].contains(u"\t10,000.00\t"_s));
        QVERIFY(copied[336].startsWith(u"Total\t"_s));

        dialog.policyBox()->setCurrentIndex(1);
        QCOMPARE(dialog.resultLabel(PlannerResult::Instalments)->text(), u"1,610.46, 1,555.98"_s);

        // A month past the term is marked at its cell, and no plan is shown.
        dialog.events().setData(dialog.events().index(0, 1), u"400"_s);
        QCOMPARE(dialog.message(), u"Event 1: Month 400 is outside the term (1 to 360)."_s);
        QVERIFY(dialog.events().index(0, 1).data(Qt::BackgroundRole).isValid());
        QVERIFY(!dialog.plan());
        QCOMPARE(dialog.planView()->model()->rowCount(), 0);
        dialog.events().setData(dialog.events().index(0, 1), u"12"_s);
        QVERIFY(!dialog.events().index(0, 1).data(Qt::BackgroundRole).isValid());

        dialog.rateEdit()->setText(u"1001"_s);
        QCOMPARE(dialog.rateEdit()->toolTip(), u"The rate must be from 0 to 1000 %."_s);
        QVERIFY(!dialog.plan());
    }
    // The events and the choices come back; the main window's keys stay as they were.
    PlannerDialog again(inputs, store);
    QCOMPARE(again.events().rowCount(), 1);
    QCOMPARE(again.events().entries().front().month, u"12"_s);
    QCOMPARE(again.policyBox()->currentData().toString(), u"lower"_s);
    QCOMPARE(again.resultLabel(PlannerResult::Months)->text(), u"360"_s);
    QCOMPARE(store.read(u"Text1"_s, 0), u"kept"_s);
}

void TestPlannerDialog::loanTerms_data() {
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("basis");
    QTest::addColumn<int>("grace");
    QTest::addColumn<QString>("balloon");
    QTest::addColumn<QString>("expected");  // rows, first payment, last payment; or the problem
    QTest::newRow("as before") << "monthly"
                               << "periodic" << 0 << ""
                               << "12 8838.17 8838.11";
    QTest::newRow("fortnightly, actual/365, grace") << "fortnightly"
                                                    << "actual/365" << 2 << ""
                                                    << "26 0.00 4411.94";
    QTest::newRow("balloon") << "monthly"
                             << "periodic" << 0 << "50000"
                             << "12 4877.42 54877.36";
    QTest::newRow("balloon not an amount")
        << "monthly"
        << "periodic" << 0 << "half"
        << "Type the balloon as an amount, such as 5000, or leave it empty.";
}

// The terms' effect shows at once, and they are remembered.
void TestPlannerDialog::loanTerms() {
    QFETCH(QString, frequency);
    QFETCH(QString, basis);
    QFETCH(int, grace);
    QFETCH(QString, balloon);
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Kestrelor.ini"_s));
    const PlannerInputs inputs{10'000'000, 12, 11, QDate(2026, 1, 31)};
    LoanTermsEntry entry;
    entry.frequency = frequency;
    entry.basis = basis;
    entry.grace = grace;
    entry.balloon = balloon;
    {
        PlannerDialog dialog(inputs, store);
        if (frequency != u"monthly"_s) {
            dialog.monthsEdit()->setText(u"26"_s);
        }
        dialog.terms().frequencyBox()->setCurrentIndex(
            dialog.terms().frequencyBox()->findData(frequency));
        dialog.terms().basisBox()->setCurrentIndex(dialog.terms().basisBox()->findData(basis));
        dialog.terms().graceSpin()->setValue(grace);
        dialog.terms().balloonEdit()->setText(balloon);
        QString actual = dialog.message();
        if (const auto& plan = dialog.plan()) {
            actual = u"%1 %2 %3"_s.arg(plan->rows.size())
                         .arg(plainCentsText(plan->rows.front().payment),
                              plainCentsText(plan->rows.back().payment));
        }
        QTEST(actual, "expected");
    }
    PlannerDialog again(inputs, store);
    QCOMPARE(again.terms().entry(), entry);
}

// A plan remembered before the loan had terms opens as it was: a monthly annuity.
void TestPlannerDialog::planFromBeforeTheTermsOpensUnchanged() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Kestrelor.ini"_s);
    {
        QSettings old(path, QSettings::IniFormat);
        old.setValue(u"Planner/Policy"_s, u"lower"_s);
        old.setValue(u"Planner/InstalmentRounding"_s, u"up-cent"_s);
        old.setValue(u"Planner/InterestRounding"_s, u"half-up"_s);
        old.setValue(u"Planner/Events"_s, u"once\t12\t10000\t"_s);
    }
    SettingsStore store(path);
    PlannerDialog dialog(PlannerInputs{30'000'000, 360, 5, QDate(2026, 1, 31)}, store);
    QCOMPARE(dialog.terms().entry(), LoanTermsEntry());
    QCOMPARE(dialog.terms().firstDueEdit()->text(), u"regular"_s);
    planner::PlanInput before;
    before.principal = 30000000;
    before.months = 360;
    before.annualPercent = 5;
    before.startDate = QDate(2026, 1, 31);
    before.policy = planner::Policy::LowerInstalment;
    before.instalmentRounding = planner::InstalmentRounding::UpCent;
    before.events = {planner::OneOffExtra{12, 1000000}};
    const auto expected = planner::computePlan(before).plan;
    QCOMPARE(dialog.plan()->rows.size(), expected->rows.size());
    QCOMPARE(dialog.plan()->rows.back().dueDate, expected->rows.back().dueDate);
    QCOMPARE(dialog.plan()->rows.back().payment, expected->rows.back().payment);
    QCOMPARE(dialog.plan()->totals.interest, expected->totals.interest);
}

// 200 events beyond a term shortened to 12: 200 problems, listed in a scrolling list.
void TestPlannerDialog::problemsKeepTheSize() {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Kestrelor.ini"_s));
    PlannerDialog dialog({30'000'000, 360, 5, QDate(2026, 1, 31)}, store);
    std::vector<PlanEventEntry> events;
    for (int month = 13; month < 213; ++month) {
        events.push_back({PlanEventKind::OneOff, QString::number(month), u"100"_s, {}});
    }
    dialog.events().setEntries(std::move(events));
    dialog.show();
    QCoreApplication::sendPostedEvents();
    const QSize before = dialog.size();
    dialog.monthsEdit()->setText(u"12"_s);
    QCOMPARE(dialog.message().count(u'\n'), 199);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(dialog.size(), before);
    QVERIFY2(dialog.minimumSizeHint().height() <= before.height(),
             qPrintable(QString::number(dialog.minimumSizeHint().height())));
}

QTEST_MAIN(TestPlannerDialog)
void TestPlannerDialog::saveAsByExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");  // the file's first bytes; empty: the save fails
    QTest::newRow("csv") << u"plan.csv"_s << QByteArray("#,Date,Opening,Payment,");
    QTest::newRow("xlsx") << u"plan.XLSX"_s << QByteArray("PK");
    QTest::newRow("pdf") << u"plan.pdf"_s << QByteArray("%PDF");
    QTest::newRow("missing folder") << u"no/such/plan.csv"_s << QByteArray();
    QTest::newRow("ledger") << u"plan.journal"_s << QByteArray("; Loan of 1000.00 ");
    QTest::newRow("beancount") << u"plan.beancount"_s << QByteArray("; Loan of 1000.00 ");
    QTest::newRow("qif") << u"plan.QIF"_s << QByteArray("!Type:Bank\nD02/28'2026\nT-172.55");
}

void TestPlannerDialog::saveAsByExtension() {
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Kestrelor.ini"_s));
    PlannerDialog dialog(PlannerInputs{100'000, 6, 12, QDate(2026, 1, 31)}, store);
    const QString path = dir.filePath(name);
    QString failed;
    PlannerOutputs outputs(
        dialog, [&failed](const QString& file, const QString&) { failed = file; },
        [&path](QDialog& box) {
            auto* files = qobject_cast<QFileDialog*>(&box);
            if (files == nullptr) {
                return int(box.objectName() == u"accountsDialog"_s ? QDialog::Accepted
                                                                   : QDialog::Rejected);
            }
            files->selectFile(path);
            return int(QDialog::Accepted);
        });
    QVERIFY(outputs.saveButton()->isEnabled());
    outputs.saveButton()->click();
    QFile file(path);
    QCOMPARE(failed.isEmpty(), !start.isEmpty());
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.read(start.size()) : QByteArray(), start);
}

// A saved plan states the cost the window shows: fees included, and both legal rates.
void TestPlannerDialog::savedFactsAreTheShownCost() {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Kestrelor.ini"_s));
    PlannerDialog dialog(PlannerInputs{100'000, 6, 12, QDate(2026, 1, 31)}, store);
    dialog.feesEdit()->setText(u"25"_s);
    const QString path = dir.filePath(u"plan.pdf"_s);
    PlannerOutputs outputs(
        dialog, [](const QString&, const QString&) {},
        [&path](QDialog& box) {
            qobject_cast<QFileDialog*>(&box)->selectFile(path);
            return int(QDialog::Accepted);
        });
    outputs.saveButton()->click();
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    for (const PlannerResult shown :
         {PlannerResult::TotalPaid, PlannerResult::AprUs, PlannerResult::AprcEu}) {
        QVERIFY2(text.contains(dialog.resultLabel(shown)->text()), qPrintable(text));
    }
    QVERIFY(text.contains(u"Up-front fees: 25.00"_s));
    QVERIFY(text.contains(u"Total paid: 1,060.28"_s));  // 1035.28 paid back and the fee of 25
}

// The accounts typed for a transactions file come back the next time; the payoff on 15 March
// 2026 of 1000.00 at 12 % over 6 months is 837.45 owed plus 8.37 x 15/31 days accrued.
void TestPlannerDialog::accountsRememberedAndPayoff() {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"Kestrelor.ini"_s));
    const QString path = dir.filePath(u"plan.ledger"_s);
    QString shownAccount;
    QString payoff;
    const auto runner = [&](QDialog& box) {
        if (auto* files = qobject_cast<QFileDialog*>(&box)) {
            files->selectFile(path);
        } else if (box.objectName() == u"accountsDialog"_s) {
            auto* loan = box.findChild<QLineEdit*>(u"LoanAccount"_s);
            shownAccount = loan->text();
            loan->setText(u"Liabilities:Mortgage"_s);
        } else {
            box.findChild<QDateEdit*>()->setDate(QDate(2026, 3, 15));
            payoff = box.findChild<QLabel*>(u"payoffResult"_s)->text();
        }
        return int(QDialog::Accepted);
    };
    for (int run = 0; run < 2; ++run) {
        PlannerDialog dialog(PlannerInputs{100'000, 6, 12, QDate(2026, 1, 31)}, store);
        PlannerOutputs outputs(dialog, {}, runner);
        outputs.saveButton()->click();
        QCOMPARE(shownAccount, run == 0 ? u"Liabilities:Loan"_s : u"Liabilities:Mortgage"_s);
        outputs.payoffButton()->click();
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("    Liabilities:Mortgage  162.55 "));
    QVERIFY2(payoff.startsWith(u"Payoff: 841.50\n"_s), qPrintable(payoff));
}

#include "tst_plannerdialog.moc"
