#include "mainwindow/HandCursor.h"

#include "core/Failure.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

constexpr std::int32_t invalidPictureNumber = 481;

[[noreturn]] void invalidPicture(const QString& path) {
    throw Failure(invalidPictureNumber, path, u"Invalid picture"_s);
}

}  // namespace

QCursor loadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure::platform(PlatformFailure::FileNotFound, path);
    }
    // ICONDIR (reserved 0, type 2 for cursors, count) and the first ICONDIRENTRY, whose planes
    // and bit-count fields hold the hotspot in a cursor file.
    const QByteArray head = file.read(6 + 16);
    if (head.size() < 22) {
        invalidPicture(path);
    }
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    const quint16 reserved = qFromLittleEndian<quint16>(bytes);
    const quint16 type = qFromLittleEndian<quint16>(bytes + 2);
    const quint16 count = qFromLittleEndian<quint16>(bytes + 4);
    if (reserved != 0 || type != 2 || count == 0) {
        invalidPicture(path);
    }
    const int hotX = qFromLittleEndian<quint16>(bytes + 6 + 4);
    const int hotY = qFromLittleEndian<quint16>(bytes + 6 + 6);
    file.close();

    QImageReader reader(path, "cur");
    const QImage image = reader.read();
    if (image.isNull()) {
        invalidPicture(path);
    }
    return QCursor(QPixmap::fromImage(image), qBound(0, hotX, image.width() - 1),
                   qBound(0, hotY, image.height() - 1));
}
