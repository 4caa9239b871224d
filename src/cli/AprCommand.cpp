// The annual percentage rate of dated cash flows, by the US or the EU/UK rule.
#include "cli/Commands.h"

#include "apr/Apr.h"
#include "cli/CommandLine.h"
#include "cli/JsonText.h"
#include "cli/Options.h"
#include "core/Conversions.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const auto help =
    u"Usage: ravenmoor-cli apr --method us|eu --advance AMOUNT@YYYY-MM-DD [--advance ...]\n"
    u"         --payments PAYMENTS [--payments PAYMENTS ...] [--format text|json]\n"
    u"\n"
    u"The annual percentage rate of money lent (advances) and repaid (payments) on their\n"
    u"dates. PAYMENTS is one payment AMOUNT@YYYY-MM-DD or a series\n"
    u"AMOUNTxCOUNT@YYYY-MM-DD/FREQUENCY from its first date: weekly, fortnightly, four-weekly,\n"
    u"semi-monthly (on the first date's day and the day 15 later), monthly, bimonthly,\n"
    u"quarterly, half-yearly or yearly.\n"
    u"us: the actuarial method of the US Truth in Lending rules, shown to 2 decimals.\n"
    u"eu: the annual percentage rate of charge of the EU and UK consumer credit rules, shown to\n"
    u"1 decimal. Exit status 1 when no rate fits.\n"_s;

const QStringList formats{u"text"_s, u"json"_s};
const QStringList methods{u"us"_s, u"eu"_s};

// AMOUNT@DATE, or AMOUNTxCOUNT@FIRST_DATE/FREQUENCY where series are allowed.
std::vector<apr::Flow> readFlows(const QString& option, const QString& text, bool series) {
    const auto bad = [&](const QString& why) {
        return UsageError(u"%1 %2: %3"_s.arg(option, text, why));
    };
    const qsizetype at = text.indexOf(u'@');
    if (at < 0) {
        throw bad(series ? u"not AMOUNT@YYYY-MM-DD or AMOUNTxCOUNT@YYYY-MM-DD/FREQUENCY"_s
                         : u"not AMOUNT@YYYY-MM-DD"_s);
    }
    const QStringView left = QStringView(text).first(at);
    const QStringView right = QStringView(text).sliced(at + 1);
    const qsizetype times = series ? left.indexOf(u'x') : -1;
    const qsizetype slash = series ? right.indexOf(u'/') : -1;
    if ((times < 0) != (slash < 0)) {
        throw bad(u"a series needs both xCOUNT and /FREQUENCY"_s);
    }
    const QStringView amountText = times < 0 ? left : left.first(times);
    const auto amount = parseCents(amountText);
    if (!amount || *amount < 0 || *amount > planner::maxPrincipal) {
        throw bad(u"'%1' is not an amount from 0 to %2 with at most two decimals"_s.arg(
            amountText, plainCentsText(planner::maxPrincipal)));
    }
    const QDate date = readIsoDate(slash < 0 ? right : right.first(slash), option);
    if (times < 0) {
        return {apr::Flow{date, *amount}};
    }
    const QStringView countText = left.sliced(times + 1);
    const auto count = parseInteger(countText);
    if (!count || *count < 1 || *count > planner::maxMonths) {
        throw bad(u"'%1' is not a count from 1 to %2"_s.arg(countText).arg(planner::maxMonths));
    }
    const QString frequencyText = right.sliced(slash + 1).toString();
    const auto frequency = calendar::frequencyFromName(frequencyText.toStdString());
    if (!frequency) {
        throw bad(u"'%1' is not a frequency"_s.arg(frequencyText));
    }
    auto flows = apr::series(*amount, *count, date, *frequency);
    if (!flows.back().date.isValid() || flows.back().date.year() > 9999) {
        throw bad(u"the series runs past the year 9999"_s);
    }
    return flows;
}

QByteArray flowsJson(const std::vector<apr::Flow>& flows, const char* kind) {
    QByteArray out;
    for (const apr::Flow& flow : flows) {
        out += ",\n    {";
        json::date(out, "date", flow.date);
        out += ',';
        json::amount(out, kind, flow.amount);
        out += '}';
    }
    return out;
}

}  // namespace

int runApr(const QStringList& args, Io io) {
    CommandLine options(
        help,
        {{{u"--method"_s, {}, u"us|eu"_s, u"The rule: US actuarial, or EU/UK rate of charge."_s},
          {u"--advance"_s, {}, u"AMOUNT@YYYY-MM-DD"_s, u"Money lent on a date."_s, true},
          {u"--payments"_s,
           {},
           u"PAYMENTS"_s,
           u"One payment AMOUNT@YYYY-MM-DD or a series AMOUNTxCOUNT@YYYY-MM-DD/FREQUENCY."_s,
           true},
          formatOption(formats)}});
    if (options.parseShowsHelp(args, io.out)) {
        return 0;
    }
    (void)options.value(u"--method"_s);  // required
    const auto method = *apr::methodFromName(options.choice(u"--method"_s, methods).toStdString());
    const QString format = options.choice(u"--format"_s, formats);
    apr::Flows flows;
    for (const QString& text : options.values(u"--advance"_s)) {
        const auto read = readFlows(u"--advance"_s, text, false);
        flows.advances.insert(flows.advances.end(), read.begin(), read.end());
    }
    for (const QString& text : options.values(u"--payments"_s)) {
        const auto read = readFlows(u"--payments"_s, text, true);
        flows.payments.insert(flows.payments.end(), read.begin(), read.end());
    }
    if (flows.advances.empty()) {
        throw UsageError(u"--advance is required"_s);
    }
    if (flows.payments.empty()) {
        throw UsageError(u"--payments is required"_s);
    }
    const apr::Result result = apr::annualPercentageRate(method, flows);
    if (!result.answer) {
        io.err.write(("ravenmoor-cli apr: " + result.error + u'\n').toUtf8());
        return 1;
    }
    const apr::Answer& answer = *result.answer;
    QByteArray out;
    if (format == u"json"_s) {
        out += "{\n  \"method\": \"" + QByteArray(apr::name(method).data()) + "\",\n";
        out += "  \"apr\": " + QByteArray::number(answer.percent, 'f', 6) + ",\n";
        out += "  \"unit_period\": \"" + answer.unitPeriod.toUtf8() + "\",\n";
        out += "  \"unit_periods_per_year\": " +
               QByteArray::number(answer.unitPeriodsPerYear, 'g', 12) + ",\n";
        out += "  \"flows\": [";
        QByteArray list =
            flowsJson(flows.advances, "advance") + flowsJson(flows.payments, "payment");
        out += list.mid(1) + "\n  ]\n}\n";
    } else if (method == apr::Method::Us) {
        out += "APR (US): " + QByteArray::number(answer.percent, 'f', 2) + " %\n";
        out += "Unit period: " + answer.unitPeriod.toUtf8() + '\n';
    } else {
        out += "APRC (EU/UK): " + QByteArray::number(answer.percent, 'f', 1) + " %\n";
        out += "Time counted in a " + answer.unitPeriod.toUtf8() + '\n';
    }
    io.out.write(out);
    return 0;
}

}  // namespace cli
