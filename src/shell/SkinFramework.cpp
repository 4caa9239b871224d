#include "shell/SkinFramework.h"

#include "core/Failure.h"

#include <QFile>
#include <QWidget>

void SkinFramework::LoadSkin(const QString& path, const QString& section) {
    Q_UNUSED(section);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure::platform(file.error() == QFileDevice::PermissionsError
                                    ? PlatformFailure::PermissionDenied
                                    : PlatformFailure::FileNotFound);
    }
    m_styleSheet = QString::fromUtf8(file.readAll());
}

void SkinFramework::ApplyWindow(QWidget& window) {
    window.setStyleSheet(m_styleSheet);
}
