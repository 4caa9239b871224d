#include "support/RecordingBoxes.h"
#include "cli/Commands.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ScheduleGridModel.h"
#include "output/CopyText.h"
#include "output/Report.h"
#include "shell/SettingsStore.h"

#include <QBuffer>
#include <QDateEdit>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QString& commandLine) {
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status = cli::run(QProcess::splitCommand(commandLine), {out, err});
    return {status, out.data(), err.data()};
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exitCodes_data();
    void exitCodes();
    void planCsvIsTheGolden();
    void planJsonHoldsRowsTotalsAndComparison();
    void offerCommandsJson_data();
    void offerCommandsJson();
    void scheduleTextsAreTheWindows_data();
    void scheduleTextsAreTheWindows();
    void aprTexts_data();
    void aprTexts();
    void aprJsonHoldsTheFlows();
};

void TestCli::exitCodes_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");  // the start of the one line on stderr
    const QString loan = u" -p 100000 -n 12 -r 11 -s 2026-01-31"_s;
    QTest::newRow("help") << u"--help"_s << 0 << QString();
    QTest::newRow("version") << u"--version"_s << 0 << QString();
    QTest::newRow("schedule help") << u"schedule --help"_s << 0 << QString();
    QTest::newRow("plan help") << u"plan --help"_s << 0 << QString();
    QTest::newRow("schedule") << u"schedule"_s + loan << 0 << QString();
    QTest::newRow("schedule json") << u"schedule --format=json"_s + loan << 0 << QString();
    QTest::newRow("plan") << u"plan --extra 3:500 --extra-monthly 20:1:6 --rate-change 7:9.5"_s + loan << 0 << QString();
    QTest::newRow("no command") << QString() << 2 << u"Usage:"_s;
    QTest::newRow("unknown command") << u"frobnicate"_s << 2 << u"ravenmoor-cli: unknown command 'frobnicate'"_s;
    QTest::newRow("missing principal") << u"schedule -n 12 -r 11 -s 2026-01-31"_s << 2 << u"ravenmoor-cli schedule: --principal is required"_s;
    QTest::newRow("comma decimal") << u"schedule -p 1000,5 -n 12 -r 11 -s 2026-01-31"_s << 2 << u"ravenmoor-cli schedule: --principal"_s;
    QTest::newRow("months too many") << u"schedule -p 1000 -n 32768 -r 11 -s 2026-01-31"_s << 2 << u"ravenmoor-cli schedule: --months"_s;
    QTest::newRow("bad date") << u"schedule -p 1000 -n 12 -r 11 -s 2026-02-30"_s << 2 << u"ravenmoor-cli schedule: --start"_s;
    QTest::newRow("bad format") << u"schedule --format xml"_s + loan << 2 << u"ravenmoor-cli schedule: --format"_s;
    QTest::newRow("unknown option") << u"schedule --colour red"_s + loan << 2 << u"ravenmoor-cli schedule: unknown option '--colour'"_s;
    QTest::newRow("repeated option") << u"plan -p 5"_s + loan << 2 << u"ravenmoor-cli plan: --principal is given more than once"_s;
    QTest::newRow("missing value") << u"plan"_s + loan + u" --extra"_s << 2 << u"ravenmoor-cli plan: --extra needs a value"_s;
    QTest::newRow("three decimals") << u"plan -p 1000.001 -n 12 -r 11 -s 2026-01-31"_s << 2 << u"ravenmoor-cli plan: --principal"_s;
    QTest::newRow("month past the term") << u"plan --extra 13:100"_s + loan << 2 << u"ravenmoor-cli plan: --extra 13:100: Month 13 is outside the term (1 to 12)."_s;
    QTest::newRow("zero amount") << u"plan --extra-monthly 0:1"_s + loan << 2 << u"ravenmoor-cli plan: --extra-monthly 0:1: The amount must be more than 0."_s;
    QTest::newRow("rate above 1000") << u"plan --rate-change 2:1001"_s + loan << 2 << u"ravenmoor-cli plan: --rate-change 2:1001: The rate must be from 0 to 1000 %."_s;
    QTest::newRow("event malformed") << u"plan --extra 5"_s + loan << 2 << u"ravenmoor-cli plan: --extra 5: expected MONTH:AMOUNT"_s;
    QTest::newRow("bad policy") << u"plan --policy faster"_s + loan << 2 << u"ravenmoor-cli plan: --policy"_s;
    QTest::newRow("bad rounding") << u"plan --instalment-rounding up"_s + loan << 2 << u"ravenmoor-cli plan: --instalment-rounding"_s;
    QTest::newRow("loan rate too high") << u"plan -p 1000 -n 12 -r 1200 -s 2026-01-31"_s << 2 << u"ravenmoor-cli plan: --rate: The rate must be from 0 to 1000 %."_s;
    QTest::newRow("interest not covered") << u"plan -p 1000000 -n 32767 -r 3 -s 2026-01-31"_s << 1 << u"ravenmoor-cli: The instalment does not cover the interest of month 1."_s;
    QTest::newRow("rise not covered") << u"plan -p 100000 -n 120 -r 3 -s 2026-01-31 --rate-change 25:40"_s << 1 << u"ravenmoor-cli: The instalment does not cover the interest after month 24."_s;
    QTest::newRow("plan ledger") << u"plan --format ledger --with-advance --payee Bank --currency EUR"_s + loan << 0 << QString();
    QTest::newRow("bad currency") << u"plan --format qif --currency eur"_s + loan << 2 << u"ravenmoor-cli plan: --currency"_s;
    QTest::newRow("compare one loan") << u"compare --loan \""_s + loan + u"\""_s << 2 << u"ravenmoor-cli compare: --loan must be given at least twice"_s;
    QTest::newRow("compare: a loan's own --format") << u"compare --loan \""_s + loan + u" --format json\" --loan \""_s + loan + u"\""_s << 2 << u"ravenmoor-cli compare: --loan \""_s + loan + u" --format json\": unknown option '--format'"_s;
    QTest::newRow("compare bad loan") << u"compare --loan \"-p 1 -n 1\" --loan \""_s + loan + u"\""_s << 2 << u"ravenmoor-cli compare: --loan \"-p 1 -n 1\": --rate is required"_s;
    QTest::newRow("payoff before start") << u"payoff --on 2026-01-30"_s + loan << 2 << u"ravenmoor-cli payoff: --on: The payoff date comes before the loan starts."_s;
    QTest::newRow("refinance without rate") << u"refinance --on 2026-05-01 --new-months 12"_s + loan << 2 << u"ravenmoor-cli refinance: --new-rate is required"_s;
    QTest::newRow("plan terms") << u"plan --frequency fortnightly --first-due 2026-02-20 --interest-basis actual/365 --compounding annual --shape annuity --interest-only 1 --grace 1 --balloon 100 --holiday 4 --holiday 5 --extra-recurring 5:6:8 --extra-monthly 1:9"_s + loan << 0 << QString();
    QTest::newRow("bad frequency") << u"plan --frequency daily"_s + loan << 2 << u"ravenmoor-cli plan: --frequency must be weekly,"_s;
    QTest::newRow("grace too long") << u"plan --grace 12"_s + loan << 2 << u"ravenmoor-cli plan: --grace: The grace periods must be from 0 to 11."_s;
    QTest::newRow("holiday past the term") << u"plan --frequency weekly --holiday 13"_s + loan << 2 << u"ravenmoor-cli plan: --holiday 13: Period 13 is outside the term (1 to 12)."_s;
    QTest::newRow("recurring malformed") << u"plan --extra-recurring 5"_s + loan << 2 << u"ravenmoor-cli plan: --extra-recurring 5: expected AMOUNT:FROM"_s;
    QTest::newRow("period not covered") << u"plan -p 1000000 -n 32767 -r 3 -s 2026-01-31 --frequency quarterly"_s << 1 << u"ravenmoor-cli: The instalment does not cover the interest of period 1."_s;
    QTest::newRow("apr: no charge") << u"apr --method eu --advance 150@2026-01-15 --payments 15x10@2026-02-15/monthly"_s << 1 << u"ravenmoor-cli apr: The payments of 150.00 do not exceed the advances of 150.00.\n"_s;
    QTest::newRow("apr: half a series") << u"apr --method us --advance 150@2026-01-15 --payments 15x11@2026-02-15"_s << 2 << u"ravenmoor-cli apr: --payments 15x11@2026-02-15: a series needs both xCOUNT and /FREQUENCY\n"_s;
    QTest::newRow("apr: no such day") << u"apr --method us --advance 150@2026-02-30 --payments 165@2026-12-15"_s << 2 << u"ravenmoor-cli apr: --advance: the date 2026-02-30 does not exist\n"_s;
    QTest::newRow("apr: unknown frequency") << u"apr --method us --advance 150@2026-01-15 --payments 15x11@2026-02-15/daily"_s << 2 << u"ravenmoor-cli apr: --payments 15x11@2026-02-15/daily: 'daily' is not a frequency\n"_s;
    QTest::newRow("apr: no method") << u"apr --advance 150@2026-01-15 --payments 165@2026-12-15"_s << 2 << u"ravenmoor-cli apr: --method is required\n"_s;
    QTest::newRow("schedule overflow") << u"schedule -p 1000 -n 32767 -r 1000 -s 2026-01-31"_s << 1 << u"ravenmoor-cli: clsLoanDetails component failure"_s;
}

void TestCli::exitCodes() {
    QFETCH(QString, args);
    QFETCH(QString, message);
    const Run run = runCli(args);
    QTEST(run.status, "status");
    QCOMPARE(run.out.isEmpty(), run.status != 0);
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(err.startsWith(message), qPrintable(err));
    if (run.status != 0 && !message.startsWith(u"Usage"_s)) {
        QCOMPARE(err.count(u'\n'), 1);
    }
}

void TestCli::planCsvIsTheGolden() {
    // The golden rows were checked against tests/planner/reference_plan.py.
    const Run run = runCli(u"plan -p 1000 -n 6 -r 12 -s 2026-01-31 --extra 2:100 --extra-monthly 50:4 --rate-change 5:6 --policy lower"_s);
    QFile golden(QStringLiteral(CLI_TEST_DIR "/plan-lower.csv"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(run.out, golden.readAll());
}

void TestCli::planJsonHoldsRowsTotalsAndComparison() {
    const Run run = runCli(u"plan -p 300000 -n 360 -r 5 -s 2026-01-31 --extra 12:10000 --format json"_s);
    QJsonParseError error;
    const QJsonObject plan = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(plan[u"rows"_s].toArray().size(), 335);
    QCOMPARE(plan[u"instalments"_s].toArray().first().toDouble(), 1610.46);
    QCOMPARE(plan[u"totals"_s][u"interest"_s].toDouble(), 249361.27);
    QCOMPARE(plan[u"comparison"_s][u"interestSaved"_s].toDouble(), 30408.42);
    QCOMPARE(plan[u"comparison"_s][u"monthsSaved"_s].toInt(), 25);
    QCOMPARE(plan[u"comparison"_s][u"baselineEndDate"_s].toString(), u"2056-01-31"_s);
    // Every payment, extra included; (1 + 0.05 / 12)^12 - 1 = 5.116 %.
    QCOMPARE(plan[u"cost"_s][u"total_interest"_s].toDouble(), 249361.27);
    QCOMPARE(plan[u"cost"_s][u"total_paid"_s].toDouble(), 549361.27);
    QCOMPARE(plan[u"cost"_s][u"effective_annual_rate"_s].toDouble(), 5.12);
    // The extra payment earns the loan's rate too: the rates of its cash flows are the loan's.
    QCOMPARE(QString::number(plan[u"cost"_s][u"apr_us"_s].toDouble(), 'f', 2), u"5.00"_s);
    QCOMPARE(QString::number(plan[u"cost"_s][u"aprc_eu"_s].toDouble(), 'f', 1), u"5.1"_s);
    const Run withFees = runCli(u"plan -p 300000 -n 360 -r 5 -s 2026-01-31 --fees 3000 "
                                u"--fee-per-payment 10 --format json"_s);
    const QJsonObject withFeesPlan = QJsonDocument::fromJson(withFees.out).object();
    const QJsonObject cost = withFeesPlan[u"cost"_s].toObject();
    QCOMPARE(cost[u"total_paid"_s].toDouble(),
             withFeesPlan[u"totals"_s][u"payments"_s].toDouble() + 3000 + 360 * 10);
    // 297,000.00 repaid by 360 x 1,620.46: 12 x the monthly rate, checked on its own.
    QCOMPARE(QString::number(cost[u"apr_us"_s].toDouble(), 'f', 2), u"5.14"_s);
}

// The text each rule publishes; the examples' sources are named in tests/apr/tst_apr.cpp.
void TestCli::aprTexts_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("text");
    QTest::newRow("US, monthly") << u"apr --method us --advance 5000@1978-01-10 --payments 230x24@1978-02-10/monthly"_s << u"APR (US): 9.69 %\nUnit period: month\n"_s;
    QTest::newRow("US, semi-monthly") << u"apr --method us --advance 5000@1978-02-23 --payments 219.17x24@1978-03-01/semi-monthly"_s << u"APR (US): 10.34 %\nUnit period: semi-month\n"_s;
    QTest::newRow("US, odd final payment") << u"apr --method us --advance 5000@1978-01-10 --payments 230x23@1978-02-10/monthly --payments 280@1980-01-10"_s << u"APR (US): 10.50 %\nUnit period: month\n"_s;
    QTest::newRow("US, single payment") << u"apr --method us --advance 1000@1978-01-03 --payments 1080@1978-09-15 --format text"_s << u"APR (US): 11.45 %\nUnit period: 255 days\n"_s;
    QTest::newRow("UK, 150 by 11 x 15") << u"apr --method eu --advance 150@2026-01-15 --payments 15x11@2026-02-15/monthly"_s << u"APRC (EU/UK): 21.3 %\nTime counted in a year of 12 months\n"_s;
    QTest::newRow("EU, two advances, weekly") << u"apr --method eu --advance 100@2026-01-05 --advance 100@2026-01-12 --payments 21x10@2026-01-19/weekly"_s << u"APRC (EU/UK): 53.0 %\nTime counted in a year of 52 weeks\n"_s;
}

void TestCli::aprTexts() {
    QFETCH(QString, args);
    const Run run = runCli(args);
    QCOMPARE(run.status, 0);
    QTEST(QString::fromUtf8(run.out), "text");
}

void TestCli::aprJsonHoldsTheFlows() {
    const Run run = runCli(
        u"apr --method us --advance 400@1978-03-18 --payments 39.50@1978-04-20 "
        u"--payments 38.31x11@1978-05-18/four-weekly --format json"_s);
    QJsonParseError error;
    const QJsonObject apr = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(apr[u"method"_s].toString(), u"us"_s);
    QCOMPARE(QString::number(apr[u"apr"_s].toDouble(), 'f', 4), u"28.4979"_s);
    QCOMPARE(apr[u"unit_period"_s].toString(), u"4 weeks"_s);
    const QJsonArray flows = apr[u"flows"_s].toArray();
    QCOMPARE(flows.size(), 13);
    QCOMPARE(flows.first()[u"advance"_s].toDouble(), 400.0);
    QCOMPARE(flows.last()[u"date"_s].toString(), u"1979-02-22"_s);
    QCOMPARE(flows.last()[u"payment"_s].toDouble(), 38.31);
}

// 1200.00 at 12 % from 31 January 2026 pays 106.62 a month and owes 1105.38 after payment 1.
void TestCli::offerCommandsJson_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    const QString loan = u" -p 1200 -n 12 -r 12 -s 2026-01-31"_s;
    QTest::newRow("payoff: 11.05 x 15/31 accrued") << u"payoff --on 2026-03-15 -f json"_s + loan << u"accrued_interest"_s << QVariant(5.35);
    QTest::newRow("payoff: the balance") << u"payoff --on 2026-03-15 -f json"_s + loan << u"payoff"_s << QVariant(1110.73);
    QTest::newRow("compare: cheapest by total paid with fees") << u"compare -f json --loan \"-p 1200 -n 12 -r 0 -s 2026-01-31 --fees 10\" --loan \"-p 1200 -n 24 -r 0 -s 2026-01-31 --fees 5\""_s << u"cheapest"_s << QVariant(1);
    QTest::newRow("refinance: break-even") << u"refinance --on 2026-02-28 --new-rate 0 --new-months 11 --new-fees 10 -f json"_s + loan << u"break_even_month"_s << QVariant(2);
    QTest::newRow("refinance: monthly saving") << u"refinance --on 2026-02-28 --new-rate 0 --new-months 11 --new-fees 10 -f json"_s + loan << u"monthly_saving"_s << QVariant(6.13);
}

void TestCli::offerCommandsJson() {
    QFETCH(QString, args);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    const Run run = runCli(args);
    QCOMPARE(run.status, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value(key).toVariant(), value);
}

void TestCli::scheduleTextsAreTheWindows_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("principal");  // as typed in the window, then on the command line
    QTest::addColumn<QString>("months");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QDate>("start");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("worked example, en_US") << us << u"100000"_s << u"12"_s << u"11"_s << QDate(2026, 1, 31);
    QTest::newRow("decimals, de_DE") << de << u"2500.75"_s << u"37"_s << u"7.25"_s << QDate(2024, 2, 29);
    QTest::newRow("interest-free, en_US") << us << u"1000"_s << u"7"_s << u"0"_s << QDate(2026, 8, 31);
    QTest::newRow("longest, de_DE") << de << u"1000000"_s << u"32767"_s << u"0.1"_s << QDate(2000, 1, 1);
}

void TestCli::scheduleTextsAreTheWindows() {
    QFETCH(QLocale, locale);
    QFETCH(QString, principal);
    QFETCH(QString, months);
    QFETCH(QString, rate);
    QFETCH(QDate, start);
    QLocale::setDefault(locale);
    QTemporaryDir dir;
    Form1 window(std::make_unique<SettingsStore>(dir.filePath(u"Kestrelor.ini"_s)));
    window.setMessageBoxes(std::make_unique<RecordingBoxes>());
    window.setRandomDraw([] { return 100; });
    window.setUrlOpener([](const QUrl&) {});
    window.Form_Load();
    const auto typed = [&](const QString& number) { return QString(number).replace(u'.', locale.decimalPoint()); };
    window.Text1->setText(typed(principal));
    window.Text2->setText(months);
    window.Text3->setText(typed(rate));
    window.DateTimePicker1->setDate(start);
    window.PushButton1_Click();
    const GridSnapshot grid = window.gridModel().snapshot();
    QVERIFY(grid && grid->rowCount() > 0);

    const QString loan = u"-p %1 -n %2 -r %3 -s %4 --format "_s.arg(principal, months, rate, start.toString(Qt::ISODate));
    const Run copy = runCli(u"schedule "_s + loan + u"copy"_s);
    QCOMPARE(copy.status, 0);
    QCOMPARE(copy.out, buildCopyText(*grid).toUtf8());
    QCOMPARE(runCli(u"schedule "_s + loan + u"report"_s).out, buildReportBytes(*grid));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
