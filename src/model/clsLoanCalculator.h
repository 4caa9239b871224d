#pragma once

#include "model/clsLoanDetails.h"

#include <QString>

#include <memory>

// The one object of the loan model that the window holds (historic name). It owns a loan record.
//
// EMI = P * r * (1 + r)^n / ((1 + r)^n - 1), with P the principal in currency units, r the
// annual rate in percent / 100 / 12 and n the tenure in months, evaluated in that order in
// doubles; an annual rate of 0 gives P / n. The schedule's rows follow from it month by month:
// interest = r * balance, principal part = EMI - interest, and the balance falls by the
// principal part rounded to cents; the last instalment closes at 0. Amounts are stored
// unrounded and rounded to cents (ties to even) only when read. Dates are day counts from
// 30 December 1899 (see core/AutomationDate.h).
//
// Failures of the calculation are raised as Failure(0x80040064,
// "Corvatel.clsLoanDetails.CalculateEMI", "clsLoanDetails component failure"), uncaught here.
class clsLoanCalculator {
public:
    clsLoanCalculator() : m_details(std::make_shared<clsLoanDetails>()) {}

    void CalculateEMI() { m_details->CalculateEMI(); }
    ScheduleCollectionPtr getScheduleData() const { return m_details->getScheduleData(); }
    std::shared_ptr<clsLoanDetails> getLoanDetails() const { return m_details; }
    // The EMI rounded to cents.
    double getEMIAmount() const;
    // The end date as text in the user's short date form.
    QString getEndDate() const;

private:
    std::shared_ptr<clsLoanDetails> m_details;
};
