#!/usr/bin/env python3
"""An independent re-implementation of the planner's month-by-month contract.

Prints the known answers of tst_planner's knownAnswers_data table:
    name, months, total interest, total extra, last payment, instalments
Run: python3 tests/planner/reference_plan.py
"""
import math

def rounded_instalment(b_cents, r, m, rule):
    units = b_cents / 100.0
    if 1.0 + r == 1.0:
        e = units / m
    else:
        try:
            g = math.pow(1.0 + r, m)
        except OverflowError:
            g = float('inf')
        e = r * units if math.isinf(g) else (r * units) * (g / (g - 1.0))
    if rule == 'nearest-cent':
        return math.floor(e * 100.0 + 0.5)
    if rule == 'nearest-unit':
        return 100 * math.floor(e + 0.5)
    if rule == 'up-cent':
        return math.ceil(e * 100.0 - 1e-6)
    return 100 * math.ceil(e - 1e-8)

def rounded_interest(x, rule):
    if rule == 'half-up':
        return math.floor(x + 0.5)
    if rule == 'down':
        return math.floor(x)
    down = math.floor(x)
    frac = x - down
    return down + 1 if frac > 0.5 or (frac == 0.5 and down % 2 == 1) else down

def plan(p, n, rate, events=(), policy='shorter', inst='nearest-cent', intr='half-up'):
    """events: ('once', k, cents) | ('every', cents, from, to or 0) | ('rate', k, percent)"""
    def annual(k):  # the last listed change with the greatest month <= k
        best_month, found = 0, rate
        for ev in events:
            if ev[0] == 'rate' and ev[1] <= k and ev[1] >= best_month:
                best_month, found = ev[1], ev[2]
        return found
    r_of = lambda k: annual(k) / 100.0 / 12.0
    e = rounded_instalment(p, r_of(1), n, inst)
    instalments = [e]
    last, b = n, p
    rows = []
    for k in range(1, 32768):
        r = r_of(k)
        opening = b
        i = rounded_interest(b * r, intr)
        if e - i >= b or k == last:
            principal, payment = b, b + i
        else:
            principal = e - i
            if principal <= 0:
                return 'The instalment does not cover the interest of month %d.' % k
            payment = e
        b -= principal
        extra = sum(ev[2] for ev in events if ev[0] == 'once' and ev[1] == k)
        extra += sum(ev[1] for ev in events
                     if ev[0] == 'every' and ev[2] <= k and (ev[3] == 0 or k <= ev[3]))
        extra = min(extra, b)
        b -= extra
        rows.append((k, opening, payment, principal, i, extra, b))
        if b == 0:
            return rows, instalments
        change = any(ev[0] == 'rate' and ev[1] == k + 1 for ev in events)
        if extra > 0 or change:
            nr = r_of(k + 1)
            if policy == 'lower':
                e = rounded_instalment(b, nr, last - k, inst)
            else:
                if e <= 0 or nr * b >= e:
                    return 'The instalment does not cover the interest after month %d.' % k
                x = b / e if 1.0 + nr == 1.0 else -math.log(1 - nr * b / e) / math.log(1 + nr)
                last = k + min(max(math.ceil(x - 1e-9), 1), 32768)
            if e != instalments[-1]:
                instalments.append(e)
    return 'The loan is not repaid by month 32767.'

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
]

if __name__ == '__main__':
    for name, kw in CASES:
        result = plan(**kw)
        if isinstance(result, str):
            print(f'{name}: {result}')
            continue
        rows, inst = result
        print(f'{name}: months {len(rows)} interest {sum(r[4] for r in rows)} '
              f'extra {sum(r[5] for r in rows)} last {rows[-1][2]} instalments {inst[:4]}'
              f'{"..." if len(inst) > 4 else ""} ({len(inst)})')
    big = plan(100000000, 32767, 0.1, inst='up-cent')
    print('0.1% 32767 up-cent months', len(big[0]))
    print('3% 32767:', plan(100000000, 32767, 3))
    print('rate rise beyond the instalment:', plan(10000000, 120, 3, [('rate', 25, 40)]))
    print('not repaid in time:', plan(3200000, 32000, 0, [('rate', 2, 0.01)]))
    print('largest rate and term:', plan(10**14, 32767, 1000))
    rows, inst = plan(100000, 6, 12, [('once', 2, 10000), ('every', 5000, 4, 0), ('rate', 5, 6)],
                      policy='lower')
    print('tests/cli/plan-lower.csv rows:', rows)
