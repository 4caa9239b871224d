#pragma once

#include "output/ChartData.h"

#include <QLocale>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QImage;
class QPainter;

// Draws the balance line (one point per pixel column) over stacked principal and interest bars
// per year, with axes in the locale's number and date forms and a legend. Remembers where the
// plot went, so a pointer position can be read back.
class ChartPainter {
public:
    ChartPainter(const ChartData& data, QLocale locale)
        : m_data(data), m_locale(std::move(locale)) {}

    void paint(QPainter& painter, const QRectF& area);
    // The instalment under an x position of the last paint (0 for the start), if any.
    std::optional<int> monthAt(double x) const;
    // "Month 14 (1/3/2027): balance 84,510.20 · 2027: principal 8,123.00, interest 512.34"
    QString readout(int month) const;
    // The x position of a month in the last paint.
    double xOf(int month) const;
    QRectF plotArea() const { return m_plot; }

private:
    const ChartData& m_data;
    QLocale m_locale;
    QRectF m_plot;
};

// The chart as an image of the given size, and written to a file as PNG or SVG (by the name's
// extension, PNG when it names neither), replacing the file only once it is whole. Returns the
// reason when the file cannot be written.
QImage chartImage(const ChartData& data, const QSize& size, const QLocale& locale = QLocale());
std::optional<QString> writeChartFile(const ChartData& data, const QSize& size, const QString& path,
                                      const QLocale& locale = QLocale());
