#include "solver/Reconcile.h"

#include "solver/Money.h"
#include "solver/StatementFile.h"

#include <algorithm>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace solver {

namespace {

constexpr Role comparedColumns[] = {Role::Payment, Role::Principal, Role::Interest,
                                    Role::Extra,   Role::Closing,   Role::Opening};

Cents computedAmount(const LoanRow& row, Role role) {
    switch (role) {
        case Role::Opening:
            return row.opening;
        case Role::Payment:
            return row.payment;
        case Role::Principal:
            return row.principal;
        case Role::Interest:
            return row.interest;
        case Role::Extra:
            return row.extra;
        case Role::Closing:
            return row.closing;
        default:
            return 0;
    }
}

std::optional<Difference> amountDifference(const StatementRow& row, const LoanRow& computed) {
    for (const Role column : comparedColumns) {
        const auto& amount = row.amounts[static_cast<std::size_t>(amountIndex(column))];
        if (amount && *amount != computedAmount(computed, column)) {
            return Difference{0,
                              computed.number,
                              column,
                              *amount,
                              computedAmount(computed, column),
                              Mismatch::Amount};
        }
    }
    return std::nullopt;
}

void compare(const Statement& statement, ArithmeticResult& result) {
    const auto& rows = result.computed.rows;
    // The row due on a date; the rows fall due in order.
    const auto rowDueOn = [&rows](const QDate& date) {
        const auto at = std::lower_bound(
            rows.begin(), rows.end(), date,
            [](const LoanRow& row, const QDate& day) { return row.dueDate < day; });
        return at != rows.end() && at->dueDate == date ? static_cast<int>(at - rows.begin()) : -1;
    };
    std::vector<int> listedAt(rows.size(), 0);  // the line that stood for each month
    for (std::size_t s = 0; s < statement.rows.size(); ++s) {
        const StatementRow& row = statement.rows[s];
        int index = static_cast<int>(s);
        Difference mismatch{static_cast<int>(s)};
        if (row.number) {
            index = *row.number - 1;
        } else if (row.date) {
            index = rowDueOn(*row.date);
            if (index < 0) {
                mismatch.kind = Mismatch::NotDueDate;
                mismatch.date = *row.date;
            }
        }
        ++result.compared;
        const bool inRange = index >= 0 && index < static_cast<int>(rows.size());
        mismatch.month = inRange ? index + 1 : row.number.value_or(index + 1);
        std::optional<Difference> difference;
        if (!inRange) {
            difference = mismatch;
        } else if (const LoanRow& computed = rows[static_cast<std::size_t>(index)];
                   row.date && *row.date != computed.dueDate) {
            mismatch.kind = Mismatch::WrongDate;
            mismatch.date = *row.date;
            mismatch.dueDate = computed.dueDate;
            difference = mismatch;
        } else if (int& first = listedAt[static_cast<std::size_t>(index)]; first != 0) {
            mismatch.kind = Mismatch::Repeated;
            mismatch.firstLine = first;
            difference = mismatch;
        } else {
            first = row.line;
            difference = amountDifference(row, computed);
            if (difference) {
                difference->statementRow = static_cast<int>(s);
            }
        }
        if (!difference) {
            ++result.matching;
        } else if (!result.firstDifference) {
            result.firstDifference = difference;
        }
    }
}

QString rowsText(int count) {
    return count == 1 ? u"1 row"_s : u"%1 rows"_s.arg(count);
}

constexpr std::size_t reportedResults = 10;

}  // namespace

QString placeText(const Statement& statement, const Difference& difference) {
    const int line = statement.rows[static_cast<std::size_t>(difference.statementRow)].line;
    return difference.month > 0 ? u"line %1 (period %2)"_s.arg(line).arg(difference.month)
                                : u"line %1"_s.arg(line);
}

QString describeDifference(const Difference& difference) {
    switch (difference.kind) {
        case Mismatch::NoSuchMonth:
            return u"the computed loan has no period %1"_s.arg(difference.month);
        case Mismatch::NotDueDate:
            return u"the date %1 is not a due date of this loan"_s.arg(
                difference.date.toString(Qt::ISODate));
        case Mismatch::WrongDate:
            return u"the date %1 is not the due date of period %2 (%3)"_s.arg(
                difference.date.toString(Qt::ISODate), QString::number(difference.month),
                difference.dueDate.toString(Qt::ISODate));
        case Mismatch::Repeated:
            return u"period %1 is listed again (first at line %2)"_s.arg(difference.month)
                .arg(difference.firstLine);
        case Mismatch::Amount:
            break;
    }
    return u"the %1 by %2 (%3 on the statement, %4 computed)"_s.arg(
        roleTitle(difference.column).toLower(),
        moneyText(difference.statement - difference.computed), moneyText(difference.statement),
        moneyText(difference.computed));
}

QString dueDatesText(const DueDateTerms& terms) {
    const QString frequency = QString::fromLatin1(calendar::name(terms.frequency));
    return terms.firstDue.isValid()
               ? u"%1, first due %2"_s.arg(frequency, terms.firstDue.toString(Qt::ISODate))
               : u"%1, a regular first period"_s.arg(frequency);
}

std::vector<int> ranking(const Reconciliation& reconciliation) {
    const auto& results = reconciliation.results;
    std::vector<int> order(results.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    const auto score = [&results](int i) {
        const auto& result = results[static_cast<std::size_t>(i)];
        return result.error.isEmpty() ? result.matching : -1;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&score](int a, int b) { return score(a) > score(b); });
    return order;
}

Reconciliation reconcile(const planner::PlanInput& given, const Statement& statement,
                         const GivenTerms& givenTerms, const RowSource& source) {
    Reconciliation reconciliation;
    reconciliation.dueDates =
        inferDueDates(statement, given.startDate, {given.frequency, given.firstDue}, givenTerms);
    planner::PlanInput loan = given;
    loan.frequency = reconciliation.dueDates.terms.frequency;
    loan.firstDue = reconciliation.dueDates.terms.firstDue;
    for (const Arithmetic& arithmetic : allArithmetics()) {
        if (arithmetic.schedule && !scheduleApplies(loan)) {
            continue;
        }
        ArithmeticResult result;
        result.arithmetic = arithmetic;
        result.computed = source(loan, arithmetic);
        result.error = result.computed.error;
        if (result.error.isEmpty()) {
            compare(statement, result);
        }
        reconciliation.results.push_back(std::move(result));
    }
    const auto rowCount = static_cast<int>(statement.rows.size());
    if (const std::vector<int> order = ranking(reconciliation);
        !order.empty() &&
        reconciliation.results[static_cast<std::size_t>(order.front())].error.isEmpty()) {
        reconciliation.best = order.front();
    }
    if (reconciliation.best < 0) {
        // The planner's reason names the input; the main schedule's only says it cannot.
        const auto planned = std::find_if(
            reconciliation.results.begin(), reconciliation.results.end(),
            [](const ArithmeticResult& result) { return !result.arithmetic.schedule; });
        reconciliation.sentence = u"The loan cannot be computed: %1"_s.arg(
            planned != reconciliation.results.end() ? planned->error : QString());
        return reconciliation;
    }
    if (rowCount == 0) {
        reconciliation.sentence = u"The statement has no readable rows to compare."_s;
        return reconciliation;
    }
    const auto& best = reconciliation.results[static_cast<std::size_t>(reconciliation.best)];
    const auto unread = std::find_if(statement.unreadable.begin(), statement.unreadable.end(),
                                     [](const UnreadableRow& row) { return row.instalment; });
    reconciliation.matchesEveryRow =
        best.matching == rowCount && unread == statement.unreadable.end();
    if (best.matching == rowCount && !reconciliation.matchesEveryRow) {
        const auto count = std::count_if(statement.unreadable.begin(), statement.unreadable.end(),
                                         [](const UnreadableRow& row) { return row.instalment; });
        reconciliation.sentence =
            u"The rows read follow %1, but %2 of amounts could not be read, the first at line "
            u"%3: %4."_s.arg(describe(best.arithmetic), rowsText(static_cast<int>(count)),
                             QString::number(unread->line), unread->reason);
    } else if (reconciliation.matchesEveryRow) {
        reconciliation.sentence = u"Your statement matches: %1, on %2."_s.arg(
            describe(best.arithmetic),
            rowCount == 1 ? u"its one row"_s : u"all %1 rows"_s.arg(rowCount));
    } else {
        const Difference& difference = *best.firstDifference;
        reconciliation.sentence =
            u"No arithmetic matches every row; the closest is %1, on %2 of %3: the first "
            u"difference is at %4, %5."_s.arg(
                describe(best.arithmetic), QString::number(best.matching), rowsText(rowCount),
                placeText(statement, difference), describeDifference(difference));
    }
    return reconciliation;
}

QString noRowsText(const ParsedStatement& parsed) {
    const auto& unreadable = parsed.statement.unreadable;
    QString why;
    if (!unreadable.empty()) {
        why = u"line %1: %2"_s.arg(unreadable.front().line).arg(unreadable.front().reason);
        if (unreadable.size() > 1) {
            why += u" (and %1 more)"_s.arg(unreadable.size() - 1);
        }
    } else if (parsed.table.rows.empty()) {
        why = u"it holds no text"_s;
    } else {
        why = u"it holds only the column titles"_s;
    }
    return u"No row of the statement could be read: %1."_s.arg(why);
}

QString reportText(const ParsedStatement& parsed, const Reconciliation& reconciliation) {
    const Statement& statement = parsed.statement;
    if (statement.rows.empty()) {
        return noRowsText(parsed) + u'\n';
    }
    QString text = u"Statement: %1 read"_s.arg(rowsText(static_cast<int>(statement.rows.size())));
    if (!statement.unreadable.empty()) {
        text += u", %1 unreadable"_s.arg(statement.unreadable.size());
    }
    text += u".\nColumns:"_s;
    for (std::size_t c = 0; c < parsed.columns.size(); ++c) {
        text += u" %1=%2"_s.arg(c + 1).arg(roleName(parsed.columns[c]));
    }
    text += u"\nDecimal separator: '%1'\n"_s.arg(parsed.style.decimal);
    for (const UnreadableRow& row : statement.unreadable) {
        text += u"  line %1 unreadable: %2: %3\n"_s.arg(row.line).arg(row.reason, row.text);
    }
    const InferredTerms& dueDates = reconciliation.dueDates;
    text += u"Due dates: "_s + dueDatesText(dueDates.terms);
    if (dueDates.frequencyRead || dueDates.firstDueRead) {
        text += u" (read from the dates: %1 of %2 fit)"_s.arg(dueDates.fittingRows)
                    .arg(dueDates.datedRows);
    }
    text += u"\n\n"_s;
    const std::vector<int> order = ranking(reconciliation);
    const std::size_t shown = std::min(order.size(), reportedResults);
    if (shown < order.size()) {
        text += u"The best %1 of %2 arithmetics:\n"_s.arg(shown).arg(order.size());
    }
    for (std::size_t i = 0; i < shown; ++i) {
        const ArithmeticResult& result = reconciliation.results[static_cast<std::size_t>(order[i])];
        QString line = shortName(result.arithmetic).leftJustified(37);
        if (!result.error.isEmpty()) {
            line += u"cannot compute: "_s + result.error;
        } else {
            line += u"%1/%2"_s.arg(result.matching).arg(result.compared).leftJustified(11);
            if (result.firstDifference) {
                const auto& difference = *result.firstDifference;
                line += placeText(statement, difference) + u": "_s + describeDifference(difference);
            } else {
                line += u"every row matches"_s;
            }
        }
        text += line + u'\n';
    }
    if (shown < order.size()) {
        const auto& next = reconciliation.results[static_cast<std::size_t>(order[shown])];
        text += u"The other %1 match at most %2.\n"_s.arg(order.size() - shown)
                    .arg(rowsText(next.error.isEmpty() ? next.matching : 0));
    }
    text += u'\n' + reconciliation.sentence + u'\n';
    return withoutControls(text);
}

}  // namespace solver
