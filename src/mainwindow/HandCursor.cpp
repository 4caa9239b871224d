#include "mainwindow/HandCursor.h"

#include "core/Failure.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr std::int32_t invalidPictureNumber = 481;

[[noreturn]] void invalidPicture(const QString& path) {
    throw Failure(invalidPictureNumber, path, u"Invalid picture"_s);
}

// Far more than any cursor; a larger file is not one.
constexpr qint64 maxCursorBytes = 4 * 1024 * 1024;

// The file's bytes, read through one descriptor opened without blocking: a FIFO or a device of
// that name is refused before anything waits on it.
QByteArray readRegularFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw Failure::platform(PlatformFailure::FileNotFound, path);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure::platform(PlatformFailure::FileNotFound, path);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxCursorBytes) {
        invalidPicture(path);
    }
    return file.readAll();
}

}  // namespace

QCursor loadCursorFile(const QString& path) {
    QByteArray data = readRegularFile(path);
    // ICONDIR (reserved 0, type 2 for cursors, count) and the first ICONDIRENTRY, whose planes
    // and bit-count fields hold the hotspot in a cursor file.
    if (data.size() < 22) {
        invalidPicture(path);
    }
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const quint16 reserved = qFromLittleEndian<quint16>(bytes);
    const quint16 type = qFromLittleEndian<quint16>(bytes + 2);
    const quint16 count = qFromLittleEndian<quint16>(bytes + 4);
    if (reserved != 0 || type != 2 || count == 0) {
        invalidPicture(path);
    }
    const int hotX = qFromLittleEndian<quint16>(bytes + 6 + 4);
    const int hotY = qFromLittleEndian<quint16>(bytes + 6 + 6);

    QBuffer buffer(&data);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull()) {
        invalidPicture(path);
    }
    return QCursor(QPixmap::fromImage(image), qBound(0, hotX, image.width() - 1),
                   qBound(0, hotY, image.height() - 1));
}
