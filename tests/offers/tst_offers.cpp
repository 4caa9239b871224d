#include "offers/Offers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using planner::Cents;

namespace {

planner::PlanInput loanOf(Cents principal, int months, double rate, QDate start = {2026, 1, 31}) {
    planner::PlanInput loan;
    loan.principal = principal;
    loan.months = months;
    loan.annualPercent = rate;
    loan.startDate = start;
    return loan;
}

}  // namespace

class OffersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void payoff_data();
    void payoff();
    void payoffBeforeStart();
    void compare();
    void refinance_data();
    void refinance();
};

// 1200.00 at 12 % over 12 months from 31 January 2026 pays 106.62; after payment 1 (28
// February) 1105.38 is owed, and period 2 (31 days to 31 March) charges 11.05 on it.
void OffersTest::payoff_data() {
    QTest::addColumn<QDate>("on");
    QTest::addColumn<int>("basis");
    QTest::addColumn<int>("rounding");
    QTest::addColumn<Cents>("balance");
    QTest::addColumn<Cents>("accrued");
    QTest::addColumn<int>("last");
    using B = planner::InterestBasis;
    using R = planner::InterestRounding;
    const auto row = [](const char* name, QDate on, B basis, R rounding, Cents balance,
                        Cents accrued, int last) {
        QTest::newRow(name) << on << int(basis) << int(rounding) << balance << accrued << last;
    };
    row("start date", {2026, 1, 31}, B::Periodic, R::HalfUp, 120000, 0, 0);
    row("mid period 1: 12.00 x 14/28", {2026, 2, 14}, B::Periodic, R::HalfUp, 120000, 600, 0);
    row("due date", {2026, 2, 28}, B::Periodic, R::HalfUp, 110538, 0, 1);
    row("11.05 x 15/31 half up", {2026, 3, 15}, B::Periodic, R::HalfUp, 110538, 535, 1);
    row("11.05 x 15/31 down", {2026, 3, 15}, B::Periodic, R::Down, 110538, 534, 1);
    row("actual/365: 15 days", {2026, 3, 15}, B::Actual365, R::HalfUp, 110538, 545, 1);
    row("actual/360: 15 days", {2026, 3, 15}, B::Actual360, R::HalfUp, 110538, 553, 1);
    row("30/360: 17 days", {2026, 3, 15}, B::Thirty360, R::HalfUp, 110538, 626, 1);
    row("after the end", {2027, 2, 1}, B::Periodic, R::HalfUp, 0, 0, 12);
}

void OffersTest::payoff() {
    QFETCH(QDate, on);
    QFETCH(int, basis);
    QFETCH(int, rounding);
    QFETCH(Cents, balance);
    QFETCH(Cents, accrued);
    QFETCH(int, last);
    planner::PlanInput loan = loanOf(120000, 12, 12);
    loan.interestRounding = planner::InterestRounding(rounding);
    const auto plan = planner::computePlan(loan).plan;
    loan.basis = planner::InterestBasis(basis);
    const auto result = offers::payoffOn(loan, *plan, on);
    QVERIFY(result.payoff);
    QCOMPARE(result.payoff->balance, balance);
    QCOMPARE(result.payoff->accruedInterest, accrued);
    QCOMPARE(result.payoff->payoff, balance + accrued);
    QCOMPARE(result.payoff->lastPayment, last);
}

void OffersTest::payoffBeforeStart() {
    // Actual/actual across a new year: 12 days of 2027 over 365 and 9 of 2028 over 366, at 12 %
    // on 1200.00, is 8.2752.
    planner::PlanInput loan = loanOf(120000, 12, 12, {2027, 12, 20});
    const auto plan = planner::computePlan(loan).plan;
    loan.basis = planner::InterestBasis::ActualActual;
    QCOMPARE(offers::payoffOn(loan, *plan, {2028, 1, 10}).payoff->accruedInterest, 828);
    QVERIFY(!offers::payoffOn(loan, *plan, {2027, 12, 19}).payoff);
}

void OffersTest::compare() {
    const std::vector<offers::Offer> offers{{loanOf(120000, 12, 0), 1000},
                                            {loanOf(120000, 1, 12), 0},
                                            {loanOf(120000, 24, 0), 0},
                                            {loanOf(120000, 24, 0), 0},
                                            {loanOf(0, 24, 0), 0}};
    const auto result = offers::compareOffers(offers);
    QCOMPARE(result.offers.size(), offers.size());
    QCOMPARE(result.cheapest, 2);  // equal to offer 3, which comes later
    const auto& a = result.offers[0];
    QCOMPARE(
        std::tuple(a.instalment, a.payments, a.endDate, a.totalInterest, a.totalPaid, a.fees),
        std::tuple(Cents(10000), 12, QDate(2027, 1, 31), Cents(0), Cents(121000), Cents(1000)));
    const auto& b = result.offers[1];
    QCOMPARE(std::tuple(b.instalment, b.payments, b.endDate, b.totalInterest, b.totalPaid),
             std::tuple(Cents(121200), 1, QDate(2026, 2, 28), Cents(1200), Cents(121200)));
    QCOMPARE(result.offers[2].totalPaid, 120000);
    QVERIFY(!result.offers[4].error.isEmpty());

    // A fee per payment is charged on every row, the grace rows that pay nothing included: the
    // fees shown add up to the total paid.
    offers::Offer graced{loanOf(120000, 12, 0), {0, 100}};
    graced.loan.grace = 2;
    const auto gracedResult = offers::compareOffers(std::vector{graced});
    const auto& g = gracedResult.offers.front();
    QCOMPARE(g.totalPaid, 120000 + g.totalInterest + g.fees);
}

// The current loan pays 100.00 a month at 0 %; after payment 3 it owes 900.00.
void OffersTest::refinance_data() {
    QTest::addColumn<double>("oldRate");
    QTest::addColumn<QDate>("on");
    QTest::addColumn<int>("months");
    QTest::addColumn<Cents>("fees");
    QTest::addColumn<Cents>("monthlySaving");
    QTest::addColumn<Cents>("newTotal");
    QTest::addColumn<int>("breakEven");  // 0: none
    QTest::newRow("longer term, fees never earned back")
        << 0.0 << QDate(2026, 4, 30) << 18 << Cents(1000) << Cents(5000) << Cents(91000) << 0;
    QTest::newRow("same terms") << 0.0 << QDate(2026, 4, 30) << 9 << Cents(0) << Cents(0)
                                << Cents(90000) << 0;
    QTest::newRow("half a month later, shorter: nothing saved")
        << 0.0 << QDate(2026, 5, 15) << 6 << Cents(0) << Cents(-5000) << Cents(90000) << 0;
    // From 12 %: 1105.38 over 11 months at 0 % pays 100.49 against 106.62, so the fee of 10.00
    // is earned back in month 2 (10.00 + 2 x 100.49 < 2 x 106.62).
    QTest::newRow("from 12 % to 0 %, fee of 10.00")
        << 12.0 << QDate(2026, 2, 28) << 11 << Cents(1000) << Cents(613) << Cents(111538) << 2;
}

void OffersTest::refinance() {
    QFETCH(double, oldRate);
    QFETCH(QDate, on);
    QFETCH(int, months);
    QFETCH(Cents, fees);
    QFETCH(Cents, monthlySaving);
    QFETCH(Cents, newTotal);
    QFETCH(int, breakEven);
    const planner::PlanInput loan = loanOf(120000, 12, oldRate);
    const auto plan = planner::computePlan(loan).plan;
    const auto result = offers::refinance(loan, *plan, on, {0, months, fees});
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.monthlySaving, monthlySaving);
    QCOMPARE(result.newTotal, newTotal);
    QCOMPARE(result.saving, result.oldRemaining - newTotal);
    QCOMPARE(result.breakEvenMonth.value_or(0), breakEven);
}

QTEST_GUILESS_MAIN(OffersTest)
#include "tst_offers.moc"
