#include "shell/SettingsStore.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace {

const QString organisation = QStringLiteral("Kestrelor");
const QString group = QStringLiteral("Ravenmoor");

// Why the file cannot be written, as the system puts it.
QString writeFailureReason(const QString& path) {
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        return probe.errorString();
    }
    probe.cancelWriting();
    return QStringLiteral("the file could not be saved (is the disk full?)");
}

// Whether the last write reached the file. The store's own status keeps the first problem of
// the run (a comment line it could not parse, say) for good, so a fresh reader judges: it finds
// nothing pending and a file it reads cleanly only when the write went through.
bool writeReachedFile(const QString& path) {
    QSettings reader(path, QSettings::IniFormat);
    reader.sync();
    return reader.status() == QSettings::NoError;
}

}  // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             organisation, QString())) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::filePath() const {
    return m_settings->fileName();
}

std::optional<QString> SettingsStore::stored(const QString& key) const {
    const QVariant value = m_settings->value(group + u'/' + key);
    // A hand-edited or damaged file may hold lists or other types: those count as missing.
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

QString SettingsStore::read(const QString& key, int defaultValue) const {
    return stored(key).value_or(numberToText(defaultValue));
}

QString SettingsStore::read(const QString& key, double defaultValue) const {
    return stored(key).value_or(numberToText(defaultValue));
}

QString SettingsStore::read(const QString& key, const QDate& defaultValue) const {
    if (auto text = stored(key)) {
        return *text;
    }
    return dateToText(AutomationDate::fromDate(defaultValue));
}

bool SettingsStore::holds(const QString& key, const QString& text) const {
    const std::optional<QString> value = stored(key);
    return value && *value == text;
}

void SettingsStore::write(const QString& key, const QString& text) {
    m_settings->setValue(group + u'/' + key, text);
    m_settings->sync();
    if (writeReachedFile(filePath())) {
        m_failureReported = false;
        return;
    }
    if (m_failureReported) {
        return;
    }
    m_failureReported = true;
    if (m_notifier) {
        m_notifier(QStringLiteral("Your inputs cannot be remembered: %1 cannot be written (%2).")
                       .arg(filePath(), writeFailureReason(filePath())));
    }
}

void SettingsStore::setWriteFailureNotifier(std::function<void(const QString& message)> notifier) {
    m_notifier = std::move(notifier);
}

std::optional<QString> SettingsStore::readInGroup(const QString& otherGroup,
                                                  const QString& key) const {
    const QVariant value = m_settings->value(otherGroup + u'/' + key);
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

void SettingsStore::writeInGroup(const QString& otherGroup, const QString& key,
                                 const QString& text) {
    m_settings->setValue(otherGroup + u'/' + key, text);
    m_settings->sync();
}
