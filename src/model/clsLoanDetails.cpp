#include "model/clsLoanDetails.h"

#include "core/AutomationDate.h"
#include "core/Failure.h"

#include <cmath>
#include <exception>
#include <limits>

namespace {

// Every arithmetic step is checked: an infinite or undefined result is a run-time failure.
double checked(double value, PlatformFailure kind = PlatformFailure::Overflow) {
    if (!std::isfinite(value)) {
        throw Failure::platform(kind);
    }
    return value;
}

[[noreturn]] void raiseComponentFailure(const char16_t* source) {
    throw Failure(componentFailureNumber, QString::fromUtf16(source),
                  QString::fromUtf16(componentFailureDescription));
}

}  // namespace

double equatedMonthlyInstalment(double principal, double tenure, double annualPercent) {
    const double r = checked(checked(annualPercent / 100.0) / 12.0);
    const double a = checked(r * principal);
    const double g = checked(std::pow(r + 1.0, tenure));
    const double d = checked(g - 1.0);
    if (r + 1.0 == 1.0 && tenure != 0) {
        // No interest (a rate of 0, or one too small to register): the formula would divide by
        // zero; its limit is equal parts of the principal.
        return checked(principal / tenure);
    }
    const double q = checked(g / d, PlatformFailure::DivisionByZero);
    return checked(a * q);
}

double clsLoanDetails::getMonthlyRate() const {
    return checked(checked(m_interestRate / 100.0) / 12.0);
}

void clsLoanDetails::CalculateEMI() {
    try {
        setEMIAmount(equatedMonthlyInstalment(PrincipleAmount(), Tenure(), InterestRate()));
        generateSchedule();
    } catch (const std::exception&) {
        raiseComponentFailure(u"Corvatel.clsLoanDetails.CalculateEMI");
    }
}

void clsLoanDetails::generateSchedule() {
    try {
        initScheduleCollection();
        calculateEndDate();
        const double rate = getMonthlyRate();
        const AutomationDate::MonthSeries dates(StartDate());
        double balance = PrincipleAmount();
        const int last = Tenure() - 1;
        if (last < std::numeric_limits<std::int16_t>::min()) {
            throw Failure::platform(PlatformFailure::Overflow);
        }
        m_schedule->reserve(last + 2);
        // Sums of the rounded parts; once not finite they stay so, and the totals row fails.
        double totalPrinciple = 0;
        double totalInterest = 0;
        for (int i = 0; i <= last; ++i) {
            const auto n = static_cast<std::int16_t>(i + 1);
            clsSchedule row;
            const double date = dates.at(n);
            row.setNumber(n);
            row.setInstallmentDate(date);
            row.setOpeningBalance(balance);
            row.setEMIAmount(EMIAmount());
            row.setInterestAmount(checked(rate * balance));
            row.calculatePrincipleAmount();
            const double principle = row.PrincipleAmount();
            balance = checked(balance - principle);
            if (n == Tenure()) {
                balance = 0;
            }
            row.setClosingBalance(balance);
            totalPrinciple += principle;
            totalInterest += row.InterestAmount();
            addScheduleRow(row);
        }
        addTotalsRow(totalPrinciple, totalInterest);
    } catch (const std::exception&) {
        raiseComponentFailure(u"Corvatel.clsLoanDetails.generateSchedule");
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

void clsLoanDetails::addTotalsRow(double principle, double interest) {
    clsSchedule totals;
    totals.setPrincipleAmount(checked(principle));
    totals.setInterestAmount(checked(interest));
    totals.setClosingBalance(checked(principle + interest));
    m_schedule->Add(totals);
}
