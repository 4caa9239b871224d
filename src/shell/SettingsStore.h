#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

// The per-user store of the remembered inputs: an INI file of organisation "Kestrelor"
// ($XDG_CONFIG_HOME/Kestrelor.ini), group [Ravenmoor], one text value per key.
class SettingsStore {
public:
    // The user's file; a path is given only by tests.
    SettingsStore();
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();

    QString filePath() const;

    // The stored text, or the default turned into text by the user's locale when the key is
    // missing or unreadable. Never writes.
    QString read(const QString& key, int defaultValue) const;
    QString read(const QString& key, double defaultValue) const;
    QString read(const QString& key, const QDate& defaultValue) const;

    // True when the key holds exactly this text, so that writing it would change nothing.
    bool holds(const QString& key, const QString& text) const;

    // Stores the text and syncs it to disk before returning. Each write is judged by its own
    // result: a failing one is reported through the notifier (file and reason), once until a
    // write succeeds again, never thrown.
    void write(const QString& key, const QString& text);
    void setWriteFailureNotifier(std::function<void(const QString& message)> notifier);

    // Texts that other parts of the program remember, under a group of their own (never the
    // window's four keys). A missing or unreadable value reads as nothing; writes are synced.
    std::optional<QString> readInGroup(const QString& group, const QString& key) const;
    void writeInGroup(const QString& group, const QString& key, const QString& text);

private:
    std::optional<QString> stored(const QString& key) const;

    std::unique_ptr<QSettings> m_settings;
    std::function<void(const QString&)> m_notifier;
    bool m_failureReported = false;
};
