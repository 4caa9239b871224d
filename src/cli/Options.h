#pragma once

#include "cli/ArgReader.h"
#include "planner/Arithmetic.h"

#include <QDate>
#include <QString>

#include <optional>

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

}  // namespace cli
