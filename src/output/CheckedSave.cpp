#include "output/CheckedSave.h"

#include "core/Failure.h"

#include <QSaveFile>

qint64 CheckedDevice::writeData(const char* data, qint64 size) {
    if (!m_failure.isEmpty()) {
        return -1;
    }
    if (m_target.write(data, size) != size) {
        m_failure = describeWriteFailure(m_target.errorString());
        return -1;
    }
    m_written += size;
    return size;
}

std::optional<QString> saveChecked(const QString& path, const FileProducer& produce) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    CheckedDevice out(file);
    const std::optional<QString> produced = produce(out);
    const bool flushed = file.flush();
    // A failed write explains whatever the producer made of it.
    if (!out.failure().isEmpty() || !flushed || file.error() != QFileDevice::NoError ||
        file.size() != out.written()) {
        const QString reason = describeWriteFailure(file.errorString());
        file.cancelWriting();
        return reason;
    }
    if (produced) {
        file.cancelWriting();
        return produced;
    }
    if (!file.commit()) {
        return describeWriteFailure(file.errorString());
    }
    return std::nullopt;
}
