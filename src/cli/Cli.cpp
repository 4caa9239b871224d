#include "cli/Commands.h"

#include "cli/CommandLine.h"

#include "core/Version.h"
#include "output/CheckedSave.h"

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
    u"  apr        the annual percentage rate of dated cash flows, US or EU/UK\n"
    u"  compare    several loans side by side, the cheapest named\n"
    u"  refinance  whether a new loan for the balance on a date pays, and when\n"
    u"  payoff     what repaying a loan on a date costs\n"
    u"\n"
    u"ravenmoor-cli COMMAND --help describes each command.\n"_s;

struct Command {
    const char* name;
    int (*run)(const QStringList& args, Io io);
};
constexpr Command commands[] = {
    {"schedule", runSchedule},   {"plan", runPlan},    {"solve", runSolve},
    {"reconcile", runReconcile}, {"apr", runApr},      {"compare", runCompare},
    {"refinance", runRefinance}, {"payoff", runPayoff}};

int dispatch(const QStringList& args, Io io) {
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
    for (const auto& [name, runCommand] : commands) {
        if (command != QLatin1StringView(name)) {
            continue;
        }
        try {
            return runCommand(rest, io);
        } catch (const UsageError& error) {
            io.err.write("ravenmoor-cli " + QByteArray(name) + ": " + error.what() + '\n');
            return 2;
        } catch (const std::runtime_error& error) {
            // A calculation that cannot be done.
            io.err.write("ravenmoor-cli: " + QByteArray(error.what()) + '\n');
            return 1;
        }
    }
    io.err.write(("ravenmoor-cli: unknown command '" + command + u"'\n"_s).toUtf8());
    return 2;
}

}  // namespace

int run(const QStringList& args, Io io) {
    CheckedDevice out(io.out);
    const int status = dispatch(args, {out, io.err});
    if (!out.failure().isEmpty()) {
        io.err.write(u"ravenmoor-cli: cannot write the output: %1\n"_s.arg(out.failure()).toUtf8());
        return 1;
    }
    return status;
}

}  // namespace cli
