#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/DateFormat.h"
#include "core/Failure.h"

#include <QTest>

#include <cmath>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// Long double holds value * 100 exactly for |value| below 2^57, so its ties are real ties.
double referenceCents(double value) {
    return static_cast<double>(std::nearbyintl(static_cast<long double>(value) * 100.0L)) / 100.0;
}

// What the bulk formatter must match: Qt's own 15-digit form without grouping.
QString referenceNumber(double value, const QLocale& locale) {
    if (value == 0) {
        return u"0"_s;
    }
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

QString referenceDate(double date, const QLocale& locale) {
    const QDateTime value = AutomationDate::toDateTime(date);
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(u't');
    time = time.trimmed();
    if (std::trunc(date) == 0) {
        return locale.toString(value.time(), time);
    }
    QString text = locale.toString(value.date(), shortDateFormat(locale));
    if (value.time() != QTime(0, 0)) {
        text += u' ' + locale.toString(value.time(), time);
    }
    return text;
}

const QLocale enUS(QLocale::English, QLocale::UnitedStates);
const QLocale deDE(QLocale::German, QLocale::Germany);

}  // namespace

class TestConversions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(enUS); }

    void roundToCents_data();
    void roundToCents();
    void roundToCentsMatchesExactReference();

    void numberToText_data();
    void numberToText();
    void formatterMatchesQtOnCents();
    void formatterMatchesQtOnAnyDouble();
    void formatterMatchesPrintfInCLocale();

    void dateToText_data();
    void dateToText();
    void formatterMatchesQtOnDates();

    void tokenizeDateFormat_data();
    void tokenizeDateFormat();

    void parseNumber_data();
    void parseNumber();

    void textToInteger16_data();
    void textToInteger16();

    void parseDate_data();
    void parseDate();
    void parseDateReadsWhatDateToTextWrites();

    void windowTexts_data();
    void windowTexts();
};

void TestConversions::roundToCents_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("exact tie down to even") << 0.125 << 0.12;
    QTest::newRow("exact tie up to even") << 0.375 << 0.38;
    QTest::newRow("negative tie") << -0.125 << -0.12;
    QTest::newRow("negative tie up") << -0.375 << -0.38;
    QTest::newRow("2.675 is stored below the tie") << 2.675 << 2.67;
    QTest::newRow("1.005 is stored below the tie") << 1.005 << 1.0;
    QTest::newRow("0.005 is stored above the tie") << 0.005 << 0.01;
    QTest::newRow("worked example EMI") << 8838.16585216031 << 8838.17;
    QTest::newRow("whole number") << 100000.0 << 100000.0;
    QTest::newRow("zero") << 0.0 << 0.0;
    QTest::newRow("beyond cents precision") << 1e20 << 1e20;
}

void TestConversions::roundToCents() {
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(::roundToCents(value), expected);
}

void TestConversions::roundToCentsMatchesExactReference() {
    std::mt19937_64 random(20210831);
    std::uniform_real_distribution<double> amounts(-1e7, 1e7);
    std::uniform_int_distribution<long long> eighths(-80000000, 80000000);
    for (int i = 0; i < 200000; ++i) {
        // Multiples of 1/8 and 1/64 are exact ties or near them far more often than chance.
        const double value = i % 3 == 0   ? amounts(random)
                             : i % 3 == 1 ? static_cast<double>(eighths(random)) / 8.0
                                          : static_cast<double>(eighths(random)) / 64.0;
        if (::roundToCents(value) != referenceCents(value)) {
            QFAIL(qPrintable(u"%1 rounds to %2, expected %3"_s.arg(value, 0, 'g', 17)
                                 .arg(::roundToCents(value), 0, 'g', 17)
                                 .arg(referenceCents(value), 0, 'g', 17)));
        }
    }
}

void TestConversions::numberToText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("us");
    QTest::addColumn<QString>("de");
    QTest::newRow("whole") << 100000.0 << u"100000"_s << u"100000"_s;
    QTest::newRow("one decimal") << 7921.5 << u"7921.5"_s << u"7921,5"_s;
    QTest::newRow("two decimals") << 916.67 << u"916.67"_s << u"916,67"_s;
    QTest::newRow("leading zero") << 0.07 << u"0.07"_s << u"0,07"_s;
    QTest::newRow("zero") << 0.0 << u"0"_s << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s << u"0"_s;
    QTest::newRow("negative") << -12.5 << u"-12.5"_s << u"-12,5"_s;
    QTest::newRow("no grouping") << 1234567.89 << u"1234567.89"_s << u"1234567,89"_s;
    QTest::newRow("15 digits") << 8838.16585216031 << u"8838.16585216031"_s
                               << u"8838,16585216031"_s;
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << u"0.3"_s << u"0,3"_s;
    QTest::newRow("largest plain")
        << 999999999999999.0 << u"999999999999999"_s << u"999999999999999"_s;
    QTest::newRow("exponent above") << 1e15 << u"1E+15"_s << u"1E+15"_s;
    QTest::newRow("small plain") << 0.0001 << u"0.0001"_s << u"0,0001"_s;
    QTest::newRow("exponent below") << 0.00001 << u"1E-05"_s << u"1E-05"_s;
}

void TestConversions::numberToText() {
    QFETCH(double, value);
    QFETCH(QString, us);
    QFETCH(QString, de);
    QCOMPARE(::numberToText(value, enUS), us);
    QCOMPARE(::numberToText(value, deDE), de);
    QCOMPARE(::numberToText(value), us);  // the default locale, pinned to en_US
}

void TestConversions::formatterMatchesQtOnCents() {
    std::mt19937_64 random(7921);
    std::uniform_int_distribution<long long> cents(-10000000000000LL, 10000000000000LL);
    std::uniform_int_distribution<long long> small(-100000, 100000);
    for (const QLocale& locale : {enUS, deDE, QLocale(QLocale::French, QLocale::France)}) {
        const TextFormatter format(locale);
        QString bulk;
        for (int i = 0; i < 100000; ++i) {
            const double value = static_cast<double>(i % 2 ? cents(random) : small(random)) / 100.0;
            bulk.clear();
            format.appendNumber(bulk, value);
            if (bulk != referenceNumber(value, locale)) {
                QFAIL(qPrintable(u"%1: %2 vs %3"_s.arg(value, 0, 'g', 17)
                                     .arg(bulk, referenceNumber(value, locale))));
            }
        }
    }
}

void TestConversions::formatterMatchesQtOnAnyDouble() {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 20);
    const TextFormatter format(deDE);
    for (int i = 0; i < 50000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        QCOMPARE(format.number(value), referenceNumber(value, deDE));
    }
}

void TestConversions::formatterMatchesPrintfInCLocale() {
    std::mt19937_64 random(3);
    std::uniform_int_distribution<long long> cents(-100000000000LL, 100000000000LL);
    const TextFormatter format(QLocale::c());
    char buffer[64];
    for (int i = 0; i < 50000; ++i) {
        const double value = static_cast<double>(cents(random)) / 100.0;
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        QCOMPARE(format.number(value), QString::fromLatin1(buffer));
    }
}

void TestConversions::dateToText_data() {
    QTest::addColumn<double>("date");
    QTest::addColumn<QString>("us");
    QTest::addColumn<QString>("de");
    QTest::newRow("midnight shows no time") << 44439.0 << u"8/31/2021"_s << u"31.08.2021"_s;
    QTest::newRow("noon") << 44439.5 << u"8/31/2021 12:00:00 PM"_s << u"31.08.2021 12:00:00"_s;
    QTest::newRow("zero date shows the time alone") << 0.0 << u"12:00:00 AM"_s << u"00:00:00"_s;
    QTest::newRow("zero date with time") << 0.75 << u"6:00:00 PM"_s << u"18:00:00"_s;
    QTest::newRow("before 1899, time forward")
        << -1.25 << u"12/29/1899 6:00:00 AM"_s << u"29.12.1899 06:00:00"_s;
    QTest::newRow("first day") << AutomationDate::minimum << u"1/1/0100"_s << u"01.01.0100"_s;
    QTest::newRow("first day evening")
        << AutomationDate::minimum - 0.75 << u"1/1/0100 6:00:00 PM"_s << u"01.01.0100 18:00:00"_s;
    QTest::newRow("last second") << AutomationDate::maximum << u"12/31/9999 11:59:59 PM"_s
                                 << u"31.12.9999 23:59:59"_s;
}

// The secondary windows' money, percent and date texts: grouped as the locale groups, exact for
// amounts a double cannot hold to the cent, four-digit years.
void TestConversions::windowTexts_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("percent");  // of 5.116
    QTest::addColumn<QString>("date");     // 28 February 2026
    QTest::addColumn<QString>("rate");     // 5.125 as typed
    const QLocale c(QLocale::C);
    QTest::newRow("C") << c << qint64(54936127) << u"549361.27"_s << u"5.12 %"_s << u"28 Feb 2026"_s << u"5.125 %"_s;
    QTest::newRow("C, negative") << c << qint64(-5) << u"-0.05"_s << u"5.12 %"_s << u"28 Feb 2026"_s << u"5.125 %"_s;
    QTest::newRow("en_US") << enUS << qint64(54936127) << u"549,361.27"_s << u"5.12 %"_s << u"2/28/2026"_s << u"5.125 %"_s;
    QTest::newRow("en_US, largest") << enUS << qint64(100'000'000'000'001) << u"1,000,000,000,000.01"_s << u"5.12 %"_s << u"2/28/2026"_s << u"5.125 %"_s;
    QTest::newRow("en_US, negative") << enUS << qint64(-123456) << u"-1,234.56"_s << u"5.12 %"_s << u"2/28/2026"_s << u"5.125 %"_s;
    QTest::newRow("de_DE") << deDE << qint64(25000000) << u"250.000,00"_s << u"5,12 %"_s << u"28.02.2026"_s << u"5,125 %"_s;
    QTest::newRow("de_DE, cents") << deDE << qint64(7) << u"0,07"_s << u"5,12 %"_s << u"28.02.2026"_s << u"5,125 %"_s;
}

void TestConversions::windowTexts() {
    QFETCH(QLocale, locale);
    QFETCH(qint64, cents);
    QTEST(amountText(cents, locale), "money");
    QTEST(percentageText(5.116, locale), "percent");
    QTEST(shortDateText(QDate(2026, 2, 28), locale), "date");
    QTEST(rateText(5.125, locale), "rate");
    QCOMPARE(rateText(5, locale), u"5 %"_s);
    QCOMPARE(rateText(5.1, locale, 9, 2), locale.toString(5.1, 'f', 2) + u" %"_s);
    QCOMPARE(rateText(5.125, locale, 9, 2), rateText(5.125, locale));
}

void TestConversions::dateToText() {
    QFETCH(double, date);
    QFETCH(QString, us);
    QFETCH(QString, de);
    QCOMPARE(::dateToText(date, enUS), us);
    QCOMPARE(::dateToText(date, deDE), de);
    QCOMPARE(::dateToText(date), us);
}

void TestConversions::formatterMatchesQtOnDates() {
    std::mt19937_64 random(1899);
    std::uniform_int_distribution<int> days(static_cast<int>(AutomationDate::minimum),
                                            static_cast<int>(AutomationDate::maximum));
    std::uniform_int_distribution<int> seconds(0, 86399);
    const QLocale locales[] = {enUS, deDE, QLocale(QLocale::English, QLocale::UnitedKingdom),
                               QLocale(QLocale::Japanese, QLocale::Japan),
                               QLocale(QLocale::Russian, QLocale::Russia)};
    for (const QLocale& locale : locales) {
        const TextFormatter format(locale);
        for (int i = 0; i < 5000; ++i) {
            const double date = days(random) + (i % 2 ? seconds(random) / 86400.0 : 0.0);
            QCOMPARE(format.date(date), referenceDate(date, locale));
        }
    }
    // Every locale Qt knows, month and day names included: each month, both ends of the range.
    const auto all =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : all) {
        const TextFormatter format(locale);
        for (int month = 0; month < 12; ++month) {
            const double date = 45306.0 + month * 30.5 + (month % 3) * 11;
            QCOMPARE(format.date(date), referenceDate(date, locale));
        }
        QCOMPARE(format.date(AutomationDate::minimum),
                 referenceDate(AutomationDate::minimum, locale));
        QCOMPARE(format.date(2958465.0), referenceDate(2958465.0, locale));
    }
    QCOMPARE(TextFormatter(QLocale::c()).date(45306.0), u"15 Jan 2024"_s);
}

void TestConversions::tokenizeDateFormat_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("pieces");  // fields as letter and count, literals in brackets
    QTest::newRow("numeric") << u"d/M/yy"_s << u"d1 [/] M1 [/] y2"_s;
    QTest::newRow("names and quoted text")
        << u"dddd, d 'de' MMMM 'de' yyyy"_s << u"d4 [, ] d1 [ de ] M4 [ de ] y4"_s;
    QTest::newRow("doubled quote") << u"h 'o''clock' ap"_s << u"h1 [ o'clock ] a1 p1"_s;
    QTest::newRow("quote outside text") << u"HH''mm"_s << u"H2 ['] m2"_s;
    QTest::newRow("unterminated quote") << u"yyyy 'dd"_s << u"y4 [ dd]"_s;
}

void TestConversions::tokenizeDateFormat() {
    QFETCH(QString, format);
    QFETCH(QString, pieces);
    QStringList shown;
    QString source;
    for (const DateFormatToken& token : ::tokenizeDateFormat(format)) {
        shown.append(token.field != 0 ? QChar(token.field) + QString::number(token.count)
                                      : u'[' + token.literal + u']');
        source += token.source;
    }
    QCOMPARE(shown.join(u' '), pieces);
    QCOMPARE(source, format);  // every character belongs to one piece
}

void TestConversions::parseNumber_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << u"en_US"_s << u"100000"_s << true << 100000.0;
    QTest::newRow("blanks around") << u"en_US"_s << u"  12 "_s << true << 12.0;
    QTest::newRow("tab around") << u"en_US"_s << u"\t12\t"_s << true << 12.0;
    QTest::newRow("plus sign") << u"en_US"_s << u"+11"_s << true << 11.0;
    QTest::newRow("minus and no integer part") << u"en_US"_s << u"-.5"_s << true << -0.5;
    QTest::newRow("exponent") << u"en_US"_s << u"1e5"_s << true << 100000.0;
    QTest::newRow("capital exponent") << u"de_DE"_s << u"1,5E3"_s << true << 1500.0;
    QTest::newRow("group separator") << u"en_US"_s << u"1,000.5"_s << true << 1000.5;
    QTest::newRow("german group separator") << u"de_DE"_s << u"1.000,5"_s << true << 1000.5;
    QTest::newRow("german decimal comma") << u"de_DE"_s << u"7921,5"_s << true << 7921.5;
    QTest::newRow("largest double")
        << u"en_US"_s << u"1.7976931348623157e308"_s << true << 1.7976931348623157e308;
    QTest::newRow("empty") << u"en_US"_s << u""_s << false << 0.0;
    QTest::newRow("blanks only") << u"en_US"_s << u"   "_s << false << 0.0;
    QTest::newRow("letters") << u"en_US"_s << u"12abc"_s << false << 0.0;
    QTest::newRow("nan") << u"en_US"_s << u"nan"_s << false << 0.0;
    QTest::newRow("NaN") << u"de_DE"_s << u"NaN"_s << false << 0.0;
    QTest::newRow("inf") << u"en_US"_s << u"inf"_s << false << 0.0;
    QTest::newRow("minus infinity") << u"en_US"_s << u"-inf"_s << false << 0.0;
    QTest::newRow("beyond double range") << u"en_US"_s << u"1e999"_s << false << 0.0;
    QTest::newRow("hexadecimal") << u"en_US"_s << u"0x10"_s << false << 0.0;
    QTest::newRow("blank inside") << u"en_US"_s << u"1 000"_s << false << 0.0;
    QTest::newRow("two signs") << u"en_US"_s << u"--1"_s << false << 0.0;
    QTest::newRow("us decimal point in german") << u"de_DE"_s << u"7921.5"_s << false << 0.0;
}

void TestConversions::parseNumber() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, expected);
    const std::optional<double> value = ::parseNumber(text, QLocale(locale));
    QCOMPARE(value.has_value(), numeric);
    QCOMPARE(isNumeric(text, QLocale(locale)), numeric);
    if (numeric) {
        QCOMPARE(*value, expected);
        QCOMPARE(textToDouble(text, QLocale(locale)), expected);
    } else {
        QVERIFY_THROWS_EXCEPTION(Failure, textToDouble(text, QLocale(locale)));
    }
}

void TestConversions::textToInteger16_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // or the failure number
    QTest::addColumn<bool>("fails");
    const int overflow = static_cast<int>(PlatformFailure::Overflow);
    const int mismatch = static_cast<int>(PlatformFailure::TypeMismatch);
    QTest::newRow("12.5 to even") << u"12.5"_s << 12 << false;
    QTest::newRow("13.5 to even") << u"13.5"_s << 14 << false;
    QTest::newRow("-12.5 to even") << u"-12.5"_s << -12 << false;
    QTest::newRow("below half") << u"12.49"_s << 12 << false;
    QTest::newRow("largest") << u"32767"_s << 32767 << false;
    QTest::newRow("smallest") << u"-32768"_s << -32768 << false;
    QTest::newRow("smallest by rounding") << u"-32768.5"_s << -32768 << false;
    QTest::newRow("rounds past largest") << u"32767.5"_s << overflow << true;
    QTest::newRow("too large") << u"32768"_s << overflow << true;
    QTest::newRow("too small") << u"-32769"_s << overflow << true;
    QTest::newRow("huge") << u"1e300"_s << overflow << true;
    QTest::newRow("not a number") << u"twelve"_s << mismatch << true;
}

void TestConversions::textToInteger16() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(bool, fails);
    try {
        const std::int16_t value = ::textToInteger16(text, enUS);
        QVERIFY(!fails);
        QCOMPARE(value, expected);
    } catch (const Failure& failure) {
        QVERIFY(fails);
        QCOMPARE(failure.number(), expected);
    }
}

void TestConversions::parseDate_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");  // -1e9: unreadable
    constexpr double none = -1e9;
    QTest::newRow("us date") << u"en_US"_s << u"8/31/2021"_s << 44439.0;
    QTest::newRow("us date blanks") << u"en_US"_s << u" 8/31/2021 "_s << 44439.0;
    QTest::newRow("us 2-digit year") << u"en_US"_s << u"8/31/21"_s << 44439.0;
    QTest::newRow("2-digit 29 is 2029") << u"en_US"_s << u"1/1/29"_s << 47119.0;
    QTest::newRow("2-digit 30 is 1930") << u"en_US"_s << u"1/1/30"_s << 10959.0;
    QTest::newRow("us with time") << u"en_US"_s << u"8/31/2021 6:00:00 PM"_s << 44439.75;
    QTest::newRow("us with short time") << u"en_US"_s << u"8/31/2021 6:00 PM"_s << 44439.75;
    QTest::newRow("german date") << u"de_DE"_s << u"31.08.2021"_s << 44439.0;
    QTest::newRow("german 2-digit year") << u"de_DE"_s << u"31.08.21"_s << 44439.0;
    QTest::newRow("german with time") << u"de_DE"_s << u"31.08.2021 18:00:00"_s << 44439.75;
    QTest::newRow("no such day") << u"en_US"_s << u"2/30/2021"_s << none;
    QTest::newRow("german text in us") << u"en_US"_s << u"31.08.2021"_s << none;
    QTest::newRow("empty") << u"en_US"_s << u""_s << none;
    QTest::newRow("words") << u"en_US"_s << u"tomorrow"_s << none;
}

void TestConversions::parseDate() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, expected);
    const std::optional<double> value = ::parseDate(text, QLocale(locale));
    if (expected == -1e9) {
        QVERIFY(!value);
    } else {
        QVERIFY(value);
        QCOMPARE(*value, expected);
    }
}

void TestConversions::parseDateReadsWhatDateToTextWrites() {
    std::mt19937_64 random(31);
    std::uniform_int_distribution<int> days(static_cast<int>(AutomationDate::minimum) + 1,
                                            static_cast<int>(AutomationDate::maximum));
    std::uniform_int_distribution<int> seconds(0, 86399);
    for (const QLocale& locale : {enUS, deDE}) {
        for (int i = 0; i < 2000; ++i) {
            const double date = days(random) + (i % 2 ? seconds(random) / 86400.0 : 0.0);
            if (std::trunc(date) == 0) {
                continue;
            }
            const std::optional<double> back = ::parseDate(::dateToText(date, locale), locale);
            QVERIFY(back);
            QCOMPARE(::dateToText(*back, locale), ::dateToText(date, locale));
        }
    }
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
