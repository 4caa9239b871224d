#include "solver/Solver.h"

#include "core/Conversions.h"
#include "model/clsLoanDetails.h"
#include "solver/LoanRows.h"
#include "solver/Money.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <exception>

using namespace Qt::StringLiterals;

namespace solver {

namespace {

// Non-negative doubles are ordered as their bit patterns, so bisection over the patterns
// visits every double between two rates.
std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

double doubleOf(std::uint64_t bits) {
    return std::bit_cast<double>(bits);
}

// The smallest index in [lo, hi] where the monotone predicate holds, or hi + 1.
template <typename Index, typename Predicate>
Index firstTrue(Index lo, Index hi, Predicate holds) {
    Index end = hi + 1;
    while (lo < end) {
        const Index mid = lo + (end - lo) / 2;
        if (holds(mid)) {
            end = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

// The loan's terms with the solved values filled in and no events.
planner::PlanInput planOf(const planner::PlanInput& terms, Cents principal, int months,
                          double annualPercent) {
    planner::PlanInput input = terms;
    input.principal = principal;
    input.months = months;
    input.annualPercent = annualPercent;
    if (!input.startDate.isValid()) {
        input.startDate = QDate(2000, 1, 1);
    }
    input.events.clear();
    return input;
}

bool monthly(const planner::PlanInput& terms) {
    return terms.frequency == planner::Frequency::Monthly;
}

// The interest of a regular first period, as the planner reckons it.
Cents firstPeriodInterest(Cents principal, double annualPercent, planner::InterestRounding interest,
                          const planner::PlanInput& terms) {
    planner::PlanInput input = planOf(terms, principal, 1, annualPercent);
    input.firstDue = QDate();
    input.interestRounding = interest;
    const planner::PlanResult result = planner::computePlan(input);
    return result.plan ? result.plan->rows.front().interest : planner::largeCents;
}

// Why the main schedule's arithmetic cannot take these terms, or an empty text.
QString scheduleRefusal(InstalmentRule rule, const planner::PlanInput& terms) {
    if (rule || (monthly(terms) && !terms.firstDue.isValid() &&
                 terms.basis == planner::InterestBasis::Periodic &&
                 terms.compounding == planner::Compounding::PerPeriod)) {
        return {};
    }
    return u"The schedule arithmetic takes only monthly loans with interest at a twelfth of the "
           u"annual rate; choose nearest-cent, nearest-unit, up-cent or up-unit."_s;
}

// How far the largest payment of the loan's schedule under the arithmetic exceeds emi (0 or
// less: it repays within emi); nothing when the schedule fails. The main schedule pays its
// instalment every month.
std::optional<Cents> excessOver(const Loan& loan, Cents emi, InstalmentRule rule,
                                planner::InterestRounding interest,
                                const planner::PlanInput& terms) {
    if (!rule) {
        return Cents(0);
    }
    planner::PlanInput input = planOf(terms, loan.principal, loan.months, loan.annualPercent);
    input.instalmentRounding = *rule;
    input.interestRounding = interest;
    const planner::PlanResult result = planner::computePlan(input);
    if (!result.plan) {
        return std::nullopt;
    }
    Cents largest = 0;
    for (const planner::PlanRow& row : result.plan->rows) {
        largest = std::max(largest, row.payment + row.extra);
    }
    return largest - emi;
}

bool repaysWithin(const Loan& loan, Cents emi, InstalmentRule rule,
                  planner::InterestRounding interest, const planner::PlanInput& terms) {
    const auto excess = excessOver(loan, emi, rule, interest, terms);
    return excess && *excess <= 0;
}

Solution failure(QString message) {
    Solution solution;
    solution.error = std::move(message);
    return solution;
}

// The rate with the fewest decimals in [low, high] that gives the instalment, nearest the
// middle of the interval among those with as few decimals.
double simplestRate(double low, double high, const Loan& loan, Cents emi, InstalmentRule rule,
                    const planner::PlanInput& terms) {
    const double middle = low + (high - low) / 2;
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const double first = std::ceil(low * scale);
        const double last = std::floor(high * scale);
        if (first > last) {
            continue;
        }
        const double nearest = std::clamp(std::round(middle * scale), first, last);
        for (const double candidate : {nearest, first, last}) {
            const double rate = candidate / scale;
            if (rate >= low && rate <= high &&
                instalmentCents(loan.principal, loan.months, rate, rule, terms) == emi) {
                return rate;
            }
        }
    }
    return middle;
}

}  // namespace

QString ruleName(InstalmentRule rule) {
    if (!rule) {
        return u"schedule"_s;
    }
    return QString::fromLatin1(planner::name(*rule));
}

std::optional<InstalmentRule> ruleFromName(QStringView text) {
    std::optional<InstalmentRule> rule;
    if (text == u"schedule") {
        rule.emplace(std::nullopt);
    } else if (const auto rounding =
                   planner::instalmentRoundingFromName(text.toLatin1().toStdString())) {
        rule.emplace(*rounding);
    }
    return rule;
}

namespace {

// A loan's instalment for any principal and term at one annual rate: the rate per payment is
// worked out once, which the searches below ask for many times.
class InstalmentAt {
public:
    InstalmentAt(double annualPercent, InstalmentRule rule, const planner::PlanInput& terms)
        : m_annualPercent(annualPercent),
          m_rule(rule),
          m_rate(rule ? planner::periodicRate(terms, planner::nanoPercentOf(annualPercent))
                      : planner::PeriodRate{}) {}

    std::optional<Cents> operator()(Cents principal, int months) const {
        if (months <= 0) {
            return std::nullopt;
        }
        if (!m_rule) {
            double units = 0;
            try {
                units = roundToCents(equatedMonthlyInstalment(
                    static_cast<double>(principal) / 100.0, months, m_annualPercent));
            } catch (const std::exception&) {
                return std::nullopt;
            }
            return static_cast<Cents>(std::llround(units * 100.0));
        }
        const Cents cents = planner::instalment(principal, m_rate, months, 0, *m_rule);
        // Beyond 10^15 currency units an instalment counts as overflowing, as it always has.
        if (cents > Cents{100'000'000'000'000'000}) {
            return std::nullopt;
        }
        return cents;
    }

    // The rate per payment; 0 for the main schedule's arithmetic.
    const planner::PeriodRate& rate() const { return m_rate; }

private:
    double m_annualPercent;
    InstalmentRule m_rule;
    planner::PeriodRate m_rate;
};

}  // namespace

std::optional<Cents> instalmentCents(Cents principal, int months, double annualPercent,
                                     InstalmentRule rule, const planner::PlanInput& terms) {
    return InstalmentAt(annualPercent, rule, terms)(principal, months);
}

Solution solvePrincipal(Cents emi, int months, double annualPercent, InstalmentRule rule,
                        planner::InterestRounding interest, const planner::PlanInput& terms) {
    if (emi <= 0) {
        return failure(u"The instalment must be more than 0."_s);
    }
    if (const QString refusal = scheduleRefusal(rule, terms); !refusal.isEmpty()) {
        return failure(refusal);
    }
    // Whether the instalment of a principal exceeds emi; an overflow counts as exceeding.
    const InstalmentAt instalmentAt(annualPercent, rule, terms);
    const auto exceeds = [&](Cents principal) {
        const auto e = instalmentAt(principal, months);
        return !e || *e > emi;
    };
    const Cents firstExceeding = firstTrue<Cents>(1, maxPrincipal, exceeds);
    Cents found = firstExceeding - 1;
    const auto repays = [&](Cents principal) {
        return repaysWithin(Loan{principal, months, annualPercent}, emi, rule, interest, terms);
    };
    // With the rounded instalment fixed, the last payment grows with the principal, each cent
    // by about (1 + r)^(n - 1); across instalments it does not, as rounding down leaves a
    // larger last payment. So search the principals of one instalment at a time, from the
    // highest down: below the one whose first month's interest the instalment covers, from the
    // principal the growth says brings the last payment to emi. A schedule of many months is
    // costly, so few are made.
    const double growth = std::pow(1.0 + instalmentAt.rate().value(), months - 1);
    for (int tries = 0; found >= 1 && rule; ++tries) {
        const Cents instalment = *instalmentAt(found, months);
        const Cents lowest = firstTrue<Cents>(1, found, [&](Cents principal) {
            return *instalmentAt(principal, months) >= instalment;
        });
        Cents failing = firstTrue<Cents>(lowest, found, [&](Cents principal) {
            return firstPeriodInterest(principal, annualPercent, interest, terms) >= instalment;
        });  // the first principal whose first month the instalment does not cover
        Cents probe = failing - 1;
        Cents repaying = 0;
        while (probe >= lowest) {
            const auto excess =
                excessOver(Loan{probe, months, annualPercent}, emi, rule, interest, terms);
            if (excess && *excess <= 0) {
                repaying = probe;
                break;
            }
            failing = probe;
            const double step = excess ? std::ceil(static_cast<double>(*excess) / growth) : 1.0;
            probe -= static_cast<Cents>(std::clamp(step, 1.0, 1e15));
        }
        if (repaying > 0) {
            found =
                firstTrue<Cents>(repaying + 1, failing - 1, [&](Cents p) { return !repays(p); }) -
                1;
            break;
        }
        found = tries < 64 ? lowest - 1 : 0;
    }
    if (found < 1 && firstExceeding > 1) {
        return failure(u"No principal of at least 0.01 is repaid with no payment above %1."_s.arg(
            moneyText(emi)));
    }
    if (found < 1) {
        return failure(u"No principal of at least 0.01 has an instalment of at most %1."_s.arg(
            moneyText(emi)));
    }
    if (found == maxPrincipal && instalmentAt(found, months) < emi) {
        return failure(u"Even the largest principal, %1, has an instalment below %2."_s.arg(
            moneyText(maxPrincipal), moneyText(emi)));
    }
    Solution solution;
    solution.loan = Loan{found, months, annualPercent};
    solution.instalment = *instalmentAt(found, months);
    // The search made the answer's schedule; the next principal must not be an answer too.
    if (solution.instalment > emi ||
        (found < maxPrincipal && !exceeds(found + 1) && repays(found + 1))) {
        return failure(u"The principal could not be confirmed by recomputing its instalment."_s);
    }
    return solution;
}

Solution solveMonths(Cents emi, Cents principal, double annualPercent, InstalmentRule rule,
                     planner::InterestRounding interest, const planner::PlanInput& terms) {
    if (emi <= 0) {
        return failure(u"The instalment must be more than 0."_s);
    }
    if (const QString refusal = scheduleRefusal(rule, terms); !refusal.isEmpty()) {
        return failure(refusal);
    }
    const QString payments = monthly(terms) ? u"months"_s : u"payments"_s;
    // Below this the balance never falls, whatever the rounding of a long term's instalment.
    const Cents firstInterest = firstPeriodInterest(principal, annualPercent, interest, terms);
    if (emi - firstInterest < 1) {
        return failure(u"%1 does not cover more than the interest of %2 a %3."_s.arg(
            moneyText(emi), moneyText(firstInterest), monthly(terms) ? u"month"_s : u"period"_s));
    }
    // Long terms overflow at high rates; the arithmetic is defined up to the last month that
    // does not.
    const InstalmentAt instalmentAt(annualPercent, rule, terms);
    const int defined =
        firstTrue<int>(1, maxMonths,
                       [&](int months) { return !instalmentAt(principal, months).has_value(); }) -
        1;
    const auto covers = [&](int months) { return *instalmentAt(principal, months) <= emi; };
    if (defined < 1 || !covers(defined)) {
        return failure(
            u"No term of up to %1 %2 brings the instalment down to %3."_s.arg(maxMonths).arg(
                payments, moneyText(emi)));
    }
    int found = firstTrue<int>(1, defined, covers);
    const auto repays = [&](int months) {
        return repaysWithin(Loan{principal, months, annualPercent}, emi, rule, interest, terms);
    };
    // A rounded-down instalment can leave a last payment above emi; a longer term lowers it.
    const int tries = std::min(defined, found + 64);
    while (found <= tries && !(covers(found) && repays(found))) {
        ++found;
    }
    if (found > tries) {
        return failure(
            u"No term of up to %1 %2 repays the loan with no payment above %3."_s.arg(maxMonths)
                .arg(payments, moneyText(emi)));
    }
    Solution solution;
    solution.loan = Loan{principal, found, annualPercent};
    solution.instalment = *instalmentAt(principal, found);
    if (solution.instalment > emi || (found > 1 && covers(found - 1) && repays(found - 1))) {
        return failure(u"The term could not be confirmed by recomputing its instalment."_s);
    }
    return solution;
}

Solution solveRate(Cents emi, Cents principal, int months, InstalmentRule rule,
                   const planner::PlanInput& terms) {
    if (emi <= 0) {
        return failure(u"The instalment must be more than 0."_s);
    }
    if (const QString refusal = scheduleRefusal(rule, terms); !refusal.isEmpty()) {
        return failure(refusal);
    }
    // The instalment rises with the rate; an overflow counts as above every instalment.
    const auto at = [&](std::uint64_t bits) {
        return instalmentCents(principal, months, doubleOf(bits), rule, terms);
    };
    const std::uint64_t lo = bitsOf(0.0);
    const std::uint64_t hi = bitsOf(maxAnnualPercent);
    const std::uint64_t low = firstTrue(lo, hi, [&](std::uint64_t bits) {
        const auto e = at(bits);
        return !e || *e >= emi;
    });
    const auto atLow = low <= hi ? at(low) : std::nullopt;
    if (!atLow || *atLow != emi) {
        const auto free = instalmentCents(principal, months, 0, rule, terms);
        if (free && emi < *free) {
            return failure(u"No rate gives an instalment of %1: even at 0 % it is %2."_s.arg(
                moneyText(emi), moneyText(*free)));
        }
        if (low > hi) {
            return failure(
                u"No rate up to %1 % gives an instalment as high as %2."_s.arg(maxAnnualPercent)
                    .arg(moneyText(emi)));
        }
        return failure(
            u"No rate gives an instalment of exactly %1: the instalment jumps from %2 to %3 "
            u"at %4 %."_s.arg(moneyText(emi), moneyText(*at(low - 1)),
                              atLow ? moneyText(*atLow) : u"beyond any amount"_s,
                              percentText(doubleOf(low))));
    }
    const std::uint64_t high = firstTrue(low, hi,
                                         [&](std::uint64_t bits) {
                                             const auto e = at(bits);
                                             return !e || *e > emi;
                                         }) -
                               1;
    Solution solution;
    solution.rateLow = doubleOf(low);
    solution.rateHigh = doubleOf(high);
    Loan loan{principal, months, 0};
    loan.annualPercent = simplestRate(solution.rateLow, solution.rateHigh, loan, emi, rule, terms);
    solution.loan = loan;
    solution.instalment =
        instalmentCents(principal, months, loan.annualPercent, rule, terms).value_or(0);
    if (solution.instalment != emi || at(high) != emi) {
        return failure(u"The rate could not be confirmed by recomputing its instalment."_s);
    }
    return solution;
}

std::optional<planner::TrueCost> costOfSolved(const Loan& loan, InstalmentRule rule,
                                              planner::InterestRounding interest,
                                              const planner::Fees& fees,
                                              const planner::PlanInput& terms) {
    const planner::PlanInput input = planOf(terms, loan.principal, loan.months, loan.annualPercent);
    const Arithmetic arithmetic{!rule.has_value(),
                                rule.value_or(planner::InstalmentRounding::NearestCent), interest,
                                terms.basis};
    const LoanRows rows = loanRows(input, arithmetic);
    if (!rows.error.isEmpty()) {
        return std::nullopt;
    }
    return trueCostOf(input, rows, fees);
}

}  // namespace solver
