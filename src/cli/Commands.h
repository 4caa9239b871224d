#pragma once

#include <QStringList>

class QIODevice;

// The subcommands of ravenmoor-cli. Each takes the arguments after its name and writes its
// result to out and its messages to err (UTF-8). Exit status: 0 done, 1 the calculation failed
// (its message on err), 2 bad arguments (a one-line message naming the argument), 3 a
// statement that no arithmetic matches.
namespace cli {

struct Io {
    QIODevice& out;
    QIODevice& err;
};

int runSchedule(const QStringList& args, Io io);
int runPlan(const QStringList& args, Io io);
int runSolve(const QStringList& args, Io io);
int runReconcile(const QStringList& args, Io io);
int runApr(const QStringList& args, Io io);
int runCompare(const QStringList& args, Io io);
int runRefinance(const QStringList& args, Io io);
int runPayoff(const QStringList& args, Io io);

// Dispatches argv (without the program name) to a subcommand; --help and --version too.
int run(const QStringList& args, Io io);

}  // namespace cli
