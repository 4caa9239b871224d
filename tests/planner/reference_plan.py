#!/usr/bin/env python3
"""An independent re-implementation of the planner's period-by-period contract, in exact
rationals (fractions.Fraction) and datetime dates.

Prints the known answers of tst_planner's knownAnswers_data table:
    name: periods, total interest, total extra, last payment, first due, last due, instalments
Run: python3 tests/planner/reference_plan.py
"""
import calendar
import datetime as dt
import math
from decimal import Decimal
from fractions import Fraction as F

PER_YEAR = dict(weekly=52, fortnightly=26, four_weekly=13, semi_monthly=24, monthly=12,
                bimonthly=6, quarterly=4, half_yearly=2, yearly=1)
MONTHS = dict(monthly=1, bimonthly=2, quarterly=3, half_yearly=6, yearly=12)
WEEKS = dict(weekly=1, fortnightly=2, four_weekly=4)
COMPOUND = {'per-period': 0, 'monthly': 12, 'quarterly': 4, 'semi-annual': 2, 'annual': 1}


def month_day(year, month, day):
    return dt.date(year, month, min(day, calendar.monthrange(year, month)[1]))


def add_months(date, months, day):
    index = date.year * 12 + date.month - 1 + months
    return month_day(index // 12, index % 12 + 1, day)


def due_dates(start, freq, first=None):
    """A function k -> due date k (k may be 0 or negative: steps back from payment 1)."""
    if freq in MONTHS:
        step = MONTHS[freq]
        anchor = first or add_months(start, step, start.day)
        day = anchor.day if first else start.day
        return lambda k: add_months(anchor, (k - 1) * step, day)
    if freq in WEEKS:
        anchor = first or start + dt.timedelta(weeks=WEEKS[freq])
        return lambda k: anchor + dt.timedelta(weeks=WEEKS[freq] * (k - 1))
    big = (first or start).day
    a = big if big <= 15 else min(big, 30) - 15

    def pay_day(i):  # the i-th pay day counted from January of year 0
        y, m = divmod(i // 2, 12)
        return month_day(y, m + 1, a + 15 * (i % 2))
    i = (start.year * 12 + start.month - 1) * 2
    while pay_day(i) <= (first or start):  # the first pay day after the start or after F
        i += 1
    if first:
        return lambda k: first if k == 1 else pay_day(i + k - 2)
    return lambda k: pay_day(i + k - 1)


def year_fraction(a, b, basis):
    if basis == '30/360':
        d1, d2 = min(a.day, 30), b.day
        if d2 == 31 and d1 == 30:
            d2 = 30
        return F(360 * (b.year - a.year) + 30 * (b.month - a.month) + d2 - d1, 360)
    if basis == 'actual/365':
        return F((b - a).days, 365)
    if basis == 'actual/360':
        return F((b - a).days, 360)
    total = F(0)
    for y in range(a.year, b.year + 1):
        lo, hi = max(a, dt.date(y, 1, 1)), min(b, dt.date(y + 1, 1, 1))
        total += F((hi - lo).days, 366 if calendar.isleap(y) else 365)
    return total


def round_interest(x, rule):
    down = math.floor(x)
    if rule == 'down':
        return down
    rest = x - down
    if rule == 'half-up':
        return down + (rest >= F(1, 2))
    return down + (rest > F(1, 2) or (rest == F(1, 2) and down % 2 == 1))


def round_instalment(x, rule):
    if rule == 'nearest-cent':
        return math.floor(x + F(1, 2))
    if rule == 'nearest-unit':
        return 100 * math.floor(x / 100 + F(1, 2))
    if rule == 'up-cent':
        return math.ceil(x)
    return 100 * math.ceil(x / 100)


def annuity(b, r, n, balloon, rule):
    a = min(balloon, b)
    if r == 0:
        return round_instalment(F(b - a, n), rule)
    v = 1 / (1 + r) ** n
    return round_instalment((b - a * v) * r / (1 - v), rule)


def period_rate(percent, m, compounding):
    c = COMPOUND[compounding]
    if c in (0, m):
        return percent / 100 / m
    grown = (1 + Decimal(percent.numerator) / Decimal(percent.denominator) / 100 / c)
    exact = F(grown) ** (c // m) if c % m == 0 else None
    if exact is None:
        import decimal
        decimal.getcontext().prec = 80
        exact = F((grown.ln() * c / m).exp())
    return F(math.floor((exact - 1) * 10**12 + F(1, 2)), 10**12)


def plan(p, n, rate, events=(), policy='shorter', inst='nearest-cent', intr='half-up',
         start=dt.date(2026, 1, 31), freq='monthly', first=None, basis='periodic',
         compounding='per-period', shape='annuity', io=0, grace=0, balloon=0):
    """events: ('once', k, cents) | ('every', cents, from, to or 0) | ('rate', k, percent)
    | ('holiday', k); rates as decimal strings."""
    m = PER_YEAR[freq]
    due = due_dates(start, freq, first)
    unit = 'month' if freq == 'monthly' else 'period'
    odd = first is not None and first != due_dates(start, freq)(1)

    def annual(k):
        found, best = F(Decimal(str(rate))), 0
        for ev in events:
            if ev[0] == 'rate' and best <= ev[1] <= k:
                best, found = ev[1], F(Decimal(str(ev[2])))
        return found

    def r_of(k):
        return period_rate(annual(k), m, compounding)

    def interest(b, k, a, z, f=F(1)):
        if basis == 'periodic':
            return round_interest(b * r_of(k) * f, intr)
        return round_interest(b * annual(k) / 100 * year_fraction(a, z, basis), intr)

    f1 = F(1)
    if odd and basis == 'periodic':
        w = 0
        while due(-w) >= start:
            w += 1
        u = 30 * MONTHS[freq] if freq in MONTHS else 7 * WEEKS[freq] if freq in WEEKS else 15
        f1 = w + F((due(1 - w) - start).days, u)
    held = max(io, grace)
    holidays = {ev[1] for ev in events if ev[0] == 'holiday'}

    def repayment(b, k, periods):
        if shape == 'equal-principal':
            return math.floor(F(b, periods) + F(1, 2))
        return annuity(b, r_of(k), periods, balloon, inst)

    e, last, b, rows, instalments = 0, n, p, [], []
    for k in range(1, 32768):
        a, z = (start if k == 1 else due(k - 1)), due(k)
        if z.year > 9999:
            return 'The plan runs past the year 9999.'
        i = interest(b, k, a, z, f1 if k == 1 else F(1))
        if k == held + 1:
            e = repayment(b, k, n - held)
            instalments.append(e)
        opening = b
        if k <= grace or k in holidays:
            principal, payment = -i, 0
        elif k <= io:
            principal, payment = 0, i
        else:
            part = e
            if shape != 'equal-principal':
                part = e - (interest(b, k, due(0), z) if k == 1 and odd else i)
            if part >= b or k == last:
                principal = b
            elif part <= 0:
                return f'The instalment does not cover the interest of {unit} {k}.'
            else:
                principal = part
            payment = principal + i
        b -= principal
        extra = sum(ev[2] for ev in events if ev[0] == 'once' and ev[1] == k)
        extra += sum(ev[1] for ev in events
                     if ev[0] == 'every' and ev[2] <= k and (ev[3] == 0 or k <= ev[3]))
        extra = min(extra, b)
        b -= extra
        rows.append((k, z, opening, payment, principal, i, extra, b))
        if b == 0:
            return rows, instalments
        change = any(ev[0] == 'rate' and ev[1] == k + 1 for ev in events)
        if k > held and (extra > 0 or change or k in holidays):
            if policy == 'lower':
                last = max(last, k + 1)
                e = repayment(b, k + 1, last - k)
            elif shape == 'equal-principal':
                last = k + min(-(-b // e), 32768)
            else:
                nr, fb, fe = float(r_of(k + 1)), float(b), float(e)
                fa = float(min(balloon, b))
                if e <= 0 or nr * fb >= fe:
                    return f'The instalment does not cover the interest after {unit} {k}.'
                x = (fb - fa) / fe if 1.0 + nr == 1.0 else \
                    math.log((fe - nr * fa) / (fe - nr * fb)) / math.log1p(nr)
                last = k + min(max(math.ceil(x - 1e-9), 1), 32768)
            if e != instalments[-1]:
                instalments.append(e)
    return f'The loan is not repaid by {unit} 32767.'


D = dt.date
CASES = [
    ('plain 300k 5% 360', dict(p=30000000, n=360, rate=5)),
    ('plain up-cent', dict(p=30000000, n=360, rate=5, inst='up-cent')),
    ('once shorter', dict(p=30000000, n=360, rate=5, events=[('once', 12, 1000000)])),
    ('once lower', dict(p=30000000, n=360, rate=5, events=[('once', 12, 1000000)], policy='lower')),
    ('every shorter', dict(p=20000000, n=240, rate=4.5, events=[('every', 20000, 1, 0)])),
    ('every lower to 60', dict(p=20000000, n=240, rate=4.5, events=[('every', 20000, 1, 60)],
                               policy='lower')),
    ('rate shorter', dict(p=10000000, n=120, rate=3, events=[('rate', 25, 6.5)])),
    ('rate lower', dict(p=10000000, n=120, rate=3, events=[('rate', 25, 6.5)], policy='lower')),
    ('rate to zero lower', dict(p=10000000, n=120, rate=3, events=[('rate', 61, 0)],
                                policy='lower')),
    ('mixed unit half-even', dict(p=25000000, n=300, rate=6.25,
                                  events=[('once', 6, 500000), ('every', 10000, 13, 48),
                                          ('rate', 37, 4.75)],
                                  inst='nearest-unit', intr='half-even')),
    ('mixed up-unit down lower', dict(p=25000000, n=300, rate=6.25,
                                      events=[('once', 6, 500000), ('every', 10000, 13, 48),
                                              ('rate', 37, 4.75)],
                                      policy='lower', inst='up-unit', intr='down')),
    ('extra pays off', dict(p=1000000, n=12, rate=11, events=[('once', 3, 99999999)])),
    ('rate rise shorter extends', dict(p=10000000, n=60, rate=2, events=[('rate', 13, 9)])),
    ('interest-free', dict(p=100000, n=7, rate=0, events=[('once', 2, 1234)])),
    # The loan's terms; start 2026-01-31 unless given.
    ('weekly', dict(p=1000000, n=104, rate=9.9, freq='weekly')),
    ('fortnightly actual/365', dict(p=2500000, n=78, rate=7.25, freq='fortnightly',
                                    basis='actual/365')),
    ('four-weekly', dict(p=500000, n=26, rate=12, freq='four_weekly')),
    ('semi-monthly', dict(p=1200000, n=48, rate=6, freq='semi_monthly', start=D(2026, 1, 20))),
    ('semi-monthly first 31st', dict(p=1200000, n=48, rate=6, freq='semi_monthly',
                                     start=D(2026, 1, 20), first=D(2026, 3, 31))),
    ('bimonthly', dict(p=3000000, n=30, rate=5.5, freq='bimonthly')),
    ('quarterly 30/360', dict(p=10000000, n=40, rate=4.2, freq='quarterly', basis='30/360')),
    ('half-yearly actual/360', dict(p=10000000, n=20, rate=4.2, freq='half_yearly',
                                    basis='actual/360')),
    ('yearly actual/actual', dict(p=10000000, n=10, rate=4.2, freq='yearly',
                                  basis='actual/actual')),
    ('monthly actual/actual', dict(p=20000000, n=60, rate=3.9, basis='actual/actual',
                                   start=D(2027, 11, 15))),
    ('30/360 end of month', dict(p=20000000, n=24, rate=6, basis='30/360')),
    ('semi-annual compounding', dict(p=40000000, n=300, rate=5.49, compounding='semi-annual')),
    ('monthly compounding quarterly', dict(p=40000000, n=100, rate=5.49, freq='quarterly',
                                           compounding='monthly')),
    ('annual compounding weekly', dict(p=40000000, n=520, rate=5.49, freq='weekly',
                                       compounding='annual')),
    ('equal principal', dict(p=1000000, n=12, rate=6, shape='equal-principal')),
    ('equal principal lower', dict(p=1000000, n=12, rate=6, shape='equal-principal',
                                   events=[('once', 3, 100000)], policy='lower')),
    ('equal principal shorter', dict(p=1000000, n=12, rate=6, shape='equal-principal',
                                     events=[('once', 3, 100000)])),
    ('interest-only', dict(p=10000000, n=60, rate=6, io=12)),
    ('grace', dict(p=10000000, n=60, rate=6, grace=6)),
    ('grace and interest-only', dict(p=10000000, n=60, rate=6, grace=3, io=6)),
    ('balloon', dict(p=3000000, n=48, rate=7, balloon=1000000)),
    ('balloon shorter', dict(p=3000000, n=48, rate=7, balloon=1000000,
                             events=[('once', 10, 200000)])),
    ('holiday shorter', dict(p=10000000, n=120, rate=5, events=[('holiday', 13), ('holiday', 14)])),
    ('holiday lower', dict(p=10000000, n=120, rate=5, events=[('holiday', 13)], policy='lower')),
    ('holiday last lower', dict(p=100000, n=6, rate=5, events=[('holiday', 6)], policy='lower')),
    ('odd first long', dict(p=10000000, n=60, rate=6, start=D(2026, 1, 10), first=D(2026, 3, 1))),
    ('odd first short', dict(p=10000000, n=60, rate=6, start=D(2026, 1, 10), first=D(2026, 1, 25))),
    ('odd first weekly', dict(p=1000000, n=52, rate=8, freq='weekly', start=D(2026, 1, 10),
                              first=D(2026, 1, 30))),
    ('odd first actual/365', dict(p=10000000, n=60, rate=6, start=D(2026, 1, 10),
                                  first=D(2026, 3, 1), basis='actual/365')),
    ('fortnightly grace actual/365', dict(p=2000000, n=52, rate=8.5, freq='fortnightly',
                                          basis='actual/365', grace=4)),
    ('300.00 7.5% one month', dict(p=30000, n=1, rate=7.5)),
    ('800.00 7.5% down', dict(p=80000, n=1, rate=7.5, intr='down')),
    ('250,000 7.5% 360', dict(p=25000000, n=360, rate=7.5)),
]


def summary(result):
    if isinstance(result, str):
        return result
    rows, inst = result
    return (f'periods {len(rows)} interest {sum(r[5] for r in rows)} '
            f'extra {sum(r[6] for r in rows)} last {rows[-1][3]} due {rows[0][1]} {rows[-1][1]} '
            f'instalments {inst[:4]}{"..." if len(inst) > 4 else ""} ({len(inst)})')


if __name__ == '__main__':
    for name, kw in CASES:
        print(f'{name}: {summary(plan(**kw))}')
    rows, _ = plan(30000, 1, 7.5)
    print('300.00 7.5% 1 month: interest', rows[0][5])
    rows, _ = plan(80000, 1, 7.5, intr='down')
    print('800.00 7.5% down: interest', rows[0][5])
    rows, _ = plan(25000000, 360, 7.5)
    print('250,000 7.5% 360: row 232 interest', rows[231][5], 'exactly',
          rows[231][2] * F(75, 1000 * 12))
    print('3% 32767:', plan(100000000, 32767, 3))
    print('rate rise beyond the instalment:', plan(10000000, 120, 3, [('rate', 25, 40)]))
    print('largest rate and term:', plan(10**14, 32767, 1000))
    rows, inst = plan(100000, 6, 12, [('once', 2, 10000), ('every', 5000, 4, 0), ('rate', 5, 6)],
                      policy='lower')
    print('tests/cli/plan-lower.csv rows:', rows)
