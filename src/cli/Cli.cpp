#include "cli/Commands.h"

#include "core/Version.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const auto usage =
    u"Usage: ravenmoor-cli COMMAND [OPTIONS]\n"
    u"\n"
    u"Commands:\n"
    u"  schedule   the equal-instalment schedule, as the window computes it\n"
    u"  plan       prepayments and rate changes, in whole cents\n"
    u"  solve      the principal, months or rate that give an instalment\n"
    u"  reconcile  which arithmetic a lender's statement follows\n"
    u"  compare    several loans side by side, the cheapest named\n"
    u"  refinance  whether a new loan for the balance on a date pays, and when\n"
    u"  payoff     what repaying a loan on a date costs\n"
    u"\n"
    u"ravenmoor-cli COMMAND --help describes each command.\n"_s;

}  // namespace

int run(const QStringList& args, Io io) {
    if (args.isEmpty()) {
        io.err.write(usage.toUtf8());
        return 2;
    }
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == u"--help"_s || command == u"-h"_s) {
        io.out.write(usage.toUtf8());
        return 0;
    }
    if (command == u"--version"_s) {
        io.out.write("ravenmoor-cli " + QByteArray(ravenmoor::version) + '\n');
        return 0;
    }
    if (command == u"schedule"_s) {
        return runSchedule(rest, io);
    }
    if (command == u"plan"_s) {
        return runPlan(rest, io);
    }
    if (command == u"solve"_s) {
        return runSolve(rest, io);
    }
    if (command == u"reconcile"_s) {
        return runReconcile(rest, io);
    }
    if (command == u"compare"_s) {
        return runCompare(rest, io);
    }
    if (command == u"refinance"_s) {
        return runRefinance(rest, io);
    }
    if (command == u"payoff"_s) {
        return runPayoff(rest, io);
    }
    io.err.write(("ravenmoor-cli: unknown command '" + command + u"'\n"_s).toUtf8());
    return 2;
}

}  // namespace cli
