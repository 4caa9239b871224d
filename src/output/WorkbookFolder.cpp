#include "output/WorkbookFolder.h"

#include "core/Failure.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

void releaseDescriptorsUnder(const QString& folder) {
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    const QStringList fds =
        QDir(u"/proc/self/fd"_s).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : fds) {
        const QByteArray link = QFile::encodeName(u"/proc/self/fd/"_s + name);
        char target[4096];
        const ssize_t length = ::readlink(link.constData(), target, sizeof target);
        if (length > 0 && QByteArrayView(target, length).startsWith(prefix)) {
            // The library's stream may still flush into this number at exit: it keeps pointing
            // at /dev/null rather than at whatever file would reuse the number.
            const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
            if (null >= 0) {
                ::dup2(null, name.toInt());
                ::close(null);
            }
        }
    }
}

QString workbookFailure(int systemError, const QString& libraryText, const QString& folder) {
    const QStorageInfo storage(folder);
    const bool full = systemError == ENOSPC || systemError == EDQUOT ||
                      (storage.isValid() && storage.bytesAvailable() < 64 * 1024);
    const QString reason = full               ? Failure::describe(PlatformFailure::DiskFull)
                           : systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError))
                                              : libraryText;
    return u"%1 in %2"_s.arg(reason, QDir::toNativeSeparators(folder));
}
