#pragma once

#include "model/clsSchedule.h"

#include <cstdint>

// The record of one loan: inputs, results and schedule (the class keeps the program's historic
// name). Getters and setters are plain stores; the class validates nothing.
class clsLoanDetails {
public:
    double PrincipleAmount() const { return m_principleAmount; }
    void setPrincipleAmount(double amount) { m_principleAmount = amount; }
    std::int16_t Tenure() const { return m_tenure; }
    void setTenure(std::int16_t months) { m_tenure = months; }
    double InterestRate() const { return m_interestRate; }
    void setInterestRate(double percent) { m_interestRate = percent; }
    double EMIAmount() const { return m_emiAmount; }
    void setEMIAmount(double amount) { m_emiAmount = amount; }
    double StartDate() const { return m_startDate; }
    void setStartDate(double date) { m_startDate = date; }
    double EndDate() const { return m_endDate; }
    void setEndDate(double date) { m_endDate = date; }
    ScheduleCollectionPtr ScheduleCollections() const { return m_schedule; }

    // Computes the EMI, then the schedule and the end date. Throws the component failure.
    void CalculateEMI();
    ScheduleCollectionPtr getScheduleData() const { return m_schedule; }

private:
    double getMonthlyRate() const;
    void generateSchedule();
    void initScheduleCollection();
    void calculateEndDate();
    void addScheduleRow(const clsSchedule& row);
    void addTotalsRow();
    double getTotalPrincipleAmount() const;
    double getTotalInterestAmount() const;

    double m_principleAmount = 0;
    std::int16_t m_tenure = 0;
    double m_interestRate = 0;
    double m_emiAmount = 0;
    double m_startDate = 0;
    double m_endDate = 0;
    ScheduleCollectionPtr m_schedule;
};
