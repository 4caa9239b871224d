#include "cli/Options.h"

#include "cli/Args.h"

using namespace Qt::StringLiterals;

namespace cli {

std::optional<planner::Cents> centsOption(const ArgReader& args, const QString& name,
                                          planner::Cents min, planner::Cents max) {
    if (!args.has(name)) {
        return std::nullopt;
    }
    const QString text = args.value(name);
    const auto cents = parseCents(text);
    if (!cents || *cents < min || *cents > max) {
        throw UsageError(u"%1 must be an amount from %2 to %3, not '%4'"_s.arg(
            name, centsToText(min), centsToText(max), text));
    }
    return cents;
}

std::optional<int> integerOption(const ArgReader& args, const QString& name, int min, int max) {
    if (!args.has(name)) {
        return std::nullopt;
    }
    const QString text = args.value(name);
    const auto value = parseInteger(text);
    if (!value || *value < min || *value > max) {
        throw UsageError(
            u"%1 must be a whole number from %2 to %3, not '%4'"_s.arg(name).arg(min).arg(max).arg(
                text));
    }
    return value;
}

std::optional<double> decimalOption(const ArgReader& args, const QString& name, double min,
                                    double max) {
    if (!args.has(name)) {
        return std::nullopt;
    }
    const QString text = args.value(name);
    const auto value = parseDecimal(text);
    if (!value || *value < min || *value > max) {
        throw UsageError(
            u"%1 must be a number from %2 to %3, not '%4'"_s.arg(name).arg(min).arg(max).arg(text));
    }
    return value;
}

std::optional<QDate> dateOption(const ArgReader& args, const QString& name) {
    if (!args.has(name)) {
        return std::nullopt;
    }
    const QString text = args.value(name);
    const auto date = parseIsoDate(text);
    if (!date) {
        throw UsageError(u"%1 must be a date as YYYY-MM-DD, not '%2'"_s.arg(name, text));
    }
    return date;
}

template <typename T>
T required(const std::optional<T>& value, const QString& name) {
    if (!value) {
        throw UsageError(u"%1 is required"_s.arg(name));
    }
    return *value;
}

template planner::Cents required(const std::optional<planner::Cents>&, const QString&);
template int required(const std::optional<int>&, const QString&);
template double required(const std::optional<double>&, const QString&);
template QDate required(const std::optional<QDate>&, const QString&);

}  // namespace cli
