#pragma once

#include "output/ScheduleValues.h"
#include "output/YearlySummary.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

// A table as the file and print writers see it: typed cells made on demand, so a writer never
// holds a second copy of a 32768-row schedule.
struct TableCell {
    enum class Kind : std::uint8_t { Empty, Integer, Cents, Date, Text };
    Kind kind = Kind::Empty;
    std::int64_t value = 0;  // the integer, the cents or the Julian day
    QString text;

    static TableCell integer(std::int64_t n) { return {Kind::Integer, n, {}}; }
    static TableCell cents(std::int64_t c) { return {Kind::Cents, c, {}}; }
    static TableCell date(const QDate& d) {
        return d.isValid() ? TableCell{Kind::Date, d.toJulianDay(), {}} : TableCell{};
    }
    static TableCell string(QString s) { return {Kind::Text, 0, std::move(s)}; }

    double amount() const { return static_cast<double>(value) / 100.0; }
    QDate toDate() const { return QDate::fromJulianDay(value); }
};

class TableSource {
public:
    virtual ~TableSource() = default;
    virtual QStringList headers() const = 0;
    virtual int rowCount() const = 0;
    virtual TableCell cell(int row, int column) const = 0;
    // The totals row: bold in print and workbook.
    virtual bool isTotals(int row) const = 0;
    int columnCount() const { return static_cast<int>(headers().size()); }
};

// What a document says above its table: a title and label/value pairs.
struct DocumentFacts {
    QString title;
    std::vector<std::pair<QString, TableCell>> items;
};

// The ticked rows of a schedule under the grid's six headers; the totals row (when ticked)
// reads "Total", an empty date and its four amounts.
class ScheduleTableSource final : public TableSource {
public:
    explicit ScheduleTableSource(const ScheduleValues& schedule);

    QStringList headers() const override;
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    TableCell cell(int row, int column) const override;
    bool isTotals(int row) const override;

private:
    const ScheduleValues& m_schedule;
    std::vector<const ScheduleRowValues*> m_rows;
};

// The yearly summary with its totals row.
class SummaryTableSource final : public TableSource {
public:
    explicit SummaryTableSource(const YearlySummary& summary) : m_summary(summary) {}

    QStringList headers() const override;
    int rowCount() const override { return static_cast<int>(m_summary.years.size()) + 1; }
    TableCell cell(int row, int column) const override;
    bool isTotals(int row) const override { return row == rowCount() - 1; }

private:
    const YearlySummary& m_summary;
};

// The instalment range of a summary year: "13–24", or "7" for a single one.
QString instalmentRange(int first, int last);

// The inputs and results of a loan, in the user's locale.
DocumentFacts scheduleFacts(const ScheduleValues& schedule, const QLocale& locale = QLocale());
DocumentFacts summaryFacts(const ScheduleValues& schedule, const YearlySummary& summary,
                           const QLocale& locale = QLocale());
