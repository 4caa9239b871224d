#include "solver/LoanRows.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "model/clsLoanDetails.h"

#include <cmath>
#include <exception>

using namespace Qt::StringLiterals;

namespace solver {

namespace {

// The model's amounts, already rounded to the cent.
Cents toCents(double roundedUnits) {
    std::int64_t cents = 0;
    toWholeCents(roundedUnits, cents);
    return cents;
}

QString instalmentWords(planner::InstalmentRounding rounding) {
    switch (rounding) {
        case planner::InstalmentRounding::NearestCent:
            return u"instalment to the nearest cent"_s;
        case planner::InstalmentRounding::NearestUnit:
            return u"instalment to the nearest whole unit"_s;
        case planner::InstalmentRounding::UpCent:
            return u"instalment up to the cent"_s;
        case planner::InstalmentRounding::UpUnit:
            return u"instalment up to a whole unit"_s;
    }
    return {};
}

QString interestWords(planner::InterestRounding rounding) {
    switch (rounding) {
        case planner::InterestRounding::HalfUp:
            return u"interest half up"_s;
        case planner::InterestRounding::HalfEven:
            return u"interest half to even"_s;
        case planner::InterestRounding::Down:
            return u"interest down"_s;
    }
    return {};
}

}  // namespace

std::vector<Arithmetic> allArithmetics() {
    std::vector<Arithmetic> all{Arithmetic{true}};
    for (const auto basis : planner::allInterestBases) {
        for (const auto instalment : planner::allInstalmentRoundings) {
            for (const auto interest : planner::allInterestRoundings) {
                all.push_back(Arithmetic{false, instalment, interest, basis});
            }
        }
    }
    return all;
}

QString describe(const Arithmetic& arithmetic) {
    if (arithmetic.schedule) {
        return u"the main schedule's arithmetic (instalment and interest unrounded, shown to the "
               u"cent)"_s;
    }
    return QString::fromLatin1(planner::name(arithmetic.basis)) + u", "_s +
           instalmentWords(arithmetic.instalment) + u", "_s + interestWords(arithmetic.interest);
}

QString shortName(const Arithmetic& arithmetic) {
    if (arithmetic.schedule) {
        return u"schedule"_s;
    }
    return QString::fromLatin1(planner::name(arithmetic.basis)) + u' ' +
           QString::fromLatin1(planner::name(arithmetic.instalment)) + u'/' +
           QString::fromLatin1(planner::name(arithmetic.interest));
}

bool scheduleApplies(const planner::PlanInput& loan) {
    return loan.events.empty() && loan.frequency == planner::Frequency::Monthly &&
           !loan.firstDue.isValid() && loan.compounding == planner::Compounding::PerPeriod &&
           loan.shape == planner::Shape::Annuity && loan.interestOnly == 0 && loan.grace == 0 &&
           loan.balloon == 0;
}

LoanRows scheduleRows(const planner::PlanInput& loan) {
    LoanRows result;
    if (!loan.events.empty()) {
        result.error = u"The main schedule has no prepayments or rate changes."_s;
        return result;
    }
    if (!scheduleApplies(loan)) {
        result.error = u"The main schedule knows only monthly annuities from the start date."_s;
        return result;
    }
    if (loan.months < 1 || loan.months > planner::maxMonths) {
        result.error = u"The main schedule needs 1 to %1 months."_s.arg(planner::maxMonths);
        return result;
    }
    const QDate start = loan.startDate.isValid() ? loan.startDate : QDate(2000, 1, 1);
    clsLoanDetails details;
    details.setPrincipleAmount(static_cast<double>(loan.principal) / 100.0);
    details.setTenure(static_cast<std::int16_t>(loan.months));
    details.setInterestRate(loan.annualPercent);
    try {
        details.setStartDate(AutomationDate::fromDate(start));
        details.CalculateEMI();
    } catch (const std::exception&) {
        result.error = u"The main schedule cannot compute this loan."_s;
        return result;
    }
    const auto schedule = details.getScheduleData();
    result.rows.reserve(static_cast<std::size_t>(loan.months));
    for (const clsSchedule& item : *schedule) {
        if (item.Number() == 0) {
            continue;  // the totals row
        }
        LoanRow row;
        row.number = item.Number();
        row.dueDate = AutomationDate::toDate(item.InstallmentDate());
        row.opening = toCents(item.OpeningBalance());
        row.payment = toCents(item.EMIAmount());
        row.principal = toCents(item.PrincipleAmount());
        row.interest = toCents(item.InterestAmount());
        row.closing = toCents(item.ClosingBalance());
        result.rows.push_back(row);
    }
    return result;
}

LoanRows loanRows(const planner::PlanInput& loan, const Arithmetic& arithmetic) {
    if (arithmetic.schedule) {
        return scheduleRows(loan);
    }
    planner::PlanInput input = loan;
    input.basis = arithmetic.basis;
    input.instalmentRounding = arithmetic.instalment;
    input.interestRounding = arithmetic.interest;
    LoanRows result;
    const planner::PlanResult plan = planner::computePlan(input);
    if (!plan.plan) {
        result.error = plan.error;
        return result;
    }
    result.rows = plan.plan->rows;
    return result;
}

planner::TrueCost trueCostOf(const planner::PlanInput& loan, const LoanRows& rows,
                             const planner::Fees& fees) {
    return planner::trueCost(loan, rows.rows, fees);
}

}  // namespace solver
