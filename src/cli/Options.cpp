#include "cli/Options.h"

#include "core/Conversions.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString principalName = u"--principal"_s;
const QString monthsName = u"--months"_s;
const QString rateName = u"--rate"_s;
const QString startName = u"--start"_s;

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
            return principalName;
        case planner::Field::Months:
            return monthsName;
        case planner::Field::Rate:
            return rateName;
        case planner::Field::FirstDue:
            return u"--first-due"_s;
        case planner::Field::InterestOnly:
            return u"--interest-only"_s;
        case planner::Field::Grace:
            return u"--grace"_s;
        case planner::Field::Balloon:
            return u"--balloon"_s;
        default:
            return startName;
    }
}

template <typename Enum, std::size_t N>
QStringList namesOf(const Enum (&values)[N]) {
    QStringList names;
    for (const Enum value : values) {
        names << QString::fromLatin1(name(value));
    }
    return names;
}

// The chosen name as its value; the first name is the default.
template <typename Enum, std::size_t N>
Enum chosen(const CommandLine& args, const QString& option, const Enum (&values)[N]) {
    const QString choice = args.choice(option, namesOf(values));
    for (const Enum value : values) {
        if (QString::fromLatin1(name(value)) == choice) {
            return value;
        }
    }
    return values[0];  // choice() takes only the names
}

void readTerms(const CommandLine& args, planner::PlanInput& loan,
               std::vector<QString>& eventArguments) {
    if (args.has(u"--frequency"_s)) {
        loan.frequency = chosen(args, u"--frequency"_s, calendar::allFrequencies);
    }
    loan.firstDue = args.date(u"--first-due"_s).value_or(QDate());
    loan.basis = chosen(args, u"--interest-basis"_s, planner::allInterestBases);
    loan.compounding = chosen(args, u"--compounding"_s, planner::allCompoundings);
    loan.shape = chosen(args, u"--shape"_s, planner::allShapes);
    loan.interestOnly = args.integer(u"--interest-only"_s).value_or(0);
    loan.grace = args.integer(u"--grace"_s).value_or(0);
    loan.balloon = args.cents(u"--balloon"_s).value_or(0);
    for (const QString& value : args.values(u"--holiday"_s)) {
        const QString argument = u"--holiday "_s + value;
        loan.events.emplace_back(planner::PaymentHoliday{month(argument, value)});
        eventArguments.push_back(argument);
    }
}

// Reads the events into loan.events and loan.policy; returns each event's argument
// ("--extra 3:500") in the order of loan.events, so that a problem can name it.
std::vector<QString> readEvents(const CommandLine& args, planner::PlanInput& loan) {
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
    // --extra-monthly is the older name of --extra-recurring.
    for (const QString& name : {u"--extra-monthly"_s, u"--extra-recurring"_s}) {
        for (const QString& value : args.values(name)) {
            const QString argument = name + u' ' + value;
            const QStringList parts = value.split(u':');
            if (parts.size() != 2 && parts.size() != 3) {
                throw badEvent(argument, u"expected AMOUNT:FROM or AMOUNT:FROM:TO"_s);
            }
            loan.events.emplace_back(
                planner::RecurringExtra{amount(argument, parts[0]), month(argument, parts[1]),
                                        parts.size() == 3 ? month(argument, parts[2]) : 0});
            arguments.push_back(argument);
        }
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
    loan.policy = args.choice(u"--policy"_s, {u"shorter"_s, u"lower"_s}) == u"lower"
                      ? planner::Policy::LowerInstalment
                      : planner::Policy::ShorterTerm;
    return arguments;
}

}  // namespace

std::vector<Option> loanOptions() {
    return {{principalName, u"-p"_s, u"AMOUNT"_s, u"The amount borrowed, at most two decimals."_s},
            {monthsName, u"-n"_s, u"MONTHS"_s, u"The term in months."_s},
            {rateName, u"-r"_s, u"PERCENT"_s, u"The annual interest rate in percent."_s},
            {startName, u"-s"_s, u"YYYY-MM-DD"_s,
             u"The start date; the first instalment falls a month later."_s}};
}

const QStringList& wholeLoan() {
    static const QStringList names{principalName, monthsName, rateName, startName};
    return names;
}

std::vector<Option> eventOptions() {
    return {{u"--extra"_s, {}, u"MONTH:AMOUNT"_s, u"A one-off extra payment."_s, true},
            {u"--extra-monthly"_s,
             {},
             u"AMOUNT:FROM[:TO]"_s,
             u"An extra payment every month from FROM (to TO)."_s,
             true},
            {u"--rate-change"_s, {}, u"MONTH:RATE"_s, u"A new annual rate from MONTH on."_s, true},
            {u"--policy"_s,
             {},
             u"shorter|lower"_s,
             u"After an extra payment: end sooner or pay less."_s}};
}

std::vector<Option> termOptions() {
    return {
        {u"--frequency"_s,
         {},
         namesOf(calendar::allFrequencies).join(u'|'),
         u"How often payments fall; monthly by default."_s},
        {u"--first-due"_s,
         {},
         u"YYYY-MM-DD"_s,
         u"The first payment's date; one period after the start by default."_s},
        {u"--interest-basis"_s,
         {},
         namesOf(planner::allInterestBases).join(u'|'),
         u"How a period's interest is reckoned."_s},
        {u"--compounding"_s,
         {},
         namesOf(planner::allCompoundings).join(u'|'),
         u"How often the annual rate compounds."_s},
        {u"--shape"_s,
         {},
         namesOf(planner::allShapes).join(u'|'),
         u"Equal instalments, or equal principal parts plus the interest."_s},
        {u"--interest-only"_s, {}, u"K"_s, u"The first K periods pay the interest only."_s},
        {u"--grace"_s, {}, u"K"_s, u"The first K periods pay nothing; their interest is added."_s},
        {u"--balloon"_s, {}, u"AMOUNT"_s, u"Left for the last payment."_s},
        {u"--holiday"_s, {}, u"K"_s, u"Period K pays nothing; its interest is added."_s, true},
        {u"--extra-recurring"_s,
         {},
         u"AMOUNT:FROM[:TO]"_s,
         u"An extra payment every period from FROM (to TO)."_s,
         true}};
}

Option instalmentRoundingOption() {
    return {u"--instalment-rounding"_s,
            {},
            namesOf(planner::allInstalmentRoundings).join(u'|'),
            u"How the instalment is rounded."_s};
}

Option interestRoundingOption() {
    return {u"--interest-rounding"_s,
            {},
            namesOf(planner::allInterestRoundings).join(u'|'),
            u"How each month's interest is rounded."_s};
}

Option formatOption(const QStringList& choices) {
    return {u"--format"_s, u"-f"_s, choices.join(u'|'), u"The output format."_s};
}

std::vector<Option> feeOptions() {
    return {{u"--fees"_s, {}, u"AMOUNT"_s, u"Fees paid up front, out of the amount lent."_s},
            {u"--fee-per-payment"_s, {}, u"AMOUNT"_s, u"A fee added to every payment."_s}};
}

planner::Fees readFees(const CommandLine& args) {
    return {args.cents(u"--fees"_s, 0, planner::maxPrincipal).value_or(0),
            args.cents(u"--fee-per-payment"_s, 0, planner::maxPrincipal).value_or(0)};
}

namespace {

QString percentOrNull(const std::optional<double>& percent, int decimals) {
    return percent ? QString::number(*percent, 'f', decimals) : u"null"_s;
}

}  // namespace

std::vector<std::pair<QString, QString>> costMembers(const planner::TrueCost& cost,
                                                     const planner::Fees& fees) {
    std::vector<std::pair<QString, QString>> members{
        {u"total_interest"_s, plainCentsText(cost.totalInterest)},
        {u"total_paid"_s, plainCentsText(cost.totalPaid)},
        {u"effective_annual_rate"_s, QString::number(cost.effectiveAnnualPercent, 'f', 2)},
        {u"fees"_s, plainCentsText(fees.upFront)},
        {u"fee_per_payment"_s, plainCentsText(fees.perPayment)},
        {u"apr_us"_s, percentOrNull(cost.aprUsPercent, 4)},
        {u"aprc_eu"_s, percentOrNull(cost.aprcEuPercent, 4)}};
    if (cost.principalLeft != 0) {
        members.emplace_back(u"principal_left"_s, plainCentsText(cost.principalLeft));
    }
    return members;
}

QString costText(const planner::TrueCost& cost, const planner::Fees& fees, bool schedule) {
    const QString totals = schedule ? u"Schedule total"_s : u"Total"_s;
    QString text = u"%1 interest: %2\n%1 paid: %3\nEffective annual rate: %4 %\n"_s.arg(
        totals, plainCentsText(cost.totalInterest), plainCentsText(cost.totalPaid),
        QString::number(cost.effectiveAnnualPercent, 'f', 2));
    if (fees != planner::Fees{}) {
        text += u"Fees: %1 up front, %2 per payment\n"_s.arg(plainCentsText(fees.upFront),
                                                             plainCentsText(fees.perPayment));
    }
    text += u"APR (US): %1\nAPRC (EU/UK): %2\n"_s.arg(
        planner::aprUsText(cost.aprUsPercent, QLocale::c()),
        planner::aprcEuText(cost.aprcEuPercent, QLocale::c()));
    const QString note =
        planner::roundingNote(cost.principalLeft, plainCentsText(std::abs(cost.principalLeft)));
    if (!note.isEmpty()) {
        text += note + u'\n';
    }
    return text;
}

std::vector<std::vector<Option>> planLoanTables() {
    return {loanOptions(),
            eventOptions(),
            termOptions(),
            {instalmentRoundingOption(), interestRoundingOption()}};
}

planner::PlanInput readLoan(const CommandLine& args, const QStringList& required) {
    for (const QString& name : required) {
        (void)args.value(name);  // required
    }
    // Absent values stay inside the limits so that only the given ones are checked.
    planner::PlanInput loan;
    loan.principal = args.cents(principalName).value_or(1);
    loan.months = args.integer(monthsName).value_or(1);
    loan.annualPercent = args.decimal(rateName).value_or(0);
    loan.startDate = args.date(startName).value_or(QDate(2000, 1, 1));
    std::vector<QString> eventArguments;
    if (args.defines(u"--extra"_s)) {
        eventArguments = readEvents(args, loan);
    }
    if (args.defines(u"--holiday"_s)) {
        readTerms(args, loan, eventArguments);
    }
    if (args.defines(u"--instalment-rounding"_s)) {
        loan.instalmentRounding =
            chosen(args, u"--instalment-rounding"_s, planner::allInstalmentRoundings);
    }
    if (args.defines(u"--interest-rounding"_s)) {
        loan.interestRounding =
            chosen(args, u"--interest-rounding"_s, planner::allInterestRoundings);
    }
    if (const auto problems = planner::inputProblems(loan); !problems.empty()) {
        const planner::InputProblem& problem = problems.front();
        throw UsageError((problem.event < 0
                              ? optionOf(problem.field)
                              : eventArguments[static_cast<std::size_t>(problem.event)]) +
                         u": "_s + problem.message);
    }
    return loan;
}

}  // namespace cli
