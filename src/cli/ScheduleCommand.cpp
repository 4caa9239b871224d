// The main window's schedule without the window: the same model, the same texts.
#include "cli/Commands.h"

#include "cli/ArgReader.h"
#include "cli/Args.h"
#include "cli/JsonText.h"
#include "cli/Options.h"
#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "output/Clipboard.h"
#include "output/Csv.h"
#include "output/Report.h"
#include "output/ScheduleTable.h"

#include <QIODevice>

#include <cmath>

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

// The grid the window fills from a schedule, in the environment's locale.
GridData scheduleGrid(const ScheduleCollectionPtr& schedule) {
    return GridData(scheduleHeaders(), std::make_shared<ScheduleTable>(schedule));
}

// Whole cents, or the model's Overflow failure for an amount no 64-bit count of cents holds.
std::int64_t cents(double rounded) {
    const double scaled = std::nearbyint(rounded * 100.0);
    if (!(std::fabs(scaled) < 9.2e18)) {
        throw Failure::platform(PlatformFailure::Overflow);
    }
    return static_cast<std::int64_t>(scaled);
}

QByteArray scheduleCsv(const ScheduleCollection& schedule) {
    QByteArray out;
    csv::appendRecord(out, scheduleHeaders());
    const int count = schedule.Count();
    for (int i = 1; i <= count; ++i) {
        const clsSchedule& row = schedule.Item(i);
        const bool totals = i == count;
        csv::appendRecord(
            out,
            {totals ? u"Total"_s : QString::number(i),
             totals ? QString() : csv::isoDate(AutomationDate::toDate(row.InstallmentDate())),
             csv::amount(cents(row.OpeningBalance())), csv::amount(cents(row.PrincipleAmount())),
             csv::amount(cents(row.InterestAmount())), csv::amount(cents(row.ClosingBalance()))});
    }
    return out;
}

QByteArray scheduleJson(const clsLoanCalculator& calculator) {
    const auto schedule = calculator.getScheduleData();
    const auto details = calculator.getLoanDetails();
    QByteArray out;
    out += '{';
    json::amount(out, "emi", cents(calculator.getEMIAmount()));
    out += ',';
    json::date(out, "endDate", AutomationDate::toDate(details->EndDate()));
    out += ",\"rows\":[";
    const int count = schedule->Count();
    for (int i = 1; i < count; ++i) {
        const clsSchedule& row = schedule->Item(i);
        out += i > 1 ? ",\n{" : "\n{";
        json::integer(out, "number", i);
        out += ',';
        json::date(out, "date", AutomationDate::toDate(row.InstallmentDate()));
        out += ',';
        json::amount(out, "opening", cents(row.OpeningBalance()));
        out += ',';
        json::amount(out, "principal", cents(row.PrincipleAmount()));
        out += ',';
        json::amount(out, "interest", cents(row.InterestAmount()));
        out += ',';
        json::amount(out, "closing", cents(row.ClosingBalance()));
        out += '}';
    }
    const clsSchedule& totals = schedule->Item(count);
    out += "],\n\"totals\":{";
    json::amount(out, "principal", cents(totals.PrincipleAmount()));
    out += ',';
    json::amount(out, "interest", cents(totals.InterestAmount()));
    out += ',';
    json::amount(out, "paid", cents(totals.ClosingBalance()));
    out += "}}\n";
    return out;
}

}  // namespace

int runSchedule(const QStringList& args, Io io) {
    try {
        auto spellings = spellingsOf(
            {u"--principal"_s, u"--months"_s, u"--rate"_s, u"--start"_s, u"--format"_s});
        spellings.emplace(u"-f"_s, u"--format"_s);
        const ArgReader reader(args, spellings);
        if (reader.helpWanted()) {
            io.out.write(help.toUtf8());
            return 0;
        }
        const auto principal = parseDecimal(reader.value(u"--principal"_s));
        if (!principal || *principal <= 0) {
            throw UsageError(u"--principal must be a positive number such as 100000 or 2500.50"_s);
        }
        const auto months = parseInteger(reader.value(u"--months"_s));
        if (!months || *months < 1 || *months > 32767) {
            throw UsageError(u"--months must be a whole number from 1 to 32767"_s);
        }
        const auto rate = parseDecimal(reader.value(u"--rate"_s));
        if (!rate || *rate < 0 || *rate > 1000) {
            throw UsageError(u"--rate must be a number from 0 to 1000 (percent a year)"_s);
        }
        const auto start = parseIsoDate(reader.value(u"--start"_s));
        if (!start || start->year() < 100 || start->year() > 9999) {
            throw UsageError(u"--start must be a date YYYY-MM-DD in the years 100 to 9999"_s);
        }
        const QString format = reader.valueOr(u"--format"_s, u"copy"_s);
        if (format != u"copy" && format != u"report" && format != u"csv" && format != u"json") {
            throw UsageError(u"--format must be copy, report, csv or json"_s);
        }

        clsLoanCalculator calculator;
        const auto details = calculator.getLoanDetails();
        details->setPrincipleAmount(*principal);
        details->setTenure(static_cast<std::int16_t>(*months));
        details->setInterestRate(*rate);
        details->setStartDate(AutomationDate::fromDate(*start));
        try {
            calculator.CalculateEMI();
        } catch (const Failure& failure) {
            io.err.write(("ravenmoor-cli: " + failure.description() + u'\n').toUtf8());
            return 1;
        }
        const auto schedule = calculator.getScheduleData();
        QByteArray text;
        try {
            // The window's texts show any double; the CSV and JSON cents must fit.
            cents(schedule->Item(schedule->Count()).ClosingBalance());
            if (format == u"copy") {
                text = buildCopyText(scheduleGrid(schedule)).toUtf8();
            } else if (format == u"report") {
                text = buildReportBytes(scheduleGrid(schedule));
            } else if (format == u"csv") {
                text = scheduleCsv(*schedule);
            } else {
                text = scheduleJson(calculator);
            }
        } catch (const Failure& failure) {
            io.err.write(("ravenmoor-cli: " + failure.description() + u'\n').toUtf8());
            return 1;
        }
        io.out.write(text);
        return 0;
    } catch (const UsageError& error) {
        io.err.write(
            ("ravenmoor-cli schedule: " + QString::fromUtf8(error.what()) + u'\n').toUtf8());
        return 2;
    }
}

}  // namespace cli
