// The main window's schedule without the window: the same model, the same texts.
#include "cli/Commands.h"

#include "cli/JsonText.h"
#include "cli/Options.h"
#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "output/CopyText.h"
#include "output/Csv.h"
#include "output/Report.h"
#include "output/ScheduleTable.h"
#include "output/ScheduleValues.h"
#include "output/TableSource.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const auto help =
    u"Usage: ravenmoor-cli schedule -p PRINCIPAL -n MONTHS -r RATE -s YYYY-MM-DD\n"
    u"                              [--format copy|report|csv|json]\n"
    u"\n"
    u"The equal-instalment schedule as the window computes it. Numbers are read in the C\n"
    u"locale. copy: the window's Copy text (all rows); report: the text report's bytes, both\n"
    u"in the environment's locale; csv: comma separated, C locale, ISO dates; json.\n"_s;

const QStringList formats{u"copy"_s, u"report"_s, u"csv"_s, u"json"_s};

// The grid the window fills from a schedule, in the environment's locale.
GridData scheduleGrid(const ScheduleCollectionPtr& schedule) {
    return GridData(scheduleHeaders(), std::make_shared<ScheduleTable>(schedule));
}

QByteArray scheduleJson(const clsLoanCalculator& calculator, const ScheduleValues& values) {
    QByteArray out;
    out += '{';
    json::amount(out, "emi", toCents(calculator.getEMIAmount()));
    out += ',';
    json::date(out, "endDate", AutomationDate::toDate(calculator.getLoanDetails()->EndDate()));
    out += ",\"rows\":[";
    for (const ScheduleRowValues& row : values.rows) {
        out += row.number > 1 ? ",\n{" : "\n{";
        json::integer(out, "number", row.number);
        out += ',';
        json::date(out, "date", row.due);
        out += ',';
        json::amount(out, "opening", row.opening);
        out += ',';
        json::amount(out, "principal", row.principal);
        out += ',';
        json::amount(out, "interest", row.interest);
        out += ',';
        json::amount(out, "closing", row.closing);
        out += '}';
    }
    out += "],\n\"totals\":{";
    json::amount(out, "principal", values.totals.principal);
    out += ',';
    json::amount(out, "interest", values.totals.interest);
    out += ',';
    json::amount(out, "paid", values.totals.closing);
    out += "}}\n";
    return out;
}

}  // namespace

int runSchedule(const QStringList& args, Io io) {
    CommandLine options(help, {loanOptions(), {formatOption(formats)}});
    if (options.parseShowsHelp(args, io.out)) {
        return 0;
    }
    const planner::PlanInput loan = readLoan(options, wholeLoan());
    const QString format = options.choice(u"--format"_s, formats);

    clsLoanCalculator calculator;
    const auto details = calculator.getLoanDetails();
    details->setPrincipleAmount(static_cast<double>(loan.principal) / 100.0);
    details->setTenure(static_cast<std::int16_t>(loan.months));
    details->setInterestRate(loan.annualPercent);
    details->setStartDate(AutomationDate::fromDate(loan.startDate));
    try {
        calculator.CalculateEMI();
    } catch (const Failure& failure) {
        io.err.write(("ravenmoor-cli: " + failure.description() + u'\n').toUtf8());
        return 1;
    }
    const auto schedule = calculator.getScheduleData();
    if (format == u"copy") {
        io.out.write(buildCopyText(scheduleGrid(schedule)).toUtf8());
        return 0;
    }
    if (format == u"report") {
        io.out.write(buildReportBytes(scheduleGrid(schedule)));
        return 0;
    }
    // Like the window's file commands, the whole-cent formats refuse what 64 bits cannot hold.
    std::optional<ScheduleValues> values = scheduleValues(*schedule);
    if (!values) {
        io.err.write(("ravenmoor-cli: " + amountsTooLargeText() + u'\n').toUtf8());
        return 1;
    }
    values->loan = loanFacts(*details);
    io.out.write(format == u"csv" ? csvBytes(ScheduleTableSource(*values))
                                  : scheduleJson(calculator, *values));
    return 0;
}

}  // namespace cli
