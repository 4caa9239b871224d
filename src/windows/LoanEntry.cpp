#include "windows/LoanEntry.h"

#include "core/Conversions.h"

#include <QLineEdit>

#include <cmath>

std::optional<planner::Cents> typedCents(QStringView text, const QLocale& locale) {
    std::int64_t cents = 0;
    const auto value = parseNumber(text, locale);
    return value && toWholeCents(*value, cents) ? std::optional(cents) : std::nullopt;
}

std::optional<int> typedWhole(QStringView text, const QLocale& locale) {
    const auto value = parseNumber(text, locale);
    if (!value || *value != std::floor(*value) || std::abs(*value) >= 1e6) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<planner::Cents> amountWithin(QStringView text, planner::Cents min, planner::Cents max,
                                           const QLocale& locale) {
    const auto cents = typedCents(text, locale);
    return cents && *cents >= min && *cents <= max ? cents : std::nullopt;
}

planner::Cents feeOf(QStringView text, const QLocale& locale) {
    return amountWithin(text, 0, planner::maxPrincipal, locale).value_or(0);
}

std::optional<planner::Cents> principalOf(QStringView text, const QLocale& locale) {
    return amountWithin(text, 1, planner::maxPrincipal, locale);
}

std::optional<int> periodsOf(QStringView text, const QLocale& locale) {
    const auto periods = typedWhole(text, locale);
    return periods && *periods >= 1 && *periods <= planner::maxMonths ? periods : std::nullopt;
}

std::optional<double> annualPercentOf(QStringView text, const QLocale& locale) {
    const auto rate = parseNumber(text, locale);
    return rate && *rate >= 0 && *rate <= planner::maxAnnualPercent ? rate : std::nullopt;
}

LoanEntry readLoanEntry(QStringView principal, QStringView months, QStringView rate,
                        const QLocale& locale) {
    return {principalOf(principal, locale), periodsOf(months, locale),
            annualPercentOf(rate, locale)};
}

void showLoanEntry(const LoanEntry& entry, QLineEdit* principal, QLineEdit* months,
                   QLineEdit* rate) {
    if (entry.principal) {
        principal->setText(numberToText(static_cast<double>(*entry.principal) / 100.0));
    }
    if (entry.months) {
        months->setText(QString::number(*entry.months));
    }
    if (entry.annualPercent) {
        rate->setText(numberToText(*entry.annualPercent));
    }
}
