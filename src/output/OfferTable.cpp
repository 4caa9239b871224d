#include "output/OfferTable.h"

#include "core/Conversions.h"
#include "output/PlanTable.h"

using namespace Qt::StringLiterals;

namespace {

enum class Column {
    Loan,
    Principal,
    Rate,
    Instalment,
    Payments,
    EndDate,
    Interest,
    Fees,
    TotalPaid,
    AprUs,
    AprcEu,
    Cheapest,
    Count
};

// An empty cell where no rate fits.
TableCell rateCell(const std::optional<double>& percent, const QString& text) {
    return percent ? TableCell::string(text) : TableCell{};
}

}  // namespace

QStringList OfferTableSource::headers() const {
    return {u"Loan"_s,       u"Principal"_s, u"Rate"_s,           u"Instalment"_s,
            u"Payments"_s,   u"End date"_s,  u"Total interest"_s, u"Fees"_s,
            u"Total paid"_s, u"APR (US)"_s,  u"APRC (EU/UK)"_s,   u"Cheapest"_s};
}

TableCell OfferTableSource::cell(int row, int column) const {
    const auto index = static_cast<std::size_t>(row);
    const offers::OfferResult& offer = m_comparison.offers[index];
    const planner::PlanInput& loan = m_offers[index].loan;
    switch (static_cast<Column>(column)) {
        case Column::Loan:
            return TableCell::integer(row + 1);
        case Column::Principal:
            return TableCell::cents(loan.principal);
        case Column::Rate:
            return TableCell::string(rateText(loan.annualPercent, QLocale(), 9, 2));
        default:
            break;
    }
    if (!offer.error.isEmpty()) {
        return static_cast<Column>(column) == Column::Instalment ? TableCell::string(offer.error)
                                                                 : TableCell{};
    }
    switch (static_cast<Column>(column)) {
        case Column::Instalment:
            return TableCell::cents(offer.instalment);
        case Column::Payments:
            return TableCell::integer(offer.payments);
        case Column::EndDate:
            return TableCell::date(offer.endDate);
        case Column::Interest:
            return TableCell::cents(offer.totalInterest);
        case Column::Fees:
            return TableCell::cents(offer.fees);
        case Column::TotalPaid:
            return TableCell::cents(offer.totalPaid);
        case Column::AprUs:
            return rateCell(offer.aprUsPercent, planner::aprUsText(offer.aprUsPercent));
        case Column::AprcEu:
            return rateCell(offer.aprcEuPercent, planner::aprcEuText(offer.aprcEuPercent));
        case Column::Cheapest:
            return row == m_comparison.cheapest ? TableCell::string(u"Yes"_s) : TableCell{};
        default:
            return {};
    }
}

DocumentFacts offerFacts(const offers::OfferComparison& comparison) {
    DocumentFacts facts;
    facts.title = u"Loans compared"_s;
    if (comparison.cheapest >= 0) {
        facts.items.push_back({u"Cheapest by total paid"_s,
                               TableCell::string(u"Loan %1"_s.arg(comparison.cheapest + 1))});
    }
    return facts;
}

ChartData offerChartData(const offers::OfferComparison& comparison) {
    ChartData data;
    for (std::size_t i = 0; i < comparison.offers.size(); ++i) {
        const offers::OfferResult& offer = comparison.offers[i];
        ChartData::Line line{{}, u"Loan %1"_s.arg(i + 1)};
        if (offer.error.isEmpty() && !offer.plan.rows.empty()) {
            line.balance = planBalances(offer.plan);
            if (offer.plan.rows.size() > data.due.size()) {
                data.due = planDueDates(offer.plan);
            }
        }
        data.lines.push_back(std::move(line));
    }
    return data;
}
