#include "output/ScheduleTable.h"

#include "core/Conversions.h"

#include <algorithm>

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

// The unrounded amount; every text and value shows it rounded to cents, as the money getters
// of clsSchedule give it.
double exactAmount(const clsSchedule& entry, ScheduleColumn column) {
    switch (column) {
        case ScheduleColumn::OpeningBalance:
            return entry.exactOpeningBalance();
        case ScheduleColumn::PrincipleAmount:
            return entry.exactPrincipleAmount();
        case ScheduleColumn::InterestAmount:
            return entry.exactInterestAmount();
        default:
            return entry.exactClosingBalance();
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
            m_format->appendAmount(out, exactAmount(entry, kind));
            return;
    }
}

qsizetype ScheduleTable::textLength(int row, int column) const {
    const auto kind = static_cast<ScheduleColumn>(column);
    if (column < 0 || column >= scheduleColumnCount) {
        return 0;
    }
    const bool totals = row == m_count - 1;
    switch (kind) {
        case ScheduleColumn::Number:
            return totals ? 0 : m_format->amountLength(row + 1);
        case ScheduleColumn::Date:
            return totals ? 0 : m_format->dateLength(m_schedule->at(row).InstallmentDate());
        default:
            return m_format->amountLength(exactAmount(m_schedule->at(row), kind));
    }
}

void ScheduleTable::appendRow(TextBuffer& out, int row, int columns, qsizetype* ends) const {
    if (columns != scheduleColumnCount) {
        GridRows::appendRow(out, row, columns, ends);
        return;
    }
    const bool totals = row == m_count - 1;
    const clsSchedule& entry = m_schedule->at(row);
    if (!totals) {
        m_format->appendCents(out, (static_cast<std::int64_t>(row) + 1) * 100);
    }
    ends[0] = out.size();
    if (!totals) {
        m_format->appendDate(out, entry.InstallmentDate());
    }
    ends[1] = out.size();
    m_format->appendAmount(out, entry.exactOpeningBalance());
    ends[2] = out.size();
    m_format->appendAmount(out, entry.exactPrincipleAmount());
    ends[3] = out.size();
    m_format->appendAmount(out, entry.exactInterestAmount());
    ends[4] = out.size();
    m_format->appendAmount(out, entry.exactClosingBalance());
    ends[5] = out.size();
}

void ScheduleTable::rowLengths(int row, int columns, qsizetype* lengths) const {
    if (columns != scheduleColumnCount) {
        GridRows::rowLengths(row, columns, lengths);
        return;
    }
    const bool totals = row == m_count - 1;
    const clsSchedule& entry = m_schedule->at(row);
    lengths[0] = totals ? 0 : m_format->amountLength(row + 1);
    lengths[1] = totals ? 0 : m_format->dateLength(entry.InstallmentDate());
    lengths[2] = m_format->amountLength(entry.exactOpeningBalance());
    lengths[3] = m_format->amountLength(entry.exactPrincipleAmount());
    lengths[4] = m_format->amountLength(entry.exactInterestAmount());
    lengths[5] = m_format->amountLength(entry.exactClosingBalance());
}

void ScheduleTable::columnLengths(int columns, qsizetype* widths) const {
    if (columns != scheduleColumnCount) {
        GridRows::columnLengths(columns, widths);
        return;
    }
    std::call_once(m_measured,
                   [this] { GridRows::columnLengths(scheduleColumnCount, m_widths.data()); });
    std::copy(m_widths.begin(), m_widths.end(), widths);
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
            return CellValue::fromNumber(roundToCents(exactAmount(entry, kind)));
    }
}
