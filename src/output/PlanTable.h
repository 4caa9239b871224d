#pragma once

#include "output/ChartData.h"
#include "output/TableSource.h"
#include "planner/Planner.h"
#include "planner/TrueCost.h"

#include <QLocale>

// A plan's rows under "#, Date, Opening, Payment, Principal, Interest, Extra, Closing", then a
// totals row: "Total", two empty cells, the sums of payment, principal, interest and extra, and
// an empty closing cell.
class PlanTableSource final : public TableSource {
public:
    explicit PlanTableSource(const planner::Plan& plan) : m_plan(plan) {}

    QStringList headers() const override;
    int rowCount() const override { return static_cast<int>(m_plan.rows.size()) + 1; }
    TableCell cell(int row, int column) const override;
    bool isTotals(int row) const override { return row == rowCount() - 1; }

private:
    const planner::Plan& m_plan;
};

// The plan's inputs and results, with its fees and true cost, in the user's locale.
DocumentFacts planFacts(const planner::PlanInput& input, const planner::Plan& plan,
                        const planner::TrueCost& cost, const planner::Fees& fees = {},
                        const QLocale& locale = QLocale());

// The balance before the first row, then after each row; the rows' due dates.
std::vector<std::int64_t> planBalances(const planner::Plan& plan);
std::vector<QDate> planDueDates(const planner::Plan& plan);

// The plan's balance and yearly principal (extra included) and interest, with the balance of
// the loan without events as the baseline line when there is one.
ChartData planChartData(const planner::Plan& plan, const planner::Plan* baseline);
