#pragma once

#include "mainwindow/Form1.h"
#include "shell/SettingsStore.h"
#include "support/RecordingBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLocale>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <memory>

// What every window test needs: the settings in a temporary folder, the locale pinned, the boxes
// recorded, no visit to the web site, and one watchdog that rejects a modal window left open
// for seconds (which fails the test in finishWindowTest) instead of hanging the run.
class WindowTest : public QObject {
protected:
    explicit WindowTest(QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates))
        : m_locale(std::move(locale)) {
        m_watchdog.setInterval(100);
        QObject::connect(&m_watchdog, &QTimer::timeout, this, [this] { watch(); });
    }

    // For init(): a fresh folder and store path, the locale pinned, the watchdog running.
    void startWindowTest() {
        QLocale::setDefault(m_locale);
        m_dir = std::make_unique<QTemporaryDir>();
        m_iniPath = m_dir->filePath(QStringLiteral("config/Kestrelor.ini"));
        m_opened.clear();
        m_draw = 100;
        m_modalLeftOpen = false;
        m_modal.clear();
        m_watchdog.start();
    }

    // For cleanup(): true unless a modal window had to be closed.
    bool finishWindowTest() {
        m_window.reset();
        m_watchdog.stop();
        m_dir.reset();
        return !m_modalLeftOpen;
    }

    // A window on the store in the temporary folder, loaded. The optional files (skin, hand
    // cursor) are looked for in programFolder, the temporary folder by default.
    void openWindow(const QString& programFolder = {}) {
        m_window = std::make_unique<Form1>(std::make_unique<SettingsStore>(m_iniPath));
        auto boxes = std::make_unique<RecordingBoxes>();
        m_boxes = boxes.get();
        m_window->setMessageBoxes(std::move(boxes));
        m_window->setRandomDraw([this] { return m_draw; });
        m_window->setUrlOpener([this](const QUrl& url) { m_opened.append(url); });
        m_window->setProgramFolder(programFolder.isEmpty() ? m_dir->path() : programFolder);
        m_window->Form_Load();
    }

    // For a test that waits on something other than a box.
    void stopWatchdog() { m_watchdog.stop(); }
    void restartWatchdog() { m_watchdog.start(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_iniPath;
    std::unique_ptr<Form1> m_window;
    RecordingBoxes* m_boxes = nullptr;
    QList<QUrl> m_opened;
    int m_draw = 100;  // the web-site draw; 7 visits the site

private:
    void watch() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != m_modal) {
            m_modal = modal;
            m_modalSince.start();
            return;
        }
        if (modal == nullptr || !m_modalSince.hasExpired(5000)) {
            return;
        }
        m_modalLeftOpen = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    QLocale m_locale;
    QTimer m_watchdog;
    QPointer<QWidget> m_modal;
    QElapsedTimer m_modalSince;
    bool m_modalLeftOpen = false;
};
