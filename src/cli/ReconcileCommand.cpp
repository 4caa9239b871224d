#include "cli/Commands.h"

#include <QIODevice>

namespace cli {

int runReconcile(const QStringList& /*args*/, Io io) {
    io.err.write("ravenmoor-cli: reconcile is not available yet\n");
    return 2;
}

}  // namespace cli
