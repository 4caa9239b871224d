#include "core/AutomationDate.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "output/ScheduleTable.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// 100000 at 11 % from 31 August 2021: the first instalment falls on 30 September.
ScheduleCollectionPtr schedule(int months) {
    clsLoanCalculator calculator;
    const auto details = calculator.getLoanDetails();
    details->setPrincipleAmount(100000);
    details->setTenure(static_cast<std::int16_t>(months));
    details->setInterestRate(11);
    details->setStartDate(AutomationDate::fromDate(QDate(2021, 8, 31)));
    calculator.CalculateEMI();
    return calculator.getScheduleData();
}

}  // namespace

class ScheduleTableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columns();
    void texts_data();
    void texts();
    void textsMatchTheConversions();
    void values();
};

void ScheduleTableTest::columns() {
    QCOMPARE(scheduleHeaders(),
             (QStringList{u"#"_s, u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s,
                          u"Interest Amt."_s, u"Closing Bal."_s}));
    int twips = 0;
    for (int c = 0; c < scheduleColumnCount; ++c) {
        twips += scheduleColumnWidthTwips(static_cast<ScheduleColumn>(c));
    }
    QCOMPARE(twips, 7400);
}

void ScheduleTableTest::texts_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    // clang-format off
    QTest::newRow("en_US first") << "en_US" << 0 << QStringList{"1", "9/30/2021", "100000", "7921.5", "916.67", "92078.5"};
    QTest::newRow("en_US last")  << "en_US" << 11 << QStringList{"12", "8/31/2022", "8757.9", "8757.89", "80.28", "0"};
    QTest::newRow("en_US totals") << "en_US" << 12 << QStringList{"", "", "0", "99999.99", "6057.98", "106057.97"};
    QTest::newRow("de_DE first") << "de_DE" << 0 << QStringList{"1", "30.09.2021", "100000", "7921,5", "916,67", "92078,5"};
    QTest::newRow("de_DE totals") << "de_DE" << 12 << QStringList{"", "", "0", "99999,99", "6057,98", "106057,97"};
    QTest::newRow("en_GB first") << "en_GB" << 0 << QStringList{"1", "30/09/2021", "100000", "7921.5", "916.67", "92078.5"};
    QTest::newRow("C month name") << "C" << 1 << QStringList{"2", "31 Oct 2021", "92078.5", "7994.11", "844.05", "84084.39"};
    QTest::newRow("ar_EG digits") << "ar_EG" << 0 << QStringList{"١", "٣٠‏/٩‏/٢٠٢١", "١٠٠٠٠٠", "٧٩٢١٫٥", "٩١٦٫٦٧", "٩٢٠٧٨٫٥"};
    // clang-format on
}

void ScheduleTableTest::texts() {
    QFETCH(QString, locale);
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    const ScheduleTable table(schedule(12), QLocale(locale));
    QCOMPARE(table.rowCount(), 13);
    QStringList shown;
    for (int c = 0; c < scheduleColumnCount; ++c) {
        TextBuffer text;
        table.appendText(text, row, c);
        shown.append(stringOf(text));
    }
    QCOMPARE(shown, cells);
}

void ScheduleTableTest::textsMatchTheConversions() {
    const auto rows = schedule(480);
    for (const char* name : {"en_US", "de_DE", "fr_CH", "ja_JP", "fa_IR", "C", "ar_EG", "en_IN"}) {
        const QLocale locale(QString::fromLatin1(name));
        const ScheduleTable table(rows, locale);
        for (int r = 0; r + 1 < table.rowCount(); ++r) {
            const clsSchedule& entry = rows->Item(r + 1);
            const QStringList expected{numberToText(r + 1, locale),
                                       dateToText(entry.InstallmentDate(), locale),
                                       numberToText(entry.OpeningBalance(), locale),
                                       numberToText(entry.PrincipleAmount(), locale),
                                       numberToText(entry.InterestAmount(), locale),
                                       numberToText(entry.ClosingBalance(), locale)};
            TextBuffer row;
            qsizetype ends[scheduleColumnCount];
            qsizetype lengths[scheduleColumnCount];
            table.appendRow(row, r, scheduleColumnCount, ends);
            table.rowLengths(r, scheduleColumnCount, lengths);
            for (int c = 0; c < scheduleColumnCount; ++c) {
                TextBuffer text;
                table.appendText(text, r, c);
                QCOMPARE(stringOf(text), expected[c]);
                QCOMPARE(table.textLength(r, c), text.size());
                QCOMPARE(lengths[c], text.size());
                QCOMPARE(ends[c] - (c == 0 ? 0 : ends[c - 1]), text.size());
            }
            QCOMPARE(stringOf(row), expected.join(QString()));
        }
    }
}

void ScheduleTableTest::values() {
    const ScheduleTable table(schedule(12), QLocale::c());
    QCOMPARE(table.value(0, 0).number, 1.0);
    QCOMPARE(table.value(0, 1).kind, CellValue::Kind::Date);
    QCOMPARE(table.value(0, 1).number, AutomationDate::fromDate(QDate(2021, 9, 30)));
    QCOMPARE(table.value(0, 3).number, 7921.5);
    QCOMPARE(table.value(12, 0).kind, CellValue::Kind::Empty);
    QCOMPARE(table.value(12, 1).kind, CellValue::Kind::Empty);
    QCOMPARE(table.value(12, 5).number, 106057.97);
}

QTEST_GUILESS_MAIN(ScheduleTableTest)
#include "tst_scheduletable.moc"
