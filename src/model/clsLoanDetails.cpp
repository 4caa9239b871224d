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
        double balance = PrincipleAmount();
        const int last = Tenure() - 1;
        if (last < std::numeric_limits<std::int16_t>::min()) {
            throw Failure::platform(PlatformFailure::Overflow);
        }
        m_schedule->reserve(last + 2);
        for (int i = 0; i <= last; ++i) {
            const auto n = static_cast<std::int16_t>(i + 1);
            clsSchedule row;
            const double date = AutomationDate::addMonths(StartDate(), n);
            row.setNumber(n);
            row.setInstallmentDate(date);
            row.setOpeningBalance(balance);
            row.setEMIAmount(EMIAmount());
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

void clsLoanDetails::addTotalsRow() {
    clsSchedule totals;
    const double principle = getTotalPrincipleAmount();
    const double interest = getTotalInterestAmount();
    totals.setPrincipleAmount(principle);
    totals.setInterestAmount(interest);
    totals.setClosingBalance(checked(principle + interest));
    m_schedule->Add(totals);
}

double clsLoanDetails::getTotalPrincipleAmount() const {
    double sum = 0;
    for (const clsSchedule& row : *m_schedule) {
        sum = checked(sum + row.PrincipleAmount());
    }
    return sum;
}

double clsLoanDetails::getTotalInterestAmount() const {
    double sum = 0;
    for (const clsSchedule& row : *m_schedule) {
        sum = checked(sum + row.InterestAmount());
    }
    return sum;
}
