#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "model/clsSchedule.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

double dateOf(int year, int month, int day) {
    return AutomationDate::fromDate(QDate(year, month, day));
}

struct Loan {
    double principal;
    int tenure;
    double rate;
    double start;
};

void fill(clsLoanCalculator& calculator, const Loan& loan) {
    const auto details = calculator.getLoanDetails();
    details->setPrincipleAmount(loan.principal);
    details->setTenure(static_cast<std::int16_t>(loan.tenure));
    details->setInterestRate(loan.rate);
    details->setStartDate(loan.start);
}

// The annuity in long double, written the textbook way round.
long double referenceEMI(long double principal, int months, long double rate) {
    const long double r = rate / 1200.0L;
    if (r == 0) {
        return principal / months;
    }
    return principal * r / (1.0L - std::pow(1.0L + r, -static_cast<long double>(months)));
}

}  // namespace

Q_DECLARE_METATYPE(Loan)

class TestLoanModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void workedExample();
    void scheduleInvariants_data();
    void scheduleInvariants();
    void monthEndDates();
    void negativeTenureGivesTotalsOnly();
    void largestTenure();
    void interestFree_data();
    void interestFree();
    void failures_data();
    void failures();
    void failureInScheduleKeepsRowsSoFar();
    void facadeBeforeCalculation();
    void facadeAfterFailedFormula();
    void scheduleIsShared();
    void itemOutOfRange_data();
    void itemOutOfRange();
};

void TestLoanModel::workedExample() {
    clsLoanCalculator calculator;
    const double start = dateOf(2021, 8, 31);
    fill(calculator, {100000, 12, 11, start});
    calculator.CalculateEMI();
    const auto details = calculator.getLoanDetails();

    QCOMPARE(QString::number(details->EMIAmount(), 'g', 15), u"8838.16585216031"_s);
    QCOMPARE(calculator.getEMIAmount(), 8838.17);
    QCOMPARE(numberToText(calculator.getEMIAmount()), u"8838.17"_s);
    QVERIFY(std::fabs(details->EMIAmount() - static_cast<double>(referenceEMI(100000, 12, 11))) <
            1e-9);
    QCOMPARE(calculator.getEndDate(), u"8/31/2022"_s);

    const auto schedule = calculator.getScheduleData();
    QVERIFY(schedule);
    QCOMPARE(schedule->Count(), 13);
    const clsSchedule& first = schedule->Item(1);
    QCOMPARE(first.Number(), 1);
    QCOMPARE(first.InstallmentDate(), dateOf(2021, 9, 30));
    QCOMPARE(first.OpeningBalance(), 100000.0);
    QCOMPARE(first.PrincipleAmount(), 7921.5);
    QCOMPARE(first.InterestAmount(), 916.67);
    QCOMPARE(first.ClosingBalance(), 92078.5);
    QCOMPARE(first.EMIAmount(), 8838.17);
    const clsSchedule& last = schedule->Item(12);
    QCOMPARE(last.Number(), 12);
    QCOMPARE(last.InstallmentDate(), dateOf(2022, 8, 31));
    QCOMPARE(last.OpeningBalance(), 8757.9);
    QCOMPARE(last.PrincipleAmount(), 8757.89);
    QCOMPARE(last.InterestAmount(), 80.28);
    QCOMPARE(last.ClosingBalance(), 0.0);
    const clsSchedule& totals = schedule->Item(13);
    QCOMPARE(totals.Number(), 0);
    QCOMPARE(totals.InstallmentDate(), 0.0);
    QCOMPARE(totals.OpeningBalance(), 0.0);
    QCOMPARE(totals.EMIAmount(), 0.0);
    QCOMPARE(totals.PrincipleAmount(), 99999.99);
    QCOMPARE(totals.InterestAmount(), 6057.98);
    QCOMPARE(totals.ClosingBalance(), 106057.97);
}

void TestLoanModel::scheduleInvariants_data() {
    QTest::addColumn<Loan>("loan");
    QTest::newRow("worked example") << Loan{100000, 12, 11, dateOf(2021, 8, 31)};
    QTest::newRow("30-year mortgage") << Loan{250000, 360, 6.5, dateOf(2020, 1, 15)};
    QTest::newRow("one instalment") << Loan{5000, 1, 12, dateOf(2021, 3, 31)};
    QTest::newRow("two instalments") << Loan{1000, 2, 24, dateOf(2024, 12, 31)};
    QTest::newRow("tiny loan") << Loan{0.01, 7, 3, dateOf(2021, 1, 1)};
    QTest::newRow("high rate") << Loan{1e6, 120, 99, dateOf(2000, 2, 29)};
    QTest::newRow("zero rate") << Loan{120000, 12, 0, dateOf(2021, 1, 31)};
}

// Rows count, numbering, dates from the start, balances never rising, and totals.
void TestLoanModel::scheduleInvariants() {
    QFETCH(Loan, loan);
    clsLoanCalculator calculator;
    fill(calculator, loan);
    calculator.CalculateEMI();
    const auto details = calculator.getLoanDetails();
    const auto schedule = calculator.getScheduleData();
    QCOMPARE(schedule->Count(), loan.tenure + 1);
    QCOMPARE(details->EndDate(), AutomationDate::addMonths(loan.start, loan.tenure));
    const double reference =
        static_cast<double>(referenceEMI(loan.principal, loan.tenure, loan.rate));
    QVERIFY(std::fabs(details->EMIAmount() - reference) <= 1e-9 * std::fabs(reference));

    double principal = 0;
    double interest = 0;
    double previousClosing = loan.principal;
    for (int n = 1; n <= loan.tenure; ++n) {
        const clsSchedule& row = schedule->Item(n);
        QCOMPARE(row.Number(), n);
        QCOMPARE(row.InstallmentDate(), AutomationDate::addMonths(loan.start, n));
        QCOMPARE(row.OpeningBalance(), roundToCents(previousClosing));
        QVERIFY(row.ClosingBalance() <= row.OpeningBalance());
        QVERIFY(row.InterestAmount() >= 0);
        previousClosing = row.ClosingBalance();
        principal += row.PrincipleAmount();
        interest += row.InterestAmount();
    }
    QCOMPARE(schedule->Item(loan.tenure).ClosingBalance(), 0.0);
    const clsSchedule& totals = schedule->Item(loan.tenure + 1);
    QCOMPARE(totals.PrincipleAmount(), roundToCents(principal));
    QCOMPARE(totals.InterestAmount(), roundToCents(interest));
    QCOMPARE(totals.ClosingBalance(), roundToCents(principal + interest));
    // The last row's closing balance is forced to 0, so the principal total misses by the cents
    // dropped on the way, each grown by the interest of the months after it.
    const double r = loan.rate / 1200;
    const double drift =
        r == 0 ? loan.tenure * 0.005 : 0.005 * (std::pow(1 + r, loan.tenure) - 1) / r;
    QVERIFY(std::fabs(totals.PrincipleAmount() - loan.principal) <= drift + 0.01);
}

void TestLoanModel::monthEndDates() {
    clsLoanCalculator calculator;
    fill(calculator, {12000, 6, 10, dateOf(2024, 1, 31)});
    calculator.CalculateEMI();
    const auto schedule = calculator.getScheduleData();
    const QDate expected[] = {QDate(2024, 2, 29), QDate(2024, 3, 31), QDate(2024, 4, 30),
                              QDate(2024, 5, 31), QDate(2024, 6, 30), QDate(2024, 7, 31)};
    for (int n = 1; n <= 6; ++n) {
        QCOMPARE(AutomationDate::toDate(schedule->Item(n).InstallmentDate()), expected[n - 1]);
    }
    QCOMPARE(calculator.getEndDate(), u"7/31/2024"_s);
}

void TestLoanModel::negativeTenureGivesTotalsOnly() {
    clsLoanCalculator calculator;
    const double start = dateOf(2021, 8, 31);
    fill(calculator, {100000, -12, 11, start});
    calculator.CalculateEMI();
    const auto details = calculator.getLoanDetails();
    QVERIFY(details->EMIAmount() < 0);
    QCOMPARE(details->EndDate(), dateOf(2020, 8, 31));
    QVERIFY(details->EndDate() < start);
    const auto schedule = calculator.getScheduleData();
    QCOMPARE(schedule->Count(), 1);
    QCOMPARE(schedule->Item(1).PrincipleAmount(), 0.0);
    QCOMPARE(schedule->Item(1).InterestAmount(), 0.0);
    QCOMPARE(schedule->Item(1).ClosingBalance(), 0.0);
}

void TestLoanModel::largestTenure() {
    clsLoanCalculator calculator;
    fill(calculator, {100000, 32767, 11, dateOf(2021, 8, 31)});
    calculator.CalculateEMI();
    const auto schedule = calculator.getScheduleData();
    QCOMPARE(schedule->Count(), 32768);
    QCOMPARE(schedule->Item(32767).Number(), 32767);
    QCOMPARE(schedule->Item(32767).ClosingBalance(), 0.0);
    QCOMPARE(AutomationDate::toDate(calculator.getLoanDetails()->EndDate()), QDate(4752, 3, 31));
    QCOMPARE(schedule->Item(32768).Number(), 0);
}

void TestLoanModel::interestFree_data() {
    QTest::addColumn<Loan>("loan");
    QTest::addColumn<double>("emi");
    QTest::newRow("120000 over 12") << Loan{120000, 12, 0, dateOf(2021, 8, 31)} << 10000.0;
    QTest::newRow("uneven parts") << Loan{1000, 3, 0, dateOf(2021, 8, 31)} << 1000.0 / 3;
    QTest::newRow("rate too small to register")
        << Loan{1200, 12, 1e-20, dateOf(2021, 8, 31)} << 100.0;
    QTest::newRow("negative tenure") << Loan{1200, -12, 0, dateOf(2021, 8, 31)} << -100.0;
}

void TestLoanModel::interestFree() {
    QFETCH(Loan, loan);
    QFETCH(double, emi);
    clsLoanCalculator calculator;
    fill(calculator, loan);
    calculator.CalculateEMI();
    QCOMPARE(calculator.getLoanDetails()->EMIAmount(), emi);
    QCOMPARE(calculator.getEMIAmount(), roundToCents(emi));
    const auto schedule = calculator.getScheduleData();
    QCOMPARE(schedule->Count(), std::max(loan.tenure, 0) + 1);
    for (int n = 1; n < schedule->Count(); ++n) {
        QCOMPARE(schedule->Item(n).InterestAmount(), 0.0);
    }
    QCOMPARE(schedule->Item(schedule->Count()).InterestAmount(), 0.0);
}

void TestLoanModel::failures_data() {
    QTest::addColumn<Loan>("loan");
    QTest::addColumn<bool>("emiStored");  // the failure came from the schedule builder
    const double start = dateOf(2021, 8, 31);
    QTest::newRow("tenure 0") << Loan{100000, 0, 11, start} << false;
    QTest::newRow("tenure 0, rate 0") << Loan{100000, 0, 0, start} << false;
    QTest::newRow("100 % over 32767 months") << Loan{100000, 32767, 100, start} << false;
    QTest::newRow("end date after 9999") << Loan{100000, 12, 11, dateOf(9999, 6, 1)} << true;
    QTest::newRow("end date before 100") << Loan{100000, -12, 11, dateOf(100, 6, 1)} << true;
    QTest::newRow("largest tenure past 9999")
        << Loan{100000, 32767, 11, dateOf(8000, 1, 1)} << true;
    QTest::newRow("tenure -32768 overflows the bound")
        << Loan{100000, -32768, 11, dateOf(5000, 1, 1)} << true;
}

void TestLoanModel::failures() {
    QFETCH(Loan, loan);
    QFETCH(bool, emiStored);
    clsLoanCalculator calculator;
    fill(calculator, loan);
    try {
        calculator.CalculateEMI();
        QFAIL("no failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), componentFailureNumber);
        QCOMPARE(failure.number(), -2147221404);
        QCOMPARE(failure.source(), u"Corvatel.clsLoanDetails.CalculateEMI"_s);
        QCOMPARE(failure.description(), u"clsLoanDetails component failure"_s);
    }
    const auto details = calculator.getLoanDetails();
    QCOMPARE(details->EMIAmount() != 0, emiStored);
    if (!emiStored) {
        QVERIFY(!calculator.getScheduleData());
        QCOMPARE(details->EndDate(), 0.0);
    }
}

// A build that fails part-way keeps the rows made so far; the totals row is missing.
void TestLoanModel::failureInScheduleKeepsRowsSoFar() {
    clsLoanCalculator calculator;
    fill(calculator, {1.7e308, 12, 11, dateOf(2021, 8, 31)});
    QVERIFY_THROWS_EXCEPTION(Failure, calculator.CalculateEMI());
    const auto schedule = calculator.getScheduleData();
    QVERIFY(schedule);
    QCOMPARE(schedule->Count(), 12);
    QCOMPARE(schedule->Item(12).ClosingBalance(), 0.0);
    QCOMPARE(calculator.getLoanDetails()->EndDate(), dateOf(2022, 8, 31));
}

void TestLoanModel::facadeBeforeCalculation() {
    clsLoanCalculator calculator;
    QCOMPARE(calculator.getEMIAmount(), 0.0);
    QCOMPARE(calculator.getEndDate(), u"12:00:00 AM"_s);
    QVERIFY(!calculator.getScheduleData());
    QVERIFY(!calculator.getLoanDetails()->ScheduleCollections());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(calculator.getEndDate(), u"00:00:00"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestLoanModel::facadeAfterFailedFormula() {
    clsLoanCalculator calculator;
    fill(calculator, {100000, 0, 11, dateOf(2021, 8, 31)});
    QVERIFY_THROWS_EXCEPTION(Failure, calculator.CalculateEMI());
    QCOMPARE(calculator.getEMIAmount(), 0.0);
    QCOMPARE(calculator.getEndDate(), u"12:00:00 AM"_s);
    QVERIFY(!calculator.getScheduleData());
}

void TestLoanModel::scheduleIsShared() {
    ScheduleCollectionPtr kept;
    {
        clsLoanCalculator calculator;
        fill(calculator, {100000, 12, 11, dateOf(2021, 8, 31)});
        calculator.CalculateEMI();
        kept = calculator.getScheduleData();
        QCOMPARE(kept, calculator.getLoanDetails()->ScheduleCollections());
        QCOMPARE(kept, calculator.getLoanDetails()->getScheduleData());
        calculator.getLoanDetails()->setTenure(6);
        calculator.CalculateEMI();
        QVERIFY(calculator.getScheduleData() != kept);
        QCOMPARE(calculator.getScheduleData()->Count(), 7);
    }
    QCOMPARE(kept->Count(), 13);
    QCOMPARE(kept->Item(13).ClosingBalance(), 106057.97);
}

void TestLoanModel::itemOutOfRange_data() {
    QTest::addColumn<int>("position");
    QTest::newRow("zero") << 0;
    QTest::newRow("after the totals") << 14;
    QTest::newRow("negative") << -1;
}

void TestLoanModel::itemOutOfRange() {
    QFETCH(int, position);
    clsLoanCalculator calculator;
    fill(calculator, {100000, 12, 11, dateOf(2021, 8, 31)});
    calculator.CalculateEMI();
    try {
        calculator.getScheduleData()->Item(position);
        QFAIL("no failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), static_cast<int>(PlatformFailure::SubscriptOutOfRange));
    }
}

QTEST_GUILESS_MAIN(TestLoanModel)
#include "tst_loanmodel.moc"
