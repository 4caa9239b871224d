#pragma once

#include "model/clsSchedule.h"
#include "output/GridData.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <mutex>

class TextFormatter;

// The six columns of the schedule grid, in grid order.
enum class ScheduleColumn : int {
    Number,
    Date,
    OpeningBalance,
    PrincipleAmount,
    InterestAmount,
    ClosingBalance,
    Count
};
inline constexpr int scheduleColumnCount = static_cast<int>(ScheduleColumn::Count);

QString scheduleHeader(ScheduleColumn column);
QStringList scheduleHeaders();
int scheduleColumnWidthTwips(ScheduleColumn column);

// A repayment schedule as grid rows: one row per schedule row, the totals row last. The
// instalment rows show their position and date, the totals row leaves both empty; the four
// amounts are the rounded values in the default number form of the locale given at
// construction. Texts are made when asked for; the schedule is shared, never copied.
class ScheduleTable final : public GridRows {
public:
    explicit ScheduleTable(ScheduleCollectionPtr schedule, const QLocale& locale = QLocale());
    ~ScheduleTable() override;

    int rowCount() const override { return m_count; }
    void appendText(TextBuffer& out, int row, int column) const override;
    qsizetype textLength(int row, int column) const override;
    void appendRow(TextBuffer& out, int row, int columns, qsizetype* ends) const override;
    void rowLengths(int row, int columns, qsizetype* lengths) const override;
    // Measured once, on first request: the table never changes.
    void columnLengths(int columns, qsizetype* widths) const override;
    // Positions and amounts are numbers, instalment dates dates; the totals row's "#" and
    // "Date" are empty.
    CellValue value(int row, int column) const override;

    const ScheduleCollection& schedule() const { return *m_schedule; }

private:
    ScheduleCollectionPtr m_schedule;
    std::unique_ptr<const TextFormatter> m_format;
    int m_count = 0;
    mutable std::once_flag m_measured;
    mutable std::array<qsizetype, scheduleColumnCount> m_widths{};
};
