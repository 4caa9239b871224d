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

std::optional<ScheduleValues> scheduleValues(const GridData& grid) {
    const GridRows* source = grid.rowSource();
    const int count = grid.rowCount();
    if (source == nullptr || count == 0 || grid.columnCount() != scheduleColumnCount) {
        return std::nullopt;
    }
    // Whole cents must fit 64 bits: about 92 million billion.
    constexpr double largest = 9.0e16;
    const auto number = [source](int row, ScheduleColumn column) -> std::optional<double> {
        const CellValue cell = source->value(row, static_cast<int>(column));
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
        row.ticked = grid.isChecked(r);
        // The totals row is the last, as in the grid.
        if (r == count - 1) {
            values.totals = row;
            values.hasTotals = true;
            break;
        }
        const auto position = number(r, ScheduleColumn::Number);
        const CellValue due = source->value(r, static_cast<int>(ScheduleColumn::Date));
        if (!position || due.kind != CellValue::Kind::Date) {
            return std::nullopt;
        }
        row.number = static_cast<int>(*position);
        row.due = AutomationDate::toDate(due.number);
        values.rows.push_back(row);
    }
    return values;
}

ScheduleValues scheduleValues(const clsLoanDetails& loan) {
    const GridData grid(scheduleHeaders(), std::make_shared<ScheduleTable>(loan.getScheduleData()));
    ScheduleValues values = scheduleValues(grid).value_or(ScheduleValues{});
    values.loan = loanFacts(loan);
    return values;
}
