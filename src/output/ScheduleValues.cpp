#include "output/ScheduleValues.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "model/clsLoanDetails.h"
#include "output/GridData.h"
#include "output/ScheduleTable.h"

#include <cmath>

int ScheduleValues::tickedCount() const {
    int count = hasTotals && totals.ticked ? 1 : 0;
    for (const ScheduleRowValues& row : rows) {
        count += row.ticked ? 1 : 0;
    }
    return count;
}

QString amountsTooLargeText() {
    return QStringLiteral("The amounts of this schedule are too large for this command.");
}

std::int64_t toCents(double rounded) {
    return std::llround(rounded * 100.0);
}

LoanFacts loanFacts(const clsLoanDetails& loan) {
    LoanFacts facts;
    facts.principal = toCents(roundToCents(loan.PrincipleAmount()));
    facts.months = loan.Tenure();
    facts.ratePercent = loan.InterestRate();
    facts.start = AutomationDate::toDate(loan.StartDate());
    facts.emi = toCents(roundToCents(loan.EMIAmount()));
    facts.end = AutomationDate::toDate(loan.EndDate());
    return facts;
}

namespace {

// Whole cents must fit 64 bits: about 92 million billion.
constexpr double largest = 9.0e16;

// The grid's value of an amount, roundToCents(amount), in whole cents.
std::optional<std::int64_t> shownCents(double amount) {
    if (std::int64_t cents = 0; toWholeCents(amount, cents)) {
        return cents;
    }
    const double rounded = roundToCents(amount);
    if (!(std::abs(rounded) < largest)) {
        return std::nullopt;
    }
    return toCents(rounded);
}

// The rows of text that the grid may hold instead of a schedule's: read back from its values.
std::optional<ScheduleValues> valuesOfRows(const GridData& grid, const GridRows& source) {
    const int count = grid.rowCount();
    const auto number = [&source](int row, ScheduleColumn column) -> std::optional<double> {
        const CellValue cell = source.value(row, static_cast<int>(column));
        if (cell.kind != CellValue::Kind::Number || !(std::abs(cell.number) < largest)) {
            return std::nullopt;
        }
        return cell.number;
    };
    ScheduleValues values;
    values.rows.reserve(static_cast<std::size_t>(count - 1));
    for (int r = 0; r < count; ++r) {
        ScheduleRowValues row;
        const auto opening = number(r, ScheduleColumn::OpeningBalance);
        const auto principal = number(r, ScheduleColumn::PrincipleAmount);
        const auto interest = number(r, ScheduleColumn::InterestAmount);
        const auto closing = number(r, ScheduleColumn::ClosingBalance);
        if (!opening || !principal || !interest || !closing) {
            return std::nullopt;  // rows of text, not of a schedule
        }
        row.opening = toCents(*opening);
        row.principal = toCents(*principal);
        row.interest = toCents(*interest);
        row.closing = toCents(*closing);
        // The totals row is the last, as in the grid.
        if (r == count - 1) {
            values.totals = row;
            values.hasTotals = true;
            break;
        }
        const auto position = number(r, ScheduleColumn::Number);
        const CellValue due = source.value(r, static_cast<int>(ScheduleColumn::Date));
        if (!position || due.kind != CellValue::Kind::Date) {
            return std::nullopt;
        }
        row.number = static_cast<int>(*position);
        row.due = AutomationDate::toDate(due.number);
        values.rows.push_back(row);
    }
    return values;
}

}  // namespace

std::optional<ScheduleValues> scheduleValues(const ScheduleCollection& schedule) {
    const int count = schedule.Count();
    ScheduleValues values;
    if (count == 0) {
        return values;
    }
    values.rows.reserve(static_cast<std::size_t>(count - 1));
    for (int r = 0; r < count; ++r) {
        const clsSchedule& entry = schedule.at(r);
        const auto opening = shownCents(entry.exactOpeningBalance());
        const auto principal = shownCents(entry.exactPrincipleAmount());
        const auto interest = shownCents(entry.exactInterestAmount());
        const auto closing = shownCents(entry.exactClosingBalance());
        if (!opening || !principal || !interest || !closing) {
            return std::nullopt;
        }
        ScheduleRowValues row{r + 1, QDate(), *opening, *principal, *interest, *closing, true};
        if (r == count - 1) {
            row.number = 0;
            values.totals = row;
            values.hasTotals = true;
        } else {
            row.due = AutomationDate::toDate(entry.InstallmentDate());
            values.rows.push_back(row);
        }
    }
    return values;
}

std::optional<ScheduleValues> scheduleValues(const GridData& grid) {
    const GridRows* source = grid.rowSource();
    const int count = grid.rowCount();
    if (source == nullptr || count == 0 || grid.columnCount() != scheduleColumnCount) {
        return std::nullopt;
    }
    const auto* table = dynamic_cast<const ScheduleTable*>(source);
    auto values =
        table != nullptr ? scheduleValues(table->schedule()) : valuesOfRows(grid, *source);
    if (values) {
        for (std::size_t r = 0; r < values->rows.size(); ++r) {
            values->rows[r].ticked = grid.isChecked(static_cast<int>(r));
        }
        values->totals.ticked = grid.isChecked(count - 1);
    }
    return values;
}

ScheduleValues scheduleValues(const clsLoanDetails& loan) {
    ScheduleValues values = scheduleValues(*loan.getScheduleData()).value_or(ScheduleValues{});
    values.loan = loanFacts(loan);
    return values;
}
