#include "output/ScheduleTable.h"

#include "core/Conversions.h"

using namespace Qt::StringLiterals;

namespace {

struct ColumnInfo {
    const char16_t* header;
    int widthTwips;
};

constexpr std::array<ColumnInfo, scheduleColumnCount> columns{{
    {u"#", 600},
    {u"Date", 1200},
    {u"Opening Bal.", 1350},
    {u"Principle Amt.", 1550},
    {u"Interest Amt.", 1400},
    {u"Closing Bal.", 1300},
}};

double amount(const clsSchedule& entry, ScheduleColumn column) {
    switch (column) {
        case ScheduleColumn::OpeningBalance:
            return entry.OpeningBalance();
        case ScheduleColumn::PrincipleAmount:
            return entry.PrincipleAmount();
        case ScheduleColumn::InterestAmount:
            return entry.InterestAmount();
        default:
            return entry.ClosingBalance();
    }
}

}  // namespace

QString scheduleHeader(ScheduleColumn column) {
    return QString::fromUtf16(columns[static_cast<std::size_t>(column)].header);
}

QStringList scheduleHeaders() {
    QStringList headers;
    for (int c = 0; c < scheduleColumnCount; ++c) {
        headers.append(scheduleHeader(static_cast<ScheduleColumn>(c)));
    }
    return headers;
}

int scheduleColumnWidthTwips(ScheduleColumn column) {
    return columns[static_cast<std::size_t>(column)].widthTwips;
}

ScheduleTable::ScheduleTable(ScheduleCollectionPtr schedule, const QLocale& locale)
    : m_schedule(std::move(schedule)),
      m_format(std::make_unique<TextFormatter>(locale)),
      m_count(m_schedule ? m_schedule->Count() : 0) {}

ScheduleTable::~ScheduleTable() = default;

void ScheduleTable::appendText(TextBuffer& out, int row, int column) const {
    const auto kind = static_cast<ScheduleColumn>(column);
    if (column < 0 || column >= scheduleColumnCount) {
        return;
    }
    const bool totals = row == m_count - 1;
    const clsSchedule& entry = m_schedule->at(row);
    switch (kind) {
        case ScheduleColumn::Number:
            if (!totals) {
                m_format->appendCents(out, (static_cast<std::int64_t>(row) + 1) * 100);
            }
            return;
        case ScheduleColumn::Date:
            if (!totals) {
                m_format->appendDate(out, entry.InstallmentDate());
            }
            return;
        default:
            m_format->appendNumber(out, amount(entry, kind));
            return;
    }
}

CellValue ScheduleTable::value(int row, int column) const {
    const auto kind = static_cast<ScheduleColumn>(column);
    if (column < 0 || column >= scheduleColumnCount) {
        return {};
    }
    const bool totals = row == m_count - 1;
    const clsSchedule& entry = m_schedule->at(row);
    switch (kind) {
        case ScheduleColumn::Number:
            return totals ? CellValue{} : CellValue::fromNumber(row + 1);
        case ScheduleColumn::Date:
            return totals ? CellValue{} : CellValue::fromDate(entry.InstallmentDate());
        default:
            return CellValue::fromNumber(amount(entry, kind));
    }
}
