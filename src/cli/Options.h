#pragma once

#include "cli/ArgReader.h"
#include "planner/Arithmetic.h"
#include "planner/Planner.h"

#include <QDate>
#include <QString>

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <vector>

// Typed option values for the solve and reconcile commands, read in the C locale and checked
// against their ranges; nothing when the option is absent. A value that does not read, or lies
// outside the range, is a UsageError naming the option.
namespace cli {

std::optional<planner::Cents> centsOption(const ArgReader& args, const QString& name,
                                          planner::Cents min, planner::Cents max);
std::optional<int> integerOption(const ArgReader& args, const QString& name, int min, int max);
std::optional<double> decimalOption(const ArgReader& args, const QString& name, double min,
                                    double max);
std::optional<QDate> dateOption(const ArgReader& args, const QString& name);

// The value, or a UsageError saying that the option is required.
template <typename T>
T required(const std::optional<T>& value, const QString& name);

// Each name spelled as itself, and the loan options also by their short forms: -p --principal,
// -n --months, -r --rate, -s --start.
std::map<QString, QString> spellingsOf(std::initializer_list<QString> names);

// The options that add the planner's events to a loan: --extra MONTH:AMOUNT,
// --extra-monthly AMOUNT:FROM[:TO], --rate-change MONTH:RATE (each repeatable) and
// --policy shorter|lower.
void addEventOptions(std::map<QString, QString>& spellings, std::set<QString>& repeatable);
// Reads them into loan.events and loan.policy. Returns each event's argument
// ("--extra 3:500"), in the order of loan.events, so that a problem can name it.
std::vector<QString> readEvents(const ArgReader& args, planner::PlanInput& loan);
// The loan's first problem, if any, as a UsageError naming its argument.
void checkLoan(const planner::PlanInput& loan, const std::vector<QString>& eventArguments);

}  // namespace cli
