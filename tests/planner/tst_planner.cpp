#include "planner/Planner.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace planner;

namespace {

// "once:12:1000000 every:20000:1:0 rate:25:6.5" (amounts in cents)
std::vector<Event> eventsOf(const QString& text) {
    std::vector<Event> events;
    for (const QString& item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList f = item.split(u':');
        if (f[0] == u"once") {
            events.emplace_back(OneOffExtra{f[1].toInt(), f[2].toLongLong()});
        } else if (f[0] == u"every") {
            events.emplace_back(RecurringExtra{f[1].toLongLong(), f[2].toInt(), f[3].toInt()});
        } else {
            events.emplace_back(RateChange{f[1].toInt(), f[2].toDouble()});
        }
    }
    return events;
}

PlanInput inputOf(Cents principal, int months, double rate, const QString& events,
                  const QString& policy = u"shorter"_s, const QString& rounding = {},
                  const QString& interest = {}) {
    PlanInput input;
    input.principal = principal;
    input.months = months;
    input.annualPercent = rate;
    input.startDate = QDate(2026, 1, 31);
    input.events = eventsOf(events);
    input.policy = policy == u"lower" ? Policy::LowerInstalment : Policy::ShorterTerm;
    if (!rounding.isEmpty()) {
        input.instalmentRounding = *instalmentRoundingFromName(rounding.toStdString());
    }
    if (!interest.isEmpty()) {
        input.interestRounding = *interestRoundingFromName(interest.toStdString());
    }
    return input;
}

PlanInput startingOn(PlanInput input, const QDate& start) {
    input.startDate = start;
    return input;
}

// The invariants every plan keeps; returns the first one broken.
QString brokenInvariant(const PlanInput& input, const Plan& plan) {
    Cents paidDown = 0;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const PlanRow& row = plan.rows[i];
        paidDown += row.principal + row.extra;
        if (row.number != static_cast<int>(i) + 1 || row.opening - row.principal - row.extra != row.closing)
            return u"row %1 does not add up"_s.arg(i + 1);
        if (i + 1 < plan.rows.size() && plan.rows[i + 1].opening != row.closing)
            return u"row %1 closes on another balance than row %2 opens"_s.arg(i + 1).arg(i + 2);
        if (row.dueDate != input.startDate.addMonths(row.number))
            return u"row %1 is due on the wrong date"_s.arg(i + 1);
    }
    if (paidDown != input.principal)
        return u"principal plus extra is %1, not the principal"_s.arg(paidDown);
    if (plan.rows.back().closing != 0 || plan.totals.endDate != plan.rows.back().dueDate ||
        plan.totals.months != static_cast<int>(plan.rows.size()))
        return u"the totals do not end the loan"_s;
    return {};
}

}  // namespace

class TestPlanner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void knownAnswers_data();
    void knownAnswers();
    void randomPlansKeepInvariants_data();
    void randomPlansKeepInvariants();
    void comparison();
    void badEntries_data();
    void badEntries();
};

void TestPlanner::knownAnswers_data() {
    QTest::addColumn<PlanInput>("input");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("months");
    QTest::addColumn<qint64>("interest");
    QTest::addColumn<qint64>("extra");
    QTest::addColumn<qint64>("lastPayment");
    QTest::addColumn<QList<qint64>>("instalments");  // the first ones, then their count
    using L = QList<qint64>;
    // From tests/planner/reference_plan.py.
    QTest::newRow("plain nearest cent") << inputOf(30000000, 360, 5, {}) << QString() << 360 << 27976969LL << 0LL << 161455LL << L{161046, 1};
    QTest::newRow("plain up to the cent") << inputOf(30000000, 360, 5, {}, u"shorter"_s, u"up-cent"_s) << QString() << 360 << 27976496LL << 0LL << 160623LL << L{161047, 1};
    QTest::newRow("one-off shorter") << inputOf(30000000, 360, 5, u"once:12:1000000"_s) << QString() << 335 << 24936127LL << 1000000LL << 146763LL << L{161046, 1};
    QTest::newRow("one-off lower") << inputOf(30000000, 360, 5, u"once:12:1000000"_s, u"lower"_s) << QString() << 360 << 27080606LL << 1000000LL << 155548LL << L{161046, 155598, 2};
    QTest::newRow("recurring shorter") << inputOf(20000000, 240, 4.5, u"every:20000:1:0"_s) << QString() << 192 << 8073537LL << 3820000LL << 86307LL << L{126530, 1};
    QTest::newRow("recurring lower to 60") << inputOf(20000000, 240, 4.5, u"every:20000:1:60"_s, u"lower"_s) << QString() << 240 << 9832195LL << 1200000LL << 118325LL << L{126530, 126403, 126276, 126148, 61};
    QTest::newRow("rate change shorter") << inputOf(10000000, 120, 3, u"rate:25:6.5"_s) << QString() << 139 << 3391264LL << 0LL << 65846LL << L{96561, 1};
    QTest::newRow("rate change lower") << inputOf(10000000, 120, 3, u"rate:25:6.5"_s, u"lower"_s) << QString() << 120 << 2896529LL << 0LL << 110160LL << L{96561, 110199, 2};
    QTest::newRow("rate to zero lower") << inputOf(10000000, 120, 3, u"rate:61:0"_s, u"lower"_s) << QString() << 120 << 1167480LL << 0LL << 89544LL << L{96561, 89564, 2};
    QTest::newRow("rate rise extends the term") << inputOf(10000000, 60, 2, u"rate:13:9"_s) << QString() << 69 << 2054011LL << 0LL << 135107LL << L{175278, 1};
    QTest::newRow("mixed, unit, half even") << inputOf(25000000, 300, 6.25, u"once:6:500000 every:10000:13:48 rate:37:4.75"_s, u"shorter"_s, u"nearest-unit"_s, u"half-even"_s) << QString() << 235 << 14599736LL << 860000LL << 153136LL << L{164900, 1};
    QTest::newRow("mixed, up unit, down, lower") << inputOf(25000000, 300, 6.25, u"once:6:500000 every:10000:13:48 rate:37:4.75"_s, u"lower"_s, u"up-unit"_s, u"down"_s) << QString() << 300 << 18453191LL << 860000LL << 106291LL << L{165000, 161600, 161500, 161400, 25};
    QTest::newRow("extra above the balance") << inputOf(1000000, 12, 11, u"once:3:99999999"_s) << QString() << 3 << 25316LL << 760170LL << 88382LL << L{88382, 1};
    QTest::newRow("interest-free") << inputOf(100000, 7, 0, u"once:2:1234"_s) << QString() << 7 << 0LL << 1234LL << 13050LL << L{14286, 1};
    QTest::newRow("up to the cent ends early") << inputOf(100000000, 32767, 0.1, {}, u"shorter"_s, u"up-cent"_s) << QString() << 32757 << -1LL << 0LL << -1LL << L{};
    QTest::newRow("instalment is the interest") << inputOf(100000000, 32767, 3, {}) << u"The instalment does not cover the interest of month 1."_s << 0 << 0LL << 0LL << 0LL << L{};
    QTest::newRow("rate rise beyond the instalment") << inputOf(10000000, 120, 3, u"rate:25:40"_s) << u"The instalment does not cover the interest after month 24."_s << 0 << 0LL << 0LL << 0LL << L{};
    QTest::newRow("not repaid in time") << inputOf(3200000, 32000, 0, u"rate:2:0.01"_s) << u"The loan is not repaid by month 32767."_s << 0 << 0LL << 0LL << 0LL << L{};
    QTest::newRow("past the year 9999") << startingOn(inputOf(100000, 12, 5, {}), QDate(9999, 6, 30)) << u"The plan runs past the year 9999."_s << 0 << 0LL << 0LL << 0LL << L{};
    QTest::newRow("largest rate and term") << inputOf(100000000000000, 32767, 1000, {}) << u"The instalment does not cover the interest of month 1."_s << 0 << 0LL << 0LL << 0LL << L{};
}

void TestPlanner::knownAnswers() {
    QFETCH(PlanInput, input);
    QFETCH(QString, error);
    const PlanResult result = computePlan(input);
    QCOMPARE(result.error, error);
    if (!error.isEmpty()) {
        QVERIFY(!result.plan);
        return;
    }
    QVERIFY(result.plan);
    const Plan& plan = *result.plan;
    QCOMPARE(brokenInvariant(input, plan), QString());
    QTEST(plan.totals.months, "months");
    QFETCH(qint64, interest);
    QFETCH(qint64, lastPayment);
    QFETCH(QList<qint64>, instalments);
    QFETCH(qint64, extra);
    if (interest < 0) {
        return;  // only the months are known
    }
    QCOMPARE(qint64(plan.totals.interest), interest);
    QCOMPARE(qint64(plan.totals.extra), extra);
    QCOMPARE(qint64(plan.rows.back().payment), lastPayment);
    for (qsizetype i = 0; i + 1 < instalments.size(); ++i) {
        QCOMPARE(qint64(plan.instalments[static_cast<std::size_t>(i)]), instalments[i]);
    }
    QCOMPARE(static_cast<qint64>(plan.instalments.size()), instalments.back());
    QCOMPARE(plan.totals.payments, plan.totals.principal + plan.totals.interest);
}

void TestPlanner::randomPlansKeepInvariants_data() {
    QTest::addColumn<PlanInput>("input");
    QRandomGenerator random(13);
    const QString policies[] = {u"shorter"_s, u"lower"_s};
    for (int i = 0; i < 120; ++i) {
        const int months = random.bounded(1, 481);
        QString events;
        for (int e = random.bounded(4); e > 0 && i % 4 != 0; --e) {
            const int month = random.bounded(1, months + 1);
            switch (random.bounded(3)) {
            case 0: events += u"once:%1:%2 "_s.arg(month).arg(random.bounded(1, 2000000)); break;
            case 1: events += u"every:%1:%2:%3 "_s.arg(random.bounded(1, 50000)).arg(month).arg(random.bounded(2) ? 0 : random.bounded(month, months + 1)); break;
            default: events += u"rate:%1:%2 "_s.arg(month).arg(random.bounded(0, 1500) / 100.0); break;
            }
        }
        PlanInput input = inputOf(random.bounded(100000, 100000000), months, random.bounded(0, 2000) / 100.0, events, policies[i % 2]);
        input.instalmentRounding = allInstalmentRoundings[random.bounded(4)];
        input.interestRounding = allInterestRoundings[random.bounded(3)];
        QTest::addRow("%d: %s", i, qPrintable(events)) << input;
    }
}

void TestPlanner::randomPlansKeepInvariants() {
    QFETCH(PlanInput, input);
    const PlanResult result = computePlan(input);
    if (!result.plan) {
        QVERIFY(result.error.startsWith(u"The instalment does not cover the interest"_s));
        QVERIFY(!input.events.empty() || input.instalmentRounding == InstalmentRounding::NearestUnit);
        return;
    }
    const Plan& plan = *result.plan;
    QCOMPARE(brokenInvariant(input, plan), QString());
    if (input.events.empty()) {
        QCOMPARE(plan.instalments.size(), std::size_t{1});
        QVERIFY(plan.totals.months <= input.months);
        if (input.instalmentRounding == InstalmentRounding::NearestCent) {
            QCOMPARE(plan.totals.months, input.months);
        }
        for (std::size_t k = 0; k + 1 < plan.rows.size(); ++k) {
            QCOMPARE(plan.rows[k].payment, plan.instalments.front());
        }
    }
}

void TestPlanner::comparison() {
    const PlanInput input = inputOf(30000000, 360, 5, u"once:12:1000000"_s);
    const Plan plan = *computePlan(input).plan;
    const Comparison c = compare(input, plan);
    QCOMPARE(c.baselineError, QString());
    QCOMPARE(qint64(c.interestSaved), qint64(27976969 - 24936127));
    QCOMPARE(c.monthsSaved, 360 - 335);
    QCOMPARE(c.baselineEndDate, QDate(2056, 1, 31));
    QCOMPARE(c.endDate, QDate(2053, 12, 31));
}

void TestPlanner::badEntries_data() {
    QTest::addColumn<PlanInput>("input");
    QTest::addColumn<int>("event");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("month past the term") << inputOf(100000, 12, 5, u"once:13:100"_s) << 0 << int(Field::Month) << u"Month 13 is outside the term (1 to 12)."_s;
    QTest::newRow("zero amount") << inputOf(100000, 12, 5, u"rate:2:5 once:3:0"_s) << 1 << int(Field::Amount) << u"The amount must be more than 0."_s;
    QTest::newRow("negative recurring") << inputOf(100000, 12, 5, u"every:-5:1:0"_s) << 0 << int(Field::Amount) << u"The amount must be more than 0."_s;
    QTest::newRow("end before start") << inputOf(100000, 12, 5, u"every:5:6:3"_s) << 0 << int(Field::EndMonth) << u"The end month 3 comes before the first month 6."_s;
    QTest::newRow("end past the term") << inputOf(100000, 12, 5, u"every:5:6:30"_s) << 0 << int(Field::EndMonth) << u"Month 30 is outside the term (1 to 12)."_s;
    QTest::newRow("rate above 1000") << inputOf(100000, 12, 5, u"rate:2:1000.01"_s) << 0 << int(Field::Amount) << u"The rate must be from 0 to 1000 %."_s;
    QTest::newRow("negative rate") << inputOf(100000, 12, 5, u"rate:2:-1"_s) << 0 << int(Field::Amount) << u"The rate must be from 0 to 1000 %."_s;
    QTest::newRow("principal too big") << inputOf(maxPrincipal + 1, 12, 5, {}) << -1 << int(Field::Principal) << u"The principal must be from 0.01 to 1000000000000.00."_s;
    QTest::newRow("start before the year 100") << startingOn(inputOf(100, 12, 5, {}), QDate(99, 12, 31)) << -1 << int(Field::StartDate) << u"The start date must lie in the years 100 to 9999."_s;
    QTest::newRow("term too long") << inputOf(100, 32768, 5, {}) << -1 << int(Field::Months) << u"The term must be from 1 to 32767 months."_s;
}

void TestPlanner::badEntries() {
    QFETCH(PlanInput, input);
    const auto problems = inputProblems(input);
    QCOMPARE(problems.size(), std::size_t{1});
    QTEST(problems.front().event, "event");
    QTEST(int(problems.front().field), "field");
    QTEST(problems.front().message, "message");
    QTEST(computePlan(input).error, "message");
}

QTEST_GUILESS_MAIN(TestPlanner)
#include "tst_planner.moc"
