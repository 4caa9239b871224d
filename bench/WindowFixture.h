#pragma once

// The working window with the largest loan typed in, and page-fault counting, for the
// benchmarks that start from the window.
#include "core/MessageBoxes.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ScheduleGridModel.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <memory>

#include <sys/resource.h>

struct CountingBoxes final : MessageBoxes {
    int shown = 0;
    void show(const Message&) override { ++shown; }
};

struct LargestLoanWindow {
    // A user's locale: the C locale's short date names the month, which no one reads in a grid.
    QLocale locale = QLocale();
    QTemporaryDir dir;
    std::unique_ptr<Form1> window;
    CountingBoxes* boxes = nullptr;

    LargestLoanWindow() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window = std::make_unique<Form1>(
            std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("Kestrelor.ini"))));
        auto recording = std::make_unique<CountingBoxes>();
        boxes = recording.get();
        window->setMessageBoxes(std::move(recording));
        window->setRandomDraw([] { return 1; });
        window->setUrlOpener([](const QUrl&) {});
        window->Form_Load();
        window->Text1->setText(QStringLiteral("100000"));
        window->Text2->setText(QStringLiteral("32767"));
        window->Text3->setText(QStringLiteral("11"));
        window->show();
        QApplication::processEvents();
    }
    ~LargestLoanWindow() { QLocale::setDefault(locale); }
};

// Minor page faults (pages touched for the first time) per iteration, as a counter.
class PageFaults {
public:
    PageFaults() : m_start(now()) {}
    void report(benchmark::State& state) const {
        state.counters["minflt"] = benchmark::Counter(static_cast<double>(now() - m_start),
                                                      benchmark::Counter::kAvgIterations);
    }

private:
    static long now() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_minflt;
    }
    long m_start;
};
