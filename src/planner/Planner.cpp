#include "planner/Planner.h"

#include "core/Conversions.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace planner {

namespace {

// Due dates one calendar month apart, counted from the start date; a day the month lacks
// becomes its last day. Cheaper than QDate::addMonths for every row of a long plan.
class DueDates {
public:
    explicit DueDates(const QDate& start)
        : m_year(start.year()), m_month(start.month()), m_day(start.day()) {}

    QDate at(int k) const {
        const long long index = static_cast<long long>(m_year) * 12 + (m_month - 1) + k;
        const int year = static_cast<int>(index >= 0 ? index / 12 : (index - 11) / 12);
        const int month = static_cast<int>(index - static_cast<long long>(year) * 12) + 1;
        return QDate(year, month, std::min(m_day, daysInMonth(year, month)));
    }

private:
    static int daysInMonth(int year, int month) {
        static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) {
            return 29;
        }
        return days[month - 1];
    }

    int m_year;
    int m_month;
    int m_day;
};

struct Step {
    int month;
    Cents amount;
};

struct RateStep {
    int month;
    double rate;  // monthly
};

// The events as sorted steps, so that a month costs O(1) however many events there are.
struct Schedule {
    std::vector<Step> oneOffs;         // by month
    std::vector<Step> recurringDelta;  // by month: +amount at its start, -amount after its end
    std::vector<RateStep> rates;  // by month, stable: of two changes in one month the later wins
};

Schedule scheduleOf(const std::vector<Event>& events) {
    Schedule s;
    for (const Event& event : events) {
        if (const auto* once = std::get_if<OneOffExtra>(&event)) {
            s.oneOffs.push_back({once->month, once->amount});
        } else if (const auto* recurring = std::get_if<RecurringExtra>(&event)) {
            s.recurringDelta.push_back({recurring->fromMonth, recurring->amount});
            if (recurring->toMonth > 0) {
                s.recurringDelta.push_back({recurring->toMonth + 1, -recurring->amount});
            }
        } else if (const auto* change = std::get_if<RateChange>(&event)) {
            s.rates.push_back({change->fromMonth, monthlyRate(change->annualPercent)});
        }
    }
    const auto byMonth = [](const auto& a, const auto& b) { return a.month < b.month; };
    std::stable_sort(s.oneOffs.begin(), s.oneOffs.end(), byMonth);
    std::stable_sort(s.recurringDelta.begin(), s.recurringDelta.end(), byMonth);
    std::stable_sort(s.rates.begin(), s.rates.end(), byMonth);
    return s;
}

// Dates as every output of the program writes them, with four-digit years.
constexpr int lastYear = 9999;

QString monthFailure(const char16_t* text, int month) {
    return QString::fromUtf16(text).arg(month);
}

bool inRange(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

std::vector<InputProblem> inputProblems(const PlanInput& input) {
    std::vector<InputProblem> problems;
    const auto add = [&](int event, Field field, QString message) {
        problems.push_back({event, field, std::move(message)});
    };
    if (input.principal < 1 || input.principal > maxPrincipal) {
        add(-1, Field::Principal, u"The principal must be from 0.01 to 1000000000000.00."_s);
    }
    if (input.months < 1 || input.months > maxMonths) {
        add(-1, Field::Months, u"The term must be from 1 to 32767 months."_s);
    }
    if (!inRange(input.annualPercent, 0, maxAnnualPercent)) {
        add(-1, Field::Rate, u"The rate must be from 0 to 1000 %."_s);
    }
    if (!input.startDate.isValid() || input.startDate.year() < 100 ||
        input.startDate.year() > lastYear) {
        add(-1, Field::StartDate, u"The start date must lie in the years 100 to 9999."_s);
    }
    const int term = std::clamp(input.months, 1, maxMonths);
    const auto checkMonth = [&](int index, Field field, int month) {
        if (month < 1 || month > term) {
            add(index, field, u"Month %1 is outside the term (1 to %2)."_s.arg(month).arg(term));
            return false;
        }
        return true;
    };
    const auto checkAmount = [&](int index, Cents amount) {
        if (amount <= 0) {
            add(index, Field::Amount, u"The amount must be more than 0."_s);
        } else if (amount > maxPrincipal) {
            add(index, Field::Amount,
                u"The amount must be at most %1."_s.arg(plainCentsText(maxPrincipal)));
        }
    };
    for (int i = 0; i < static_cast<int>(input.events.size()); ++i) {
        const Event& event = input.events[static_cast<std::size_t>(i)];
        if (const auto* once = std::get_if<OneOffExtra>(&event)) {
            checkMonth(i, Field::Month, once->month);
            checkAmount(i, once->amount);
        } else if (const auto* recurring = std::get_if<RecurringExtra>(&event)) {
            const bool fromOk = checkMonth(i, Field::Month, recurring->fromMonth);
            if (recurring->toMonth != 0 && checkMonth(i, Field::EndMonth, recurring->toMonth) &&
                fromOk && recurring->toMonth < recurring->fromMonth) {
                add(i, Field::EndMonth,
                    u"The end month %1 comes before the first month %2."_s.arg(recurring->toMonth)
                        .arg(recurring->fromMonth));
            }
            checkAmount(i, recurring->amount);
        } else if (const auto* change = std::get_if<RateChange>(&event)) {
            checkMonth(i, Field::Month, change->fromMonth);
            if (!inRange(change->annualPercent, 0, maxAnnualPercent)) {
                add(i, Field::Amount, u"The rate must be from 0 to 1000 %."_s);
            }
        }
    }
    return problems;
}

QString validate(const PlanInput& input) {
    const auto problems = inputProblems(input);
    return problems.empty() ? QString() : problems.front().message;
}

PlanResult computePlan(const PlanInput& input) {
    if (QString problem = validate(input); !problem.isEmpty()) {
        return {std::nullopt, problem};
    }
    const Schedule events = scheduleOf(input.events);
    const DueDates dates(input.startDate);
    const double loanRate = monthlyRate(input.annualPercent);

    std::size_t nextRate = 0;
    double rate = loanRate;
    // The monthly rate in force for month k, k rising by one each call.
    const auto rateFor = [&](int k) {
        while (nextRate < events.rates.size() && events.rates[nextRate].month <= k) {
            rate = events.rates[nextRate++].rate;
        }
        return rate;
    };
    const auto rateChangesAt = [&](int k) {
        return nextRate < events.rates.size() && events.rates[nextRate].month == k;
    };

    Plan plan;
    plan.rows.reserve(static_cast<std::size_t>(input.months));
    double r = rateFor(1);
    Cents e = instalment(input.principal, r, input.months, input.instalmentRounding);
    plan.instalments.push_back(e);
    long long last = input.months;
    Cents balance = input.principal;
    // Wide enough for any number of events at the largest amount; only what the balance
    // takes is paid.
    __int128 recurring = 0;
    std::size_t nextOneOff = 0;
    std::size_t nextDelta = 0;

    for (int k = 1; k <= maxMonths; ++k) {
        if (k > 1) {
            r = rateFor(k);
        }
        PlanRow row;
        row.number = k;
        row.dueDate = dates.at(k);
        if (row.dueDate.year() > lastYear) {
            return {std::nullopt, u"The plan runs past the year 9999."_s};
        }
        row.opening = balance;
        row.interest = roundInterest(static_cast<double>(balance) * r, input.interestRounding);
        if (e - row.interest >= balance || k == last) {
            row.principal = balance;
            row.payment = balance + row.interest;
        } else {
            row.principal = e - row.interest;
            if (row.principal <= 0) {
                return {
                    std::nullopt,
                    monthFailure(u"The instalment does not cover the interest of month %1.", k)};
            }
            row.payment = e;
        }
        balance -= row.principal;

        while (nextDelta < events.recurringDelta.size() &&
               events.recurringDelta[nextDelta].month <= k) {
            recurring += events.recurringDelta[nextDelta++].amount;
        }
        __int128 extra = recurring;
        while (nextOneOff < events.oneOffs.size() && events.oneOffs[nextOneOff].month <= k) {
            if (events.oneOffs[nextOneOff].month == k) {
                extra += events.oneOffs[nextOneOff].amount;
            }
            ++nextOneOff;
        }
        row.extra = static_cast<Cents>(std::min<__int128>(extra, balance));
        balance -= row.extra;
        row.closing = balance;

        plan.totals.payments += row.payment;
        plan.totals.principal += row.principal;
        plan.totals.interest += row.interest;
        plan.totals.extra += row.extra;
        plan.rows.push_back(row);
        if (balance == 0) {
            plan.totals.months = k;
            plan.totals.endDate = row.dueDate;
            return {std::move(plan), {}};
        }

        if (row.extra > 0 || rateChangesAt(k + 1)) {
            const double next = rateChangesAt(k + 1) ? rateFor(k + 1) : r;
            if (input.policy == Policy::LowerInstalment) {
                e = instalment(balance, next, static_cast<int>(last - k), input.instalmentRounding);
            } else {
                const double b = static_cast<double>(balance);
                const double emi = static_cast<double>(e);
                if (e <= 0 || next * b >= emi) {
                    return {std::nullopt,
                            monthFailure(
                                u"The instalment does not cover the interest after month %1.", k)};
                }
                const double months =
                    1 + next == 1 ? b / emi : -std::log(1 - next * b / emi) / std::log(1 + next);
                // Months beyond the last possible one all mean "not repaid in time".
                last = k + std::clamp<long long>(static_cast<long long>(std::ceil(months - 1e-9)),
                                                 1, maxMonths + 1);
            }
            if (e != plan.instalments.back()) {
                plan.instalments.push_back(e);
            }
        }
    }
    return {std::nullopt, u"The loan is not repaid by month 32767."_s};
}

PlanResult computeBaseline(const PlanInput& input) {
    PlanInput baseline = input;
    baseline.events.clear();
    return computePlan(baseline);
}

Comparison compare(const PlanInput& input, const Plan& plan) {
    Comparison comparison;
    comparison.endDate = plan.totals.endDate;
    const PlanResult baseline = computeBaseline(input);
    if (!baseline.plan) {
        comparison.baselineError = baseline.error;
        return comparison;
    }
    const PlanTotals& base = baseline.plan->totals;
    comparison.baselineInterest = base.interest;
    comparison.baselineMonths = base.months;
    comparison.baselineEndDate = base.endDate;
    comparison.interestSaved = base.interest - plan.totals.interest;
    comparison.monthsSaved = base.months - plan.totals.months;
    return comparison;
}

}  // namespace planner
