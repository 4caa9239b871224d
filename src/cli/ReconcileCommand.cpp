#include "cli/Commands.h"

#include "cli/Options.h"
#include "solver/Reconcile.h"
#include "solver/Solver.h"
#include "solver/StatementFile.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const auto reconcileUsage =
    u"Usage: ravenmoor-cli reconcile -p P -n N -r R -s YYYY-MM-DD --statement FILE\n"
    u"       [--columns ROLE,ROLE,...] [--decimal .|,]\n"
    u"       [--frequency NAME] [--first-due YYYY-MM-DD] [the other terms, as for plan]\n"
    u"       [--extra MONTH:AMOUNT]... [--extra-monthly AMOUNT:FROM[:TO]]...\n"
    u"       [--rate-change MONTH:RATE]... [--policy shorter|lower]\n"
    u"\n"
    u"Reads a lender's statement (CSV or pasted text) and tells which arithmetic it follows:\n"
    u"the main schedule's or one of the interest bases with one of the instalment and interest\n"
    u"roundings. The frequency and the first due date are read from the statement's dates\n"
    u"unless given. Roles, one per column in order: number, date, opening, payment, principal,\n"
    u"interest, extra, closing, -.\n"
    u"Exit status 0 when an arithmetic matches every row, 3 when none does, 2 when no row of\n"
    u"the statement can be read.\n"_s;

}  // namespace

int runReconcile(const QStringList& args, Io io) {
    CommandLine options(
        reconcileUsage,
        {loanOptions(),
         termOptions(),
         eventOptions(),
         {{u"--statement"_s, {}, u"FILE"_s, u"The lender's statement, CSV or pasted text."_s},
          {u"--columns"_s, {}, u"ROLE,ROLE,..."_s, u"The role of each column, in order."_s},
          {u"--decimal"_s, {}, u".|,"_s, u"The statement's decimal sign."_s}}});
    if (options.parseShowsHelp(args, io.out)) {
        return 0;
    }
    const planner::PlanInput loan = readLoan(options, wholeLoan());
    const QString path = options.value(u"--statement"_s);
    std::optional<std::vector<solver::Role>> columns;
    if (options.has(u"--columns"_s)) {
        columns.emplace();
        for (const QString& name : options.value(u"--columns"_s).split(u',')) {
            const auto role = solver::roleFromName(name.trimmed());
            if (!role) {
                throw UsageError(
                    u"--columns: '%1' is not one of number, date, opening, "
                    u"payment, principal, interest, extra, closing, -"_s.arg(name));
            }
            columns->push_back(*role);
        }
    }
    std::optional<QChar> decimal;
    if (options.has(u"--decimal"_s)) {
        decimal = options.choice(u"--decimal"_s, {u"."_s, u","_s}).front();
    }
    const solver::StatementText read = solver::readStatementFile(path);
    if (!read.error.isEmpty()) {
        throw UsageError(u"--statement: "_s + read.error);
    }
    const solver::ParsedStatement parsed = solver::parseStatement(read.text, columns, decimal);
    if (!parsed.refused.isEmpty()) {
        throw UsageError(u"--statement: '%1': %2"_s.arg(path, parsed.refused));
    }
    if (parsed.statement.rows.empty()) {
        throw UsageError(u"--statement: "_s + solver::noRowsText(parsed));
    }
    if (read.encoding != u"UTF-8"_s) {
        io.out.write(u"Read as %1.\n"_s.arg(read.encoding).toUtf8());
    }
    solver::GivenTerms given;
    if (options.has(u"--frequency"_s)) {
        given.frequency = loan.frequency;
    }
    if (options.has(u"--first-due"_s)) {
        given.firstDue = loan.firstDue;
    }
    const solver::Reconciliation reconciliation = solver::reconcile(loan, parsed.statement, given);
    if (reconciliation.best < 0) {
        io.err.write(u"ravenmoor-cli reconcile: %1\n"_s.arg(reconciliation.sentence).toUtf8());
        return 1;
    }
    io.out.write(solver::reportText(parsed, reconciliation).toUtf8());
    return reconciliation.matchesEveryRow ? 0 : 3;
}

}  // namespace cli
