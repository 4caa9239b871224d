#pragma once

#include "solver/LoanRows.h"
#include "solver/Statement.h"
#include "solver/StatementDates.h"

#include <optional>
#include <vector>

// Which arithmetic a lender's statement follows, and where it parts from each.
//
// The loan's frequency and first due date are read from the statement's dates unless given. The
// loan is then computed under every arithmetic (the main schedule's where it applies, and every
// interest basis with every instalment rounding and every interest rounding). A statement row is
// matched to the period of its number, else of its due date, else of its position. A row matches
// when every amount it holds equals the computed one to the cent, its date (if any) is that
// period's due date, and no earlier row stands for the same period. A statement matches when
// every row matches and no row of amounts was left unread.
namespace solver {

enum class Mismatch { Amount, NoSuchMonth, NotDueDate, WrongDate, Repeated };

struct Difference {
    int statementRow = 0;  // index into Statement::rows
    int month = 0;
    Role column = Role::Ignore;  // the amount that differs; Ignore for the other mismatches
    Cents statement = 0;
    Cents computed = 0;
    Mismatch kind = Mismatch::NoSuchMonth;
    QDate date;         // the statement's date (NotDueDate, WrongDate)
    QDate dueDate;      // the month's due date (WrongDate)
    int firstLine = 0;  // the line that listed the month before (Repeated)
};

struct ArithmeticResult {
    Arithmetic arithmetic;
    QString error;  // the loan cannot be computed this way
    int matching = 0;
    int compared = 0;
    std::optional<Difference> firstDifference;
    LoanRows computed;
};

struct Reconciliation {
    InferredTerms dueDates;                 // the loan's due-date terms, as computed
    std::vector<ArithmeticResult> results;  // in the order of allArithmetics()
    int best = -1;                          // index into results
    bool matchesEveryRow = false;
    QString sentence;  // the best match, in one sentence
};

Reconciliation reconcile(const planner::PlanInput& loan, const Statement& statement,
                         const GivenTerms& given = {}, const RowSource& source = loanRows);

// The results from the most matching rows down, those that could not compute last; ties keep
// the order of allArithmetics().
std::vector<int> ranking(const Reconciliation& reconciliation);

// "fortnightly, first due 2026-01-19" or "monthly, a regular first period"
QString dueDatesText(const DueDateTerms& terms);

// "the interest by 0.01 (916.68 on the statement, 916.67 computed)"
// Where a difference is: "line 5 (period 2)", or "line 5" when no period falls on the row's
// date.
QString placeText(const Statement& statement, const Difference& difference);
QString describeDifference(const Difference& difference);

// Why no row of a statement could be read, in one line: "No row of the statement could be read:
// line 2: the date '31.02.2026' is not a date (and 3 more)."
QString noRowsText(const ParsedStatement& parsed);

// The whole report as text: what was read, every unreadable row, the due-date terms, a line for
// each of the best arithmetics, and the sentence; only noRowsText where no row could be read.
QString reportText(const ParsedStatement& parsed, const Reconciliation& reconciliation);

}  // namespace solver
