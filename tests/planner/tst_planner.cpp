#include "planner/Planner.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace planner;

namespace {

// Events and terms: "once:12:1000000 every:20000:1:0 rate:25:6.5 holiday:13" (amounts in
// cents), "frequency:weekly basis:30/360 compounding:annual shape:equal-principal io:12 grace:6
// balloon:100000 start:2026-01-10 first:2026-03-01".
void apply(PlanInput& input, const QString& text) {
    for (const QString& item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList f = item.split(u':');
        const std::string value = f.value(1).toStdString();
        if (f[0] == u"once") {
            input.events.emplace_back(OneOffExtra{f[1].toInt(), f[2].toLongLong()});
        } else if (f[0] == u"every") {
            input.events.emplace_back(RecurringExtra{f[1].toLongLong(), f[2].toInt(), f[3].toInt()});
        } else if (f[0] == u"rate") {
            input.events.emplace_back(RateChange{f[1].toInt(), f[2].toDouble()});
        } else if (f[0] == u"holiday") {
            input.events.emplace_back(PaymentHoliday{f[1].toInt()});
        } else if (f[0] == u"frequency") {
            input.frequency = *calendar::frequencyFromName(value);
        } else if (f[0] == u"basis") {
            input.basis = *basisFromName(value);
        } else if (f[0] == u"compounding") {
            input.compounding = *compoundingFromName(value);
        } else if (f[0] == u"shape") {
            input.shape = *shapeFromName(value);
        } else if (f[0] == u"io") {
            input.interestOnly = f[1].toInt();
        } else if (f[0] == u"grace") {
            input.grace = f[1].toInt();
        } else if (f[0] == u"balloon") {
            input.balloon = f[1].toLongLong();
        } else {
            (f[0] == u"start" ? input.startDate : input.firstDue) = QDate::fromString(f[1], Qt::ISODate);
        }
    }
}

PlanInput inputOf(Cents principal, int months, double rate, const QString& events,
                  const QString& policy = u"shorter"_s, const QString& rounding = {},
                  const QString& interest = {}) {
    PlanInput input;
    input.principal = principal;
    input.months = months;
    input.annualPercent = rate;
    input.startDate = QDate(2026, 1, 31);
    apply(input, events);
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
        if (input.frequency == Frequency::Monthly && !input.firstDue.isValid() &&
            row.dueDate != input.startDate.addMonths(row.number))
            return u"row %1 is due on the wrong date"_s.arg(i + 1);
        if (row.dueDate <= (i ? plan.rows[i - 1].dueDate : input.startDate))
            return u"row %1 is not due after the row before"_s.arg(i + 1);
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
    void exactInterest();
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
    QTest::addColumn<QString>("dues");  // the first and the last due date
    using L = QList<qint64>;
    // From tests/planner/reference_plan.py.
    QTest::newRow("plain nearest cent") << inputOf(30000000, 360, 5, {}) << QString() << 360 << 27976969LL << 0LL << 161455LL << L{161046, 1} << QString();
    QTest::newRow("plain up to the cent") << inputOf(30000000, 360, 5, {}, u"shorter"_s, u"up-cent"_s) << QString() << 360 << 27976496LL << 0LL << 160623LL << L{161047, 1} << QString();
    QTest::newRow("one-off shorter") << inputOf(30000000, 360, 5, u"once:12:1000000"_s) << QString() << 335 << 24936127LL << 1000000LL << 146763LL << L{161046, 1} << QString();
    QTest::newRow("one-off lower") << inputOf(30000000, 360, 5, u"once:12:1000000"_s, u"lower"_s) << QString() << 360 << 27080606LL << 1000000LL << 155548LL << L{161046, 155598, 2} << QString();
    QTest::newRow("recurring shorter") << inputOf(20000000, 240, 4.5, u"every:20000:1:0"_s) << QString() << 192 << 8073537LL << 3820000LL << 86307LL << L{126530, 1} << QString();
    QTest::newRow("recurring lower to 60") << inputOf(20000000, 240, 4.5, u"every:20000:1:60"_s, u"lower"_s) << QString() << 240 << 9832195LL << 1200000LL << 118325LL << L{126530, 126403, 126276, 126148, 61} << QString();
    QTest::newRow("rate change shorter") << inputOf(10000000, 120, 3, u"rate:25:6.5"_s) << QString() << 139 << 3391264LL << 0LL << 65846LL << L{96561, 1} << QString();
    QTest::newRow("rate change lower") << inputOf(10000000, 120, 3, u"rate:25:6.5"_s, u"lower"_s) << QString() << 120 << 2896529LL << 0LL << 110160LL << L{96561, 110199, 2} << QString();
    QTest::newRow("rate to zero lower") << inputOf(10000000, 120, 3, u"rate:61:0"_s, u"lower"_s) << QString() << 120 << 1167480LL << 0LL << 89544LL << L{96561, 89564, 2} << QString();
    QTest::newRow("rate rise extends the term") << inputOf(10000000, 60, 2, u"rate:13:9"_s) << QString() << 69 << 2054011LL << 0LL << 135107LL << L{175278, 1} << QString();
    QTest::newRow("mixed, unit, half even") << inputOf(25000000, 300, 6.25, u"once:6:500000 every:10000:13:48 rate:37:4.75"_s, u"shorter"_s, u"nearest-unit"_s, u"half-even"_s) << QString() << 235 << 14599736LL << 860000LL << 153136LL << L{164900, 1} << QString();
    QTest::newRow("mixed, up unit, down, lower") << inputOf(25000000, 300, 6.25, u"once:6:500000 every:10000:13:48 rate:37:4.75"_s, u"lower"_s, u"up-unit"_s, u"down"_s) << QString() << 300 << 18453191LL << 860000LL << 106291LL << L{165000, 161600, 161500, 161400, 25} << QString();
    QTest::newRow("extra above the balance") << inputOf(1000000, 12, 11, u"once:3:99999999"_s) << QString() << 3 << 25316LL << 760170LL << 88382LL << L{88382, 1} << QString();
    QTest::newRow("interest-free") << inputOf(100000, 7, 0, u"once:2:1234"_s) << QString() << 7 << 0LL << 1234LL << 13050LL << L{14286, 1} << QString();
    QTest::newRow("weekly") << inputOf(1000000, 104, 9.9, u"frequency:weekly"_s, u"shorter"_s) << QString() << 104 << 103210LL << 0LL << 10586LL << L{10608, 1} << u"2026-02-07 2028-01-29"_s;
    QTest::newRow("fortnightly actual/365") << inputOf(2500000, 78, 7.25, u"frequency:fortnightly basis:actual/365"_s, u"shorter"_s) << QString() << 78 << 284288LL << 0LL << 34772LL << L{35708, 1} << u"2026-02-14 2029-01-27"_s;
    QTest::newRow("four-weekly") << inputOf(500000, 26, 12, u"frequency:four-weekly"_s, u"shorter"_s) << QString() << 26 << 64689LL << 0LL << 21714LL << L{21719, 1} << u"2026-02-28 2028-01-29"_s;
    QTest::newRow("semi-monthly") << inputOf(1200000, 48, 6, u"frequency:semi-monthly start:2026-01-20"_s, u"shorter"_s) << QString() << 48 << 74938LL << 0LL << 26571LL << L{26561, 1} << u"2026-02-05 2028-01-20"_s;
    QTest::newRow("semi-monthly first 31st") << inputOf(1200000, 48, 6, u"frequency:semi-monthly start:2026-01-20 first:2026-03-31"_s, u"shorter"_s) << QString() << 48 << 85938LL << 0LL << 26571LL << L{26561, 1} << u"2026-03-31 2028-03-15"_s;
    QTest::newRow("bimonthly") << inputOf(3000000, 30, 5.5, u"frequency:bimonthly"_s, u"shorter"_s) << QString() << 30 << 445028LL << 0LL << 114842LL << L{114834, 1} << u"2026-03-31 2031-01-31"_s;
    QTest::newRow("quarterly 30/360") << inputOf(10000000, 40, 4.2, u"frequency:quarterly basis:30/360"_s, u"shorter"_s) << QString() << 40 << 2298221LL << 0LL << 307476LL << L{307455, 1} << u"2026-04-30 2036-01-31"_s;
    QTest::newRow("half-yearly actual/360") << inputOf(10000000, 20, 4.2, u"frequency:half-yearly basis:actual/360"_s, u"shorter"_s) << QString() << 20 << 2392951LL << 0LL << 660736LL << L{617485, 1} << u"2026-07-31 2036-01-31"_s;
    QTest::newRow("yearly actual/actual") << inputOf(10000000, 10, 4.2, u"frequency:yearly basis:actual/actual"_s, u"shorter"_s) << QString() << 10 << 2452111LL << 0LL << 1245176LL << L{1245215, 1} << u"2027-01-31 2036-01-31"_s;
    QTest::newRow("monthly actual/actual") << inputOf(20000000, 60, 3.9, u"basis:actual/actual start:2027-11-15"_s, u"shorter"_s) << QString() << 60 << 2044445LL << 0LL << 366134LL << L{367429, 1} << u"2027-12-15 2032-11-15"_s;
    QTest::newRow("30/360 end of month") << inputOf(20000000, 24, 6, u"basis:30/360"_s, u"shorter"_s) << QString() << 24 << 1278478LL << 0LL << 891002LL << L{886412, 1} << u"2026-02-28 2028-01-31"_s;
    QTest::newRow("semi-annual compounding") << inputOf(40000000, 300, 5.49, u"compounding:semi-annual"_s, u"shorter"_s) << QString() << 300 << 33177074LL << 0LL << 243798LL << L{243924, 1} << u"2026-02-28 2051-01-31"_s;
    QTest::newRow("monthly compounding quarterly") << inputOf(40000000, 100, 5.49, u"frequency:quarterly compounding:monthly"_s, u"shorter"_s) << QString() << 100 << 33956145LL << 0LL << 739507LL << L{739562, 1} << u"2026-04-30 2051-01-31"_s;
    QTest::newRow("annual compounding weekly") << inputOf(40000000, 520, 5.49, u"frequency:weekly compounding:annual"_s, u"shorter"_s) << QString() << 520 << 11663346LL << 0LL << 99139LL << L{99353, 1} << u"2026-02-07 2036-01-19"_s;
    QTest::newRow("equal principal") << inputOf(1000000, 12, 6, u"shape:equal-principal"_s, u"shorter"_s) << QString() << 12 << 32500LL << 0LL << 83754LL << L{83333, 1} << u"2026-02-28 2027-01-31"_s;
    QTest::newRow("equal principal lower") << inputOf(1000000, 12, 6, u"once:3:100000 shape:equal-principal"_s, u"lower"_s) << QString() << 12 << 30000LL << 100000LL << 72586LL << L{83333, 72222, 2} << u"2026-02-28 2027-01-31"_s;
    QTest::newRow("equal principal shorter") << inputOf(1000000, 12, 6, u"once:3:100000 shape:equal-principal"_s, u"shorter"_s) << QString() << 11 << 28083LL << 100000LL << 67003LL << L{83333, 1} << u"2026-02-28 2026-12-31"_s;
    QTest::newRow("interest-only") << inputOf(10000000, 60, 6, u"io:12"_s, u"shorter"_s) << QString() << 60 << 1872815LL << 0LL << 234865LL << L{234850, 1} << u"2026-02-28 2031-01-31"_s;
    QTest::newRow("grace") << inputOf(10000000, 60, 6, u"grace:6"_s, u"shorter"_s) << QString() << 60 << 1782884LL << 0LL << 218178LL << L{218202, 1} << u"2026-02-28 2031-01-31"_s;
    QTest::newRow("grace and interest-only") << inputOf(10000000, 60, 6, u"grace:3 io:6"_s, u"shorter"_s) << QString() << 60 << 1760159LL << 0LL << 214964LL << L{214961, 1} << u"2026-02-28 2031-01-31"_s;
    QTest::newRow("balloon") << inputOf(3000000, 48, 7, u"balloon:1000000"_s, u"shorter"_s) << QString() << 48 << 578840LL << 0LL << 1053718LL << L{53726, 1} << u"2026-02-28 2030-01-31"_s;
    QTest::newRow("balloon shorter") << inputOf(3000000, 48, 7, u"once:10:200000 balloon:1000000"_s, u"shorter"_s) << QString() << 43 << 503215LL << 200000LL << 1046723LL << L{53726, 1} << u"2026-02-28 2029-08-31"_s;
    QTest::newRow("holiday shorter") << inputOf(10000000, 120, 5, u"holiday:13 holiday:14"_s, u"shorter"_s) << QString() << 124 << 2848901LL << 0LL << 14915LL << L{106066, 1} << u"2026-02-28 2036-05-31"_s;
    QTest::newRow("holiday lower") << inputOf(10000000, 120, 5, u"holiday:13"_s, u"lower"_s) << QString() << 120 << 2753475LL << 0LL << 107307LL << L{106066, 107296, 2} << u"2026-02-28 2036-01-31"_s;
    QTest::newRow("holiday last lower") << inputOf(100000, 6, 5, u"holiday:6"_s, u"lower"_s) << QString() << 7 << 1534LL << 0LL << 16979LL << L{16911, 16979, 2} << u"2026-02-28 2026-08-31"_s;
    QTest::newRow("odd first long") << inputOf(10000000, 60, 6, u"start:2026-01-10 first:2026-03-01"_s, u"shorter"_s) << QString() << 60 << 1636351LL << 0LL << 193332LL << L{193328, 1} << u"2026-03-01 2031-02-01"_s;
    QTest::newRow("odd first short") << inputOf(10000000, 60, 6, u"start:2026-01-10 first:2026-01-25"_s, u"shorter"_s) << QString() << 60 << 1574684LL << 0LL << 193332LL << L{193328, 1} << u"2026-01-25 2030-12-25"_s;
    QTest::newRow("odd first weekly") << inputOf(1000000, 52, 8, u"frequency:weekly start:2026-01-10 first:2026-01-30"_s, u"shorter"_s) << QString() << 52 << 44158LL << 0LL << 20025LL << L{20025, 1} << u"2026-01-30 2027-01-22"_s;
    QTest::newRow("odd first actual/365") << inputOf(10000000, 60, 6, u"start:2026-01-10 first:2026-03-01 basis:actual/365"_s, u"shorter"_s) << QString() << 60 << 1634024LL << 0LL << 191507LL << L{193328, 1} << u"2026-03-01 2031-02-01"_s;
    QTest::newRow("fortnightly grace actual/365") << inputOf(2000000, 52, 8.5, u"frequency:fortnightly basis:actual/365 grace:4"_s, u"shorter"_s) << QString() << 52 << 192144LL << 0LL << 45184LL << L{45680, 1} << u"2026-02-14 2028-01-29"_s;
    QTest::newRow("300.00 7.5% one month") << inputOf(30000, 1, 7.5, u""_s, u"shorter"_s) << QString() << 1 << 188LL << 0LL << 30188LL << L{30188, 1} << u"2026-02-28 2026-02-28"_s;
    QTest::newRow("800.00 7.5% down") << inputOf(80000, 1, 7.5, u""_s, u"shorter"_s, {}, u"down"_s) << QString() << 1 << 500LL << 0LL << 80500LL << L{80500, 1} << u"2026-02-28 2026-02-28"_s;
    QTest::newRow("250,000 7.5% 360") << inputOf(25000000, 360, 7.5, u""_s, u"shorter"_s) << QString() << 360 << 37928978LL << 0LL << 174342LL << L{174804, 1} << u"2026-02-28 2056-01-31"_s;
    QTest::newRow("up to the cent ends early") << inputOf(100000000, 32767, 0.1, {}, u"shorter"_s, u"up-cent"_s) << QString() << 32757 << -1LL << 0LL << -1LL << L{} << QString();
    QTest::newRow("instalment is the interest") << inputOf(100000000, 32767, 3, {}) << u"The instalment does not cover the interest of month 1."_s << 0 << 0LL << 0LL << 0LL << L{} << QString();
    QTest::newRow("rate rise beyond the instalment") << inputOf(10000000, 120, 3, u"rate:25:40"_s) << u"The instalment does not cover the interest after month 24."_s << 0 << 0LL << 0LL << 0LL << L{} << QString();
    QTest::newRow("not repaid in time") << inputOf(3200000, 32000, 0, u"rate:2:0.01"_s) << u"The loan is not repaid by month 32767."_s << 0 << 0LL << 0LL << 0LL << L{} << QString();
    QTest::newRow("past the year 9999") << startingOn(inputOf(100000, 12, 5, {}), QDate(9999, 6, 30)) << u"The plan runs past the year 9999."_s << 0 << 0LL << 0LL << 0LL << L{} << QString();
    QTest::newRow("largest rate and term") << inputOf(100000000000000, 32767, 1000, {}) << u"The instalment does not cover the interest of month 1."_s << 0 << 0LL << 0LL << 0LL << L{} << QString();
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
    QFETCH(QString, dues);
    if (!dues.isEmpty()) {
        QCOMPARE(plan.rows.front().dueDate.toString(Qt::ISODate) + u' ' +
                     plan.rows.back().dueDate.toString(Qt::ISODate), dues);
    }
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
        if (i % 2 != 0) {  // the loan's terms beyond a monthly annuity
            const auto pick = [&](const auto& names) { return QString::fromLatin1(names[random.bounded(int(std::size(names)))]); };
            const char* frequencies[] = {"weekly", "fortnightly", "four-weekly", "semi-monthly", "monthly", "bimonthly", "quarterly", "half-yearly", "yearly"};
            const char* bases[] = {"periodic", "30/360", "actual/365", "actual/360", "actual/actual"};
            const char* compoundings[] = {"per-period", "monthly", "quarterly", "semi-annual", "annual"};
            events += u"frequency:%1 basis:%2 compounding:%3 "_s.arg(pick(frequencies), pick(bases), pick(compoundings));
            if (months > 1 && random.bounded(3) == 0) {
                events += u"%1:%2 "_s.arg(random.bounded(2) ? u"io"_s : u"grace"_s).arg(random.bounded(1, std::min(months, 12)));
            }
            if (random.bounded(3) == 0) {
                events += u"holiday:%1 "_s.arg(random.bounded(1, months + 1));
            }
            events += random.bounded(2) ? u"shape:equal-principal "_s : u"balloon:%1 "_s.arg(random.bounded(0, 100000));
            if (random.bounded(2)) {
                events += u"first:%1 "_s.arg(QDate(2026, 1, 31).addDays(random.bounded(1, 200)).toString(Qt::ISODate));
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
        const int held = std::max(input.interestOnly, input.grace);
        QVERIFY(plan.totals.months <= input.months);
        if (input.instalmentRounding == InstalmentRounding::NearestCent) {
            QCOMPARE(plan.totals.months, input.months);
        }
        for (std::size_t k = std::size_t(held) + (input.firstDue.isValid() ? 1 : 0); k + 1 < plan.rows.size(); ++k) {
            if (input.shape == Shape::Annuity)
                QCOMPARE(plan.rows[k].payment, plan.instalments.front());
            else
                QCOMPARE(plan.rows[k].principal, plan.instalments.front());
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

// 250,000.00 at 7.5 % owes 965.515 in month 232: exactly half a cent, rounded up.
void TestPlanner::exactInterest() {
    const Plan plan = *computePlan(inputOf(25000000, 360, 7.5, {})).plan;
    QCOMPARE(plan.rows[230].interest, Cents{97038});
    QCOMPARE(plan.rows[231].opening, Cents{15448240});
    QCOMPARE(plan.rows[231].interest, Cents{96552});
    QCOMPARE(nanoPercentOf(7.5), NanoPercent{7'500'000'000});
    QCOMPARE(nanoPercentOf(0.1 + 0.2), NanoPercent{300'000'000});
    QCOMPARE(nanoPercentOf(1000), NanoPercent{1'000'000'000'000});
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
