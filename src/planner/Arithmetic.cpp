#include "planner/Arithmetic.h"

#include <boost/multiprecision/cpp_dec_float.hpp>
#include <boost/multiprecision/cpp_int.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace planner {

namespace {

constexpr std::string_view instalmentNames[] = {"nearest-cent", "nearest-unit", "up-cent",
                                                "up-unit"};
constexpr std::string_view interestNames[] = {"half-up", "half-even", "down"};

using boost::multiprecision::cpp_int;
using Decimal = boost::multiprecision::number<boost::multiprecision::cpp_dec_float<60>,
                                              boost::multiprecision::et_off>;

constexpr std::int64_t twelveDecimals = 1'000'000'000'000;

template <typename Number>
Number power(Number base, long long exponent) {
    Number result = 1;
    while (exponent > 0) {
        if (exponent & 1) {
            result *= base;
        }
        exponent >>= 1;
        if (exponent > 0) {
            base *= base;
        }
    }
    return result;
}

// Where an instalment in cents lies against the rounding's boundaries: t is compared with the
// integers, floor(t) or ceil(t) taken, and scaled back to cents.
struct Scaled {
    bool unit;
    bool up;
};

Scaled scaledOf(InstalmentRounding rounding) {
    return {rounding == InstalmentRounding::NearestUnit || rounding == InstalmentRounding::UpUnit,
            rounding == InstalmentRounding::UpCent || rounding == InstalmentRounding::UpUnit};
}

// The rounded value when the estimate `cents`, off by at most `margin`, decides it.
template <typename Number>
std::optional<Cents> decided(const Number& cents, const Number& margin, Scaled how) {
    using std::floor;
    Number t = how.unit ? cents / 100 : cents;
    const Number tolerance = how.unit ? margin / 100 : margin;
    if (!how.up) {
        t += Number(1) / 2;
    }
    const Number below = floor(t);
    if (t - below <= tolerance || below + 1 - t <= tolerance) {
        return std::nullopt;
    }
    const auto whole = static_cast<Cents>(below) + (how.up ? 1 : 0);
    return how.unit ? whole * 100 : whole;
}

// p / q >= 0 rounded as the rule says, in exact integers.
template <typename Integer>
Cents roundedExactly(Integer p, Integer q, Scaled how) {
    if (how.unit) {
        q *= 100;
    }
    if (!how.up) {
        p = 2 * p + q;
        q *= 2;
    }
    Integer whole = p / q;
    if (how.up && whole * q != p) {
        whole += 1;
    }
    const auto result = static_cast<Cents>(whole);
    return how.unit ? result * 100 : result;
}

}  // namespace

NanoPercent nanoPercentOf(double annualPercent) {
    if (!std::isfinite(annualPercent)) {
        return 0;
    }
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, annualPercent, std::chars_format::fixed, 9);
    if (error != std::errc()) {
        return 0;
    }
    NanoPercent value = 0;
    for (const char* c = text; c != end; ++c) {
        if (*c >= '0' && *c <= '9') {
            value = value * 10 + (*c - '0');
        }
    }
    return text[0] == '-' ? -value : value;
}

PeriodRate periodicRate(NanoPercent annual, int m, int c) {
    if (c == 0 || c == m) {
        return {annual, nanoPerUnit * m};
    }
    const cpp_int base = cpp_int(nanoPerUnit) * c;
    cpp_int scaled;
    if (c % m == 0) {
        const long long e = c / m;
        const cpp_int low = power<cpp_int>(base, e);
        const cpp_int high = power<cpp_int>(base + annual, e);
        scaled = ((high - low) * twelveDecimals * 2 + low) / (low * 2);
    } else {
        // A power with a fractional exponent is irrational here and never a tie at 12 decimals.
        const Decimal grown = exp(log(Decimal(base + annual) / Decimal(base)) * c / m) - 1;
        scaled = static_cast<cpp_int>(floor(grown * twelveDecimals + Decimal(1) / 2));
    }
    return {static_cast<std::int64_t>(scaled), twelveDecimals};
}

Cents instalment(Cents balance, PeriodRate rate, long long n, Cents balloon,
                 InstalmentRounding rounding) {
    balloon = std::clamp<Cents>(balloon, 0, balance);
    const Scaled how = scaledOf(rounding);
    if (n <= 0) {
        return balance;
    }
    if (rate.numerator == 0) {
        return roundedExactly<Wide>(balance - balloon, n, how);
    }
    {
        const double r = static_cast<double>(rate.numerator) / rate.denominator;
        const double y = static_cast<double>(n) * std::log1p(r);
        const double v = std::exp(-y);
        const double paid = -std::expm1(-y);
        const double b = static_cast<double>(balance);
        const double e = (b - static_cast<double>(balloon) * v) * r / paid;
        // Far more than the few units in the last place these steps can be off by: an error of
        // y in v counts as y v / (1 - v) <= 1 in E.
        const double margin = 1e-13 * (b * r / paid + 1);
        if (e >= largeCents) {
            return largeCents;
        }
        if (const auto cents = decided<double>(e, margin, how)) {
            return *cents;
        }
    }
    const Decimal r = Decimal(rate.numerator) / rate.denominator;
    const Decimal g = power<Decimal>(1 + r, n);
    const Decimal e = (Decimal(balance) * g - balloon) * r / (g - 1);
    if (e >= largeCents) {
        return largeCents;
    }
    if (const auto cents = decided<Decimal>(e, e * Decimal("1e-28") + Decimal("1e-28"), how)) {
        return *cents;
    }
    // (B s^N - A d^N) num / (d (s^N - d^N)) with r = num / d and s = d + num.
    const cpp_int d = rate.denominator;
    const cpp_int sn = power<cpp_int>(d + rate.numerator, n);
    const cpp_int dn = power<cpp_int>(d, n);
    return roundedExactly<cpp_int>((balance * sn - balloon * dn) * rate.numerator, d * (sn - dn),
                                   how);
}

Cents equalPrincipal(Cents balance, long long n) {
    return n <= 0 ? balance : static_cast<Cents>((Wide(balance) * 2 + n) / (Wide(n) * 2));
}

Cents roundQuotient(Wide p, Wide q, InterestRounding rounding) {
    const Wide whole = p / q;
    if (whole >= largeCents) {
        return largeCents;
    }
    const Wide rest = p - whole * q;
    switch (rounding) {
        case InterestRounding::HalfUp:
            return static_cast<Cents>(whole + (2 * rest >= q ? 1 : 0));
        case InterestRounding::HalfEven:
            return static_cast<Cents>(whole + (2 * rest > q || (2 * rest == q && whole % 2 != 0)));
        case InterestRounding::Down:
            return static_cast<Cents>(whole);
    }
    return 0;
}

std::string_view name(InstalmentRounding rounding) {
    return instalmentNames[static_cast<int>(rounding)];
}

std::string_view name(InterestRounding rounding) {
    return interestNames[static_cast<int>(rounding)];
}

std::optional<InstalmentRounding> instalmentRoundingFromName(std::string_view text) {
    for (auto rounding : allInstalmentRoundings) {
        if (name(rounding) == text) {
            return rounding;
        }
    }
    return std::nullopt;
}

std::optional<InterestRounding> interestRoundingFromName(std::string_view text) {
    for (auto rounding : allInterestRoundings) {
        if (name(rounding) == text) {
            return rounding;
        }
    }
    return std::nullopt;
}

}  // namespace planner
