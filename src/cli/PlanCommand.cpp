// Prepayments and rate changes in whole cents, as CSV or JSON.
#include "cli/Commands.h"

#include "cli/ArgReader.h"
#include "cli/Args.h"
#include "cli/JsonText.h"
#include "output/Csv.h"
#include "output/PlanTable.h"
#include "output/TableFiles.h"
#include "planner/Planner.h"
#include "planner/TrueCost.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const auto help =
    u"Usage: ravenmoor-cli plan -p PRINCIPAL -n MONTHS -r RATE -s YYYY-MM-DD\n"
    u"         [--extra MONTH:AMOUNT]... [--extra-monthly AMOUNT:FROM[:TO]]...\n"
    u"         [--rate-change MONTH:RATE]... [--policy shorter|lower]\n"
    u"         [--instalment-rounding nearest-cent|nearest-unit|up-cent|up-unit]\n"
    u"         [--interest-rounding half-up|half-even|down] [--format csv|json]\n"
    u"\n"
    u"A loan with one-off and monthly extra payments and rate changes, in whole cents.\n"
    u"policy shorter keeps the instalment and ends the loan sooner; lower keeps the last\n"
    u"month and lowers the instalment. Numbers are read in the C locale.\n"_s;

const std::map<QString, QString> spellings{
    {u"-p"_s, u"--principal"_s},
    {u"--principal"_s, u"--principal"_s},
    {u"-n"_s, u"--months"_s},
    {u"--months"_s, u"--months"_s},
    {u"-r"_s, u"--rate"_s},
    {u"--rate"_s, u"--rate"_s},
    {u"-s"_s, u"--start"_s},
    {u"--start"_s, u"--start"_s},
    {u"--extra"_s, u"--extra"_s},
    {u"--extra-monthly"_s, u"--extra-monthly"_s},
    {u"--rate-change"_s, u"--rate-change"_s},
    {u"--policy"_s, u"--policy"_s},
    {u"--instalment-rounding"_s, u"--instalment-rounding"_s},
    {u"--interest-rounding"_s, u"--interest-rounding"_s},
    {u"-f"_s, u"--format"_s},
    {u"--format"_s, u"--format"_s},
};

const std::set<QString> repeatable{u"--extra"_s, u"--extra-monthly"_s, u"--rate-change"_s};

// Where each event came from, so that a problem names its argument.
struct Source {
    QString option;
    QString value;
    QString text() const { return option + u' ' + value; }
};

UsageError badEvent(const Source& source, const QString& what) {
    return UsageError(u"%1: %2"_s.arg(source.text(), what));
}

int month(const Source& source, const QString& text) {
    const auto value = parseInteger(text);
    if (!value) {
        throw badEvent(source, u"'%1' is not a month number"_s.arg(text));
    }
    return *value;
}

planner::Cents amount(const Source& source, const QString& text) {
    const auto value = parseCents(text);
    if (!value) {
        throw badEvent(source, u"'%1' is not an amount with at most two decimals"_s.arg(text));
    }
    return *value;
}

planner::PlanInput readInput(const ArgReader& reader, std::vector<Source>& sources) {
    planner::PlanInput input;
    const auto principal = parseCents(reader.value(u"--principal"_s));
    if (!principal) {
        throw UsageError(u"--principal must be an amount such as 300000 or 2500.50"_s);
    }
    input.principal = *principal;
    const auto months = parseInteger(reader.value(u"--months"_s));
    if (!months) {
        throw UsageError(u"--months must be a whole number of months"_s);
    }
    input.months = *months;
    const auto rate = parseDecimal(reader.value(u"--rate"_s));
    if (!rate) {
        throw UsageError(u"--rate must be a number of percent a year, such as 4.5"_s);
    }
    input.annualPercent = *rate;
    const auto start = parseIsoDate(reader.value(u"--start"_s));
    if (!start) {
        throw UsageError(u"--start must be a date YYYY-MM-DD"_s);
    }
    input.startDate = *start;

    for (const QString& value : reader.values(u"--extra"_s)) {
        const Source source{u"--extra"_s, value};
        const QStringList parts = value.split(u':');
        if (parts.size() != 2) {
            throw badEvent(source, u"expected MONTH:AMOUNT"_s);
        }
        input.events.emplace_back(
            planner::OneOffExtra{month(source, parts[0]), amount(source, parts[1])});
        sources.push_back(source);
    }
    for (const QString& value : reader.values(u"--extra-monthly"_s)) {
        const Source source{u"--extra-monthly"_s, value};
        const QStringList parts = value.split(u':');
        if (parts.size() != 2 && parts.size() != 3) {
            throw badEvent(source, u"expected AMOUNT:FROM or AMOUNT:FROM:TO"_s);
        }
        input.events.emplace_back(
            planner::RecurringExtra{amount(source, parts[0]), month(source, parts[1]),
                                    parts.size() == 3 ? month(source, parts[2]) : 0});
        sources.push_back(source);
    }
    for (const QString& value : reader.values(u"--rate-change"_s)) {
        const Source source{u"--rate-change"_s, value};
        const QStringList parts = value.split(u':');
        const auto newRate = parts.size() == 2 ? parseDecimal(parts[1]) : std::nullopt;
        if (!newRate) {
            throw badEvent(source, u"expected MONTH:RATE, the rate in percent a year"_s);
        }
        input.events.emplace_back(planner::RateChange{month(source, parts[0]), *newRate});
        sources.push_back(source);
    }

    const QString policy = reader.valueOr(u"--policy"_s, u"shorter"_s);
    if (policy != u"shorter" && policy != u"lower") {
        throw UsageError(u"--policy must be shorter or lower"_s);
    }
    input.policy =
        policy == u"lower" ? planner::Policy::LowerInstalment : planner::Policy::ShorterTerm;
    const auto instalment = planner::instalmentRoundingFromName(
        reader.valueOr(u"--instalment-rounding"_s, u"nearest-cent"_s).toStdString());
    if (!instalment) {
        throw UsageError(
            u"--instalment-rounding must be nearest-cent, nearest-unit, up-cent or up-unit"_s);
    }
    input.instalmentRounding = *instalment;
    const auto interest = planner::interestRoundingFromName(
        reader.valueOr(u"--interest-rounding"_s, u"half-up"_s).toStdString());
    if (!interest) {
        throw UsageError(u"--interest-rounding must be half-up, half-even or down"_s);
    }
    input.interestRounding = *interest;
    return input;
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

QByteArray planJson(const planner::PlanInput& input, const planner::Plan& plan,
                    const planner::Comparison& comparison) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(plan.rows.size()) * 150 + 512);
    out += "{\"instalments\":[";
    for (std::size_t i = 0; i < plan.instalments.size(); ++i) {
        out += (i ? "," : "") + csv::amount(plan.instalments[i]).toLatin1();
    }
    out += "],\n\"rows\":[";
    for (const planner::PlanRow& row : plan.rows) {
        out += row.number > 1 ? ",\n{" : "\n{";
        json::integer(out, "number", row.number);
        out += ',';
        json::date(out, "date", row.dueDate);
        out += ',';
        json::amount(out, "opening", row.opening);
        out += ',';
        json::amount(out, "payment", row.payment);
        out += ',';
        json::amount(out, "principal", row.principal);
        out += ',';
        json::amount(out, "interest", row.interest);
        out += ',';
        json::amount(out, "extra", row.extra);
        out += ',';
        json::amount(out, "closing", row.closing);
        out += '}';
    }
    const planner::PlanTotals& t = plan.totals;
    out += "],\n\"totals\":{";
    json::amount(out, "payments", t.payments);
    out += ',';
    json::amount(out, "principal", t.principal);
    out += ',';
    json::amount(out, "interest", t.interest);
    out += ',';
    json::amount(out, "extra", t.extra);
    out += ',';
    json::integer(out, "months", t.months);
    out += ',';
    json::date(out, "endDate", t.endDate);
    out += "},\n\"comparison\":{";
    if (comparison.baselineError.isEmpty()) {
        json::amount(out, "baselineInterest", comparison.baselineInterest);
        out += ',';
        json::integer(out, "baselineMonths", comparison.baselineMonths);
        out += ',';
        json::date(out, "baselineEndDate", comparison.baselineEndDate);
        out += ',';
        json::amount(out, "interestSaved", comparison.interestSaved);
        out += ',';
        json::integer(out, "monthsSaved", comparison.monthsSaved);
        out += ',';
        json::date(out, "endDate", comparison.endDate);
    }
    const planner::TrueCost cost = planner::trueCostOf(input, plan);
    out += "},\n\"cost\":{";
    json::amount(out, "total_interest", cost.totalInterest);
    out += ',';
    json::amount(out, "total_paid", cost.totalPaid);
    out += ',';
    json::key(out, "effective_annual_rate");
    out += QByteArray::number(cost.effectiveAnnualPercent, 'f', 2);
    out += "}}\n";
    return out;
}

}  // namespace

int runPlan(const QStringList& args, Io io) {
    try {
        const ArgReader reader(args, spellings, repeatable);
        if (reader.helpWanted()) {
            io.out.write(help.toUtf8());
            return 0;
        }
        std::vector<Source> sources;
        const planner::PlanInput input = readInput(reader, sources);
        const QString format = reader.valueOr(u"--format"_s, u"csv"_s);
        if (format != u"csv" && format != u"json") {
            throw UsageError(u"--format must be csv or json"_s);
        }
        if (const auto problems = planner::inputProblems(input); !problems.empty()) {
            const planner::InputProblem& problem = problems.front();
            throw UsageError(problem.event < 0
                                 ? optionOf(problem.field) + u": "_s + problem.message
                                 : sources[static_cast<std::size_t>(problem.event)].text() +
                                       u": "_s + problem.message);
        }
        const planner::PlanResult result = planner::computePlan(input);
        if (!result.plan) {
            io.err.write(("ravenmoor-cli: " + result.error + u'\n').toUtf8());
            return 1;
        }
        io.out.write(format == u"csv"
                         ? csvBytes(PlanTableSource(*result.plan))
                         : planJson(input, *result.plan, planner::compare(input, *result.plan)));
        return 0;
    } catch (const UsageError& error) {
        io.err.write(("ravenmoor-cli plan: " + QString::fromUtf8(error.what()) + u'\n').toUtf8());
        return 2;
    }
}

}  // namespace cli
