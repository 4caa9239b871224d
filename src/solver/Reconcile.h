#pragma once

#include "solver/LoanRows.h"
#include "solver/Statement.h"

#include <optional>
#include <vector>

// Which arithmetic a lender's statement follows, and where it parts from each.
//
// The loan is computed under every arithmetic (the main schedule's, unless the loan has events,
// and every instalment rounding with every interest rounding). A statement row is matched to
// the month of its number, else of its due date, else of its position. A row matches when every
// amount it holds equals the computed one to the cent, its date (if any) is that month's due
// date, and no earlier row stands for the same month. A statement matches when every row
// matches and no row of amounts was left unread.
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
    std::vector<ArithmeticResult> results;  // in the order of allArithmetics()
    int best = -1;                          // index into results
    bool matchesEveryRow = false;
    QString sentence;  // the best match, in one sentence
};

Reconciliation reconcile(const planner::PlanInput& loan, const Statement& statement,
                         const RowSource& source = loanRows);

// "the interest by 0.01 (916.68 on the statement, 916.67 computed)"
QString describeDifference(const Difference& difference);

// The whole report as text: what was read, every unreadable row, one line per arithmetic, and
// the sentence.
QString reportText(const ParsedStatement& parsed, const Reconciliation& reconciliation);

}  // namespace solver
