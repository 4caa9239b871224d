#pragma once

#include "core/Frequency.h"
#include "solver/Statement.h"

#include <QDate>

#include <optional>

// The due-date terms of a loan read from the dates of its statement.
//
// Every frequency (or the one given) is tried with a regular first period and with the first
// due date the statement's earliest dated row implies (or the one given). A dated row fits when
// it falls on the due date of its number; a row without one is the payment after the previous
// dated row's, or, the first, the payment due nearest to its date. The terms that fit the most rows
// win; ties go to the loan's own frequency, then to the shorter steps, and to a regular first
// period before an odd one.
namespace solver {

struct DueDateTerms {
    calendar::Frequency frequency = calendar::Frequency::Monthly;
    QDate firstDue;  // invalid: a regular first period
};

// What the caller fixed; the rest is read from the dates.
struct GivenTerms {
    std::optional<calendar::Frequency> frequency;
    std::optional<QDate> firstDue;  // an invalid date: a regular first period
};

struct InferredTerms {
    DueDateTerms terms;
    bool frequencyRead = false;  // from the dates, not given
    bool firstDueRead = false;
    int datedRows = 0;
    int fittingRows = 0;  // dated rows that fall on the terms' due dates
};

// The loan's own terms stand where nothing is given and the statement has fewer than two dates.
InferredTerms inferDueDates(const Statement& statement, const QDate& start,
                            const DueDateTerms& loanTerms, const GivenTerms& given = {});

}  // namespace solver
