#include "output/TableSource.h"

using namespace Qt::StringLiterals;

namespace {

TableCell amountCell(const ScheduleRowValues& row, int column) {
    switch (column) {
        case 2:
            return TableCell::cents(row.opening);
        case 3:
            return TableCell::cents(row.principal);
        case 4:
            return TableCell::cents(row.interest);
        default:
            return TableCell::cents(row.closing);
    }
}

}  // namespace

ScheduleTableSource::ScheduleTableSource(const ScheduleValues& schedule) : m_schedule(schedule) {
    m_rows.reserve(schedule.rows.size() + 1);
    for (const ScheduleRowValues& row : schedule.rows) {
        if (row.ticked) {
            m_rows.push_back(&row);
        }
    }
    if (schedule.hasTotals && schedule.totals.ticked) {
        m_rows.push_back(&schedule.totals);
    }
}

QStringList ScheduleTableSource::headers() const {
    return {u"#"_s,           u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s, u"Interest Amt."_s,
            u"Closing Bal."_s};
}

bool ScheduleTableSource::isTotals(int row) const {
    return m_rows[static_cast<std::size_t>(row)] == &m_schedule.totals;
}

TableCell ScheduleTableSource::cell(int row, int column) const {
    const ScheduleRowValues& values = *m_rows[static_cast<std::size_t>(row)];
    const bool totals = &values == &m_schedule.totals;
    switch (column) {
        case 0:
            return totals ? TableCell::string(u"Total"_s) : TableCell::integer(values.number);
        case 1:
            return totals ? TableCell{} : TableCell::date(values.due);
        default:
            return amountCell(values, column);
    }
}

QString instalmentRange(int first, int last) {
    return first == last ? QString::number(first) : u"%1–%2"_s.arg(first).arg(last);
}

QStringList SummaryTableSource::headers() const {
    return {m_summary.basis == YearBasis::Calendar ? u"Year"_s : u"Loan Year"_s,
            u"Instalments"_s,
            u"Principal Paid"_s,
            u"Interest Paid"_s,
            u"Total Paid"_s,
            u"Closing Bal."_s};
}

TableCell SummaryTableSource::cell(int row, int column) const {
    if (isTotals(row)) {
        switch (column) {
            case 0:
                return TableCell::string(u"Total"_s);
            case 2:
                return TableCell::cents(m_summary.principal);
            case 3:
                return TableCell::cents(m_summary.interest);
            case 4:
                return TableCell::cents(m_summary.paid());
            default:
                return {};
        }
    }
    const SummaryYear& year = m_summary.years[static_cast<std::size_t>(row)];
    switch (column) {
        case 0:
            return TableCell::integer(year.year);
        case 1:
            return TableCell::string(instalmentRange(year.firstInstalment, year.lastInstalment));
        case 2:
            return TableCell::cents(year.principal);
        case 3:
            return TableCell::cents(year.interest);
        case 4:
            return TableCell::cents(year.paid());
        default:
            return TableCell::cents(year.closing);
    }
}

DocumentFacts scheduleFacts(const ScheduleValues& schedule, const QLocale& locale) {
    const LoanFacts& loan = schedule.loan;
    std::int64_t principal = 0;
    std::int64_t interest = 0;
    if (schedule.hasTotals) {
        principal = schedule.totals.principal;
        interest = schedule.totals.interest;
    }
    DocumentFacts facts;
    facts.title = u"Repayment Schedule"_s;
    facts.items = {
        {u"Principal Amount"_s, TableCell::cents(loan.principal)},
        {u"# Of Months To Pay"_s, TableCell::integer(loan.months)},
        {u"Interest Rate"_s,
         TableCell::string(locale.toString(loan.ratePercent, 'g', 15) + u" %"_s)},
        {u"Loan Start Date"_s, TableCell::date(loan.start)},
        {u"EMI Amount"_s, TableCell::cents(loan.emi)},
        {u"Loan End Date"_s, TableCell::date(loan.end)},
        {u"Total Interest"_s, TableCell::cents(interest)},
        {u"Total Paid"_s, TableCell::cents(principal + interest)},
    };
    return facts;
}

DocumentFacts summaryFacts(const ScheduleValues& schedule, const YearlySummary& summary,
                           const QLocale& locale) {
    DocumentFacts facts = scheduleFacts(schedule, locale);
    facts.title = summary.basis == YearBasis::Calendar ? u"Yearly Summary (Calendar Years)"_s
                                                       : u"Yearly Summary (Loan Years)"_s;
    return facts;
}
