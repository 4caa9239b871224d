#pragma once

#include "model/clsSchedule.h"

#include <QString>

#include <memory>

class clsLoanDetails;

// The loan model as the window reaches it. The names are the program's historic ones.
//
// Inputs, set on getLoanDetails(): PrincipleAmount P (currency units), Tenure n (months, a
// 16-bit integer), InterestRate (annual, in percent: 11 means 11 % a year), StartDate (an
// automation date, days since 30 December 1899).
//
// EMI = P * r * (1 + r)^n / ((1 + r)^n - 1) with the monthly rate r = InterestRate / 100 / 12,
// evaluated as a = r * P, g = (r + 1)^n, d = g - 1, q = g / d, EMI = a * q, so that results
// are bit-identical to the program's history. A rate of 0 (or one too small to register) is an
// interest-free loan: EMI = P / n. Any non-finite step fails.
//
// Schedule: n rows, row k due StartDate + k calendar months (a missing day becomes the month's
// last day), interest = r * opening balance, principal part = EMI - interest, and the balance
// falls by the principal part rounded to cents; the last closing balance is set to 0. A totals
// row (Number 0, date 0) follows with the sums of the rounded principal and interest parts and
// their sum as its closing balance. EndDate = StartDate + n months.
//
// Rounding: values are stored unrounded; money getters of clsSchedule and getEMIAmount round
// to 2 places, ties to the even digit on the exact binary value.
//
// Failures: CalculateEMI throws Failure(componentFailureNumber,
// "Corvatel.clsLoanDetails.CalculateEMI", "clsLoanDetails component failure") for tenure 0, a
// power beyond the double range, or a date outside the years 100..9999.
class clsLoanCalculator {
public:
    clsLoanCalculator();
    ~clsLoanCalculator();
    clsLoanCalculator(const clsLoanCalculator&) = delete;
    clsLoanCalculator& operator=(const clsLoanCalculator&) = delete;

    void CalculateEMI();
    ScheduleCollectionPtr getScheduleData() const;
    std::shared_ptr<clsLoanDetails> getLoanDetails() const { return m_loanDetails; }
    double getEMIAmount() const;
    // The end date in the user's short date form (see dateToText).
    QString getEndDate() const;

private:
    std::shared_ptr<clsLoanDetails> m_loanDetails;
};
