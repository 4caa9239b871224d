#pragma once

#include "documents/Chart.h"
#include "windows/TableSaveDialog.h"

#include <QWidget>

#include <optional>

class QLabel;

// Paints the chart and, under the pointer, a cursor line with the month's and year's figures.
class ChartView final : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    void setData(ChartData data);
    const ChartData& data() const { return m_data; }
    // The readout of the month under an x position, empty outside the plot.
    QString readoutAt(double x) const;

Q_SIGNALS:
    void readoutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ChartData m_data;
    ChartPainter m_painter;
    std::optional<int> m_hover;
};

// The chart in its own resizable window, with Save As (PNG, SVG) and Copy Image.
class ChartWindow final : public QWidget {
    Q_OBJECT
public:
    ChartWindow(SaveFailureReporter reportFailure, DialogRunner runDialog,
                QWidget* parent = nullptr);

    void setSchedule(const ScheduleValues& schedule);
    ChartView* view() const { return m_view; }

    void copyImage() const;
    void saveAs();

private:
    SaveFailureReporter m_reportFailure;
    DialogRunner m_runDialog;
    ChartView* m_view = nullptr;
    QLabel* m_readout = nullptr;
    QString m_lastPath;
};
