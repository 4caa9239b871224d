#include "output/ScheduleValues.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "model/clsLoanDetails.h"
#include "model/clsSchedule.h"

#include <cmath>

int ScheduleValues::tickedCount() const {
    int count = hasTotals && totals.ticked ? 1 : 0;
    for (const ScheduleRowValues& row : rows) {
        count += row.ticked ? 1 : 0;
    }
    return count;
}

std::int64_t toCents(double rounded) {
    return std::llround(rounded * 100.0);
}

ScheduleValues scheduleValues(const clsLoanDetails& loan, const ScheduleCollection& schedule) {
    ScheduleValues values;
    values.loan.principal = toCents(roundToCents(loan.PrincipleAmount()));
    values.loan.months = loan.Tenure();
    values.loan.ratePercent = loan.InterestRate();
    values.loan.start = AutomationDate::toDate(loan.StartDate());
    values.loan.emi = toCents(roundToCents(loan.EMIAmount()));
    values.loan.end = AutomationDate::toDate(loan.EndDate());

    const int count = schedule.Count();
    values.rows.reserve(static_cast<std::size_t>(std::max(count - 1, 0)));
    for (int i = 1; i <= count; ++i) {
        const clsSchedule& entry = schedule.Item(i);
        ScheduleRowValues row;
        row.opening = toCents(entry.OpeningBalance());
        row.principal = toCents(entry.PrincipleAmount());
        row.interest = toCents(entry.InterestAmount());
        row.closing = toCents(entry.ClosingBalance());
        if (i == count) {
            values.totals = row;
            values.hasTotals = true;
        } else {
            row.number = i;
            row.due = AutomationDate::toDate(entry.InstallmentDate());
            values.rows.push_back(row);
        }
    }
    return values;
}
