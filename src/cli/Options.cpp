#include "cli/Options.h"

#include "cli/Args.h"
#include "core/Conversions.h"

using namespace Qt::StringLiterals;

namespace cli {

namespace {

UsageError badEvent(const QString& argument, const QString& what) {
    return UsageError(u"%1: %2"_s.arg(argument, what));
}

int month(const QString& argument, const QString& text) {
    const auto value = parseInteger(text);
    if (!value) {
        throw badEvent(argument, u"'%1' is not a month number"_s.arg(text));
    }
    return *value;
}

planner::Cents amount(const QString& argument, const QString& text) {
    const auto value = parseCents(text);
    if (!value) {
        throw badEvent(argument, u"'%1' is not an amount with at most two decimals"_s.arg(text));
    }
    return *value;
}

QString optionOf(planner::Field field) {
    switch (field) {
        case planner::Field::Principal:
            return u"--principal"_s;
        case planner::Field::Months:
            return u"--months"_s;
        case planner::Field::Rate:
            return u"--rate"_s;
        default:
            return u"--start"_s;
    }
}

}  // namespace

std::optional<planner::Cents> centsOption(const ArgReader& args, const QString& name,
                                          planner::Cents min, planner::Cents max) {
    if (!args.has(name)) {
        return std::nullopt;
    }
    const QString text = args.value(name);
    const auto cents = parseCents(text);
    if (!cents || *cents < min || *cents > max) {
        throw UsageError(u"%1 must be an amount from %2 to %3, not '%4'"_s.arg(
            name, plainCentsText(min), plainCentsText(max), text));
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

std::map<QString, QString> spellingsOf(std::initializer_list<QString> names) {
    static const std::map<QString, QString> shortForms{{u"--principal"_s, u"-p"_s},
                                                       {u"--months"_s, u"-n"_s},
                                                       {u"--rate"_s, u"-r"_s},
                                                       {u"--start"_s, u"-s"_s}};
    std::map<QString, QString> spellings;
    for (const QString& name : names) {
        spellings.emplace(name, name);
        if (const auto found = shortForms.find(name); found != shortForms.end()) {
            spellings.emplace(found->second, name);
        }
    }
    return spellings;
}

void addEventOptions(std::map<QString, QString>& spellings, std::set<QString>& repeatable) {
    for (const QString& name :
         {u"--extra"_s, u"--extra-monthly"_s, u"--rate-change"_s, u"--policy"_s}) {
        spellings.emplace(name, name);
    }
    repeatable.insert({u"--extra"_s, u"--extra-monthly"_s, u"--rate-change"_s});
}

std::vector<QString> readEvents(const ArgReader& args, planner::PlanInput& loan) {
    std::vector<QString> arguments;
    for (const QString& value : args.values(u"--extra"_s)) {
        const QString argument = u"--extra "_s + value;
        const QStringList parts = value.split(u':');
        if (parts.size() != 2) {
            throw badEvent(argument, u"expected MONTH:AMOUNT"_s);
        }
        loan.events.emplace_back(
            planner::OneOffExtra{month(argument, parts[0]), amount(argument, parts[1])});
        arguments.push_back(argument);
    }
    for (const QString& value : args.values(u"--extra-monthly"_s)) {
        const QString argument = u"--extra-monthly "_s + value;
        const QStringList parts = value.split(u':');
        if (parts.size() != 2 && parts.size() != 3) {
            throw badEvent(argument, u"expected AMOUNT:FROM or AMOUNT:FROM:TO"_s);
        }
        loan.events.emplace_back(
            planner::RecurringExtra{amount(argument, parts[0]), month(argument, parts[1]),
                                    parts.size() == 3 ? month(argument, parts[2]) : 0});
        arguments.push_back(argument);
    }
    for (const QString& value : args.values(u"--rate-change"_s)) {
        const QString argument = u"--rate-change "_s + value;
        const QStringList parts = value.split(u':');
        const auto newRate = parts.size() == 2 ? parseDecimal(parts[1]) : std::nullopt;
        if (!newRate) {
            throw badEvent(argument, u"expected MONTH:RATE, the rate in percent a year"_s);
        }
        loan.events.emplace_back(planner::RateChange{month(argument, parts[0]), *newRate});
        arguments.push_back(argument);
    }
    const QString policy = args.valueOr(u"--policy"_s, u"shorter"_s);
    if (policy != u"shorter" && policy != u"lower") {
        throw UsageError(u"--policy must be shorter or lower"_s);
    }
    loan.policy =
        policy == u"lower" ? planner::Policy::LowerInstalment : planner::Policy::ShorterTerm;
    return arguments;
}

void checkLoan(const planner::PlanInput& loan, const std::vector<QString>& eventArguments) {
    const auto problems = planner::inputProblems(loan);
    if (problems.empty()) {
        return;
    }
    const planner::InputProblem& problem = problems.front();
    throw UsageError((problem.event < 0 ? optionOf(problem.field)
                                        : eventArguments[static_cast<std::size_t>(problem.event)]) +
                     u": "_s + problem.message);
}

template planner::Cents required(const std::optional<planner::Cents>&, const QString&);
template int required(const std::optional<int>&, const QString&);
template double required(const std::optional<double>&, const QString&);
template QDate required(const std::optional<QDate>&, const QString&);

}  // namespace cli
