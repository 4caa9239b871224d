#pragma once

#include "planner/Planner.h"

#include <QLocale>
#include <QStringView>

#include <optional>

class QLineEdit;

// How every window reads a loan typed into its boxes, in the user's locale. The typed*
// readers only read, for windows that leave the limits to the engine and show its messages;
// the others also keep to the engine's limits.

// An amount in whole cents, rounded as toWholeCents rounds; any sign.
std::optional<planner::Cents> typedCents(QStringView text, const QLocale& locale = QLocale());
// A whole number of periods, any sign, below a million.
std::optional<int> typedWhole(QStringView text, const QLocale& locale = QLocale());

// An amount from `min` to `max` cents.
std::optional<planner::Cents> amountWithin(QStringView text, planner::Cents min, planner::Cents max,
                                           const QLocale& locale = QLocale());
// A fee box: 0 up to planner::maxPrincipal; an empty box, or one that does not read, is no fee.
planner::Cents feeOf(QStringView text, const QLocale& locale = QLocale());
// The principal: 0.01 up to planner::maxPrincipal.
std::optional<planner::Cents> principalOf(QStringView text, const QLocale& locale = QLocale());
// The term: a whole number from 1 to planner::maxMonths.
std::optional<int> periodsOf(QStringView text, const QLocale& locale = QLocale());
// The annual rate in percent, from 0 to planner::maxAnnualPercent.
std::optional<double> annualPercentOf(QStringView text, const QLocale& locale = QLocale());

// A loan's three boxes, each there only when it reads within the limits.
struct LoanEntry {
    std::optional<planner::Cents> principal;
    std::optional<int> months;
    std::optional<double> annualPercent;

    bool complete() const { return principal && months && annualPercent; }
};
LoanEntry readLoanEntry(QStringView principal, QStringView months, QStringView rate,
                        const QLocale& locale = QLocale());
// Fills the boxes with what the entry has, leaving the others as they are.
void showLoanEntry(const LoanEntry& entry, QLineEdit* principal, QLineEdit* months,
                   QLineEdit* rate);
