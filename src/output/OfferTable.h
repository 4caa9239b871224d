#pragma once

#include "offers/Offers.h"
#include "output/ChartData.h"
#include "output/TableSource.h"

// Loans side by side, one row each: "Loan, Principal, Rate, Instalment, Payments, End date,
// Total interest, Fees, Total paid, APR (US), APRC (EU/UK), Cheapest" ("Yes" on the cheapest).
// A loan whose plan failed shows its message in the Instalment column.
class OfferTableSource final : public TableSource {
public:
    OfferTableSource(const std::vector<offers::Offer>& offers,
                     const offers::OfferComparison& comparison)
        : m_offers(offers), m_comparison(comparison) {}

    QStringList headers() const override;
    int rowCount() const override { return static_cast<int>(m_comparison.offers.size()); }
    TableCell cell(int row, int column) const override;
    bool isTotals(int) const override { return false; }

private:
    const std::vector<offers::Offer>& m_offers;
    const offers::OfferComparison& m_comparison;
};

DocumentFacts offerFacts(const offers::OfferComparison& comparison);

// Each loan's balance after each month as its own line, "Loan 1", "Loan 2", ...
ChartData offerChartData(const offers::OfferComparison& comparison);
