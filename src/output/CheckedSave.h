#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

// Passes writes on and remembers the first that arrived only in part; the writes after it fail
// at once. Painters such as the PDF and SVG writers, and code writing to standard output, do
// not report a failed write themselves.
class CheckedDevice final : public QIODevice {
public:
    explicit CheckedDevice(QIODevice& target) : m_target(target) { open(WriteOnly | Unbuffered); }
    // Why the first failed write failed ("Disk full"); empty while none has.
    const QString& failure() const { return m_failure; }
    qint64 written() const { return m_written; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& m_target;
    QString m_failure;
    qint64 m_written = 0;
};

// Writes a file through QSaveFile and replaces the old one only when every byte the producer
// wrote has arrived: a write the device took in part, a device error or a failed commit keep
// the old file and give the reason ("Disk full" for a full disk, see describeWriteFailure).
// The producer returns its own reason when it fails.
using FileProducer = std::function<std::optional<QString>(QIODevice& out)>;
std::optional<QString> saveChecked(const QString& path, const FileProducer& produce);
