#include "model/clsSchedule.h"

#include "core/Conversions.h"
#include "core/Failure.h"

#include <cmath>

double clsSchedule::OpeningBalance() const {
    return roundToCents(m_openingBalance);
}

double clsSchedule::PrincipleAmount() const {
    return roundToCents(m_principleAmount);
}

double clsSchedule::InterestAmount() const {
    return roundToCents(m_interestAmount);
}

double clsSchedule::EMIAmount() const {
    return roundToCents(m_emiAmount);
}

double clsSchedule::ClosingBalance() const {
    return roundToCents(m_closingBalance);
}

void clsSchedule::calculatePrincipleAmount() {
    const double principle = m_emiAmount - m_interestAmount;
    if (!std::isfinite(principle)) {
        throw Failure::platform(PlatformFailure::Overflow);
    }
    m_principleAmount = principle;
}

const clsSchedule& ScheduleCollection::Item(int position) const {
    if (position < 1 || position > Count()) {
        throw Failure::platform(PlatformFailure::SubscriptOutOfRange);
    }
    return m_rows[static_cast<std::size_t>(position - 1)];
}
