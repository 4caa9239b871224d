#include "documents/TablePrint.h"

#include "core/Conversions.h"
#include "output/TableSource.h"
#include "output/TableText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr double marginMm = 15;
constexpr double bodyPoints = 9;
constexpr double titlePoints = 14;

QFont makeFont(double points, bool bold, QPaintDevice& device) {
    QFont font(u"Arial"_s);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Layout in the device's own units.
    return QFont(font, &device);
}

// Where everything goes, in device pixels; the same for counting pages and for printing.
struct Layout {
    QRectF page;
    double rowHeight = 0;
    double titleHeight = 0;
    double factsHeight = 0;  // title and facts block with the gap below it
    double footerHeight = 0;
    int firstPageRows = 0;
    int otherPageRows = 0;
    int pages = 1;
};

Layout layOut(QPagedPaintDevice& device, const TableSource& table, const DocumentFacts& facts) {
    Layout layout;
    layout.page =
        QRectF(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    const QFontMetricsF body(makeFont(bodyPoints, false, device), &device);
    const QFontMetricsF title(makeFont(titlePoints, true, device), &device);
    layout.rowHeight = body.height() * 1.35;
    layout.titleHeight = title.height() * 1.6;
    const int factRows = static_cast<int>((facts.items.size() + 1) / 2);
    layout.factsHeight = layout.titleHeight + (factRows + 1) * layout.rowHeight;
    layout.footerHeight = layout.rowHeight * 1.5;
    const double tableSpace = layout.page.height() - layout.footerHeight - layout.rowHeight;
    layout.firstPageRows =
        std::max(1, static_cast<int>((tableSpace - layout.factsHeight) / layout.rowHeight));
    layout.otherPageRows = std::max(1, static_cast<int>(tableSpace / layout.rowHeight));
    const int rest = table.rowCount() - layout.firstPageRows;
    layout.pages = rest <= 0 ? 1 : 1 + (rest + layout.otherPageRows - 1) / layout.otherPageRows;
    return layout;
}

// Text widths from per-character advances: measuring a whole string shapes it, and the cells
// are digits and separators, which need no shaping. Other characters are measured whole.
class TextWidths {
public:
    explicit TextWidths(const QFontMetricsF& metrics) : m_metrics(metrics) { m_ascii.fill(-1); }

    double operator()(const QString& text) {
        double width = 0;
        for (const QChar ch : text) {
            const char16_t unit = ch.unicode();
            if (unit >= m_ascii.size() || unit == u' ') {
                return m_metrics.horizontalAdvance(text);
            }
            double& advance = m_ascii[unit];
            if (advance < 0) {
                advance = m_metrics.horizontalAdvance(ch);
            }
            width += advance;
        }
        return width;
    }

private:
    const QFontMetricsF& m_metrics;
    std::array<double, 128> m_ascii{};
};

bool rightAligned(const TableCell& cell) {
    return cell.kind == TableCell::Kind::Cents || cell.kind == TableCell::Kind::Integer;
}

}  // namespace

QPageSize::PageSizeId pageSizeFor(const QLocale& locale) {
    if (locale.measurementSystem() == QLocale::ImperialUSSystem) {
        return QPageSize::Letter;
    }
    static constexpr std::array letterTerritories{
        QLocale::Canada,     QLocale::Mexico,    QLocale::Philippines,
        QLocale::Chile,      QLocale::Colombia,  QLocale::Venezuela,
        QLocale::Guatemala,  QLocale::CostaRica, QLocale::DominicanRepublic,
        QLocale::ElSalvador, QLocale::PuertoRico};
    const auto territory = locale.territory();
    return std::find(letterTerritories.begin(), letterTerritories.end(), territory) !=
                   letterTerritories.end()
               ? QPageSize::Letter
               : QPageSize::A4;
}

void setUpPage(QPagedPaintDevice& device, const QLocale& locale) {
    device.setPageSize(QPageSize(pageSizeFor(locale)));
    device.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                          QPageLayout::Millimeter);
}

int printedPageCount(QPagedPaintDevice& device, const TableSource& table,
                     const DocumentFacts& facts) {
    return layOut(device, table, facts).pages;
}

std::optional<QString> printTable(QPagedPaintDevice& device, const TableSource& table,
                                  const DocumentFacts& facts, const QLocale& locale) {
    const Layout layout = layOut(device, table, facts);
    QPainter painter;
    if (!painter.begin(&device)) {
        return u"Printing could not start."_s;
    }
    const QFont body = makeFont(bodyPoints, false, device);
    const QFont bold = makeFont(bodyPoints, true, device);
    const QFont title = makeFont(titlePoints, true, device);
    const QFontMetricsF bodyMetrics(body, &device);
    const QFontMetricsF boldMetrics(bold, &device);
    const double width = layout.page.width();
    const double pad = bodyMetrics.averageCharWidth();

    // Columns: the first narrow, the rest shared equally.
    const int columns = table.columnCount();
    std::vector<double> left(static_cast<std::size_t>(columns) + 1);
    const double firstWidth = width * 0.1;
    left[0] = 0;
    left[1] = firstWidth;
    for (int c = 2; c <= columns; ++c) {
        left[static_cast<std::size_t>(c)] =
            firstWidth + (width - firstWidth) * (c - 1) / (columns - 1);
    }
    // A column is right-aligned when its first row's cell is a number (empty totals cells follow).
    std::vector<bool> right(static_cast<std::size_t>(columns), false);
    for (int c = 0; c < columns && table.rowCount() > 0; ++c) {
        right[static_cast<std::size_t>(c)] = rightAligned(table.cell(0, c));
    }

    TextWidths bodyWidths(bodyMetrics);
    TextWidths boldWidths(boldMetrics);
    const auto drawCell = [&](int c, double baseline, const QString& text, TextWidths& widthOf) {
        const auto i = static_cast<std::size_t>(c);
        const double x = right[i] ? left[i + 1] - pad - widthOf(text) : left[i] + pad;
        painter.drawText(QPointF(x, baseline), text);
    };
    const double ascent = bodyMetrics.ascent() + (layout.rowHeight - bodyMetrics.height()) / 2;
    const QStringList headers = table.headers();
    const CellTexts texts(locale);

    int row = 0;
    for (int page = 1; page <= layout.pages; ++page) {
        if (page > 1) {
            device.newPage();
        }
        double y = 0;
        if (page == 1) {
            painter.setFont(title);
            painter.drawText(QPointF(0, QFontMetricsF(title, &device).ascent()), facts.title);
            y = layout.titleHeight;
            const int factRows = static_cast<int>((facts.items.size() + 1) / 2);
            for (std::size_t i = 0; i < facts.items.size(); ++i) {
                const double fy =
                    y + static_cast<double>(static_cast<int>(i) % factRows) * layout.rowHeight +
                    ascent;
                const double fx = static_cast<int>(i) < factRows ? 0 : width / 2;
                painter.setFont(bold);
                painter.drawText(QPointF(fx, fy), facts.items[i].first + u':');
                painter.setFont(body);
                painter.drawText(QPointF(fx + width * 0.22, fy), texts(facts.items[i].second));
            }
            y = layout.factsHeight;
        }
        // The header row, on every page.
        painter.setFont(bold);
        for (int c = 0; c < columns; ++c) {
            drawCell(c, y + ascent, headers[c], boldWidths);
        }
        y += layout.rowHeight;
        painter.drawLine(QPointF(0, y - layout.rowHeight * 0.1),
                         QPointF(width, y - layout.rowHeight * 0.1));
        painter.setFont(body);
        const int rows = page == 1 ? layout.firstPageRows : layout.otherPageRows;
        for (int k = 0; k < rows && row < table.rowCount(); ++k, ++row) {
            const bool totals = table.isTotals(row);
            if (totals) {
                painter.setFont(bold);
                painter.drawLine(QPointF(0, y), QPointF(width, y));
            }
            for (int c = 0; c < columns; ++c) {
                const TableCell cell = table.cell(row, c);
                if (cell.kind != TableCell::Kind::Empty) {
                    drawCell(c, y + ascent, texts(cell), totals ? boldWidths : bodyWidths);
                }
            }
            if (totals) {
                painter.setFont(body);
            }
            y += layout.rowHeight;
        }
        const QString footer = u"Page %1 of %2"_s.arg(page).arg(layout.pages);
        painter.drawText(QPointF((width - bodyMetrics.horizontalAdvance(footer)) / 2,
                                 layout.page.height() - bodyMetrics.descent()),
                         footer);
    }
    painter.end();
    return std::nullopt;
}
