#pragma once

#include "cli/CommandLine.h"
#include "planner/Planner.h"
#include "planner/TrueCost.h"

#include <QString>

#include <vector>

// The option tables the commands share, and the one reader of a loan from them.
namespace cli {

// -p/--principal, -n/--months, -r/--rate and, with start, -s/--start.
std::vector<Option> loanOptions();
// --extra MONTH:AMOUNT, --extra-monthly AMOUNT:FROM[:TO], --rate-change MONTH:RATE (each
// repeatable) and --policy shorter|lower.
std::vector<Option> eventOptions();
// The loan's terms: --frequency, --first-due, --interest-basis, --compounding, --shape,
// --interest-only K, --grace K, --balloon AMOUNT, --holiday K (repeatable) and
// --extra-recurring AMOUNT:FROM[:TO] (repeatable; --extra-monthly is its older name).
std::vector<Option> termOptions();
Option instalmentRoundingOption();
Option interestRoundingOption();
// -f/--format, the first choice being the default.
Option formatOption(const QStringList& choices);
// --fees AMOUNT (paid up front, out of the advance) and --fee-per-payment AMOUNT.
std::vector<Option> feeOptions();
planner::Fees readFees(const CommandLine& args);

// A loan's true cost as JSON members in order (key, value): totals, the effective annual rate,
// the fees, apr_us and aprc_eu (null where no rate fits), and principal_left where the rows leave
// principal unpaid (or overpaid).
std::vector<std::pair<QString, QString>> costMembers(const planner::TrueCost& cost,
                                                     const planner::Fees& fees);
// The same as lines of text; the totals labelled as the main schedule's where they are its own.
QString costText(const planner::TrueCost& cost, const planner::Fees& fees, bool schedule);
// What the plan command reads a loan from: the loan's, the events', the terms' and the roundings'
// options.
std::vector<std::vector<Option>> planLoanTables();

// The loan's options that a command defines, read into a PlanInput: the options absent stay at
// their defaults, and those named in `required` must be given. Every value given is checked
// against the planner's limits; a problem is a UsageError naming its argument
// ("--extra 13:100: Month 13 is outside the term (1 to 12).").
planner::PlanInput readLoan(const CommandLine& args, const QStringList& required);
// --principal, --months, --rate and --start: what a loan needs when nothing is solved for.
const QStringList& wholeLoan();

}  // namespace cli
