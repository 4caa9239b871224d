#include "model/clsLoanCalculator.h"

#include "core/Conversions.h"
#include "model/clsLoanDetails.h"

clsLoanCalculator::clsLoanCalculator() : m_loanDetails(std::make_shared<clsLoanDetails>()) {}

clsLoanCalculator::~clsLoanCalculator() = default;

void clsLoanCalculator::CalculateEMI() {
    m_loanDetails->CalculateEMI();
}

ScheduleCollectionPtr clsLoanCalculator::getScheduleData() const {
    return m_loanDetails->getScheduleData();
}

double clsLoanCalculator::getEMIAmount() const {
    return roundToCents(m_loanDetails->EMIAmount());
}

QString clsLoanCalculator::getEndDate() const {
    return dateToText(m_loanDetails->EndDate());
}
