#include "output/CheckedSave.h"

#include "core/Failure.h"

#include <QSaveFile>

namespace {

// Passes writes on and remembers whether any of them arrived only in part: painters such as
// the PDF and SVG writers do not report a failed write themselves.
class CountingDevice final : public QIODevice {
public:
    explicit CountingDevice(QIODevice& target) : m_target(target) { open(WriteOnly | Unbuffered); }
    bool shortWrite() const { return m_shortWrite; }
    qint64 written() const { return m_written; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (m_shortWrite) {
            return -1;
        }
        const qint64 taken = m_target.write(data, size);
        if (taken != size) {
            m_shortWrite = true;
            return -1;
        }
        m_written += size;
        return size;
    }

private:
    QIODevice& m_target;
    bool m_shortWrite = false;
    qint64 m_written = 0;
};

}  // namespace

std::optional<QString> saveChecked(const QString& path, const FileProducer& produce) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    CountingDevice out(file);
    const std::optional<QString> produced = produce(out);
    const bool flushed = file.flush();
    // A failed write explains whatever the producer made of it.
    if (out.shortWrite() || !flushed || file.error() != QFileDevice::NoError ||
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
