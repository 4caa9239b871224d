#include "cli/Commands.h"

#include <QIODevice>

namespace cli {

int runSchedule(const QStringList& /*args*/, Io io) {
    io.err.write("ravenmoor-cli: schedule is not available yet\n");
    return 2;
}

}  // namespace cli
