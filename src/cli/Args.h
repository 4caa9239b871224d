#pragma once

#include "planner/Arithmetic.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>
#include <stdexcept>

// Reading command-line values: always in the C locale, whatever the environment's.
namespace cli {

// A bad argument: the message names it; the command exits with status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
};

// "1234.5", "-3", "0.07": digits with an optional sign and at most one dot.
std::optional<double> parseDecimal(QStringView text);
// An amount with at most two decimals, to whole cents: "100000" -> 10000000.
std::optional<planner::Cents> parseCents(QStringView text);
// A whole number, e.g. a month: "12".
std::optional<int> parseInteger(QStringView text);
// YYYY-MM-DD.
std::optional<QDate> parseIsoDate(QStringView text);

}  // namespace cli
