#include "planner/Planner.h"

#include "core/Conversions.h"

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace Qt::StringLiterals;

namespace planner {

namespace {

struct Step {
    int month;
    Cents amount;
};

struct RateStep {
    int month;
    NanoPercent annual;
    PeriodRate perPeriod;
};

// The rate per period of an annual rate; a power is worked out once for each distinct rate.
class PeriodRates {
public:
    explicit PeriodRates(const PlanInput& input) : m_input(input) {}

    PeriodRate of(NanoPercent annual) {
        for (const auto& [known, rate] : m_known) {
            if (known == annual) {
                return rate;
            }
        }
        const PeriodRate rate = periodicRate(m_input, annual);
        m_known.emplace_back(annual, rate);
        return rate;
    }

private:
    const PlanInput& m_input;
    std::vector<std::pair<NanoPercent, PeriodRate>> m_known;
};

// The events as sorted steps, so that a period costs O(1) however many events there are.
struct Schedule {
    std::vector<Step> oneOffs;         // by month
    std::vector<Step> recurringDelta;  // by month: +amount at its start, -amount after its end
    std::vector<RateStep> rates;  // by month, stable: of two changes in one month the later wins
    std::vector<int> holidays;    // sorted
};

Schedule scheduleOf(const std::vector<Event>& events, PeriodRates& rates) {
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
            const NanoPercent annual = nanoPercentOf(change->annualPercent);
            s.rates.push_back({change->fromMonth, annual, rates.of(annual)});
        } else if (const auto* holiday = std::get_if<PaymentHoliday>(&event)) {
            s.holidays.push_back(holiday->period);
        }
    }
    const auto byMonth = [](const auto& a, const auto& b) { return a.month < b.month; };
    std::stable_sort(s.oneOffs.begin(), s.oneOffs.end(), byMonth);
    std::stable_sort(s.recurringDelta.begin(), s.recurringDelta.end(), byMonth);
    std::stable_sort(s.rates.begin(), s.rates.end(), byMonth);
    std::sort(s.holidays.begin(), s.holidays.end());
    return s;
}

// Dates as every output of the program writes them, with four-digit years.
constexpr int lastYear = 9999;
// Past this a balance's interest could leave 64 bits; no real loan comes near it.
constexpr Cents maxBalance = 1'000'000'000'000'000;

// A time as a fraction: of a period (periodic interest) or of a year (a day count).
struct Fraction {
    Wide numerator = 1;
    Wide denominator = 1;
};

// A date's parts without QDate's slower calendar lookups, for a day count on every period.
constexpr qint64 unixEpoch = 2440588;  // the Julian day of 1970-01-01

std::chrono::year_month_day partsOf(const QDate& date) {
    return std::chrono::year_month_day{
        std::chrono::sys_days{std::chrono::days{date.toJulianDay() - unixEpoch}}};
}

qint64 julianDayOf(std::chrono::sys_days day) {
    return day.time_since_epoch().count() + unixEpoch;
}

Fraction daysBetween(const QDate& from, const QDate& to, InterestBasis basis) {
    using namespace std::chrono;
    switch (basis) {
        case InterestBasis::Thirty360: {
            const year_month_day a = partsOf(from);
            const year_month_day b = partsOf(to);
            const int d1 = std::min(static_cast<int>(static_cast<unsigned>(a.day())), 30);
            int d2 = static_cast<int>(static_cast<unsigned>(b.day()));
            if (d2 == 31 && d1 == 30) {
                d2 = 30;
            }
            const int months = static_cast<int>(static_cast<unsigned>(b.month())) -
                               static_cast<int>(static_cast<unsigned>(a.month()));
            const int years = static_cast<int>(b.year()) - static_cast<int>(a.year());
            return {360LL * years + 30LL * months + d2 - d1, 360};
        }
        case InterestBasis::Actual365:
            return {from.daysTo(to), 365};
        case InterestBasis::Actual360:
            return {from.daysTo(to), 360};
        case InterestBasis::ActualActual: {
            Wide ordinary = 0;
            Wide leap = 0;
            const year last = partsOf(to).year();
            for (year y = partsOf(from).year(); y <= last; ++y) {
                const qint64 begin = std::max(from.toJulianDay(), julianDayOf(y / January / 1));
                const qint64 end =
                    std::min(to.toJulianDay(), julianDayOf((y + years{1}) / January / 1));
                (y.is_leap() ? leap : ordinary) += end - begin;
            }
            return {ordinary * 366 + leap * 365, 365 * 366};
        }
        case InterestBasis::Periodic:
            break;
    }
    return {};
}

// The odd first period's f = w + d / u of a periodic loan.
Fraction oddFirstPeriodFraction(const PlanInput& input, const calendar::DueDates& dates) {
    const auto reached = [&](long long steps) {
        const QDate date = dates.at(1 - steps);
        return date.isValid() && date >= input.startDate;
    };
    long long low = 0;                                            // reached
    long long high = input.startDate.daysTo(input.firstDue) + 1;  // not reached
    while (high - low > 1) {
        const long long middle = low + (high - low) / 2;
        (reached(middle) ? low : high) = middle;
    }
    const Frequency f = input.frequency;
    const int u = calendar::monthsPerStep(f) > 0  ? 30 * calendar::monthsPerStep(f)
                  : calendar::weeksPerStep(f) > 0 ? 7 * calendar::weeksPerStep(f)
                                                  : 15;
    const long long d = input.startDate.daysTo(dates.at(1 - low));
    return {Wide(low) * u + d, u};
}

bool inRange(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

Cents dayCountInterest(Cents balance, NanoPercent annual, const QDate& from, const QDate& to,
                       InterestBasis basis, InterestRounding rounding) {
    const Fraction years = daysBetween(from, to, basis);
    return roundQuotient(Wide(balance) * annual * years.numerator,
                         Wide(nanoPerUnit) * years.denominator, rounding);
}

std::vector<InputProblem> inputProblems(const PlanInput& input) {
    std::vector<InputProblem> problems;
    const auto add = [&](int event, Field field, QString message) {
        problems.push_back({event, field, std::move(message)});
    };
    const bool monthly = input.frequency == Frequency::Monthly;
    if (input.principal < 1 || input.principal > maxPrincipal) {
        add(-1, Field::Principal, u"The principal must be from 0.01 to 1000000000000.00."_s);
    }
    if (input.months < 1 || input.months > maxMonths) {
        add(-1, Field::Months,
            monthly ? u"The term must be from 1 to 32767 months."_s
                    : u"The term must be from 1 to 32767 payments."_s);
    }
    if (!inRange(input.annualPercent, 0, maxAnnualPercent)) {
        add(-1, Field::Rate, u"The rate must be from 0 to 1000 %."_s);
    }
    const bool startOk = input.startDate.isValid() && input.startDate.year() >= 100 &&
                         input.startDate.year() <= lastYear;
    if (!startOk) {
        add(-1, Field::StartDate, u"The start date must lie in the years 100 to 9999."_s);
    }
    if (input.firstDue.isValid() && startOk &&
        (input.firstDue <= input.startDate || input.firstDue.year() > lastYear)) {
        add(-1, Field::FirstDue,
            u"The first due date must come after the start date, by the year 9999."_s);
    }
    const int term = std::clamp(input.months, 1, maxMonths);
    if (input.interestOnly < 0 || input.interestOnly >= term) {
        add(-1, Field::InterestOnly,
            u"The interest-only periods must be from 0 to %1."_s.arg(term - 1));
    }
    if (input.grace < 0 || input.grace >= term) {
        add(-1, Field::Grace, u"The grace periods must be from 0 to %1."_s.arg(term - 1));
    }
    if (input.balloon < 0 || (input.balloon > 0 && input.balloon >= input.principal)) {
        add(-1, Field::Balloon, u"The balloon must be from 0 to less than the principal."_s);
    } else if (input.balloon > 0 && input.shape != Shape::Annuity) {
        add(-1, Field::Balloon, u"A balloon needs an annuity."_s);
    }
    const QString outside = monthly ? u"Month %1 is outside the term (1 to %2)."_s
                                    : u"Period %1 is outside the term (1 to %2)."_s;
    const auto checkMonth = [&](int index, Field field, int month) {
        if (month < 1 || month > term) {
            add(index, field, outside.arg(month).arg(term));
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
                    (monthly ? u"The end month %1 comes before the first month %2."_s
                             : u"The end period %1 comes before the first period %2."_s)
                        .arg(recurring->toMonth)
                        .arg(recurring->fromMonth));
            }
            checkAmount(i, recurring->amount);
        } else if (const auto* change = std::get_if<RateChange>(&event)) {
            checkMonth(i, Field::Month, change->fromMonth);
            if (!inRange(change->annualPercent, 0, maxAnnualPercent)) {
                add(i, Field::Amount, u"The rate must be from 0 to 1000 %."_s);
            }
        } else if (const auto* holiday = std::get_if<PaymentHoliday>(&event)) {
            checkMonth(i, Field::Month, holiday->period);
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
    const QString unit = input.frequency == Frequency::Monthly ? u"month"_s : u"period"_s;
    const auto failure = [&](const char16_t* text, int k) {
        return PlanResult{std::nullopt, QString::fromUtf16(text).arg(unit).arg(k)};
    };
    PeriodRates periodRates(input);
    const Schedule events = scheduleOf(input.events, periodRates);
    const calendar::DueDates dates(input.startDate, input.frequency, input.firstDue);
    const bool periodic = input.basis == InterestBasis::Periodic;
    const bool oddFirst = input.firstDue.isValid() && input.firstDue != dates.regularFirst();
    const Fraction firstFraction = oddFirst ? oddFirstPeriodFraction(input, dates) : Fraction{};
    const bool equal = input.shape == Shape::EqualPrincipal;
    const int held = std::max(input.interestOnly, input.grace);

    std::size_t nextRate = 0;
    NanoPercent annual = nanoPercentOf(input.annualPercent);
    PeriodRate rate = periodRates.of(annual);
    // The rates in force for period k, k rising by one each call.
    const auto advanceRate = [&](int k) {
        while (nextRate < events.rates.size() && events.rates[nextRate].month <= k) {
            annual = events.rates[nextRate].annual;
            rate = events.rates[nextRate++].perPeriod;
        }
    };
    const auto rateChangesAt = [&](int k) {
        return nextRate < events.rates.size() && events.rates[nextRate].month == k;
    };
    // The exact interest on a balance over from..to, a fraction f of a period when periodic.
    const auto interestOver = [&](Cents balance, const QDate& from, const QDate& to,
                                  const Fraction& f) {
        if (periodic) {
            return roundQuotient(Wide(balance) * rate.numerator * f.numerator,
                                 Wide(rate.denominator) * f.denominator, input.interestRounding);
        }
        return dayCountInterest(balance, annual, from, to, input.basis, input.interestRounding);
    };

    Plan plan;
    plan.rows.reserve(static_cast<std::size_t>(input.months));
    Cents e = 0;  // the instalment, or the equal principal part
    const auto repayment = [&](Cents balance, long long periods) {
        return equal ? equalPrincipal(balance, periods)
                     : instalment(balance, rate, periods, input.balloon, input.instalmentRounding);
    };
    long long last = input.months;
    Cents balance = input.principal;
    // Wide enough for any number of events at the largest amount; only what the balance
    // takes is paid.
    Wide recurring = 0;
    std::size_t nextOneOff = 0;
    std::size_t nextDelta = 0;
    std::size_t nextHoliday = 0;
    QDate from = input.startDate;
    const QDate lastDate(lastYear, 12, 31);

    for (int k = 1; k <= maxMonths; ++k) {
        advanceRate(k);
        PlanRow row;
        row.number = k;
        row.dueDate = dates.at(k);
        if (!row.dueDate.isValid() || row.dueDate > lastDate) {
            return {std::nullopt, u"The plan runs past the year 9999."_s};
        }
        row.opening = balance;
        row.interest =
            interestOver(balance, from, row.dueDate, k == 1 ? firstFraction : Fraction{});
        if (k == held + 1) {
            e = repayment(balance, input.months - held);
            plan.instalments.push_back(e);
        }
        bool holiday = false;
        while (nextHoliday < events.holidays.size() && events.holidays[nextHoliday] <= k) {
            holiday = holiday || events.holidays[nextHoliday++] == k;
        }
        if (holiday || k <= input.grace) {
            row.principal = -row.interest;
            if (balance + row.interest > maxBalance) {
                return failure(u"The balance grows too large in %1 %2.", k);
            }
        } else if (k <= input.interestOnly) {
            row.payment = row.interest;
        } else {
            Cents part = e;
            if (!equal) {
                // An odd first period repays what a regular one would.
                const Cents regular =
                    k == 1 && oddFirst ? interestOver(balance, dates.at(0), row.dueDate, Fraction{})
                                       : row.interest;
                part = e - regular;
            }
            if (part >= balance || k == last) {
                row.principal = balance;
            } else if (part <= 0) {
                return failure(u"The instalment does not cover the interest of %1 %2.", k);
            } else {
                row.principal = part;
            }
            row.payment = row.principal + row.interest;
        }
        balance -= row.principal;

        while (nextDelta < events.recurringDelta.size() &&
               events.recurringDelta[nextDelta].month <= k) {
            recurring += events.recurringDelta[nextDelta++].amount;
        }
        Wide extra = recurring;
        while (nextOneOff < events.oneOffs.size() && events.oneOffs[nextOneOff].month <= k) {
            if (events.oneOffs[nextOneOff].month == k) {
                extra += events.oneOffs[nextOneOff].amount;
            }
            ++nextOneOff;
        }
        row.extra = static_cast<Cents>(std::min<Wide>(extra, balance));
        balance -= row.extra;
        row.closing = balance;
        from = row.dueDate;

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

        if (k > held && (row.extra > 0 || holiday || rateChangesAt(k + 1))) {
            advanceRate(k + 1);
            if (input.policy == Policy::LowerInstalment) {
                last = std::max<long long>(last, k + 1);
                e = repayment(balance, last - k);
            } else if (equal) {
                if (e <= 0) {
                    return failure(u"The instalment does not cover the interest after %1 %2.", k);
                }
                last = k + std::min<long long>((balance + e - 1) / e, maxMonths + 1);
            } else {
                const double r = rate.value();
                const double b = static_cast<double>(balance);
                const double a = static_cast<double>(std::min(input.balloon, balance));
                const double emi = static_cast<double>(e);
                if (e <= 0 || r * b >= emi) {
                    return failure(u"The instalment does not cover the interest after %1 %2.", k);
                }
                const double periods =
                    1 + r == 1 ? (b - a) / emi
                               : std::log((emi - r * a) / (emi - r * b)) / std::log1p(r);
                // Periods beyond the last possible one all mean "not repaid in time".
                last = k + std::clamp<long long>(static_cast<long long>(std::ceil(periods - 1e-9)),
                                                 1, maxMonths + 1);
            }
            if (e != plan.instalments.back()) {
                plan.instalments.push_back(e);
            }
        }
    }
    return failure(u"The loan is not repaid by %1 %2.", maxMonths);
}

PlanResult computeBaseline(const PlanInput& input) {
    PlanInput baseline = input;
    baseline.events.clear();
    return computePlan(baseline);
}

Comparison compare(const PlanInput& input, const Plan& plan) {
    return compare(plan, computeBaseline(input));
}

Comparison compare(const Plan& plan, const PlanResult& baseline) {
    Comparison comparison;
    comparison.endDate = plan.totals.endDate;
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
