#pragma once

#include "output/ScheduleValues.h"

#include <cstdint>
#include <vector>

// Principal and interest per year of a schedule, summed in whole cents from the amounts the
// grid shows, so the totals equal the grid's totals row to the cent. Every instalment counts,
// ticked or not: the summary describes the loan, not a selection.
enum class YearBasis {
    Calendar,  // the calendar years of the due dates
    Loan,      // instalments 1-12, 13-24, ...
};

struct SummaryYear {
    int year = 0;  // the calendar year, or the loan year from 1
    int firstInstalment = 0;
    int lastInstalment = 0;
    std::int64_t principal = 0;
    std::int64_t interest = 0;
    std::int64_t closing = 0;  // the balance after the year's last instalment

    std::int64_t paid() const { return principal + interest; }
};

struct YearlySummary {
    YearBasis basis = YearBasis::Calendar;
    std::vector<SummaryYear> years;
    std::int64_t principal = 0;
    std::int64_t interest = 0;

    std::int64_t paid() const { return principal + interest; }
};

YearlySummary yearlySummary(const ScheduleValues& schedule, YearBasis basis);
