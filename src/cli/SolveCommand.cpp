#include "cli/Commands.h"

#include <QIODevice>

namespace cli {

int runSolve(const QStringList& /*args*/, Io io) {
    io.err.write("ravenmoor-cli: solve is not available yet\n");
    return 2;
}

}  // namespace cli
