// Prepayments and rate changes in whole cents, as CSV or JSON.
#include "cli/Commands.h"

#include "cli/JsonText.h"
#include "cli/Options.h"
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

const QStringList formats{u"csv"_s, u"json"_s};

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
        CommandLine options(
            help, {loanOptions(),
                   eventOptions(),
                   {instalmentRoundingOption(), interestRoundingOption(), formatOption(formats)}});
        options.parse(args);
        if (options.helpWanted()) {
            io.out.write(options.helpText().toUtf8());
            return 0;
        }
        const planner::PlanInput input =
            readLoan(options, {u"--principal"_s, u"--months"_s, u"--rate"_s, u"--start"_s});
        const QString format = options.choice(u"--format"_s, formats);
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
