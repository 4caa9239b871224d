#include "core/AutomationDate.h"
#include "core/Failure.h"

#include <QTest>

#include <random>

class TestAutomationDate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fromDate_data();
    void fromDate();
    void fromDateOutOfRange_data();
    void fromDateOutOfRange();
    void timeOfDay_data();
    void timeOfDay();
    void addMonths_data();
    void addMonths();
    void addMonthsOutOfRange_data();
    void addMonthsOutOfRange();
    void addMonthsMatchesQDate();
};

void TestAutomationDate::fromDate_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("expected");
    QTest::newRow("epoch") << QDate(1899, 12, 30) << 0.0;
    QTest::newRow("day after") << QDate(1899, 12, 31) << 1.0;
    QTest::newRow("day before") << QDate(1899, 12, 29) << -1.0;
    QTest::newRow("1900 has no 29 February") << QDate(1900, 3, 1) << 61.0;
    QTest::newRow("worked example start") << QDate(2021, 8, 31) << 44439.0;
    QTest::newRow("first day") << QDate(100, 1, 1) << AutomationDate::minimum;
    QTest::newRow("last day") << QDate(9999, 12, 31) << 2958465.0;
}

void TestAutomationDate::fromDate() {
    QFETCH(QDate, date);
    QFETCH(double, expected);
    QCOMPARE(AutomationDate::fromDate(date), expected);
    QCOMPARE(AutomationDate::toDate(expected), date);
    QVERIFY(AutomationDate::inRange(expected));
}

void TestAutomationDate::fromDateOutOfRange_data() {
    QTest::addColumn<QDate>("date");
    QTest::newRow("year 99") << QDate(99, 12, 31);
    QTest::newRow("year 10000") << QDate(10000, 1, 1);
    QTest::newRow("invalid") << QDate();
}

void TestAutomationDate::fromDateOutOfRange() {
    QFETCH(QDate, date);
    try {
        AutomationDate::fromDate(date);
        QFAIL("no failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), static_cast<int>(PlatformFailure::InvalidCall));
    }
}

void TestAutomationDate::timeOfDay_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("noon") << 44439.5 << QDateTime(QDate(2021, 8, 31), QTime(12, 0));
    QTest::newRow("before epoch counts forward")
        << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
    QTest::newRow("zero day afternoon") << -0.75 << QDateTime(QDate(1899, 12, 30), QTime(18, 0));
    QTest::newRow("last second") << AutomationDate::maximum
                                 << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59));
}

void TestAutomationDate::timeOfDay() {
    QFETCH(double, value);
    QFETCH(QDateTime, expected);
    QCOMPARE(AutomationDate::toDateTime(value), expected);
    // -0.75 and 0.75 are the same moment; the canonical value reads back alike.
    QCOMPARE(AutomationDate::toDateTime(AutomationDate::fromDateTime(expected)), expected);
}

void TestAutomationDate::addMonths_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("31 Jan + 1, leap year") << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
    QTest::newRow("31 Jan + 1") << QDate(2021, 1, 31) << 1 << QDate(2021, 2, 28);
    QTest::newRow("31 Jan + 2 comes back") << QDate(2021, 1, 31) << 2 << QDate(2021, 3, 31);
    QTest::newRow("31 Jan + 3") << QDate(2021, 1, 31) << 3 << QDate(2021, 4, 30);
    QTest::newRow("over the year") << QDate(2021, 8, 31) << 12 << QDate(2022, 8, 31);
    QTest::newRow("backwards") << QDate(2021, 8, 31) << -6 << QDate(2021, 2, 28);
    QTest::newRow("backwards a year") << QDate(2021, 8, 31) << -12 << QDate(2020, 8, 31);
    QTest::newRow("1900 not leap") << QDate(1900, 1, 29) << 1 << QDate(1900, 2, 28);
    QTest::newRow("2000 leap") << QDate(2000, 1, 29) << 1 << QDate(2000, 2, 29);
    QTest::newRow("largest tenure") << QDate(2021, 8, 31) << 32767 << QDate(4752, 3, 31);
    QTest::newRow("to the last month") << QDate(9999, 1, 31) << 11 << QDate(9999, 12, 31);
    QTest::newRow("to the first month") << QDate(100, 12, 1) << -11 << QDate(100, 1, 1);
}

void TestAutomationDate::addMonths() {
    QFETCH(QDate, start);
    QFETCH(int, months);
    QFETCH(QDate, expected);
    const double from = AutomationDate::fromDate(start);
    QCOMPARE(AutomationDate::toDate(AutomationDate::addMonths(from, months)), expected);
    // The time of day stays.
    const double afternoon = AutomationDate::addMonths(
        AutomationDate::fromDateTime(QDateTime(start, QTime(18, 0))), months);
    QCOMPARE(AutomationDate::toDateTime(afternoon), QDateTime(expected, QTime(18, 0)));
}

void TestAutomationDate::addMonthsOutOfRange_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("months");
    QTest::newRow("past 9999") << AutomationDate::fromDate(QDate(9999, 12, 1)) << 1;
    QTest::newRow("before 100") << AutomationDate::minimum << -1;
    QTest::newRow("far past 9999") << AutomationDate::fromDate(QDate(9000, 1, 1)) << 32767;
    QTest::newRow("start out of range") << AutomationDate::maximum + 1 << 0;
    QTest::newRow("not a number") << std::nan("") << 1;
}

void TestAutomationDate::addMonthsOutOfRange() {
    QFETCH(double, start);
    QFETCH(int, months);
    try {
        AutomationDate::addMonths(start, months);
        QFAIL("no failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), static_cast<int>(PlatformFailure::InvalidCall));
    }
}

// QDate::addMonths clamps to the month's end too: an independent reference.
void TestAutomationDate::addMonthsMatchesQDate() {
    std::mt19937 random(2021);
    std::uniform_int_distribution<int> days(-600000, 2900000);
    std::uniform_int_distribution<int> months(-1200, 1200);
    for (int i = 0; i < 20000; ++i) {
        const double start = days(random);
        const int count = months(random);
        const QDate expected = AutomationDate::toDate(start).addMonths(count);
        if (expected.year() < 100 || expected.year() > 9999) {
            continue;
        }
        QCOMPARE(AutomationDate::toDate(AutomationDate::addMonths(start, count)), expected);
    }
}

QTEST_GUILESS_MAIN(TestAutomationDate)
#include "tst_automationdate.moc"
