#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class GridData;
class ScheduleCollection;
class clsLoanDetails;

// A schedule as plain values: every amount is the rounded value that the grid shows, in whole
// cents, so sums made from it equal the grid's totals to the cent.
// The new file, print, summary and chart outputs read only this.
struct ScheduleRowValues {
    int number = 0;
    QDate due;
    std::int64_t opening = 0;
    std::int64_t principal = 0;
    std::int64_t interest = 0;
    std::int64_t closing = 0;
    bool ticked = true;
};

// The loan's inputs and results, for titles and headings.
struct LoanFacts {
    std::int64_t principal = 0;  // cents
    int months = 0;
    double ratePercent = 0;
    QDate start;
    std::int64_t emi = 0;  // cents
    QDate end;
};

struct ScheduleValues {
    LoanFacts loan;
    std::vector<ScheduleRowValues> rows;  // the instalments in grid order
    ScheduleRowValues totals;             // number 0, no date; the grid's totals row
    bool hasTotals = false;

    bool empty() const { return rows.empty() && !hasTotals; }
    int tickedCount() const;  // instalment rows and the totals row
};

// What a command that needs whole cents says when scheduleValues(grid) gives nothing.
QString amountsTooLargeText();

// The whole cents of a value already rounded to cents.
std::int64_t toCents(double rounded);

// The inputs and results of a calculated loan.
LoanFacts loanFacts(const clsLoanDetails& loan);

// The grid's rows as values with their tick states, the last row being the totals row; the
// loan facts stay empty. Nothing for an empty grid, one whose rows are not a schedule's, or
// amounts beyond whole cents in 64 bits.
std::optional<ScheduleValues> scheduleValues(const GridData& grid);

// A schedule's rows, every one ticked, the loan facts empty; nothing when an amount is beyond
// whole cents in 64 bits.
std::optional<ScheduleValues> scheduleValues(const ScheduleCollection& schedule);

// A calculated loan's whole schedule, every row ticked, with its facts.
ScheduleValues scheduleValues(const clsLoanDetails& loan);
