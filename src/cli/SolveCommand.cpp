#include "cli/Commands.h"

#include "cli/Options.h"
#include "planner/TrueCost.h"
#include "solver/Money.h"
#include "solver/Solver.h"

#include <QIODevice>

#include <cmath>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const auto solveUsage =
    u"Usage: ravenmoor-cli solve --for principal|months|rate --emi E [-p P] [-n N] [-r R]\n"
    u"       [-s START] [--frequency F] [--first-due D] [--interest-basis B] [--compounding C]\n"
    u"       [--arithmetic schedule|nearest-cent|nearest-unit|up-cent|up-unit]\n"
    u"       [--interest-rounding half-up|half-even|down] [--fees F] [--fee-per-payment F]\n"
    u"       [--format text|json]\n"
    u"\n"
    u"Given the instalment E and two of principal, months and annual rate (percent), finds the\n"
    u"third: the largest principal or the fewest payments whose instalment does not exceed E, or\n"
    u"every rate whose instalment is exactly E, and the loan's cost: its totals, the annual\n"
    u"percentage rate by the US rule and by the EU/UK rule, with the fees given.\n"_s;

const QStringList formats{u"text"_s, u"json"_s};

QString sixDecimals(double value) {
    return QString::number(value, 'f', 6);
}

// The interval shown to six decimals, inside the true one where it is wide enough.
std::pair<QString, QString> rateInterval(double low, double high) {
    const double shownLow = std::ceil(low * 1e6) / 1e6;
    const double shownHigh = std::floor(high * 1e6) / 1e6;
    if (shownLow > shownHigh) {
        return {sixDecimals(low), sixDecimals(high)};
    }
    return {sixDecimals(shownLow), sixDecimals(shownHigh)};
}

}  // namespace

int runSolve(const QStringList& args, Io io) {
    CommandLine options(solveUsage,
                        {{{u"--for"_s, {}, u"principal|months|rate"_s, u"The value to find."_s},
                          {u"--emi"_s, {}, u"AMOUNT"_s, u"The instalment."_s}},
                         loanOptions(),
                         termOptions(),
                         {{u"--arithmetic"_s,
                           {},
                           u"schedule|"_s + instalmentRoundingOption().valueName,
                           u"How the instalment is rounded."_s},
                          interestRoundingOption(),
                          formatOption(formats)},
                         feeOptions()});
    if (options.parseShowsHelp(args, io.out)) {
        return 0;
    }
    (void)options.value(u"--for"_s);  // required
    const QString unknown = options.choice(u"--for"_s, {u"principal"_s, u"months"_s, u"rate"_s});
    const auto emi = required(options.cents(u"--emi"_s, 1, solver::maxPrincipal), u"--emi"_s);
    // An instalment to solve for is level from the first payment to the last.
    for (const QString& name : {u"--shape"_s, u"--interest-only"_s, u"--grace"_s, u"--balloon"_s,
                                u"--holiday"_s, u"--extra-recurring"_s}) {
        if (options.has(name)) {
            throw UsageError(u"%1 is not taken when solving"_s.arg(name));
        }
    }
    const planner::PlanInput given = readLoan(options, {});
    const planner::Fees fees = readFees(options);
    const QString ruleText = options.choice(
        u"--arithmetic"_s, (u"schedule|"_s + instalmentRoundingOption().valueName).split(u'|'));
    const auto rule = solver::ruleFromName(ruleText);
    const QString format = options.choice(u"--format"_s, formats);
    for (const QString& name : {u"--principal"_s, u"--months"_s, u"--rate"_s}) {
        if (unknown != name.mid(2)) {
            (void)options.value(name);  // required
        } else if (options.has(name)) {
            throw UsageError(u"%1 is the value to find; leave it out"_s.arg(name));
        }
    }

    solver::Solution solution;
    if (unknown == u"principal"_s) {
        solution = solver::solvePrincipal(emi, given.months, given.annualPercent, *rule,
                                          given.interestRounding, given);
    } else if (unknown == u"months"_s) {
        solution = solver::solveMonths(emi, given.principal, given.annualPercent, *rule,
                                       given.interestRounding, given);
    } else {
        solution = solver::solveRate(emi, given.principal, given.months, *rule, given);
    }
    if (!solution.loan) {
        io.err.write((solution.error + u'\n').toUtf8());
        return 1;
    }
    const solver::Loan& loan = *solution.loan;
    const std::optional<planner::TrueCost> cost =
        solver::costOfSolved(loan, *rule, given.interestRounding, fees, given);
    const bool costed = cost.has_value();
    const auto [low, high] = rateInterval(solution.rateLow, solution.rateHigh);
    const QString rateText = solver::percentText(loan.annualPercent, 9);
    QString out;
    if (format == u"json"_s) {
        out = u"{\n  \"solved\": \"%1\",\n  \"arithmetic\": \"%2\",\n"_s.arg(unknown, ruleText);
        out += u"  \"principal\": %1,\n  \"months\": %2,\n  \"rate\": %3,\n"_s.arg(
            solver::moneyText(loan.principal), QString::number(loan.months), rateText);
        if (unknown == u"rate"_s) {
            out += u"  \"rate_low\": %1,\n  \"rate_high\": %2,\n"_s.arg(low, high);
        }
        out += u"  \"instalment\": %1"_s.arg(solver::moneyText(solution.instalment));
        if (costed) {
            for (const auto& [key, value] : costMembers(*cost, fees)) {
                out += u",\n  \"%1\": %2"_s.arg(key, value);
            }
        }
        out += u"\n}\n"_s;
    } else {
        const QString count =
            given.frequency == planner::Frequency::Monthly ? u"Months"_s : u"Payments"_s;
        out = u"Principal: %1\n%2: %3\nRate: %4 %\n"_s.arg(solver::moneyText(loan.principal), count,
                                                           QString::number(loan.months), rateText);
        if (unknown == u"rate"_s) {
            out += u"Every rate from %1 % to %2 % gives this instalment.\n"_s.arg(low, high);
        }
        out += u"Instalment: %1 (%2)\n"_s.arg(solver::moneyText(solution.instalment), ruleText);
        if (costed) {
            out += costText(*cost, fees, !rule->has_value());
        }
    }
    io.out.write(out.toUtf8());
    return 0;
}

}  // namespace cli
