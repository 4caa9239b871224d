#include "documents/Chart.h"

#include "core/Conversions.h"
#include "output/CheckedSave.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QColor balanceColour(0x1f, 0x4e, 0x9c);
const QColor baselineColour(0x80, 0x80, 0x80);
const QColor principalColour(0x6a, 0xa8, 0x4f);
const QColor interestColour(0xe6, 0x91, 0x38);
const QColor gridColour(0xdd, 0xdd, 0xdd);
const QColor lineColours[] = {{0x1f, 0x4e, 0x9c}, {0xc0, 0x39, 0x2b}, {0x27, 0xae, 0x60},
                              {0x8e, 0x44, 0xad}, {0xe6, 0x91, 0x38}, {0x16, 0xa0, 0x85}};

const QColor& lineColour(std::size_t index) {
    return lineColours[index % std::size(lineColours)];
}

// A step of 1, 2 or 5 times a power of ten that divides the range into about `parts`.
double niceStep(double range, int parts) {
    if (range <= 0) {
        return 1;
    }
    const double raw = range / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / power;
    const double nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
    return nice * power;
}

double niceTop(double value, int parts) {
    const double step = niceStep(value, parts);
    return std::max(step, std::ceil(value / step) * step);
}

// A loan that ended before month keeps a zero balance.
std::int64_t balanceAt(const std::vector<std::int64_t>& balance, int month) {
    return static_cast<std::size_t>(month) < balance.size()
               ? balance[static_cast<std::size_t>(month)]
               : 0;
}

}  // namespace

double ChartPainter::xOf(int month) const {
    const auto months = static_cast<double>(std::max<std::size_t>(m_data.due.size(), 1));
    return m_plot.left() + m_plot.width() * month / months;
}

std::optional<int> ChartPainter::monthAt(double x) const {
    if (m_data.due.empty() || x < m_plot.left() || x > m_plot.right()) {
        return std::nullopt;
    }
    const auto months = static_cast<double>(m_data.due.size());
    return std::clamp(static_cast<int>(std::lround((x - m_plot.left()) / m_plot.width() * months)),
                      0, static_cast<int>(m_data.due.size()));
}

QString ChartPainter::readout(int month) const {
    const auto money = [this](std::int64_t cents) { return amountText(cents, m_locale); };
    if (month <= 0 || month > static_cast<int>(m_data.due.size())) {
        return u"Start: balance %1"_s.arg(money(m_data.balance.empty() ? 0 : m_data.balance[0]));
    }
    const QDate due = m_data.due[static_cast<std::size_t>(month - 1)];
    QString text = u"Month %1 (%2): balance %3"_s.arg(month)
                       .arg(shortDateText(due, m_locale))
                       .arg(money(balanceAt(m_data.balance, month)));
    if (!m_data.baseline.empty()) {
        text += u" (without events %1)"_s.arg(money(balanceAt(m_data.baseline, month)));
    }
    for (const SummaryYear& year : m_data.years.years) {
        if (month >= year.firstInstalment && month <= year.lastInstalment) {
            text += u"  ·  %1: principal %2, interest %3"_s.arg(year.year)
                        .arg(money(year.principal))
                        .arg(money(year.interest));
            break;
        }
    }
    return text;
}

void ChartPainter::paint(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double line = metrics.height();

    double maxBalance =
        m_data.balance.empty()
            ? 1.0
            : static_cast<double>(*std::max_element(m_data.balance.begin(), m_data.balance.end())) /
                  100.0;
    for (const ChartData::Line& other : m_data.lines) {
        if (!other.balance.empty()) {
            maxBalance = std::max(maxBalance, static_cast<double>(*std::max_element(
                                                  other.balance.begin(), other.balance.end())) /
                                                  100.0);
        }
    }
    double maxYear = 0;
    for (const SummaryYear& year : m_data.years.years) {
        maxYear = std::max(maxYear, static_cast<double>(year.paid()) / 100.0);
    }
    constexpr int parts = 5;
    const bool showsYears = m_data.lines.empty() || !m_data.years.years.empty();
    const double leftTop = niceTop(std::max(maxBalance, 0.01), parts);
    const double rightTop = niceTop(std::max(maxYear, 0.01), parts);
    const auto label = [this](double value) { return m_locale.toString(value, 'f', 0); };
    const double leftWidth = metrics.horizontalAdvance(label(leftTop)) + line;
    const double rightWidth = metrics.horizontalAdvance(label(rightTop)) + line;
    m_plot = QRectF(area.left() + leftWidth, area.top() + line * 2.5,
                    area.width() - leftWidth - rightWidth, area.height() - line * 5);
    if (m_plot.width() < 10 || m_plot.height() < 10) {
        painter.restore();
        return;
    }

    // Grid lines and the two value axes: balance on the left, yearly payments on the right.
    for (int i = 0; i <= parts; ++i) {
        const double y = m_plot.bottom() - m_plot.height() * i / parts;
        painter.setPen(gridColour);
        painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
        painter.setPen(balanceColour);
        const QString leftText = label(leftTop * i / parts);
        painter.drawText(QPointF(m_plot.left() - metrics.horizontalAdvance(leftText) - line / 3,
                                 y + metrics.ascent() / 2),
                         leftText);
        if (showsYears) {
            painter.setPen(Qt::darkGray);
            painter.drawText(QPointF(m_plot.right() + line / 3, y + metrics.ascent() / 2),
                             label(rightTop * i / parts));
        }
    }

    const int months = static_cast<int>(m_data.due.size());
    const int columns = std::max(1, static_cast<int>(m_plot.width()));
    // Stacked bars: each pixel column shows the mean of the years whose spans fall into it.
    if (months > 0) {
        const double perMonth = m_plot.width() / months;
        const auto barTop = [&](double value) {
            return m_plot.bottom() - m_plot.height() * value / rightTop;
        };
        if (perMonth * 12 >= 3) {
            for (const SummaryYear& year : m_data.years.years) {
                const double x0 = xOf(year.firstInstalment - 1) + 1;
                const double x1 = xOf(year.lastInstalment) - 1;
                const double p = static_cast<double>(year.principal) / 100.0;
                const double i = static_cast<double>(year.interest) / 100.0;
                painter.fillRect(QRectF(QPointF(x0, barTop(p)), QPointF(x1, m_plot.bottom())),
                                 principalColour);
                painter.fillRect(QRectF(QPointF(x0, barTop(p + i)), QPointF(x1, barTop(p))),
                                 interestColour);
            }
        } else {
            std::size_t y = 0;
            const auto& years = m_data.years.years;
            for (int c = 0; c < columns && y < years.size(); ++c) {
                const int lastMonth =
                    static_cast<int>(static_cast<long long>(c + 1) * months / columns);
                double p = 0;
                double i = 0;
                int n = 0;
                while (y < years.size() && years[y].lastInstalment <= lastMonth) {
                    p += static_cast<double>(years[y].principal);
                    i += static_cast<double>(years[y].interest);
                    ++n;
                    ++y;
                }
                if (n == 0) {
                    continue;
                }
                p /= 100.0 * n;
                i /= 100.0 * n;
                const double x = m_plot.left() + c;
                painter.fillRect(QRectF(QPointF(x, barTop(p)), QPointF(x + 1, m_plot.bottom())),
                                 principalColour);
                painter.fillRect(QRectF(QPointF(x, barTop(p + i)), QPointF(x + 1, barTop(p))),
                                 interestColour);
            }
        }

        // Balance lines: one point per pixel column (the balance at the column's last month).
        const auto yOf = [&](std::int64_t cents) {
            return m_plot.bottom() -
                   m_plot.height() * (static_cast<double>(cents) / 100.0) / leftTop;
        };
        const auto drawBalance = [&](const std::vector<std::int64_t>& balance, const QPen& pen) {
            if (balance.empty()) {
                return;
            }
            const int last = std::min(months, static_cast<int>(balance.size()) - 1);
            QPolygonF points;
            points.reserve(std::min(columns, last) + 2);
            points.append(QPointF(m_plot.left(), yOf(balance[0])));
            if (months <= columns) {
                for (int k = 1; k <= last; ++k) {
                    points.append(QPointF(xOf(k), yOf(balance[static_cast<std::size_t>(k)])));
                }
            } else {
                for (int c = 1; c <= columns; ++c) {
                    const auto k = static_cast<int>(static_cast<long long>(c) * months / columns);
                    if (k >= last) {
                        points.append(
                            QPointF(xOf(last), yOf(balance[static_cast<std::size_t>(last)])));
                        break;
                    }
                    points.append(
                        QPointF(m_plot.left() + c, yOf(balance[static_cast<std::size_t>(k)])));
                }
            }
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(pen);
            painter.drawPolyline(points);
            painter.setRenderHint(QPainter::Antialiasing, false);
        };
        drawBalance(m_data.baseline, QPen(baselineColour, 2, Qt::DashLine));
        drawBalance(m_data.balance, QPen(balanceColour, 2));
        for (std::size_t i = 0; i < m_data.lines.size(); ++i) {
            drawBalance(m_data.lines[i].balance, QPen(lineColour(i), 2));
        }

        // Date axis: about one label per 100 pixels, at due dates.
        painter.setPen(Qt::black);
        const int labels = std::max(1, std::min(months, static_cast<int>(m_plot.width() / 100)));
        // Three years or less: months and years, so that no two labels read the same.
        const bool shortSpan = m_data.due.front().daysTo(m_data.due.back()) <= 3 * 366;
        for (int i = 0; i <= labels; ++i) {
            const int month =
                std::max(1, static_cast<int>(static_cast<long long>(i) * months / labels));
            const QDate due = m_data.due[static_cast<std::size_t>(month - 1)];
            const QString text =
                shortSpan ? m_locale.toString(due, u"MMM yyyy"_s) : QString::number(due.year());
            const double x =
                std::clamp(xOf(month) - metrics.horizontalAdvance(text) / 2, area.left(),
                           area.right() - metrics.horizontalAdvance(text));
            painter.drawLine(QPointF(xOf(month), m_plot.bottom()),
                             QPointF(xOf(month), m_plot.bottom() + 4));
            painter.drawText(QPointF(x, m_plot.bottom() + 4 + metrics.ascent()), text);
        }
    }
    painter.setPen(Qt::black);
    painter.drawRect(m_plot);

    // Legend, above the plot.
    double x = m_plot.left();
    const double y = area.top() + line * 0.5;
    const auto swatch = [&](const QColor& colour, const QString& text, bool isLine) {
        if (isLine) {
            painter.fillRect(QRectF(x, y + line / 2 - 1, line * 1.5, 3), colour);
        } else {
            painter.fillRect(QRectF(x, y + line * 0.15, line * 1.5, line * 0.7), colour);
        }
        x += line * 2;
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, y + metrics.ascent()), text);
        x += metrics.horizontalAdvance(text) + line * 1.5;
    };
    if (m_data.lines.empty() || !m_data.balance.empty()) {
        swatch(balanceColour, u"Closing balance (left axis)"_s, true);
    }
    if (!m_data.baseline.empty()) {
        swatch(baselineColour, u"Without events"_s, true);
    }
    for (std::size_t i = 0; i < m_data.lines.size(); ++i) {
        swatch(lineColour(i), m_data.lines[i].label, true);
    }
    if (showsYears) {
        swatch(principalColour, u"Principal per year (right axis)"_s, false);
        swatch(interestColour, u"Interest per year"_s, false);
    }
    painter.restore();
}

QImage chartImage(const ChartData& data, const QSize& size, const QLocale& locale) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ChartPainter chart(data, locale);
    chart.paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

std::optional<QString> writeChartFile(const ChartData& data, const QSize& size, const QString& path,
                                      const QLocale& locale) {
    const bool svg = QFileInfo(path).suffix().compare(u"svg"_s, Qt::CaseInsensitive) == 0;
    return saveChecked(path, [&](QIODevice& out) -> std::optional<QString> {
        bool painted = false;
        if (svg) {
            QSvgGenerator generator;
            generator.setOutputDevice(&out);
            generator.setSize(size);
            generator.setViewBox(QRect(QPoint(0, 0), size));
            generator.setTitle(u"Repayment chart"_s);
            QPainter painter;
            painted = painter.begin(&generator);
            if (painted) {
                ChartPainter chart(data, locale);
                chart.paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
                painter.end();
            }
        } else {
            // Encoded in memory first: Qt's PNG writer leaks its row buffer when the device
            // fails mid-image, and a full disk is then reported by the write below.
            QByteArray png;
            QBuffer buffer(&png);
            painted = buffer.open(QIODevice::WriteOnly) &&
                      chartImage(data, size, locale).save(&buffer, "PNG");
            if (painted) {
                out.write(png);  // the checked save sees a short write
            }
        }
        return painted ? std::nullopt : std::optional(u"The image could not be made."_s);
    });
}
