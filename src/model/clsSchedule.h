#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One row of the repayment schedule (the class keeps the program's historic name). The five
// money getters return the stored value rounded to cents, ties to even; setters store unrounded.
class clsSchedule {
public:
    std::int16_t Number() const { return m_number; }
    void setNumber(std::int16_t number) { m_number = number; }
    double InstallmentDate() const { return m_installmentDate; }
    void setInstallmentDate(double date) { m_installmentDate = date; }
    double OpeningBalance() const;
    void setOpeningBalance(double amount) { m_openingBalance = amount; }
    double PrincipleAmount() const;
    void setPrincipleAmount(double amount) { m_principleAmount = amount; }
    double InterestAmount() const;
    void setInterestAmount(double amount) { m_interestAmount = amount; }
    double EMIAmount() const;
    void setEMIAmount(double amount) { m_emiAmount = amount; }
    double ClosingBalance() const;
    void setClosingBalance(double amount) { m_closingBalance = amount; }

    // Principal part = instalment - interest, both unrounded. Throws Failure on a
    // floating-point fault.
    void calculatePrincipleAmount();

private:
    std::int16_t m_number = 0;
    double m_installmentDate = 0;
    double m_principleAmount = 0;
    double m_interestAmount = 0;
    double m_openingBalance = 0;
    double m_closingBalance = 0;
    double m_emiAmount = 0;
};

// The schedule: instalment rows in order, then the totals row; positions count from 1.
class ScheduleCollection {
public:
    int Count() const { return static_cast<int>(m_rows.size()); }
    // Throws Failure(SubscriptOutOfRange) for a position outside 1..Count().
    const clsSchedule& Item(int position) const;
    void Add(const clsSchedule& row) { m_rows.push_back(row); }
    void reserve(int count) { m_rows.reserve(static_cast<std::size_t>(count > 0 ? count : 0)); }

private:
    std::vector<clsSchedule> m_rows;
};

using ScheduleCollectionPtr = std::shared_ptr<ScheduleCollection>;
