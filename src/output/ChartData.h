#pragma once

#include "output/ScheduleValues.h"
#include "output/YearlySummary.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

// What the chart shows: the balance after each month and principal and interest per calendar
// year, from the same cents as the grid.
struct ChartData {
    std::vector<std::int64_t> balance;  // [0] the opening balance, [k] after instalment k
    std::vector<QDate> due;             // [k - 1] the due date of instalment k
    // A second balance line to compare with (the same loan without events); may be longer or
    // shorter than balance, and due covers the longer of the two.
    std::vector<std::int64_t> baseline;
    YearlySummary years;
    // Balances of other loans, each with its legend text, drawn in colours of their own; due
    // covers the longest. Without years, no bars and no right axis are drawn.
    struct Line {
        std::vector<std::int64_t> balance;
        QString label;
    };
    std::vector<Line> lines;
};

ChartData chartData(const ScheduleValues& schedule);
