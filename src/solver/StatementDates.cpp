#include "solver/StatementDates.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace solver {

namespace {

using calendar::DueDates;
using calendar::Frequency;

struct DatedRow {
    long long number = 0;  // 0: the row has no number
    QDate date;
};

// A row without a number is the payment after the previous dated row's, the first one the payment
// due nearest to its date.
std::vector<long long> paymentNumbers(const std::vector<DatedRow>& rows, const DueDates& dates) {
    std::vector<long long> numbers;
    numbers.reserve(rows.size());
    long long previous = 0;
    for (const DatedRow& row : rows) {
        previous = row.number > 0 ? row.number
                   : previous > 0 ? previous + 1
                                  : dates.nearestByAverageStep(row.date);
        numbers.push_back(previous);
    }
    return numbers;
}

// The date of payment 1 when payment `number` falls on date; semi-monthly pay days are not
// stepped back.
QDate stepBack(const QDate& date, long long number, Frequency frequency, int day) {
    if (number <= 1) {
        return date;
    }
    if (const int months = calendar::monthsPerStep(frequency); months > 0) {
        return calendar::addMonthsOnDay(date, -(number - 1) * months, day);
    }
    if (const int weeks = calendar::weeksPerStep(frequency); weeks > 0) {
        return date.addDays(-7 * weeks * (number - 1));
    }
    return {};
}

}  // namespace

InferredTerms inferDueDates(const Statement& statement, const QDate& start,
                            const DueDateTerms& loanTerms, const GivenTerms& given) {
    InferredTerms result;
    result.terms.frequency = given.frequency.value_or(loanTerms.frequency);
    result.terms.firstDue = given.firstDue.value_or(loanTerms.firstDue);
    std::vector<DatedRow> rows;
    for (const StatementRow& row : statement.rows) {
        if (row.date && row.date->isValid()) {
            rows.push_back({row.number.value_or(0), *row.date});
        }
    }
    result.datedRows = static_cast<int>(rows.size());
    // One date alone would always fit some first due date; it tells nothing.
    if (rows.size() < 2 || !start.isValid() || (given.frequency && given.firstDue)) {
        return result;
    }
    const auto earliest = std::min_element(
        rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.date < b.date; });
    int day = 1;
    for (const DatedRow& row : rows) {
        day = std::max(day, row.date.day());
    }

    std::vector<Frequency> frequencies;
    if (given.frequency) {
        frequencies.push_back(*given.frequency);
    } else {
        frequencies.push_back(loanTerms.frequency);
        for (const Frequency frequency : calendar::allFrequencies) {
            if (frequency != loanTerms.frequency) {
                frequencies.push_back(frequency);
            }
        }
    }
    int best = -1;
    const auto consider = [&](Frequency frequency, const QDate& firstDue) {
        if (firstDue.isValid() && firstDue <= start) {
            return false;
        }
        const DueDates dates(start, frequency, firstDue);
        if (!dates.at(1).isValid()) {
            return false;
        }
        const std::vector<long long> numbers = paymentNumbers(rows, dates);
        int count = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            count += dates.at(numbers[i]) == rows[i].date ? 1 : 0;
        }
        if (count > best) {
            best = count;
            result.terms = {frequency, firstDue};
        }
        return best == result.datedRows;  // nothing later can fit more
    };
    for (const Frequency frequency : frequencies) {
        std::vector<QDate> firstDues;
        if (given.firstDue) {
            firstDues.push_back(*given.firstDue);
        } else {
            firstDues.push_back(QDate());
            if (earliest->number > 0) {
                firstDues.push_back(stepBack(earliest->date, earliest->number, frequency, day));
            } else {
                // The statement's first row is payment 1, or as many steps after the start as its
                // date lies.
                firstDues.push_back(earliest->date);
                const double steps = static_cast<double>(start.daysTo(earliest->date)) /
                                     calendar::averageStepDays(frequency);
                firstDues.push_back(stepBack(
                    earliest->date, std::max<long long>(1, std::llround(steps)), frequency, day));
            }
        }
        for (std::size_t i = 0; i < firstDues.size(); ++i) {
            // Past the first, an invalid date is a step that could not be taken back.
            if ((i == 0 || firstDues[i].isValid()) && consider(frequency, firstDues[i])) {
                break;
            }
        }
        if (best == result.datedRows) {
            break;
        }
    }
    result.fittingRows = std::max(best, 0);
    result.frequencyRead = !given.frequency;
    result.firstDueRead = !given.firstDue;
    return result;
}

}  // namespace solver
