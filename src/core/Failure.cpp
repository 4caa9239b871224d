#include "core/Failure.h"

#include <utility>

Failure::Failure(std::int32_t number, QString source, QString description)
    : m_number(number),
      m_source(std::move(source)),
      m_description(std::move(description)),
      m_what(m_description.toUtf8()) {}

Failure Failure::platform(PlatformFailure kind, QString source) {
    return Failure(static_cast<std::int32_t>(kind), std::move(source), describe(kind));
}

QString Failure::describe(PlatformFailure kind) {
    switch (kind) {
        case PlatformFailure::InvalidCall:
            return QStringLiteral("Invalid procedure call or argument");
        case PlatformFailure::Overflow:
            return QStringLiteral("Overflow");
        case PlatformFailure::OutOfMemory:
            return QStringLiteral("Out of memory");
        case PlatformFailure::SubscriptOutOfRange:
            return QStringLiteral("Subscript out of range");
        case PlatformFailure::DivisionByZero:
            return QStringLiteral("Division by zero");
        case PlatformFailure::TypeMismatch:
            return QStringLiteral("Type mismatch");
        case PlatformFailure::FileNotFound:
            return QStringLiteral("File not found");
        case PlatformFailure::FileAlreadyOpen:
            return QStringLiteral("File already open");
        case PlatformFailure::DeviceIoError:
            return QStringLiteral("Device I/O error");
        case PlatformFailure::DiskFull:
            return QStringLiteral("Disk full");
        case PlatformFailure::PermissionDenied:
            return QStringLiteral("Permission denied");
        case PlatformFailure::PathFileAccessError:
            return QStringLiteral("Path/File access error");
        case PlatformFailure::PathNotFound:
            return QStringLiteral("Path not found");
        case PlatformFailure::ObjectRequired:
            return QStringLiteral("Object required");
        case PlatformFailure::CannotCreateObject:
            return QStringLiteral("Cannot create object");
        case PlatformFailure::IndexOutOfBounds:
            return QStringLiteral("Index out of bounds");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

QString describeWriteFailure(const QString& errorString) {
    if (errorString.isEmpty() || errorString == QStringLiteral("Unknown error") ||
        errorString.contains(QStringLiteral("No space"), Qt::CaseInsensitive) ||
        errorString.contains(QStringLiteral("quota"), Qt::CaseInsensitive)) {
        return Failure::describe(PlatformFailure::DiskFull);
    }
    return errorString;
}
