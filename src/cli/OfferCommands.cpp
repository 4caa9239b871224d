// Several loans side by side, refinancing and payoff quotes.
#include "cli/Commands.h"

#include "cli/JsonText.h"
#include "cli/Options.h"
#include "core/Conversions.h"
#include "offers/Offers.h"
#include "output/Csv.h"

#include <QIODevice>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QStringList formats{u"text"_s, u"json"_s};

// The loan, its fees and the dates and choices of a command that reads the plan's options.
// The plan command's loan options and more; a loan given to compare takes no --format.
CommandLine planCommandLine(const QString& usage, std::vector<Option> more) {
    auto tables = planLoanTables();
    tables.push_back(std::move(more));
    return CommandLine(usage, tables);
}

// A loan and a date, as refinance and payoff read them. False when the help was asked for (and
// written).
struct DatedLoan {
    QString format;
    planner::PlanInput loan;
    QDate on;
};

bool readDatedLoan(CommandLine& options, const QStringList& args, Io io, DatedLoan& read) {
    if (options.parseShowsHelp(args, io.out)) {
        return false;
    }
    read.format = options.choice(u"--format"_s, formats);
    read.loan = readLoan(options, wholeLoan());
    read.on = required(options.date(u"--on"_s), u"--on"_s);
    return true;
}

planner::Plan planOf(const planner::PlanInput& loan) {
    planner::PlanResult result = planner::computePlan(loan);
    if (!result.plan) {
        throw std::runtime_error(result.error.toStdString());
    }
    return std::move(*result.plan);
}

const auto compareHelp =
    u"Usage: ravenmoor-cli compare --loan \"PLAN OPTIONS\" --loan \"PLAN OPTIONS\"...\n"
    u"         [--format text|json]\n"
    u"\n"
    u"Two or more loans side by side, each --loan holding the plan command's options as one\n"
    u"argument (\"-p 200000 -n 300 -r 6.5 -s 2026-01-31 --fees 1500\"). The cheapest is the\n"
    u"one with the lowest total paid, fees included; in JSON, its index in loans, from 0.\n"_s;

const auto refinanceHelp =
    u"Usage: ravenmoor-cli refinance PLAN OPTIONS --on YYYY-MM-DD --new-rate RATE\n"
    u"         --new-months MONTHS [--new-fees AMOUNT] [--format text|json]\n"
    u"\n"
    u"A new loan for what the current one (the plan command's options) costs to repay on a\n"
    u"date: the monthly saving, the month from which the new loan's payments and fees stay\n"
    u"below the current loan's, and the total saved (negative: lost) to the end.\n"_s;

const auto payoffHelp =
    u"Usage: ravenmoor-cli payoff PLAN OPTIONS --on YYYY-MM-DD [--format text|json]\n"
    u"\n"
    u"What repaying the loan on a date costs: the balance after the last payment due by then\n"
    u"and the interest accrued on it since that payment (the start date if none).\n"_s;

Option onOption(const QString& what) {
    return {u"--on"_s, {}, u"YYYY-MM-DD"_s, what};
}

}  // namespace

int runCompare(const QStringList& args, Io io) {
    CommandLine options(
        compareHelp,
        {{{u"--loan"_s, {}, u"OPTIONS"_s, u"A loan, as the plan command's options."_s, true},
          formatOption(formats)}});
    if (options.parseShowsHelp(args, io.out)) {
        return 0;
    }
    const QString format = options.choice(u"--format"_s, formats);
    const QStringList loans = options.values(u"--loan"_s);
    if (loans.size() < 2) {
        throw UsageError(u"--loan must be given at least twice"_s);
    }
    std::vector<offers::Offer> offers;
    for (const QString& text : loans) {
        CommandLine loan = planCommandLine({}, feeOptions());
        try {
            loan.parse(QProcess::splitCommand(text));
            offers.push_back({readLoan(loan, wholeLoan()), readFees(loan)});
        } catch (const UsageError& error) {
            throw UsageError(u"--loan \"%1\": %2"_s.arg(text, QString::fromUtf8(error.what())));
        }
    }
    const offers::OfferComparison comparison = offers::compareOffers(offers);
    for (std::size_t i = 0; i < comparison.offers.size(); ++i) {
        if (!comparison.offers[i].error.isEmpty()) {
            throw std::runtime_error(
                u"loan %1: %2"_s.arg(i + 1).arg(comparison.offers[i].error).toStdString());
        }
    }
    QByteArray out;
    if (format == u"json"_s) {
        out += "{\"loans\":[";
        for (const offers::OfferResult& offer : comparison.offers) {
            out += &offer == &comparison.offers.front() ? "\n{" : ",\n{";
            json::amount(out, "instalment", offer.instalment);
            out += ',';
            json::integer(out, "payments", offer.payments);
            out += ',';
            json::date(out, "end_date", offer.endDate);
            out += ',';
            json::amount(out, "total_interest", offer.totalInterest);
            out += ',';
            json::amount(out, "total_paid", offer.totalPaid);
            out += ',';
            json::amount(out, "fees", offer.fees);
            for (const auto& [key, percent] : {std::pair{"apr_us", offer.aprUsPercent},
                                               std::pair{"aprc_eu", offer.aprcEuPercent}}) {
                out += ',';
                json::key(out, key);
                out += percent ? QByteArray::number(*percent, 'f', 4) : "null";
            }
            out += '}';
        }
        out += "],\n";
        json::integer(out, "cheapest", comparison.cheapest);
        out += "}\n";
    } else {
        for (std::size_t i = 0; i < comparison.offers.size(); ++i) {
            const offers::OfferResult& offer = comparison.offers[i];
            out +=
                u"Loan %1: instalment %2, %3 payments to %4, interest %5, fees %6, "
                u"total paid %7%8\n"_s.arg(i + 1)
                    .arg(plainCentsText(offer.instalment))
                    .arg(offer.payments)
                    .arg(csv::isoDate(offer.endDate), plainCentsText(offer.totalInterest),
                         plainCentsText(offer.fees), plainCentsText(offer.totalPaid),
                         static_cast<int>(i) == comparison.cheapest ? u" (cheapest)"_s : QString())
                    .toUtf8();
        }
    }
    io.out.write(out);
    return 0;
}

int runRefinance(const QStringList& args, Io io) {
    CommandLine options = planCommandLine(
        refinanceHelp,
        {onOption(u"The day the new loan repays the current one."_s),
         {u"--new-rate"_s, {}, u"RATE"_s, u"The new loan's percent a year."_s},
         {u"--new-months"_s, {}, u"MONTHS"_s, u"The new loan's term."_s},
         {u"--new-fees"_s, {}, u"AMOUNT"_s, u"The new loan's fees, paid up front."_s},
         formatOption(formats)});
    DatedLoan read;
    if (!readDatedLoan(options, args, io, read)) {
        return 0;
    }
    const auto& [format, loan, on] = read;
    const offers::NewLoan terms{
        required(options.decimal(u"--new-rate"_s, 0, planner::maxAnnualPercent), u"--new-rate"_s),
        required(options.integer(u"--new-months"_s, 1, planner::maxMonths), u"--new-months"_s),
        options.cents(u"--new-fees"_s, 0, planner::maxPrincipal).value_or(0)};
    const offers::Refinancing result = offers::refinance(loan, planOf(loan), on, terms);
    if (!result.error.isEmpty()) {
        throw std::runtime_error(result.error.toStdString());
    }
    QByteArray out;
    if (format == u"json"_s) {
        out += '{';
        json::amount(out, "payoff", result.payoff.payoff);
        out += ',';
        json::amount(out, "old_instalment", result.oldInstalment);
        out += ',';
        json::amount(out, "new_instalment", result.newInstalment);
        out += ',';
        json::amount(out, "monthly_saving", result.monthlySaving);
        out += ',';
        json::key(out, "break_even_month");
        out += result.breakEvenMonth ? QByteArray::number(*result.breakEvenMonth) : "null";
        out += ',';
        json::amount(out, "old_remaining", result.oldRemaining);
        out += ',';
        json::amount(out, "new_total", result.newTotal);
        out += ',';
        json::amount(out, "saving", result.saving);
        out += "}\n";
    } else {
        out +=
            u"New loan of %1: instalment %2 instead of %3, saving %4 a month\n"
            u"Break-even month: %5\n"
            u"Still to pay: %6 now, %7 with the new loan and its fees; saved %8\n"_s
                .arg(plainCentsText(result.payoff.payoff), plainCentsText(result.newInstalment),
                     plainCentsText(result.oldInstalment), plainCentsText(result.monthlySaving),
                     result.breakEvenMonth ? QString::number(*result.breakEvenMonth) : u"never"_s,
                     plainCentsText(result.oldRemaining), plainCentsText(result.newTotal),
                     plainCentsText(result.saving))
                .toUtf8();
    }
    io.out.write(out);
    return 0;
}

int runPayoff(const QStringList& args, Io io) {
    CommandLine options = planCommandLine(
        payoffHelp, {onOption(u"The day the loan is repaid."_s), formatOption(formats)});
    DatedLoan read;
    if (!readDatedLoan(options, args, io, read)) {
        return 0;
    }
    const auto& [format, loan, on] = read;
    const offers::PayoffResult result = offers::payoffOn(loan, planOf(loan), on);
    if (!result.payoff) {
        throw UsageError(u"--on: "_s + result.error);
    }
    const offers::Payoff& payoff = *result.payoff;
    QByteArray out;
    if (format == u"json"_s) {
        out += '{';
        json::amount(out, "payoff", payoff.payoff);
        out += ',';
        json::amount(out, "balance", payoff.balance);
        out += ',';
        json::amount(out, "accrued_interest", payoff.accruedInterest);
        out += ',';
        json::key(out, "last_payment");
        if (payoff.lastPayment > 0) {
            out += '{';
            json::integer(out, "number", payoff.lastPayment);
            out += ',';
            json::date(out, "date", payoff.lastPaymentDate);
            out += '}';
        } else {
            out += "null";
        }
        out += "}\n";
    } else {
        const QString after = payoff.lastPayment > 0
                                  ? u"payment %1 on %2"_s.arg(payoff.lastPayment)
                                        .arg(csv::isoDate(payoff.lastPaymentDate))
                                  : u"the start on %1"_s.arg(csv::isoDate(payoff.lastPaymentDate));
        out += u"Payoff on %1: %2\nBalance after %3: %4\nInterest accrued since: %5\n"_s
                   .arg(csv::isoDate(on), plainCentsText(payoff.payoff), after,
                        plainCentsText(payoff.balance), plainCentsText(payoff.accruedInterest))
                   .toUtf8();
    }
    io.out.write(out);
    return 0;
}

}  // namespace cli
