#include "offers/Offers.h"

#include "planner/TrueCost.h"

#include <algorithm>
#include <charconv>

using namespace Qt::StringLiterals;

namespace offers {

namespace {

__extension__ typedef __int128 Wide;

// The positive fraction num / den to whole cents by the interest rule.
Cents roundFraction(Wide num, Wide den, planner::InterestRounding rule) {
    const Wide quotient = num / den;
    const Wide twice = (num % den) * 2;
    switch (rule) {
        case planner::InterestRounding::HalfUp:
            return static_cast<Cents>(quotient + (twice >= den ? 1 : 0));
        case planner::InterestRounding::HalfEven:
            return static_cast<Cents>(quotient +
                                      (twice > den || (twice == den && quotient % 2 != 0) ? 1 : 0));
        case planner::InterestRounding::Down:
            break;
    }
    return static_cast<Cents>(quotient);
}

// A percentage as the decimal it was typed as: digits / 10^scale, from the shortest text that
// reads back as the same double. Past 20 decimals it is cut to 20, so that the products stay
// within 128 bits.
struct Decimal {
    Wide digits = 0;
    Wide scale = 1;
};

Decimal exactDecimal(double value) {
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
    Decimal decimal;
    int decimals = -1;
    for (const char* c = text; c != end && decimals < 20; ++c) {
        if (*c == '.') {
            decimals = 0;
            continue;
        }
        decimal.digits = decimal.digits * 10 + (*c - '0');
        if (decimals >= 0) {
            ++decimals;
            decimal.scale *= 10;
        }
    }
    return decimal;
}

// The year fraction of a day count between two dates, as num / den.
std::pair<Wide, Wide> yearFraction(planner::InterestBasis basis, const QDate& from,
                                   const QDate& to) {
    using planner::InterestBasis;
    switch (basis) {
        case InterestBasis::Thirty360: {
            const int d1 = std::min(from.day(), 30);
            const int d2 = to.day() == 31 && d1 == 30 ? 30 : to.day();
            const int days =
                360 * (to.year() - from.year()) + 30 * (to.month() - from.month()) + (d2 - d1);
            return {days, 360};
        }
        case InterestBasis::Actual360:
            return {from.daysTo(to), 360};
        case InterestBasis::ActualActual: {
            // Days in common years over 365 plus days in leap years over 366.
            Wide common = 0;
            Wide leap = 0;
            for (QDate day = from; day < to;) {
                const QDate next = std::min(QDate(day.year() + 1, 1, 1), to);
                (QDate::isLeapYear(day.year()) ? leap : common) += day.daysTo(next);
                day = next;
            }
            return {common * 366 + leap * 365, Wide(365) * 366};
        }
        case InterestBasis::Actual365:
        case InterestBasis::Periodic:
            break;
    }
    return {from.daysTo(to), 365};
}

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
        result.fees = offer.fees;
        const planner::TrueCost cost = planner::trueCostOf(offer.loan, plan, offer.fees);
        result.totalInterest = cost.totalInterest;
        result.totalPaid = cost.totalPaid;
        result.aprPercent = cost.aprPercent;
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
    const auto next = std::upper_bound(
        plan.rows.begin(), plan.rows.end(), on,
        [](const QDate& date, const planner::PlanRow& row) { return date < row.dueDate; });
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
                roundFraction(Wide(next->interest) * from.daysTo(on), from.daysTo(next->dueDate),
                              loan.interestRounding);
        } else {
            const Decimal rate = exactDecimal(rateFor(loan, next->number));
            const auto [days, yearDays] = yearFraction(loan.basis, from, on);
            payoff.accruedInterest =
                roundFraction(Wide(payoff.balance) * rate.digits * days,
                              100 * rate.scale * yearDays, loan.interestRounding);
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

    const auto firstOld = std::upper_bound(
        plan.rows.begin(), plan.rows.end(), on,
        [](const QDate& date, const planner::PlanRow& row) { return date < row.dueDate; });
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
