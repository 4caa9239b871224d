#pragma once

#include "planner/Arithmetic.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>

// Options of the form "--name VALUE" or "-x VALUE" (also "--name=VALUE"), each at most once.
namespace cli {

class Options {
public:
    // Throws UsageError for an unknown option, a missing value or a repeated option.
    // `names` maps every accepted spelling to its canonical name ("-p" -> "--principal").
    Options(const QStringList& args, const std::map<QString, QString>& names);

    std::optional<QString> value(const QString& name) const;
    bool has(const QString& name) const { return m_values.contains(name); }

private:
    std::map<QString, QString> m_values;
};

// The value of an option read in the C locale and checked against its range; nothing when the
// option is absent. Throw UsageError naming the option when the value is unreadable.
std::optional<planner::Cents> centsOption(const Options& options, const QString& name,
                                          planner::Cents min, planner::Cents max);
std::optional<int> integerOption(const Options& options, const QString& name, int min, int max);
std::optional<double> decimalOption(const Options& options, const QString& name, double min,
                                    double max);
std::optional<QDate> dateOption(const Options& options, const QString& name);

// The value, or a UsageError saying that the option is needed.
template <typename T>
T required(const std::optional<T>& value, const QString& name);

}  // namespace cli
