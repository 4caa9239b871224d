#pragma once

#include "output/GridData.h"
#include "planner/Planner.h"

#include <QAbstractTableModel>
#include <QLocale>

#include <vector>

// The planner window's two tables: the events as the user typed them, and the plan.

enum class PlanEventKind { OneOff, Recurring, RateChange, Holiday };

struct PlanEventEntry {
    PlanEventKind kind = PlanEventKind::OneOff;
    QString month;     // a payment number, or a due date in the locale's short form
    QString value;     // the amount, or the new annual rate in percent; nothing for a holiday
    QString endMonth;  // recurring extras only; empty: to the end of the loan
};

enum class PlanEventColumn { Kind, Month, Value, EndMonth, Count };

struct PlanEventProblem {
    int row;
    PlanEventColumn column;
    QString message;
};

// Reads typed entries in the given locale. Each entry that reads gives one event (eventRows
// tells which entry); each text that does not read gives a problem and no event. A typed date
// stands for the first payment due on or after it.
struct ParsedPlanEvents {
    std::vector<planner::Event> events;
    std::vector<int> eventRows;
    std::vector<PlanEventProblem> problems;
};
ParsedPlanEvents parsePlanEvents(const std::vector<PlanEventEntry>& entries, const QDate& start,
                                 const QLocale& locale = QLocale());
ParsedPlanEvents parsePlanEvents(const std::vector<PlanEventEntry>& entries,
                                 const calendar::DueDates& dueDates,
                                 const QLocale& locale = QLocale());

// The entries as one text for the settings store, and back (C locale; the typed texts kept).
QString planEventsToText(const std::vector<PlanEventEntry>& entries);
std::vector<PlanEventEntry> planEventsFromText(const QString& text);

QString planEventKindName(PlanEventKind kind);

class PlanEventsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<PlanEventEntry>& entries() const { return m_entries; }
    void setEntries(std::vector<PlanEventEntry> entries);
    void addEntry(const PlanEventEntry& entry);
    void removeEntry(int row);
    // Payment cells tell their due date from these.
    void setDueDates(const calendar::DueDates& dueDates) { m_dueDates = dueDates; }
    // The cells to mark, with their messages; replaces the earlier marks.
    void setProblems(std::vector<PlanEventProblem> problems);

private:
    const PlanEventProblem* problemAt(int row, int column) const;

    std::vector<PlanEventEntry> m_entries;
    std::vector<PlanEventProblem> m_problems;
    calendar::DueDates m_dueDates{QDate(), calendar::Frequency::Monthly};
};

enum class PlanColumn {
    Number,
    Date,
    Opening,
    Payment,
    Principal,
    Interest,
    Extra,
    Closing,
    Count
};

// The plan's rows and a totals row, amounts right-aligned in the locale's form.
class PlanTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Nothing shown when the plan is empty.
    void setPlan(std::optional<planner::Plan> plan);
    const std::optional<planner::Plan>& plan() const { return m_plan; }

private:
    std::optional<planner::Plan> m_plan;
    QLocale m_locale;
    QString m_dateFormat;
};

// The plan as the grid shows it, for the text outputs: a first row with the column titles, then
// the plan's rows and the totals row.
GridData planGridData(const PlanTableModel& model);
