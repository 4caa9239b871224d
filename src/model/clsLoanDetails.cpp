#include "model/clsLoanDetails.h"

#include "core/AutomationDate.h"
#include "core/Failure.h"

#include <QString>

#include <cmath>

namespace {

// A step whose result is infinite or not a number is an overflow, a division by zero or an
// invalid operation.
double checked(double value) {
    if (!std::isfinite(value)) {
        throw Failure::platform(PlatformFailure::Overflow);
    }
    return value;
}

Failure componentFailure(const char16_t* method) {
    return Failure(componentFailureNumber,
                   QStringLiteral("Corvatel.clsLoanDetails.") + QString::fromUtf16(method),
                   QString::fromUtf16(componentFailureDescription));
}

}  // namespace

double clsLoanDetails::getMonthlyRate() const {
    return checked(checked(m_interestRate / 100) / 12);
}

void clsLoanDetails::CalculateEMI() {
    try {
        if (m_interestRate == 0) {
            // An interest-free loan: equal parts of the principal.
            setEMIAmount(checked(PrincipleAmount() / static_cast<double>(Tenure())));
        } else {
            const double a = checked(getMonthlyRate() * PrincipleAmount());
            const double g = checked(std::pow(getMonthlyRate() + 1, static_cast<double>(Tenure())));
            const double d = checked(g - 1);
            const double q = checked(g / d);
            setEMIAmount(checked(a * q));
        }
        generateSchedule();
    } catch (const std::exception&) {
        throw componentFailure(u"CalculateEMI");
    }
}

void clsLoanDetails::generateSchedule() {
    try {
        initScheduleCollection();
        calculateEndDate();
        double balance = PrincipleAmount();
        const int count = Tenure();
        m_schedule->reserve(count + 1);
        for (int i = 0; i < count; ++i) {
            const int n = i + 1;
            clsSchedule row;
            const double date = AutomationDate::addMonths(StartDate(), n);
            row.setNumber(static_cast<std::int16_t>(n));
            row.setInstallmentDate(date);
            row.setOpeningBalance(balance);
            row.setEMIAmount(m_emiAmount);
            row.setInterestAmount(checked(getMonthlyRate() * balance));
            row.calculatePrincipleAmount();
            balance = checked(balance - row.PrincipleAmount());
            if (n == Tenure()) {
                balance = 0;
            }
            row.setClosingBalance(balance);
            addScheduleRow(row);
        }
        addTotalsRow();
    } catch (const std::exception&) {
        throw componentFailure(u"generateSchedule");
    }
}

void clsLoanDetails::initScheduleCollection() {
    m_schedule = std::make_shared<ScheduleCollection>();
}

void clsLoanDetails::calculateEndDate() {
    setEndDate(AutomationDate::addMonths(StartDate(), Tenure()));
}

void clsLoanDetails::addScheduleRow(const clsSchedule& row) {
    m_schedule->Add(row);
}

void clsLoanDetails::addTotalsRow() {
    clsSchedule totals;
    const double principal = getTotalPrincipleAmount();
    const double interest = getTotalInterestAmount();
    totals.setPrincipleAmount(principal);
    totals.setInterestAmount(interest);
    totals.setClosingBalance(checked(principal + interest));
    m_schedule->Add(totals);
}

double clsLoanDetails::getTotalPrincipleAmount() const {
    double total = 0;
    for (int i = 1; i <= m_schedule->Count(); ++i) {
        total = checked(total + m_schedule->Item(i).PrincipleAmount());
    }
    return total;
}

double clsLoanDetails::getTotalInterestAmount() const {
    double total = 0;
    for (int i = 1; i <= m_schedule->Count(); ++i) {
        total = checked(total + m_schedule->Item(i).InterestAmount());
    }
    return total;
}
