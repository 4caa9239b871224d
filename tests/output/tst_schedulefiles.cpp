#include "core/AutomationDate.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "documents/Chart.h"
#include "output/CopyText.h"
#include "output/Csv.h"
#include "output/GridData.h"
#include "output/PlanTable.h"
#include "output/ScheduleValues.h"
#include "documents/TableFiles.h"
#include "documents/TablePrint.h"
#include "output/TableSource.h"
#include "output/YearlySummary.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

ScheduleValues calculate(double principal, int months, double rate, QDate start) {
    clsLoanCalculator calculator;
    auto loan = calculator.getLoanDetails();
    loan->setPrincipleAmount(principal);
    loan->setTenure(static_cast<std::int16_t>(months));
    loan->setInterestRate(rate);
    loan->setStartDate(AutomationDate::fromDate(start));
    calculator.CalculateEMI();
    return scheduleValues(*loan);
}

// The worked example: 100000 at 11 % over 12 months from 15 January 2026.
const ScheduleValues& workedExample() {
    static const ScheduleValues values = calculate(100000, 12, 11, QDate(2026, 1, 15));
    return values;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class ScheduleFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void summaryEqualsGridTotals_data();
    void summaryEqualsGridTotals();
    void csvGolden();
    void planFileGolden();
    void formatOfName_data();
    void formatOfName();
    void libreOfficeReadsBack();
    void pdfReadsBack();
    void failureNamesReason();
    void chartPaints();
    void chartFiles();
    void pageSize_data();
    void pageSize();
    void valuesNeedScheduleRows();
    void copyWithHeaders();

private:
    QStringList run(const QString& program, const QStringList& arguments);
    QTemporaryDir m_work;
};

void ScheduleFilesTest::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(m_work.isValid());
}

void ScheduleFilesTest::summaryEqualsGridTotals_data() {
    QTest::addColumn<double>("principal");
    QTest::addColumn<int>("months");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("calendarYears");
    QTest::addColumn<int>("loanYears");
    QTest::newRow("worked example") << 100000.0 << 12 << 11.0 << QDate(2026, 1, 15) << 2 << 1;
    QTest::newRow("starts in January's end")
        << 100000.0 << 12 << 11.0 << QDate(2025, 12, 31) << 1 << 1;
    QTest::newRow("30 years") << 250000.0 << 360 << 6.5 << QDate(2026, 3, 1) << 31 << 30;
    QTest::newRow("one month") << 999.99 << 1 << 3.0 << QDate(2026, 6, 30) << 1 << 1;
    QTest::newRow("interest free") << 1000.0 << 7 << 0.0 << QDate(2026, 11, 29) << 2 << 1;
    QTest::newRow("13 months") << 5000.0 << 13 << 18.0 << QDate(2026, 12, 1) << 2 << 2;
    QTest::newRow("odd cents") << 123456.78 << 97 << 9.99 << QDate(2024, 2, 29) << 9 << 9;
    QTest::newRow("largest") << 25000000.0 << 32766 << 9.0 << QDate(2026, 1, 1) << 2731 << 2731;
}

void ScheduleFilesTest::summaryEqualsGridTotals() {
    QFETCH(double, principal);
    QFETCH(int, months);
    QFETCH(double, rate);
    QFETCH(QDate, start);
    QFETCH(int, calendarYears);
    QFETCH(int, loanYears);
    const ScheduleValues schedule = calculate(principal, months, rate, start);
    QVERIFY(schedule.hasTotals);
    for (const auto& [basis, years] :
         {std::pair{YearBasis::Calendar, calendarYears}, std::pair{YearBasis::Loan, loanYears}}) {
        const YearlySummary summary = yearlySummary(schedule, basis);
        QCOMPARE(static_cast<int>(summary.years.size()), years);
        QCOMPARE(summary.principal, schedule.totals.principal);
        QCOMPARE(summary.interest, schedule.totals.interest);
        QCOMPARE(summary.paid(), schedule.totals.closing);
        // The years cover every instalment once, in order, and end with the loan paid off.
        int next = 1;
        std::int64_t principalSum = 0;
        for (const SummaryYear& year : summary.years) {
            QCOMPARE(year.firstInstalment, next);
            next = year.lastInstalment + 1;
            principalSum += year.principal;
        }
        QCOMPARE(next, months + 1);
        QCOMPARE(principalSum, summary.principal);
        QCOMPARE(summary.years.back().closing, 0);
    }
}

void ScheduleFilesTest::csvGolden() {
    ScheduleValues schedule = workedExample();
    schedule.rows[1].ticked = false;  // unticked rows stay out
    const QByteArray expected =
        "#,Date,Opening Bal.,Principle Amt.,Interest Amt.,Closing Bal.\r\n"
        "1,2026-02-15,100000.00,7921.50,916.67,92078.50\r\n"
        "3,2026-04-15,84084.39,8067.39,770.77,76017.00\r\n"
        "4,2026-05-15,76017.00,8141.34,696.82,67875.66\r\n"
        "5,2026-06-15,67875.66,8215.97,622.19,59659.69\r\n"
        "6,2026-07-15,59659.69,8291.29,546.88,51368.40\r\n"
        "7,2026-08-15,51368.40,8367.29,470.88,43001.11\r\n"
        "8,2026-09-15,43001.11,8443.99,394.18,34557.12\r\n"
        "9,2026-10-15,34557.12,8521.39,316.77,26035.73\r\n"
        "10,2026-11-15,26035.73,8599.50,238.66,17436.23\r\n"
        "11,2026-12-15,17436.23,8678.33,159.83,8757.90\r\n"
        "12,2027-01-15,8757.90,8757.89,80.28,0.00\r\n"
        "Total,,0.00,99999.99,6057.98,106057.97\r\n";
    QCOMPARE(csvBytes(ScheduleTableSource(schedule)), expected);

    const YearlySummary summary = yearlySummary(workedExample(), YearBasis::Calendar);
    QCOMPARE(csvBytes(SummaryTableSource(summary)),
             QByteArray("Year,Instalments,Principal Paid,Interest Paid,Total Paid,Closing Bal.\r\n"
                        "2026,1–11,91242.10,5977.70,97219.80,8757.90\r\n"
                        "2027,12,8757.89,80.28,8838.17,0.00\r\n"
                        "Total,,99999.99,6057.98,106057.97,\r\n"));
}

void ScheduleFilesTest::planFileGolden() {
    // The same plan as the command line's golden: both go through the one CSV writer.
    planner::PlanInput input{100000, 6, 12, QDate(2026, 1, 31), {}, planner::Policy::LowerInstalment};
    input.events = {planner::OneOffExtra{2, 10000}, planner::RecurringExtra{5000, 4, 0},
                    planner::RateChange{5, 6}};
    const auto result = planner::computePlan(input);
    QVERIFY(result.plan);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"plan.csv"_s);
    const PlanTableSource table(*result.plan);
    QVERIFY(!writeTableFile(TableFormat::Csv, table, planFacts(input, *result.plan, {}), path));
    QFile written(path);
    QFile golden(QStringLiteral(PLAN_GOLDEN));
    QVERIFY(written.open(QIODevice::ReadOnly) && golden.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), golden.readAll());
    QVERIFY(table.isTotals(table.rowCount() - 1) && !table.isTotals(0));

    // The chart's x axis spans the longer loan; the baseline line keeps its own length.
    const auto baseline = planner::computeBaseline(input);
    const ChartData chart = planChartData(*result.plan, &*baseline.plan);
    QCOMPARE(chart.baseline.size(), std::size_t{7});
    QCOMPARE(chart.due.size(), std::size_t{6});
    QCOMPARE(chart.years.principal, std::int64_t{100000});
    QVERIFY(!chartImage(chart, QSize(400, 200)).isNull());
}

void ScheduleFilesTest::formatOfName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");  // -1: none
    QTest::newRow("csv") << u"/tmp/a.csv"_s << int(TableFormat::Csv);
    QTest::newRow("upper case") << u"/tmp/A.XLSX"_s << int(TableFormat::Xlsx);
    QTest::newRow("pdf") << u"b.pdf"_s << int(TableFormat::Pdf);
    QTest::newRow("text") << u"b.txt"_s << -1;
    QTest::newRow("no suffix") << u"b"_s << -1;
    QTest::newRow("dotted folder") << u"/tmp/x.pdf/b"_s << -1;
}

void ScheduleFilesTest::formatOfName() {
    QFETCH(QString, name);
    QFETCH(int, format);
    const auto found = ::formatOfName(name);
    QCOMPARE(found ? int(*found) : -1, format);
}

QStringList ScheduleFilesTest::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning() << program << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
}

void ScheduleFilesTest::libreOfficeReadsBack() {
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    QVERIFY2(!soffice.isEmpty(), "LibreOffice (soffice) must be installed for this test");
    const ScheduleValues& schedule = workedExample();
    const ScheduleTableSource table(schedule);
    const QString csvPath = m_work.filePath(u"schedule.csv"_s);
    const QString xlsxPath = m_work.filePath(u"workbook.xlsx"_s);
    QVERIFY(!writeTableFile(TableFormat::Csv, table, scheduleFacts(schedule), csvPath));
    QVERIFY(!writeTableFile(TableFormat::Xlsx, table, scheduleFacts(schedule), xlsxPath));

    const QString out = m_work.filePath(u"calc"_s);
    // Cells as shown (token 9), en-US (token 6).
    run(soffice, {u"-env:UserInstallation="_s +
                      QUrl::fromLocalFile(m_work.filePath(u"profile"_s)).toString(),
                  u"--headless"_s, u"--convert-to"_s,
                  u"csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,true"_s,
                  u"--outdir"_s, out, xlsxPath, csvPath});
    const QStringList fromXlsx =
        QString::fromUtf8(readFile(out + u"/workbook.csv"_s)).split(u"\n"_s);
    // Numbers with two decimals and grouping, dates in the reader's (en-US) short form.
    QCOMPARE(fromXlsx.value(0), u"Repayment Schedule,,,,,"_s);
    QCOMPARE(fromXlsx.value(1), u"Principal Amount,\"100,000.00\",,,,"_s);
    QCOMPARE(fromXlsx.value(4), u"Loan Start Date,1/15/2026,,,,"_s);
    QCOMPARE(fromXlsx.value(5), u"EMI Amount,\"8,838.17\",,,,"_s);
    QCOMPARE(fromXlsx.value(10),
             u"#,Date,Opening Bal.,Principle Amt.,Interest Amt.,Closing Bal."_s);
    QCOMPARE(fromXlsx.value(11), u"1,2/15/2026,\"100,000.00\",\"7,921.50\",916.67,\"92,078.50\""_s);
    QCOMPARE(fromXlsx.value(22), u"12,1/15/2027,\"8,757.90\",\"8,757.89\",80.28,0.00"_s);
    QCOMPARE(fromXlsx.value(23), u"Total,,0.00,\"99,999.99\",\"6,057.98\",\"106,057.97\""_s);

    // The CSV file reads back as the same values: numbers as numbers, dates as dates.
    const auto values = [](const QByteArray& bytes) {
        QList<QVariant> fields;
        for (const QString& field :
             QString::fromUtf8(bytes).split(QRegularExpression(u"[,\r\n]+"_s))) {
            bool number = false;
            const double value = field.toDouble(&number);
            fields.append(number ? QVariant(value) : QVariant(field));
        }
        return fields;
    };
    QCOMPARE(values(readFile(out + u"/schedule.csv"_s)), values(readFile(csvPath)));
}

void ScheduleFilesTest::pdfReadsBack() {
    const ScheduleValues schedule = calculate(250000, 360, 6.5, QDate(2026, 3, 1));
    const ScheduleTableSource table(schedule);
    const QString path = m_work.filePath(u"schedule.pdf"_s);
    QVERIFY(!writeTableFile(TableFormat::Pdf, table, scheduleFacts(schedule), path));

    QPdfWriter probe(m_work.filePath(u"probe.pdf"_s));
    setUpPage(probe, QLocale());
    const int pages = printedPageCount(probe, table, scheduleFacts(schedule));
    QVERIFY(pages > 5);
    const QString info = run(u"pdfinfo"_s, {path}).join(u'\n');
    QVERIFY(info.contains(QRegularExpression(u"Pages: +%1\n"_s.arg(pages))));
    QVERIFY(info.contains(QRegularExpression(u"Page size: +612 x 792 pts"_s)));  // Letter in en-US

    const QString text = run(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s}).join(u'\n');
    QVERIFY(text.contains(QRegularExpression(u"Repayment Schedule"_s)));
    QVERIFY(text.contains(QRegularExpression(u"EMI Amount: +1,580.17"_s)));
    QVERIFY(text.contains(
        QRegularExpression(u"1 +4/1/2026 +250,000.00 +226.00 +1,354.17 +249,774.00"_s)));
    QVERIFY(text.contains(QRegularExpression(u"360 +3/1/2056 +1,572.01 +1,571.66 +8.52 +0.00"_s)));
    QVERIFY(
        text.contains(QRegularExpression(u"Total +0.00 +249,999.65 +318,861.57 +568,861.22"_s)));
    QCOMPARE(text.count(u"Opening Bal."_s), pages);  // the header on every page
    QVERIFY(text.contains(u"Page 1 of %1"_s.arg(pages)));
    QVERIFY(text.contains(u"Page %1 of %1"_s.arg(pages)));
}

void ScheduleFilesTest::failureNamesReason() {
    const ScheduleTableSource table(workedExample());
    const QString existing = m_work.filePath(u"keep.csv"_s);
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    for (const TableFormat format : {TableFormat::Csv, TableFormat::Xlsx, TableFormat::Pdf}) {
        const auto error = writeTableFile(format, table, scheduleFacts(workedExample()),
                                          m_work.filePath(u"missing/folder/x"_s));
        QVERIFY(error && !error->isEmpty());
    }
    QVERIFY(!writeTableFile(TableFormat::Csv, table, scheduleFacts(workedExample()), existing));
    QVERIFY(readFile(existing).startsWith("#,Date"));
}

void ScheduleFilesTest::chartPaints() {
    const ChartData data = chartData(workedExample());
    QCOMPARE(data.balance.size(), 13u);
    ChartPainter chart(data, QLocale());
    QImage image(640, 360, QImage::Format_RGB32);
    QPainter painter(&image);
    chart.paint(painter, image.rect());
    painter.end();
    QCOMPARE(chart.monthAt(chart.xOf(5)), 5);
    QCOMPARE(chart.readout(12).left(30), u"Month 12 (1/15/2027): balance "_s);
    QVERIFY(chart.readout(12).contains(u"2027: principal 8,757.89, interest 80.28"_s));
}

void ScheduleFilesTest::chartFiles() {
    const ChartData data = chartData(workedExample());
    const QString png = m_work.filePath(u"chart.png"_s);
    const QString svg = m_work.filePath(u"chart.svg"_s);
    QVERIFY(!writeChartFile(data, QSize(400, 300), png));
    QVERIFY(!writeChartFile(data, QSize(400, 300), svg));
    QCOMPARE(QImage(png).size(), QSize(400, 300));
    QVERIFY(readFile(svg).contains("<svg"));
    QVERIFY(writeChartFile(data, QSize(400, 300), m_work.filePath(u"no/such/chart.png"_s)));
}

void ScheduleFilesTest::pageSize_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("size");
    QTest::newRow("United States") << u"en_US"_s << int(QPageSize::Letter);
    QTest::newRow("Canada") << u"fr_CA"_s << int(QPageSize::Letter);
    QTest::newRow("Mexico") << u"es_MX"_s << int(QPageSize::Letter);
    QTest::newRow("United Kingdom") << u"en_GB"_s << int(QPageSize::A4);
    QTest::newRow("Germany") << u"de_DE"_s << int(QPageSize::A4);
    QTest::newRow("C") << u"C"_s << int(QPageSize::A4);
}

void ScheduleFilesTest::pageSize() {
    QFETCH(QString, locale);
    QFETCH(int, size);
    QCOMPARE(int(pageSizeFor(QLocale(locale))), size);
}

void ScheduleFilesTest::valuesNeedScheduleRows() {
    std::vector<GridRow> rows(2, GridRow(u"1"_s));
    QVERIFY(
        !scheduleValues(GridData(ScheduleTableSource(workedExample()).headers(), std::move(rows))));
    QVERIFY(!scheduleValues(GridData()));
}

void ScheduleFilesTest::copyWithHeaders() {
    std::vector<GridRow> rows;
    for (const auto& [checked, cells] : {std::pair{true, QStringList{u"1"_s, u"100"_s, u"7.5"_s}},
                                         std::pair{false, QStringList{u"123"_s, u"5"_s, u"0"_s}},
                                         std::pair{true, QStringList{u"2"_s, u"99.25"_s, u""_s}}}) {
        GridRow row(cells[0]);
        row.setCell(1, cells[1]);
        row.setCell(2, cells[2]);
        row.setChecked(checked);
        rows.push_back(std::move(row));
    }
    const GridData grid({u"#"_s, u"Amount"_s, u"Rate"_s}, std::move(rows));
    QCOMPARE(buildCopyText(grid, true),
             u"#  \tAmount\tRate\r\n1  \t100   \t7.5\r\n2  \t99.25 \t\r\n"_s);
}

QTEST_MAIN(ScheduleFilesTest)
#include "tst_schedulefiles.moc"
