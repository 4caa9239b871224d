#pragma once

#include "model/clsSchedule.h"

#include <cstdint>
#include <memory>

// The unrounded EMI of the program's history, as CalculateEMI computes it (the formula and its
// order of steps are described at the facade, model/clsLoanCalculator.h). Throws
// Failure::platform on a step that is not finite; the caller decides what failure to raise.
double equatedMonthlyInstalment(double principal, double tenure, double annualPercent);

// The record of one loan: inputs, results and repayment schedule. The names are the program's
// historic ones. Dates are automation dates (see core/AutomationDate.h). The formula and its
// rounding are described at the facade, model/clsLoanCalculator.h.
class clsLoanDetails {
public:
    double PrincipleAmount() const { return m_principleAmount; }
    void setPrincipleAmount(double value) { m_principleAmount = value; }
    std::int16_t Tenure() const { return m_tenure; }
    void setTenure(std::int16_t value) { m_tenure = value; }
    double InterestRate() const { return m_interestRate; }
    void setInterestRate(double value) { m_interestRate = value; }
    double EMIAmount() const { return m_emiAmount; }
    void setEMIAmount(double value) { m_emiAmount = value; }
    double StartDate() const { return m_startDate; }
    void setStartDate(double value) { m_startDate = value; }
    double EndDate() const { return m_endDate; }
    void setEndDate(double value) { m_endDate = value; }
    ScheduleCollectionPtr ScheduleCollections() const { return m_schedule; }

    // Computes EMIAmount, then the schedule and EndDate. Throws Failure(componentFailureNumber,
    // "Corvatel.clsLoanDetails.CalculateEMI") on any failure.
    void CalculateEMI();
    // The collection itself, shared, not a copy; null before the first calculation.
    ScheduleCollectionPtr getScheduleData() const { return m_schedule; }

private:
    double getMonthlyRate() const;
    void generateSchedule();
    void initScheduleCollection();
    void calculateEndDate();
    void addScheduleRow(const clsSchedule& row);
    void addTotalsRow(double principle, double interest);

    double m_principleAmount = 0;
    std::int16_t m_tenure = 0;
    double m_interestRate = 0;
    double m_emiAmount = 0;
    double m_startDate = 0;
    double m_endDate = 0;
    std::shared_ptr<ScheduleCollection> m_schedule;
};
