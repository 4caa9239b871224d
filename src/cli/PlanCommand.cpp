// Prepayments and rate changes in whole cents, as CSV or JSON.
#include "cli/Commands.h"

#include "cli/JsonText.h"
#include "cli/Options.h"
#include "output/Accounting.h"
#include "output/Csv.h"
#include "output/PlanTable.h"
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
    u"         [--interest-rounding half-up|half-even|down]\n"
    u"         [--frequency F] [--first-due YYYY-MM-DD] [--interest-basis B]\n"
    u"         [--compounding C] [--shape annuity|equal-principal] [--interest-only K]\n"
    u"         [--grace K] [--balloon AMOUNT] [--holiday K]...\n"
    u"         [--extra-recurring AMOUNT:FROM[:TO]]... [--fees AMOUNT]\n"
    u"         [--fee-per-payment AMOUNT]\n"
    u"         [--format csv|json|ledger|beancount|qif] [--with-advance]\n"
    u"         [--loan-account NAME] [--interest-account NAME] [--payment-account NAME]\n"
    u"         [--fee-account NAME] [--payee TEXT] [--currency CODE]\n"
    u"\n"
    u"A loan with one-off and recurring extra payments, rate changes and payment holidays,\n"
    u"in whole cents. MONTHS is the number of payments; event months are payment numbers.\n"
    u"policy shorter keeps the instalment and ends the loan sooner; lower keeps the last\n"
    u"month and lowers the instalment. The JSON gives the loan's cost: its totals and the\n"
    u"annual percentage rate by the US rule and by the EU/UK rule, with the fees given.\n"
    u"Numbers are read in the C locale.\n"
    u"ledger, beancount and qif write one transaction per payment for accounting programs,\n"
    u"split between the loan and the interest accounts.\n"_s;

const QStringList formats{u"csv"_s, u"json"_s, u"ledger"_s, u"beancount"_s, u"qif"_s};

std::vector<Option> accountingOptions() {
    const accounting::Options defaults;
    const auto account = [](const QString& name, const QString& what, const QString& fallback) {
        return Option{name, {}, u"NAME"_s, u"The %1 account (%2)."_s.arg(what, fallback)};
    };
    return {
        {u"--with-advance"_s, {}, {}, u"Add the loan's advance on the start date."_s},
        account(u"--loan-account"_s, u"loan"_s, defaults.loanAccount),
        account(u"--interest-account"_s, u"interest"_s, defaults.interestAccount),
        account(u"--payment-account"_s, u"paying"_s, defaults.paymentAccount),
        account(u"--fee-account"_s, u"fee"_s, defaults.feeAccount),
        {u"--payee"_s, {}, u"TEXT"_s, u"The payee (%1)."_s.arg(defaults.payee)},
        {u"--currency"_s, {}, u"CODE"_s, u"The ISO currency code (the locale's)."_s},
    };
}

accounting::Options readAccounting(const CommandLine& args) {
    accounting::Options options;
    options.withAdvance = args.has(u"--with-advance"_s);
    for (auto [name, field] : {std::pair{u"--loan-account"_s, &options.loanAccount},
                               std::pair{u"--interest-account"_s, &options.interestAccount},
                               std::pair{u"--payment-account"_s, &options.paymentAccount},
                               std::pair{u"--fee-account"_s, &options.feeAccount},
                               std::pair{u"--payee"_s, &options.payee}}) {
        *field = args.valueOr(name, *field).simplified();
        if (field->isEmpty()) {
            throw UsageError(name + u" must not be empty"_s);
        }
    }
    options.currency = args.valueOr(u"--currency"_s, {});
    if (args.has(u"--currency"_s) && !accounting::isCurrencyCode(options.currency)) {
        throw UsageError(u"--currency must be three capital letters, such as EUR"_s);
    }
    return options;
}

QByteArray planJson(const planner::PlanInput& input, const planner::Plan& plan,
                    const planner::Comparison& comparison, const planner::Fees& fees) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(plan.rows.size()) * 150 + 512);
    out += "{\"terms\":{";
    const auto text = [&](const char* key, std::string_view value) {
        json::key(out, key);
        out += '"' + QByteArray(value.data(), static_cast<qsizetype>(value.size())) + "\",";
    };
    text("frequency", calendar::name(input.frequency));
    if (input.firstDue.isValid()) {
        json::date(out, "firstDue", input.firstDue);
        out += ',';
    }
    text("interestBasis", planner::name(input.basis));
    text("compounding", planner::name(input.compounding));
    text("shape", planner::name(input.shape));
    text("policy", input.policy == planner::Policy::LowerInstalment ? "lower" : "shorter");
    text("instalmentRounding", planner::name(input.instalmentRounding));
    text("interestRounding", planner::name(input.interestRounding));
    json::integer(out, "interestOnly", input.interestOnly);
    out += ',';
    json::integer(out, "grace", input.grace);
    out += ',';
    json::amount(out, "balloon", input.balloon);
    out += ",\"holidays\":[";
    bool first = true;
    for (const planner::Event& event : input.events) {
        if (const auto* holiday = std::get_if<planner::PaymentHoliday>(&event)) {
            out += (first ? "" : ",") + QByteArray::number(holiday->period);
            first = false;
        }
    }
    out += "]},\n\"instalments\":[";
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
    out += "},\n\"cost\":{";
    const auto members = costMembers(planner::trueCostOf(input, plan, fees), fees);
    for (std::size_t i = 0; i < members.size(); ++i) {
        out += i ? "," : "";
        json::key(out, members[i].first.toLatin1().constData());
        out += members[i].second.toLatin1();
    }
    out += "}}\n";
    return out;
}

}  // namespace

int runPlan(const QStringList& args, Io io) {
    auto tables = planLoanTables();
    tables.push_back({formatOption(formats)});
    tables.push_back(feeOptions());
    tables.push_back(accountingOptions());
    CommandLine options(help, tables);
    if (options.parseShowsHelp(args, io.out)) {
        return 0;
    }
    const planner::PlanInput input = readLoan(options, wholeLoan());
    const QString format = options.choice(u"--format"_s, formats);
    const planner::Fees fees = readFees(options);
    accounting::Options accounts = readAccounting(options);
    accounts.fees = fees.upFront;
    accounts.feePerPayment = fees.perPayment;
    const planner::PlanResult result = planner::computePlan(input);
    if (!result.plan) {
        io.err.write(("ravenmoor-cli: " + result.error + u'\n').toUtf8());
        return 1;
    }
    if (const auto booked = accounting::formatFromName(format)) {
        io.out.write(accounting::exportPlan(*booked, input, *result.plan, accounts));
    } else {
        io.out.write(format == u"csv" ? csvBytes(PlanTableSource(*result.plan))
                                      : planJson(input, *result.plan,
                                                 planner::compare(input, *result.plan), fees));
    }
    return 0;
}

}  // namespace cli
