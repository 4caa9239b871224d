#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One row of the repayment schedule. The names are the program's historic ones.
class clsSchedule {
public:
    std::int16_t Number() const { return m_number; }
    void setNumber(std::int16_t value) { m_number = value; }
    double InstallmentDate() const { return m_installmentDate; }
    void setInstallmentDate(double value) { m_installmentDate = value; }

    // The money getters round to cents (ties to even); the stored values stay unrounded.
    double OpeningBalance() const;
    void setOpeningBalance(double value) { m_openingBalance = value; }
    double PrincipleAmount() const;
    void setPrincipleAmount(double value) { m_principleAmount = value; }
    double InterestAmount() const;
    void setInterestAmount(double value) { m_interestAmount = value; }
    double EMIAmount() const;
    void setEMIAmount(double value) { m_emiAmount = value; }
    double ClosingBalance() const;
    void setClosingBalance(double value) { m_closingBalance = value; }

    // The stored values before rounding, for callers that round many at once.
    double exactOpeningBalance() const { return m_openingBalance; }
    double exactPrincipleAmount() const { return m_principleAmount; }
    double exactInterestAmount() const { return m_interestAmount; }
    double exactClosingBalance() const { return m_closingBalance; }

    // Principal part = instalment - interest part, both unrounded. Throws Failure(Overflow)
    // when the difference is not finite.
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

// The schedule's ordered collection of rows: 1-based positions, no keys, append only.
class ScheduleCollection {
public:
    int Count() const { return static_cast<int>(m_rows.size()); }
    // Throws Failure(SubscriptOutOfRange) for a position outside 1..Count().
    const clsSchedule& Item(int position) const;
    // 0-based and unchecked, for loops over valid positions.
    const clsSchedule& at(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
    void Add(const clsSchedule& row) { m_rows.push_back(row); }
    void reserve(int count) { m_rows.reserve(static_cast<std::size_t>(count > 0 ? count : 0)); }

    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }

private:
    std::vector<clsSchedule> m_rows;
};

// How callers hold a schedule: shared with the record, read only.
using ScheduleCollectionPtr = std::shared_ptr<const ScheduleCollection>;
