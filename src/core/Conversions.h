#pragma once

#include "core/TextBuffer.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>

// The program's one owner of numeric and date text rules. Every function takes the locale to
// use and defaults to the user's (QLocale()).

// Rounds to 2 decimal places, a tie going to the even digit. Ties are decided on the exact
// binary value, so 0.125 gives 0.12 and 0.375 gives 0.38, while 2.675 (stored as
// 2.67499999...) gives 2.67.
double roundToCents(double value);
// The same as a whole number of cents: roundToCents(value) == cents / 100.0. False for values
// that have no cents to round (not finite, or 2^52 / 100 and beyond).
bool toWholeCents(double value, std::int64_t& cents);

// Whole cents as the C locale writes them: exactly two decimals, no grouping, a leading minus
// ("7921.50", "-0.05", "0.00"). For files, command lines and messages read by programs.
QString plainCentsText(std::int64_t cents);

// The texts of the secondary windows, their tables and printouts, in the locale's own form with
// its digit grouping. The main window's grid and outputs keep numberToText and dateToText.
// Whole cents with exactly two decimals: "250,000.00" (en_US), "250.000,00" (de_DE),
// "250000.00" (C), "-0.05". Exact: no binary double on the way.
QString amountText(std::int64_t cents, const QLocale& locale = QLocale());
// A percentage with two (or the given) decimals, then " %": "5.12 %", "5,12 %".
QString percentageText(double percent, const QLocale& locale = QLocale(), int decimals = 2);
// A rate as typed or solved: from `minDecimals` up to `maxDecimals` decimals, no trailing zeros
// beyond the least, then " %": "5.125 %", "5 %", "5,125 %"; "5.00 %" with two at least.
QString rateText(double percent, const QLocale& locale = QLocale(), int maxDecimals = 9,
                 int minDecimals = 0);
// The short date with a four-digit year (shortDateFormat): "2/28/2026", "28.02.2026".
QString shortDateText(const QDate& date, const QLocale& locale = QLocale());

// Up to 15 significant digits, the locale's decimal separator, no digit grouping, no trailing
// zeros, no separator for whole numbers, a leading minus: 100000, 7921.5, 916.67, 0, -12.5.
// Magnitudes of 1e15 and above or below 1e-5 use exponent notation.
QString numberToText(double value, const QLocale& locale = QLocale());

// The locale's short date form with a 4-digit year; a blank and the time of day follow only
// when the time is not midnight; the zero date (30 December 1899) shows the time alone.
QString dateToText(double date, const QLocale& locale = QLocale());

// The locale's short date format with a 2-digit year widened to 4 digits.
QString shortDateFormat(const QLocale& locale = QLocale());

// Bulk form of the two conversions above for a fixed locale, for filling large grids.
// Produces exactly the texts of numberToText and dateToText.
class TextFormatter {
public:
    explicit TextFormatter(const QLocale& locale = QLocale());
    ~TextFormatter();
    TextFormatter(const TextFormatter&) = delete;
    TextFormatter& operator=(const TextFormatter&) = delete;

    const QLocale& locale() const;

    // A whole number of cents as numberToText writes cents / 100: 792150 gives 7921.5.
    void appendCents(TextBuffer& out, std::int64_t cents) const;
    void appendNumber(TextBuffer& out, double value) const;
    // The text of roundToCents(value), without dividing where it can.
    void appendAmount(TextBuffer& out, double value) const;
    void appendDate(TextBuffer& out, double date) const;
    // The lengths of what appendAmount and appendDate write, mostly without writing it.
    qsizetype amountLength(double value) const;
    qsizetype dateLength(double date) const;
    void appendNumber(QString& out, double value) const;
    void appendDate(QString& out, double date) const;
    QString number(double value) const;
    QString date(double date) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Text to number: optional sign, digits, the locale's decimal and group separators, an
// exponent and surrounding blanks. Empty text, letters, "nan", "inf" and values beyond the
// double range are rejected. isNumeric is exactly "parseNumber has a value".
std::optional<double> parseNumber(QStringView text, const QLocale& locale = QLocale());
bool isNumeric(QStringView text, const QLocale& locale = QLocale());

// As parseNumber; throws Failure(TypeMismatch) for a text that is not numeric.
double textToDouble(QStringView text, const QLocale& locale = QLocale());

// Rounds half to even (12.5 gives 12, 13.5 gives 14); throws Failure(Overflow) outside
// -32768..32767 and Failure(TypeMismatch) for a text that is not numeric.
std::int16_t textToInteger16(QStringView text, const QLocale& locale = QLocale());

// A date text in the locale's short date form (2- or 4-digit year), optionally followed by a
// blank and a time of day, as dateToText writes it. Returns nothing for an unreadable text.
std::optional<double> parseDate(QStringView text, const QLocale& locale = QLocale());
