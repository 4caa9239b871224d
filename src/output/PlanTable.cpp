#include "output/PlanTable.h"

#include "core/Conversions.h"

using namespace Qt::StringLiterals;

QStringList PlanTableSource::headers() const {
    return {u"#"_s,         u"Date"_s,     u"Opening"_s, u"Payment"_s,
            u"Principal"_s, u"Interest"_s, u"Extra"_s,   u"Closing"_s};
}

TableCell PlanTableSource::cell(int row, int column) const {
    if (isTotals(row)) {
        const planner::PlanTotals& t = m_plan.totals;
        switch (column) {
            case 0:
                return TableCell::string(u"Total"_s);
            case 3:
                return TableCell::cents(t.payments);
            case 4:
                return TableCell::cents(t.principal);
            case 5:
                return TableCell::cents(t.interest);
            case 6:
                return TableCell::cents(t.extra);
            default:
                return {};
        }
    }
    const planner::PlanRow& r = m_plan.rows[static_cast<std::size_t>(row)];
    switch (column) {
        case 0:
            return TableCell::integer(r.number);
        case 1:
            return TableCell::date(r.dueDate);
        case 2:
            return TableCell::cents(r.opening);
        case 3:
            return TableCell::cents(r.payment);
        case 4:
            return TableCell::cents(r.principal);
        case 5:
            return TableCell::cents(r.interest);
        case 6:
            return TableCell::cents(r.extra);
        default:
            return TableCell::cents(r.closing);
    }
}

DocumentFacts planFacts(const planner::PlanInput& input, const planner::Plan& plan,
                        const planner::TrueCost& cost, const planner::Fees& fees,
                        const QLocale& locale) {
    DocumentFacts facts;
    facts.title = u"Plan of prepayments and rate changes"_s;
    const bool monthly = input.frequency == planner::Frequency::Monthly;
    facts.items = {
        {u"Principal"_s, TableCell::cents(input.principal)},
        {monthly ? u"Months"_s : u"Payments"_s, TableCell::integer(input.months)},
        {u"Annual rate"_s, TableCell::string(rateText(input.annualPercent, locale, 9, 2))},
        {u"Start date"_s, TableCell::date(input.startDate)},
    };
    if (fees.upFront != 0) {
        facts.items.emplace_back(u"Up-front fees"_s, TableCell::cents(fees.upFront));
    }
    if (fees.perPayment != 0) {
        facts.items.emplace_back(u"Fee per payment"_s, TableCell::cents(fees.perPayment));
    }
    facts.items.insert(
        facts.items.end(),
        {
            {u"Instalment"_s, TableCell::cents(plan.instalments.empty() ? 0 : plan.instalments[0])},
            {u"End date"_s, TableCell::date(plan.totals.endDate)},
            {u"Total interest"_s, TableCell::cents(cost.totalInterest)},
            {u"Total paid"_s, TableCell::cents(cost.totalPaid)},
            {u"Effective annual rate"_s,
             TableCell::string(percentageText(cost.effectiveAnnualPercent, locale))},
            {u"APR (US)"_s, TableCell::string(planner::aprUsText(cost.aprUsPercent, locale))},
            {u"APRC (EU/UK)"_s, TableCell::string(planner::aprcEuText(cost.aprcEuPercent, locale))},
        });
    return facts;
}

std::vector<std::int64_t> planBalances(const planner::Plan& plan) {
    std::vector<std::int64_t> out;
    out.reserve(plan.rows.size() + 1);
    out.push_back(plan.rows.empty() ? 0 : plan.rows.front().opening);
    for (const planner::PlanRow& row : plan.rows) {
        out.push_back(row.closing);
    }
    return out;
}

std::vector<QDate> planDueDates(const planner::Plan& plan) {
    std::vector<QDate> out;
    out.reserve(plan.rows.size());
    for (const planner::PlanRow& row : plan.rows) {
        out.push_back(row.dueDate);
    }
    return out;
}

ChartData planChartData(const planner::Plan& plan, const planner::Plan* baseline) {
    ChartData data;
    data.balance = planBalances(plan);
    // The x axis spans the longer loan; both share the due date of each month number.
    const planner::Plan& longer =
        baseline && baseline->rows.size() > plan.rows.size() ? *baseline : plan;
    data.due = planDueDates(longer);
    if (baseline) {
        data.baseline = planBalances(*baseline);
    }
    for (const planner::PlanRow& row : plan.rows) {
        auto& years = data.years.years;
        if (years.empty() || years.back().year != row.dueDate.year()) {
            years.push_back({row.dueDate.year(), row.number, row.number, 0, 0, 0});
        }
        SummaryYear& year = years.back();
        year.lastInstalment = row.number;
        year.principal += row.principal + row.extra;
        year.interest += row.interest;
        year.closing = row.closing;
        data.years.principal += row.principal + row.extra;
        data.years.interest += row.interest;
    }
    return data;
}
