#include "model/clsLoanCalculator.h"

#include "core/Conversions.h"

double clsLoanCalculator::getEMIAmount() const {
    return roundToCents(m_details->EMIAmount());
}

QString clsLoanCalculator::getEndDate() const {
    return dateToText(m_details->EndDate());
}
