#include "offers/Offers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace offers {

namespace {

// The annual percentage in force for row `number`.
double rateFor(const planner::PlanInput& loan, int number) {
    double rate = loan.annualPercent;
    int since = 0;
    for (const planner::Event& event : loan.events) {
        if (const auto* change = std::get_if<planner::RateChange>(&event);
            change && change->fromMonth <= number && change->fromMonth >= since) {
            rate = change->annualPercent;
            since = change->fromMonth;
        }
    }
    return rate;
}

Cents paidIn(const planner::PlanRow& row) {
    return row.payment + row.extra;
}

// The first row due after the day.
std::vector<planner::PlanRow>::const_iterator firstDueAfter(const planner::Plan& plan,
                                                            const QDate& on) {
    return std::upper_bound(
        plan.rows.begin(), plan.rows.end(), on,
        [](const QDate& date, const planner::PlanRow& row) { return date < row.dueDate; });
}

}  // namespace

OfferComparison compareOffers(std::span<const Offer> offers) {
    OfferComparison comparison;
    for (const Offer& offer : offers) {
        OfferResult result;
        planner::PlanResult computed = planner::computePlan(offer.loan);
        if (!computed.plan) {
            result.error = computed.error;
            comparison.offers.push_back(std::move(result));
            continue;
        }
        result.plan = std::move(*computed.plan);
        const planner::Plan& plan = result.plan;
        result.instalment = plan.instalments.empty() ? 0 : plan.instalments.front();
        result.payments = static_cast<int>(std::count_if(
            plan.rows.begin(), plan.rows.end(), [](const auto& row) { return paidIn(row) > 0; }));
        result.endDate = plan.totals.endDate;
        // As the true cost charges it: on every row.
        result.fees = offer.fees.upFront +
                      offer.fees.perPayment * static_cast<planner::Cents>(plan.rows.size());
        const planner::TrueCost cost = planner::trueCostOf(offer.loan, plan, offer.fees);
        result.totalInterest = cost.totalInterest;
        result.totalPaid = cost.totalPaid;
        result.aprUsPercent = cost.aprUsPercent;
        result.aprcEuPercent = cost.aprcEuPercent;
        const int index = static_cast<int>(comparison.offers.size());
        if (comparison.cheapest < 0 ||
            result.totalPaid <
                comparison.offers[static_cast<std::size_t>(comparison.cheapest)].totalPaid) {
            comparison.cheapest = index;
        }
        comparison.offers.push_back(std::move(result));
    }
    return comparison;
}

PayoffResult payoffOn(const planner::PlanInput& loan, const planner::Plan& plan, const QDate& on) {
    if (!on.isValid() || on < loan.startDate) {
        return {std::nullopt, u"The payoff date comes before the loan starts."_s};
    }
    const auto next = firstDueAfter(plan, on);
    Payoff payoff;
    payoff.balance = loan.principal;
    payoff.lastPaymentDate = loan.startDate;
    if (next != plan.rows.begin()) {
        const planner::PlanRow& last = *(next - 1);
        payoff.balance = last.closing;
        payoff.lastPayment = last.number;
        payoff.lastPaymentDate = last.dueDate;
    }
    if (next != plan.rows.end() && payoff.balance > 0) {
        const QDate& from = payoff.lastPaymentDate;
        if (loan.basis == planner::InterestBasis::Periodic) {
            payoff.accruedInterest =
                planner::roundQuotient(planner::Wide(next->interest) * from.daysTo(on),
                                       from.daysTo(next->dueDate), loan.interestRounding);
        } else {
            payoff.accruedInterest = planner::dayCountInterest(
                payoff.balance, planner::nanoPercentOf(rateFor(loan, next->number)), from, on,
                loan.basis, loan.interestRounding);
        }
    }
    payoff.payoff = payoff.balance + payoff.accruedInterest;
    return {payoff, {}};
}

Refinancing refinance(const planner::PlanInput& current, const planner::Plan& plan, const QDate& on,
                      const NewLoan& terms) {
    Refinancing result;
    const PayoffResult payoff = payoffOn(current, plan, on);
    if (!payoff.payoff) {
        result.error = payoff.error;
        return result;
    }
    result.payoff = *payoff.payoff;
    if (result.payoff.payoff <= 0) {
        result.error = u"The current loan is repaid by then."_s;
        return result;
    }
    planner::PlanInput& loan = result.loan;
    loan.principal = result.payoff.payoff;
    loan.months = terms.months;
    loan.annualPercent = terms.annualPercent;
    loan.startDate = on;
    loan.instalmentRounding = current.instalmentRounding;
    loan.interestRounding = current.interestRounding;
    loan.frequency = current.frequency;
    loan.basis = current.basis;
    loan.compounding = current.compounding;
    loan.shape = current.shape;
    planner::PlanResult computed = planner::computePlan(loan);
    if (!computed.plan) {
        result.error = computed.error;
        return result;
    }
    result.plan = std::move(*computed.plan);

    const auto firstOld = firstDueAfter(plan, on);
    const std::span<const planner::PlanRow> oldRows(firstOld, plan.rows.end());
    const std::span<const planner::PlanRow> newRows(result.plan.rows);
    result.oldInstalment = oldRows.empty() ? 0 : oldRows.front().payment;
    result.newInstalment = newRows.empty() ? 0 : newRows.front().payment;
    result.monthlySaving = result.oldInstalment - result.newInstalment;

    // After k payments of each loan (a loan that has ended adds nothing), the totals paid.
    Cents oldPaid = 0;
    Cents newPaid = terms.fees;
    const std::size_t count = std::max(oldRows.size(), newRows.size());
    std::size_t lastNotBelow = 0;
    for (std::size_t k = 1; k <= count; ++k) {
        oldPaid += k <= oldRows.size() ? paidIn(oldRows[k - 1]) : 0;
        newPaid += k <= newRows.size() ? paidIn(newRows[k - 1]) : 0;
        if (newPaid >= oldPaid) {
            lastNotBelow = k;
        }
    }
    result.oldRemaining = oldPaid;
    result.newTotal = newPaid;
    result.saving = oldPaid - newPaid;
    if (lastNotBelow < count) {
        result.breakEvenMonth = static_cast<int>(lastNotBelow) + 1;
    }
    return result;
}

}  // namespace offers
