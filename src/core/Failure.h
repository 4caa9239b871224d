#pragma once

#include <QString>

#include <cstdint>
#include <exception>

// Failures the runtime itself detects, numbered as the program has always numbered them.
enum class PlatformFailure : std::int32_t {
    InvalidCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    FileNotFound = 53,
    FileAlreadyOpen = 55,
    DeviceIoError = 57,
    DiskFull = 61,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    ObjectRequired = 424,
    CannotCreateObject = 429,
    IndexOutOfBounds = 35600,
};

// The loan model's own failure: the automation user-error base plus 100.
inline constexpr std::int32_t componentFailureNumber = static_cast<std::int32_t>(0x80040064u);
inline constexpr char16_t componentFailureDescription[] = u"clsLoanDetails component failure";

// The one failure type of the program. Thrown where a rule of the program says a failure is
// raised; caught only by the guard that reports it (or by a routine that turns failures into a
// false result).
class Failure : public std::exception {
public:
    Failure(std::int32_t number, QString source, QString description);

    // A failure the runtime detects, with its fixed description.
    static Failure platform(PlatformFailure kind, QString source = {});
    static QString describe(PlatformFailure kind);

    std::int32_t number() const noexcept { return m_number; }
    const QString& source() const noexcept { return m_source; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    std::int32_t m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// Why a write failed, from the device's error text: "Disk full" for a full disk or quota and
// for a short write the system gave no reason for, else the system's reason.
QString describeWriteFailure(const QString& errorString);
