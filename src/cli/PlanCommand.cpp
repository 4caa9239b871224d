#include "cli/Commands.h"

#include <QIODevice>

namespace cli {

int runPlan(const QStringList& /*args*/, Io io) {
    io.err.write("ravenmoor-cli: plan is not available yet\n");
    return 2;
}

}  // namespace cli
