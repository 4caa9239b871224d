#include "windows/PlannerModels.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "output/Csv.h"
#include "windows/LoanEntry.h"

#include <QColor>
#include <QFont>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kindNames[] = {u"once"_s, u"monthly"_s, u"rate"_s, u"holiday"_s};
constexpr int kindCount = 4;

// A payment number, or the payment that is the first due on or after the typed date (0 for a
// date on or before the start).
std::optional<int> monthOf(const QString& text, const calendar::DueDates& dueDates,
                           const QLocale& locale) {
    if (const auto month = typedWhole(text, locale)) {
        return month;
    }
    const auto date = parseDate(text, locale);
    const QDate first = dueDates.at(1);
    if (!date || !first.isValid()) {
        return std::nullopt;
    }
    const QDate due = AutomationDate::toDate(*date);
    if (due <= dueDates.start()) {
        return 0;
    }
    // Close by the average step, then exact.
    long long k = std::min<long long>(dueDates.nearestByAverageStep(due), planner::maxMonths + 1);
    while (k > 1 && dueDates.at(k - 1) >= due) {
        --k;
    }
    while (k <= planner::maxMonths && dueDates.at(k).isValid() && dueDates.at(k) < due) {
        ++k;
    }
    return static_cast<int>(k);
}

}  // namespace

QString planEventKindName(PlanEventKind kind) {
    switch (kind) {
        case PlanEventKind::OneOff:
            return u"Extra payment"_s;
        case PlanEventKind::Recurring:
            return u"Recurring extra payment"_s;
        case PlanEventKind::RateChange:
            return u"Rate change"_s;
        case PlanEventKind::Holiday:
            return u"Payment holiday"_s;
    }
    return {};
}

ParsedPlanEvents parsePlanEvents(const std::vector<PlanEventEntry>& entries, const QDate& start,
                                 const QLocale& locale) {
    return parsePlanEvents(entries, calendar::DueDates(start, calendar::Frequency::Monthly),
                           locale);
}

ParsedPlanEvents parsePlanEvents(const std::vector<PlanEventEntry>& entries,
                                 const calendar::DueDates& start, const QLocale& locale) {
    ParsedPlanEvents parsed;
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const PlanEventEntry& entry = entries[static_cast<std::size_t>(row)];
        const std::size_t before = parsed.problems.size();
        const auto problem = [&](PlanEventColumn column, const QString& message) {
            parsed.problems.push_back({row, column, message});
        };
        const auto month = monthOf(entry.month.trimmed(), start, locale);
        if (!month) {
            problem(PlanEventColumn::Month, u"Type a month number or a due date."_s);
        }
        const bool rateChange = entry.kind == PlanEventKind::RateChange;
        const bool holiday = entry.kind == PlanEventKind::Holiday;
        double rate = 0;
        planner::Cents amount = 0;
        bool valueRead = holiday;
        if (rateChange) {
            const auto typed = parseNumber(entry.value, locale);
            valueRead = typed.has_value();
            rate = typed.value_or(0);
        } else if (!holiday) {
            const auto typed = typedCents(entry.value, locale);
            valueRead = typed.has_value();
            amount = typed.value_or(0);
        }
        if (!valueRead) {
            problem(PlanEventColumn::Value,
                    rateChange ? u"Type the new rate in percent a year."_s : u"Type an amount."_s);
        }
        std::optional<int> endMonth = 0;
        if (entry.kind == PlanEventKind::Recurring && !entry.endMonth.trimmed().isEmpty()) {
            endMonth = monthOf(entry.endMonth.trimmed(), start, locale);
            if (!endMonth) {
                problem(PlanEventColumn::EndMonth,
                        u"Type a month number or a due date, or leave it empty for the end."_s);
            }
        }
        if (parsed.problems.size() != before) {
            continue;
        }
        switch (entry.kind) {
            case PlanEventKind::OneOff:
                parsed.events.emplace_back(planner::OneOffExtra{*month, amount});
                break;
            case PlanEventKind::Recurring:
                parsed.events.emplace_back(planner::RecurringExtra{amount, *month, *endMonth});
                break;
            case PlanEventKind::RateChange:
                parsed.events.emplace_back(planner::RateChange{*month, rate});
                break;
            case PlanEventKind::Holiday:
                parsed.events.emplace_back(planner::PaymentHoliday{*month});
                break;
        }
        parsed.eventRows.push_back(row);
    }
    return parsed;
}

QString planEventsToText(const std::vector<PlanEventEntry>& entries) {
    QStringList lines;
    for (const PlanEventEntry& entry : entries) {
        lines.append(QStringList{kindNames[static_cast<int>(entry.kind)], entry.month, entry.value,
                                 entry.endMonth}
                         .join(u'\t'));
    }
    return lines.join(u'\n');
}

std::vector<PlanEventEntry> planEventsFromText(const QString& text) {
    std::vector<PlanEventEntry> entries;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        const auto kind = std::find(std::begin(kindNames), std::end(kindNames), fields.value(0));
        if (kind == std::end(kindNames)) {
            continue;  // a line this version does not know
        }
        entries.push_back({static_cast<PlanEventKind>(kind - std::begin(kindNames)),
                           fields.value(1), fields.value(2), fields.value(3)});
    }
    return entries;
}

int PlanEventsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int PlanEventsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(PlanEventColumn::Count);
}

const PlanEventProblem* PlanEventsModel::problemAt(int row, int column) const {
    for (const PlanEventProblem& problem : m_problems) {
        if (problem.row == row && static_cast<int>(problem.column) == column) {
            return &problem;
        }
    }
    return nullptr;
}

QVariant PlanEventsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const PlanEventEntry& entry = m_entries[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<PlanEventColumn>(index.column());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (column) {
            case PlanEventColumn::Kind:
                return role == Qt::EditRole ? QVariant(static_cast<int>(entry.kind))
                                            : QVariant(planEventKindName(entry.kind));
            case PlanEventColumn::Month:
                return entry.month;
            case PlanEventColumn::Value:
                return entry.kind == PlanEventKind::Holiday ? QString() : entry.value;
            case PlanEventColumn::EndMonth:
                if (entry.kind != PlanEventKind::Recurring) {
                    return QString();
                }
                return entry.endMonth.isEmpty() && role == Qt::DisplayRole ? u"end"_s
                                                                           : entry.endMonth;
            case PlanEventColumn::Count:
                break;
        }
    }
    if (role == Qt::TextAlignmentRole && column != PlanEventColumn::Kind) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (const PlanEventProblem* problem = problemAt(index.row(), index.column())) {
        if (role == Qt::ToolTipRole) {
            return problem->message;
        }
        if (role == Qt::BackgroundRole) {
            return QColor(255, 205, 205);
        }
        return {};
    }
    if (role == Qt::ToolTipRole &&
        (column == PlanEventColumn::Month || column == PlanEventColumn::EndMonth)) {
        const QLocale locale;
        const auto month =
            monthOf(index.data(Qt::EditRole).toString().trimmed(), m_dueDates, locale);
        if (month && *month >= 1 && m_dueDates.at(*month).isValid()) {
            const bool monthly = m_dueDates.frequency() == calendar::Frequency::Monthly;
            return u"%1 %2, due %3"_s.arg(monthly ? u"Month"_s : u"Payment"_s)
                .arg(*month)
                .arg(shortDateText(m_dueDates.at(*month), locale));
        }
    }
    return {};
}

bool PlanEventsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    PlanEventEntry& entry = m_entries[static_cast<std::size_t>(index.row())];
    QString text = value.toString();
    text.remove(u'\t').remove(u'\n');  // the separators of the remembered text
    switch (static_cast<PlanEventColumn>(index.column())) {
        case PlanEventColumn::Kind: {
            const int kind = value.toInt();
            if (kind < 0 || kind >= kindCount) {
                return false;
            }
            entry.kind = static_cast<PlanEventKind>(kind);
            Q_EMIT dataChanged(this->index(index.row(), 0),
                               this->index(index.row(), columnCount() - 1));
            return true;
        }
        case PlanEventColumn::Month:
            entry.month = text;
            break;
        case PlanEventColumn::Value:
            entry.value = text;
            break;
        case PlanEventColumn::EndMonth:
            entry.endMonth = text;
            break;
        case PlanEventColumn::Count:
            return false;
    }
    Q_EMIT dataChanged(index, index);
    return true;
}

QVariant PlanEventsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const QString headers[] = {u"Kind"_s, u"Payment or date"_s, u"Amount or %"_s,
                                      u"Until"_s};
    return headers[section];
}

Qt::ItemFlags PlanEventsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid()) {
        return flags;
    }
    const PlanEventKind kind = m_entries[static_cast<std::size_t>(index.row())].kind;
    const auto column = static_cast<PlanEventColumn>(index.column());
    const bool unused = (column == PlanEventColumn::EndMonth && kind != PlanEventKind::Recurring) ||
                        (column == PlanEventColumn::Value && kind == PlanEventKind::Holiday);
    return unused ? flags : flags | Qt::ItemIsEditable;
}

void PlanEventsModel::setEntries(std::vector<PlanEventEntry> entries) {
    beginResetModel();
    m_entries = std::move(entries);
    m_problems.clear();
    endResetModel();
}

void PlanEventsModel::addEntry(const PlanEventEntry& entry) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_entries.push_back(entry);
    endInsertRows();
}

void PlanEventsModel::removeEntry(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void PlanEventsModel::setProblems(std::vector<PlanEventProblem> problems) {
    m_problems = std::move(problems);
    if (rowCount() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                           {Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

int PlanTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_plan ? 0 : static_cast<int>(m_plan->rows.size()) + 1;
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(PlanColumn::Count);
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_plan) {
        return {};
    }
    const auto column = static_cast<PlanColumn>(index.column());
    const bool totals = index.row() == static_cast<int>(m_plan->rows.size());
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((column == PlanColumn::Date ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    }
    if (totals && role == Qt::FontRole) {
        QFont font;
        font.setBold(true);
        return font;
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (totals) {
        const planner::PlanTotals& t = m_plan->totals;
        switch (column) {
            case PlanColumn::Number:
                return u"Total"_s;
            case PlanColumn::Payment:
                return amountText(t.payments, m_locale);
            case PlanColumn::Principal:
                return amountText(t.principal, m_locale);
            case PlanColumn::Interest:
                return amountText(t.interest, m_locale);
            case PlanColumn::Extra:
                return amountText(t.extra, m_locale);
            default:
                return QString();
        }
    }
    const planner::PlanRow& row = m_plan->rows[static_cast<std::size_t>(index.row())];
    switch (column) {
        case PlanColumn::Number:
            return row.number;
        case PlanColumn::Date:
            return m_locale.toString(row.dueDate, m_dateFormat);
        case PlanColumn::Opening:
            return amountText(row.opening, m_locale);
        case PlanColumn::Payment:
            return amountText(row.payment, m_locale);
        case PlanColumn::Principal:
            return amountText(row.principal, m_locale);
        case PlanColumn::Interest:
            return amountText(row.interest, m_locale);
        case PlanColumn::Extra:
            return amountText(row.extra, m_locale);
        case PlanColumn::Closing:
            return amountText(row.closing, m_locale);
        case PlanColumn::Count:
            break;
    }
    return {};
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const QString headers[] = {u"#"_s,         u"Date"_s,     u"Opening"_s, u"Payment"_s,
                                      u"Principal"_s, u"Interest"_s, u"Extra"_s,   u"Closing"_s};
    return headers[section];
}

void PlanTableModel::setPlan(std::optional<planner::Plan> plan) {
    beginResetModel();
    m_plan = std::move(plan);
    m_locale = QLocale();
    m_dateFormat = shortDateFormat(m_locale);
    endResetModel();
}

GridData planGridData(const PlanTableModel& model) {
    const int columns = model.columnCount();
    std::vector<GridRow> rows;
    rows.reserve(static_cast<std::size_t>(model.rowCount()) + 1);
    GridRow titles;
    for (int c = 0; c < columns; ++c) {
        titles.setCell(c, model.headerData(c, Qt::Horizontal).toString());
    }
    rows.push_back(std::move(titles));
    for (int r = 0; r < model.rowCount(); ++r) {
        GridRow row;
        for (int c = 0; c < columns; ++c) {
            row.setCell(c, model.index(r, c).data().toString());
        }
        rows.push_back(std::move(row));
    }
    QStringList headers;
    for (int c = 0; c < columns; ++c) {
        headers.append(model.headerData(c, Qt::Horizontal).toString());
    }
    return GridData(headers, std::move(rows));
}
