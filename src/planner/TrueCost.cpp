#include "planner/TrueCost.h"

#include "core/Conversions.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace planner {

namespace {

double compounded(double ratePerPeriod, double periodsPerYear) {
    return (std::pow(1.0 + ratePerPeriod, periodsPerYear) - 1.0) * 100.0;
}

}  // namespace

double effectiveAnnualPercent(const PlanInput& loan) {
    const int perYear = calendar::paymentsPerYear(loan.frequency);
    return compounded(periodicRate(loan, nanoPercentOf(loan.annualPercent)).value(), perYear);
}

apr::Flows cashFlows(const PlanInput& loan, std::span<const PlanRow> rows, const Fees& fees) {
    apr::Flows flows;
    flows.advances.push_back(apr::Flow{loan.startDate, loan.principal - fees.upFront});
    flows.payments.reserve(rows.size());
    for (const PlanRow& row : rows) {
        flows.payments.push_back(apr::Flow{row.dueDate, row.payment + row.extra + fees.perPayment});
    }
    return flows;
}

TrueCost trueCost(const PlanInput& loan, std::span<const PlanRow> rows, const Fees& fees) {
    TrueCost cost;
    cost.totalPaid = fees.upFront;
    cost.principalLeft = loan.principal;
    for (const PlanRow& row : rows) {
        cost.totalInterest += row.interest;
        cost.totalPaid += row.payment + row.extra + fees.perPayment;
        cost.principalLeft -= row.principal + row.extra;
    }
    // With events, the rate the payments actually earn; else the loan's own.
    std::optional<double> effectiveOfPayments;
    if (loan.startDate.isValid() && !rows.empty()) {
        const auto percentOf = [](const std::optional<apr::Answer>& answer) {
            return answer ? std::optional(answer->percent) : std::nullopt;
        };
        const apr::Flows flows = cashFlows(loan, rows, fees);
        const auto us = apr::annualPercentageRate(apr::Method::Us, flows).answer;
        cost.aprUsPercent = percentOf(us);
        cost.aprcEuPercent = percentOf(apr::annualPercentageRate(apr::Method::Eu, flows).answer);
        if (!loan.events.empty()) {
            // The US rate is nominal per unit period: compounded over the unit periods of a year.
            const auto nominal =
                fees == Fees{}
                    ? us
                    : apr::annualPercentageRate(apr::Method::Us, cashFlows(loan, rows)).answer;
            if (nominal) {
                effectiveOfPayments =
                    compounded(nominal->percent / 100.0 / nominal->unitPeriodsPerYear,
                               nominal->unitPeriodsPerYear);
            }
        }
        if (cost.totalPaid == loan.principal) {
            cost.aprUsPercent = cost.aprcEuPercent = 0.0;  // no rate solves it, yet it costs 0 %
        }
    }
    cost.effectiveAnnualPercent =
        effectiveOfPayments ? *effectiveOfPayments : effectiveAnnualPercent(loan);
    return cost;
}

TrueCost trueCostOf(const PlanInput& loan, const Plan& plan, const Fees& fees) {
    return trueCost(loan, plan.rows, fees);
}

namespace {

QString legalRateText(const std::optional<double>& percent, int decimals, const QLocale& locale) {
    return percent ? percentageText(*percent, locale, decimals) : u"none fits"_s;
}

}  // namespace

QString aprUsText(const std::optional<double>& percent, const QLocale& locale) {
    return legalRateText(percent, 2, locale);
}

QString aprcEuText(const std::optional<double>& percent, const QLocale& locale) {
    return legalRateText(percent, 1, locale);
}

QString roundingNote(Cents principalLeft, const QString& amountText) {
    if (principalLeft > 0) {
        return u"The schedule's rounding leaves %1 of the principal unpaid; the planner gives the "
               u"exact schedule."_s.arg(amountText);
    }
    if (principalLeft < 0) {
        return u"The schedule's rounding repays %1 more than the principal; the planner gives "
               u"the exact schedule."_s.arg(amountText);
    }
    return {};
}

}  // namespace planner
