#include "apr/Apr.h"
#include "planner/TrueCost.h"

#include <QTest>

using namespace Qt::StringLiterals;
using apr::Flow;
using apr::Method;
using calendar::Frequency;

Q_DECLARE_METATYPE(apr::Flows)

namespace {

Flow on(int y, int m, int d, apr::Cents amount) {
    return {QDate(y, m, d), amount};
}

std::vector<Flow> series(apr::Cents amount, int count, int y, int m, int d, Frequency frequency) {
    return apr::series(amount, count, QDate(y, m, d), frequency);
}

std::vector<Flow> join(std::initializer_list<std::vector<Flow>> parts) {
    std::vector<Flow> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace

class TestApr : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void publishedExamples_data();
    void publishedExamples();
    void noAnswer_data();
    void noAnswer();
    void planRoundTrip_data();
    void planRoundTrip();
};

// US: Regulation Z (12 CFR 1026), Appendix J, (c) Examples for the actuarial method, published to
// 2 decimals. EU: Directive 98/7/EC, Annex III (the method Directive 2008/48/EC, Annex I keeps),
// its first three examples, whose intervals are whole years and months; UK: 150 repaid by 11
// monthly instalments of 15, whose APR is 21.3 %. Both published to 1 decimal.
void TestApr::publishedExamples_data() {
    QTest::addColumn<Method>("method");
    QTest::addColumn<apr::Flows>("flows");
    QTest::addColumn<QString>("published");
    QTest::addColumn<QString>("unitPeriod");
    const auto us = Method::Us;
    const auto eu = Method::Eu;
    const auto monthly = Frequency::Monthly;
    QTest::newRow("(c)(1)(i) monthly, regular first period")
        << us << apr::Flows{{on(1978, 1, 10, 500000)}, series(23000, 24, 1978, 2, 10, monthly)}
        << "9.69"
        << "month";
    QTest::newRow("(c)(1)(ii) monthly, long first period")
        << us << apr::Flows{{on(1978, 2, 10, 600000)}, series(20000, 36, 1978, 4, 1, monthly)}
        << "11.82"
        << "month";
    QTest::newRow("(c)(1)(iii) semi-monthly, short first period")
        << us
        << apr::Flows{{on(1978, 2, 23, 500000)},
                      series(21917, 24, 1978, 3, 1, Frequency::SemiMonthly)}
        << "10.34"
        << "semi-month";
    QTest::newRow("(c)(1)(iv) quarterly, long first period")
        << us
        << apr::Flows{{on(1978, 5, 23, 1000000)},
                      series(38500, 40, 1978, 10, 1, Frequency::Quarterly)}
        << "8.97"
        << "3 months";
    QTest::newRow("(c)(1)(v) weekly, long first period")
        << us
        << apr::Flows{{on(1978, 3, 20, 50000)}, series(1760, 30, 1978, 4, 21, Frequency::Weekly)}
        << "14.96"
        << "week";
    QTest::newRow("(c)(2)(i) monthly, odd first payment")
        << us
        << apr::Flows{{on(1978, 1, 10, 500000)},
                      join({{on(1978, 2, 10, 25000)}, series(23000, 23, 1978, 3, 10, monthly)})}
        << "10.08"
        << "month";
    QTest::newRow("(c)(2)(ii) every 4 weeks, long first period, odd first payment")
        << us
        << apr::Flows{{on(1978, 3, 18, 40000)},
                      join({{on(1978, 4, 20, 3950)},
                            series(3831, 11, 1978, 5, 18, Frequency::FourWeekly)})}
        << "28.50"
        << "4 weeks";
    QTest::newRow("(c)(3)(i) monthly, odd final payment")
        << us
        << apr::Flows{{on(1978, 1, 10, 500000)},
                      join({series(23000, 23, 1978, 2, 10, monthly), {on(1980, 1, 10, 28000)}})}
        << "10.50"
        << "month";
    QTest::newRow("(c)(3)(ii) every 2 weeks, short first period, odd final payment")
        << us
        << apr::Flows{{on(1978, 4, 3, 20000)},
                      join({series(950, 19, 1978, 4, 11, Frequency::Fortnightly),
                            {on(1979, 1, 2, 3000)}})}
        << "12.22"
        << "2 weeks";
    QTest::newRow("(c)(4)(i) monthly, odd first and final payments")
        << us
        << apr::Flows{{on(1978, 1, 10, 500000)},
                      join({{on(1978, 2, 10, 25000)},
                            series(23000, 22, 1978, 3, 10, monthly),
                            {on(1980, 1, 10, 28000)}})}
        << "10.90"
        << "month";
    QTest::newRow("(c)(4)(ii) every 2 months, short first period, odd first and final payments")
        << us
        << apr::Flows{{on(1978, 1, 10, 800000)},
                      join({{on(1978, 3, 1, 44936)},
                            series(46500, 18, 1978, 5, 1, Frequency::Bimonthly),
                            {on(1981, 5, 1, 20000)}})}
        << "7.30"
        << "2 months";
    QTest::newRow("(c)(5)(i) single payment within a year")
        << us << apr::Flows{{on(1978, 1, 3, 100000)}, {on(1978, 9, 15, 108000)}} << "11.45"
        << "255 days";
    QTest::newRow("EU first: one payment after 18 months")
        << eu << apr::Flows{{on(1994, 1, 1, 100000)}, {on(1995, 7, 1, 120000)}} << "12.9"
        << "year of 12 months";
    QTest::newRow("EU second: 50 retained for expenses")
        << eu << apr::Flows{{on(1994, 1, 1, 95000)}, {on(1995, 7, 1, 120000)}} << "16.9"
        << "year of 12 months";
    QTest::newRow("EU third: two yearly payments")
        << eu
        << apr::Flows{{on(1994, 1, 1, 100000)}, {on(1995, 1, 1, 60000), on(1996, 1, 1, 60000)}}
        << "13.1"
        << "year of 12 months";
    QTest::newRow("UK: 150 repaid by 11 x 15")
        << eu << apr::Flows{{on(2026, 1, 15, 15000)}, series(1500, 11, 2026, 2, 15, monthly)}
        << "21.3"
        << "year of 12 months";
    QTest::newRow("UK loan by the US rule: 12 x the monthly rate")
        << us << apr::Flows{{on(2026, 1, 15, 15000)}, series(1500, 11, 2026, 2, 15, monthly)}
        << "19.48"
        << "month";
}

void TestApr::publishedExamples() {
    QFETCH(Method, method);
    QFETCH(apr::Flows, flows);
    QFETCH(QString, published);
    QFETCH(QString, unitPeriod);
    const apr::Result result = apr::annualPercentageRate(method, flows);
    QVERIFY2(result.answer, qPrintable(result.error));
    QCOMPARE(QString::number(result.answer->percent, 'f', method == Method::Us ? 2 : 1), published);
    QCOMPARE(result.answer->unitPeriod, unitPeriod);
}

void TestApr::noAnswer_data() {
    QTest::addColumn<apr::Flows>("flows");
    QTest::addColumn<QString>("message");
    QTest::newRow("repaid without charge")
        << apr::Flows{{on(2026, 1, 1, 120000)}, series(10000, 12, 2026, 2, 1, Frequency::Monthly)}
        << "do not exceed the advances";
    QTest::newRow("no payments") << apr::Flows{{on(2026, 1, 1, 120000)}, {}}
                                 << "at least one advance and one payment";
    QTest::newRow("payment before the advance")
        << apr::Flows{{on(2026, 1, 1, 100)}, {on(2025, 12, 1, 200)}}
        << "comes before the first advance";
    QTest::newRow("a year before 1")
        << apr::Flows{{on(-1, 1, 1, 100)}, {on(2026, 1, 1, 200)}} << "outside the years 1 to 9999";
    QTest::newRow("repaid at once: no sign change")
        << apr::Flows{{on(2026, 1, 1, 100)}, {on(2026, 1, 1, 200)}} << "No rate";
}

void TestApr::noAnswer() {
    QFETCH(apr::Flows, flows);
    QFETCH(QString, message);
    for (const Method method : {Method::Us, Method::Eu}) {
        const apr::Result result = apr::annualPercentageRate(method, flows);
        QVERIFY(!result.answer);
        QVERIFY2(result.error.contains(message), qPrintable(result.error));
    }
}

// A plan read back as cash flows: without fees its US rate is the plan's nominal rate and its
// EU/UK rate the effective annual one, to the figures each rule publishes.
void TestApr::planRoundTrip_data() {
    QTest::addColumn<qint64>("principal");
    QTest::addColumn<int>("months");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("frequency");
    QTest::newRow("worked example") << qint64(10000000) << 12 << 11.0 << u"monthly"_s;
    QTest::newRow("mortgage") << qint64(30000000) << 360 << 5.0 << u"monthly"_s;
    QTest::newRow("car loan") << qint64(2345678) << 48 << 6.49 << u"monthly"_s;
    QTest::newRow("month-end start") << qint64(500000) << 25 << 19.99 << u"monthly"_s;
    QTest::newRow("fortnightly") << qint64(2500000) << 52 << 7.9 << u"fortnightly"_s;
    QTest::newRow("weekly") << qint64(800000) << 104 << 12.5 << u"weekly"_s;
    QTest::newRow("quarterly") << qint64(5000000) << 20 << 6.0 << u"quarterly"_s;
    QTest::newRow("four-weekly") << qint64(1200000) << 39 << 9.9 << u"four-weekly"_s;
    QTest::newRow("half-yearly") << qint64(9000000) << 30 << 4.25 << u"half-yearly"_s;
}

void TestApr::planRoundTrip() {
    QFETCH(qint64, principal);
    QFETCH(int, months);
    QFETCH(double, rate);
    QFETCH(QString, frequency);
    planner::PlanInput loan;
    loan.principal = principal;
    loan.months = months;
    loan.annualPercent = rate;
    loan.frequency = *calendar::frequencyFromName(frequency.toStdString());
    loan.startDate = QDate(2026, 1, 31);
    const planner::PlanResult plan = planner::computePlan(loan);
    QVERIFY(plan.plan);
    const planner::TrueCost cost = planner::trueCostOf(loan, *plan.plan);
    QVERIFY(cost.aprUsPercent && cost.aprcEuPercent);
    QCOMPARE(QString::number(*cost.aprUsPercent, 'f', 2), QString::number(rate, 'f', 2));
    QCOMPARE(QString::number(*cost.aprcEuPercent, 'f', 1),
             QString::number(cost.effectiveAnnualPercent, 'f', 1));
}

QTEST_GUILESS_MAIN(TestApr)
#include "tst_apr.moc"
