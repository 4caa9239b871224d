#include "output/ChartData.h"

ChartData chartData(const ScheduleValues& schedule) {
    ChartData data;
    data.balance.reserve(schedule.rows.size() + 1);
    data.due.reserve(schedule.rows.size());
    data.balance.push_back(schedule.rows.empty() ? 0 : schedule.rows.front().opening);
    for (const ScheduleRowValues& row : schedule.rows) {
        data.balance.push_back(row.closing);
        data.due.push_back(row.due);
    }
    data.years = yearlySummary(schedule, YearBasis::Calendar);
    return data;
}
