#include "cli/Commands.h"
#include "planner/TrueCost.h"
#include "solver/LoanRows.h"
#include "solver/Money.h"
#include "solver/Reconcile.h"
#include "solver/Solver.h"
#include "solver/Statement.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace std::string_view_literals;
using planner::Cents;
using solver::Arithmetic;
using solver::InstalmentRule;
using solver::Role;

namespace {

// The lender's roundings in doubles, as the planner's contract states them: the reference the
// exact arithmetic is checked against.
Cents roundInstalment(double e, planner::InstalmentRounding rounding) {
    switch (rounding) {
        case planner::InstalmentRounding::NearestCent:
            return static_cast<Cents>(std::floor(e * 100.0 + 0.5));
        case planner::InstalmentRounding::NearestUnit:
            return 100 * static_cast<Cents>(std::floor(e + 0.5));
        case planner::InstalmentRounding::UpCent:
            return static_cast<Cents>(std::ceil(e * 100.0 - 1e-6));
        case planner::InstalmentRounding::UpUnit:
            return 100 * static_cast<Cents>(std::ceil(e - 1e-8));
    }
    return 0;
}

Cents roundInterest(double x, planner::InterestRounding rounding) {
    const double down = std::floor(x);
    switch (rounding) {
        case planner::InterestRounding::HalfUp:
            return static_cast<Cents>(std::floor(x + 0.5));
        case planner::InterestRounding::HalfEven:
            return static_cast<Cents>(down) +
                   (x - down > 0.5 || (x - down == 0.5 && std::fmod(down, 2.0) != 0.0));
        case planner::InterestRounding::Down:
            return static_cast<Cents>(down);
    }
    return 0;
}

// The planner's contract for a loan without events, written out independently.
solver::LoanRows referenceRows(const planner::PlanInput& loan, const Arithmetic& arithmetic) {
    if (arithmetic.schedule) {
        return solver::scheduleRows(loan);
    }
    const double r = loan.annualPercent / 100.0 / 12.0;
    const double units = static_cast<double>(loan.principal) / 100.0;
    const double g = std::pow(1.0 + r, loan.months);
    const double e = 1.0 + r == 1.0 ? units / loan.months : (r * units) * (g / (g - 1.0));
    const Cents emi = roundInstalment(e, arithmetic.instalment);
    solver::LoanRows result;
    Cents balance = loan.principal;
    for (int k = 1; k <= loan.months && balance > 0; ++k) {
        const Cents interest = roundInterest(static_cast<double>(balance) * r, arithmetic.interest);
        const bool last = emi - interest >= balance || k == loan.months;
        const Cents principal = last ? balance : emi - interest;
        result.rows.push_back({k, loan.startDate.addMonths(k), balance, principal + interest,
                               principal, interest, 0, balance - principal});
        balance -= principal;
    }
    return result;
}

planner::PlanInput loanOf(Cents principal, int months, double rate, QDate start = {2026, 1, 31}) {
    planner::PlanInput loan;
    loan.principal = principal;
    loan.months = months;
    loan.annualPercent = rate;
    loan.startDate = start;
    return loan;
}

// A statement as a lender's CSV: number, date, payment, principal, interest, closing.
QString csvOf(const std::vector<solver::LoanRow>& rows) {
    QString text = u"No,Date,Payment,Principal,Interest,Balance\n"_s;
    for (const auto& row : rows) {
        text += u"%1,%2,%3,%4,%5,%6\n"_s.arg(row.number)
                    .arg(row.dueDate.toString(Qt::ISODate), solver::moneyText(row.payment),
                         solver::moneyText(row.principal), solver::moneyText(row.interest),
                         solver::moneyText(row.closing));
    }
    return text;
}

QString readFile(const QString& name) {
    QFile file(QStringLiteral(STATEMENTS_DIR) + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::pair<int, QString> runCli(const QStringList& args) {
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status = cli::run(args, {out, err});
    return {status, QString::fromUtf8(out.data() + err.data())};
}

const QStringList ruleNames{u"schedule"_s, u"nearest-cent"_s, u"nearest-unit"_s, u"up-cent"_s,
                            u"up-unit"_s};

}  // namespace

class TestSolver : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void workedExample();
    void noAnswer_data();
    void noAnswer();
    void trueCost_data();
    void trueCost();
    void scheduleRounding_data();
    void scheduleRounding();
    void amounts_data();
    void amounts();
    void dates_data();
    void dates();
    void engineAgreesWithReference_data();
    void engineAgreesWithReference();
    void dueDatesFromStatements_data();
    void dueDatesFromStatements();
    void programStatements_data();
    void programStatements();
    void pastedStatements_data();
    void pastedStatements();
    void statementForms_data();
    void statementForms();
    void unreadableRowsAreListed();
    void commandLine_data();
    void commandLine();
    void golden_data();
    void golden();
};

void TestSolver::roundTrip_data() {
    QTest::addColumn<qint64>("principal");
    QTest::addColumn<int>("months");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("basis");
    const struct {
        const char* name;
        qint64 principal;
        int months;
        double rate;
        const char* frequency = "monthly";
        const char* basis = "periodic";
    } loans[] = {
        {"worked example", 10000000, 12, 11},
        {"mortgage", 30000000, 360, 5},
        {"one cent a month", 100, 1, 0},
        {"interest free", 500000, 60, 0},
        {"largest principal", 100000000000000, 360, 7.5},
        {"longest term", 25000000, 32767, 0.5},
        {"odd cents, high rate", 1234567, 7, 999},
        {"tiny rate", 8000000, 240, 0.001},
        {"car loan", 2345678, 48, 6.49},
        {"fortnightly by days", 2345678, 130, 6.49, "fortnightly", "actual/365"},
        {"quarterly", 30000000, 80, 5.25, "quarterly", "30/360"},
    };
    for (const auto& loan : loans) {
        const bool plain = loan.frequency == "monthly"sv && loan.basis == "periodic"sv;
        for (const QString& rule : ruleNames.mid(plain ? 0 : 1)) {
            QTest::addRow("%s, %s", loan.name, qPrintable(rule))
                << loan.principal << loan.months << loan.rate << rule
                << QString::fromLatin1(loan.frequency) << QString::fromLatin1(loan.basis);
        }
    }
}

// Solve each unknown from the instalment of a known loan, then recompute.
void TestSolver::roundTrip() {
    QFETCH(qint64, principal);
    QFETCH(int, months);
    QFETCH(double, rate);
    QFETCH(QString, rule);
    QFETCH(QString, frequency);
    QFETCH(QString, basis);
    const InstalmentRule arithmetic = *solver::ruleFromName(rule);
    planner::PlanInput terms = loanOf(0, 0, 0);
    terms.frequency = *calendar::frequencyFromName(frequency.toStdString());
    terms.basis = *planner::basisFromName(basis.toStdString());
    terms.instalmentRounding = arithmetic.value_or(planner::InstalmentRounding::NearestCent);
    const bool plain = frequency == u"monthly" && basis == u"periodic";
    const auto instalment = [&](Cents p, int n, double r) {
        return solver::instalmentCents(p, n, r, arithmetic, terms);
    };
    const Cents emi = *instalment(principal, months, rate);
    // The engine's own plan of a loan with these terms.
    const auto planOf = [&](Cents p, int n, double r) {
        planner::PlanInput loan = terms;
        loan.principal = p;
        loan.months = n;
        loan.annualPercent = r;
        return planner::computePlan(loan);
    };

    // Under the planner's arithmetics the answer's every payment stays within emi, so the loan
    // itself is an answer only where its last payment does.
    const auto withinEmi = [&](Cents p, int n) {
        const auto rows = plain ? referenceRows(loanOf(p, n, rate),
                                                Arithmetic{!arithmetic, terms.instalmentRounding})
                                      .rows
                                : planOf(p, n, rate).plan.value_or(planner::Plan{}).rows;
        return !rows.empty() &&
               std::all_of(rows.begin(), rows.end(),
                           [&](const solver::LoanRow& row) { return row.payment <= emi; });
    };
    if (!plain) {
        QCOMPARE(planOf(principal, months, rate).plan->instalments.front(), emi);
    }
    const auto byPrincipal = solver::solvePrincipal(emi, months, rate, arithmetic,
                                                    planner::InterestRounding::HalfUp, terms);
    QVERIFY2(byPrincipal.loan, qPrintable(byPrincipal.error));
    QVERIFY(withinEmi(byPrincipal.loan->principal, months));
    QVERIFY(byPrincipal.loan->principal >= principal || !withinEmi(principal, months));
    QVERIFY(*instalment(byPrincipal.loan->principal, months, rate) <= emi);
    if (byPrincipal.loan->principal < solver::maxPrincipal) {
        QVERIFY(*instalment(byPrincipal.loan->principal + 1, months, rate) > emi ||
                !withinEmi(byPrincipal.loan->principal + 1, months));
    }

    const auto byMonths = solver::solveMonths(emi, principal, rate, arithmetic,
                                              planner::InterestRounding::HalfUp, terms);
    QVERIFY2(byMonths.loan || !withinEmi(principal, months) ||
                 byMonths.error.contains(u"does not cover more than the interest"_s),
             qPrintable(byMonths.error));
    if (byMonths.loan) {
        const int found = byMonths.loan->months;
        QVERIFY(found <= months || !withinEmi(principal, months));
        QCOMPARE_LE(*instalment(principal, found, rate), emi);
        QVERIFY(withinEmi(principal, found));
        QVERIFY(found == 1 || *instalment(principal, found - 1, rate) > emi ||
                !withinEmi(principal, found - 1));
    }

    const auto byRate = solver::solveRate(emi, principal, months, arithmetic, terms);
    QVERIFY2(byRate.loan, qPrintable(byRate.error));
    QVERIFY(byRate.rateLow <= rate && rate <= byRate.rateHigh);
    QCOMPARE(*instalment(principal, months, byRate.loan->annualPercent), emi);
    QCOMPARE(*instalment(principal, months, byRate.rateLow), emi);
    QCOMPARE(*instalment(principal, months, byRate.rateHigh), emi);
    QCOMPARE(byRate.instalment, emi);
    if (!plain) {  // solve and plan agree
        QCOMPARE(planOf(principal, months, byRate.loan->annualPercent).plan->instalments.front(),
                 emi);
        QCOMPARE(planOf(byPrincipal.loan->principal, months, rate).plan->instalments.front(), emi);
        QVERIFY(byMonths.loan);
        QCOMPARE_LE(planOf(principal, byMonths.loan->months, rate).plan->instalments.front(), emi);
    }
}

void TestSolver::workedExample() {
    const auto solution = solver::solveRate(883817, 10000000, 12, InstalmentRule{});
    QVERIFY(solution.loan);
    QCOMPARE(solution.loan->annualPercent, 11.0);
    const auto [status, output] =
        runCli({u"solve"_s, u"--for"_s, u"rate"_s, u"--emi"_s, u"8838.17"_s, u"-p"_s, u"100000"_s,
                u"-n"_s, u"12"_s, u"--format"_s, u"json"_s, u"--fees"_s, u"0"_s});
    QCOMPARE(status, 0);
    QVERIFY2(output.contains(u"\"rate\": 11,"_s), qPrintable(output));
    QVERIFY(output.contains(u"\"principal\": 100000.00,"_s));
    QVERIFY(output.contains(u"\"rate_low\": 10.999982,\n  \"rate_high\": 11.000196,"_s));
    QVERIFY(output.contains(u"\"total_interest\": 6057.98,"_s));
    QVERIFY(output.contains(u"\"effective_annual_rate\": 11.57,"_s));
    QVERIFY(output.contains(u"\"apr_us\": 11.0001,\n  \"aprc_eu\": 11.5720"_s));
}

void TestSolver::noAnswer_data() {
    QTest::addColumn<QString>("unknown");
    QTest::addColumn<qint64>("emi");
    QTest::addColumn<QString>("message");
    QTest::newRow("months: below the first interest")
        << "months" << qint64(40000) << "400.00 does not cover more than the interest of 416.67";
    QTest::newRow("rate: below principal over months")
        << "rate" << qint64(800000) << "even at 0 % it is 8333.33";
    QTest::newRow("rate: above every rate")
        << "rate" << qint64(10000000000) << "No rate up to 1000 %";
    QTest::newRow("principal: not a cent") << "principal" << qint64(0) << "more than 0";
}

void TestSolver::noAnswer() {
    QFETCH(QString, unknown);
    QFETCH(qint64, emi);
    QFETCH(QString, message);
    const InstalmentRule rule{};
    const auto solution = unknown == u"months"_s ? solver::solveMonths(emi, 10000000, 5, rule)
                          : unknown == u"rate"_s ? solver::solveRate(emi, 10000000, 12, rule)
                                                 : solver::solvePrincipal(emi, 12, 5, rule);
    QVERIFY(!solution.loan);
    QVERIFY2(solution.error.contains(message), qPrintable(solution.error));
}

void TestSolver::trueCost_data() {
    QTest::addColumn<qint64>("principal");
    QTest::addColumn<qint64>("fees");
    QTest::addColumn<QList<qint64>>("payments");
    QTest::addColumn<double>("aprUs");
    QTest::addColumn<double>("aprcEu");
    QTest::newRow("one month at 12 %")
        << qint64(100000) << qint64(0) << QList<qint64>{101000} << 12.0 << 12.682503013196972;
    QTest::newRow("fees raise the rate")
        << qint64(101000) << qint64(1000) << QList<qint64>{101000} << 12.0 << 12.682503013196972;
    QTest::newRow("two months at 24 %")
        << qint64(200000) << qint64(0) << QList<qint64>{102000, 104040} << 24.0 << 26.824179456254;
    QTest::newRow("no interest") << qint64(120000) << qint64(0) << QList<qint64>(12, 10000) << 0.0
                                 << 0.0;
}

// The cost of monthly payments from 15 January 2026.
void TestSolver::trueCost() {
    QFETCH(qint64, principal);
    QFETCH(qint64, fees);
    QFETCH(QList<qint64>, payments);
    QFETCH(double, aprUs);
    QFETCH(double, aprcEu);
    const planner::PlanInput loan = loanOf(principal, payments.size(), 12, {2026, 1, 15});
    std::vector<planner::PlanRow> rows;
    for (const qint64 payment : payments) {
        const int number = static_cast<int>(rows.size()) + 1;
        rows.push_back({number, loan.startDate.addMonths(number), 0, payment, 0, 0, 0, 0});
    }
    const auto cost = planner::trueCost(loan, rows, {fees, 0});
    QVERIFY(cost.aprUsPercent && cost.aprcEuPercent);
    QVERIFY2(std::fabs(*cost.aprUsPercent - aprUs) < 1e-7,
             qPrintable(QString::number(*cost.aprUsPercent, 'g', 12)));
    QVERIFY2(std::fabs(*cost.aprcEuPercent - aprcEu) < 1e-7,
             qPrintable(QString::number(*cost.aprcEuPercent, 'g', 12)));
    QCOMPARE(cost.totalPaid, std::accumulate(payments.begin(), payments.end(), Cents(fees)));
    QVERIFY(std::fabs(cost.effectiveAnnualPercent - 12.682503013196972) < 1e-9);
}

// The main schedule sets its last balance to 0; its rows' principal parts need not add up to
// the principal. The planner's always do.
void TestSolver::scheduleRounding_data() {
    QTest::addColumn<qint64>("principal");
    QTest::addColumn<int>("months");
    QTest::addColumn<double>("rate");
    QTest::addColumn<qint64>("left");
    QTest::newRow("230 x 24 on 5000") << qint64(500000) << 24 << 9.686 << qint64(2);
    QTest::newRow("2400 months at 5 %") << qint64(10000000) << 2400 << 5.0 << qint64(188272);
    QTest::newRow("worked example") << qint64(10000000) << 12 << 11.0 << qint64(1);
    QTest::newRow("repays more") << qint64(8485368) << 120 << 5.0 << qint64(-6);
}

void TestSolver::scheduleRounding() {
    QFETCH(qint64, principal);
    QFETCH(int, months);
    QFETCH(double, rate);
    QFETCH(qint64, left);
    const planner::PlanInput loan = loanOf(principal, months, rate);
    const auto cost = solver::trueCostOf(loan, solver::scheduleRows(loan));
    QCOMPARE(cost.principalLeft, left);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString note =
        planner::roundingNote(cost.principalLeft, english.toString(std::abs(left) / 100.0, 'f', 2));
    QVERIFY(note.startsWith(left > 0 ? u"The schedule's rounding leaves "_s
                                     : u"The schedule's rounding repays "_s));
    if (left == 188272) {
        QVERIFY(note.contains(u"leaves 1,882.72 of the principal unpaid"_s));
    }
    const auto exact = solver::trueCostOf(loan, solver::loanRows(loan, Arithmetic{}));
    QCOMPARE(exact.principalLeft, 0);
}

void TestSolver::amounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<qint64>("cents");  // -1: not an amount
    QTest::newRow("plain") << "8838.17"
                           << "." << qint64(883817);
    QTest::newRow("grouped") << "1,234,567.89"
                             << "." << qint64(123456789);
    QTest::newRow("dollar") << "$8,838.17"
                            << "." << qint64(883817);
    QTest::newRow("euro after") << "1.085,52 €"
                                << "," << qint64(108552);
    QTest::newRow("euro code") << "EUR 1.085,5"
                               << "," << qint64(108550);
    QTest::newRow("swiss") << "CHF 1'234.50"
                           << "." << qint64(123450);
    QTest::newRow("blank groups") << "1\u00A0234,56"
                                  << "," << qint64(123456);
    QTest::newRow("indian groups") << "\u20B91,00,000.00"
                                   << "." << qint64(10000000);
    QTest::newRow("minus sign") << "\u22120.01"
                                << "." << qint64(-1);
    QTest::newRow("trailing minus") << "12.00-"
                                    << "." << qint64(-1200);
    QTest::newRow("parentheses") << "($5.00)"
                                 << "." << qint64(-500);
    QTest::newRow("sign before currency") << "-$5"
                                          << "." << qint64(-500);
    QTest::newRow("whole") << "100000"
                           << "." << qint64(10000000);
    QTest::newRow("zero decimals beyond two") << "1.500"
                                              << "." << qint64(150);
    QTest::newRow("three decimals") << "1.234"
                                    << "." << qint64(-1);
    QTest::newRow("two decimal points") << "1.2.3"
                                        << "." << qint64(-1);
    QTest::newRow("word") << "Total"
                          << "." << qint64(-1);
    QTest::newRow("empty") << ""
                           << "." << qint64(-1);
    QTest::newRow("unknown code") << "XYZ 5"
                                  << "." << qint64(-1);
    QTest::newRow("too many digits") << "12345678901234567"
                                     << "." << qint64(-1);
}

void TestSolver::amounts() {
    QFETCH(QString, text);
    QFETCH(QString, decimal);
    QFETCH(qint64, cents);
    const auto amount = solver::parseAmount(text, decimal.front());
    const bool readable = cents != -1 || text == u"\u22120.01"_s;
    QCOMPARE(amount.has_value(), readable);
    if (readable) {
        QCOMPARE(*amount, cents);
    }
}

void TestSolver::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dayFirst");
    QTest::addColumn<QDate>("date");
    QTest::newRow("iso") << "2026-02-28" << false << QDate(2026, 2, 28);
    QTest::newRow("german") << "15.04.2026" << false << QDate(2026, 4, 15);
    QTest::newRow("british") << "03/04/2026" << true << QDate(2026, 4, 3);
    QTest::newRow("american") << "03/04/2026" << false << QDate(2026, 3, 4);
    QTest::newRow("spelled") << "Feb 28, 2026" << false << QDate(2026, 2, 28);
    QTest::newRow("day month year") << "31-Jan-26" << true << QDate(2026, 1, 31);
    QTest::newRow("german month") << "1. März 2026" << true << QDate(2026, 3, 1);
    QTest::newRow("no such day") << "2026-02-30" << true << QDate();
    QTest::newRow("amount") << "1.085,52" << true << QDate();
    QTest::newRow("iso, mixed marks") << "2026/3.5" << false << QDate(2026, 3, 5);
    QTest::newRow("two-digit year") << "05-03-26" << false << QDate(2026, 5, 3);
    QTest::newRow("dotted is day first") << "5.3.26" << false << QDate(2026, 3, 5);
    QTest::newRow("mixed marks, not iso") << "15.04/2026" << true << QDate();
    QTest::newRow("three-digit year") << "15.04.202" << true << QDate();
    QTest::newRow("padded") << "  2026-02-28 " << true << QDate(2026, 2, 28);
    QTest::newRow("trailing letter") << "2026-02-28x" << true << QDate();
    QTest::newRow("Arabic-Indic digits") << u"\u0662\u0660\u0662\u0666-02-28"_s << true << QDate();
}

void TestSolver::dates() {
    QFETCH(QString, text);
    QFETCH(bool, dayFirst);
    QFETCH(QDate, date);
    QCOMPARE(solver::parseStatementDate(text, dayFirst).value_or(QDate()), date);
}

void TestSolver::engineAgreesWithReference_data() {
    QTest::addColumn<qint64>("principal");
    QTest::addColumn<int>("months");
    QTest::addColumn<double>("rate");
    QTest::newRow("mortgage") << qint64(30000000) << 360 << 5.0;
    QTest::newRow("short, high rate") << qint64(1234567) << 7 << 99.9;
    QTest::newRow("interest free") << qint64(100001) << 9 << 0.0;
}

// The rows the reconciler gets from the planner's engine are the contract's, for each rounding.
void TestSolver::engineAgreesWithReference() {
    QFETCH(qint64, principal);
    QFETCH(int, months);
    QFETCH(double, rate);
    const auto loan = loanOf(principal, months, rate);
    for (const Arithmetic& arithmetic : solver::allArithmetics()) {
        if (arithmetic.basis != planner::InterestBasis::Periodic) {
            continue;  // the reference knows monthly periods only
        }
        const auto engine = solver::loanRows(loan, arithmetic).rows;
        const auto reference = referenceRows(loan, arithmetic).rows;
        QCOMPARE(engine.size(), reference.size());
        for (std::size_t i = 0; i < engine.size(); ++i) {
            const auto& a = engine[i];
            const auto& b = reference[i];
            QVERIFY2(a.payment == b.payment && a.principal == b.principal &&
                         a.interest == b.interest && a.closing == b.closing &&
                         a.dueDate == b.dueDate,
                     qPrintable(u"%1, month %2"_s.arg(solver::shortName(arithmetic)).arg(i + 1)));
        }
    }
}

void TestSolver::dueDatesFromStatements_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("rows");      // ISO dates, each with "#number" when numbered
    QTest::addColumn<QString>("given");     // a frequency, or empty
    QTest::addColumn<QString>("expected");  // frequency, first due or "regular", fitting/dated
    // clang-format off
    QTest::newRow("monthly, month ends") << QDate(2026, 1, 31) << "2026-02-28 2026-03-31 2026-04-30" << "" << "monthly regular 3/3";
    QTest::newRow("monthly, odd first") << QDate(2026, 1, 10) << "2026-02-25 2026-03-25 2026-04-25" << "" << "monthly 2026-02-25 3/3";
    QTest::newRow("monthly, mid-loan") << QDate(2026, 1, 15) << "2026-06-15 2026-07-15" << "" << "monthly regular 2/2";
    QTest::newRow("fortnightly, not weekly") << QDate(2026, 1, 5) << "2026-01-19 2026-02-02 2026-02-16" << "" << "fortnightly regular 3/3";
    QTest::newRow("weekly, numbered from 5") << QDate(2026, 1, 5) << "2026-02-09#5 2026-02-16#6 2026-02-23#7" << "" << "weekly regular 3/3";
    QTest::newRow("weekly, odd first, numbered") << QDate(2026, 1, 5) << "2026-01-22#2 2026-01-29#3" << "" << "weekly 2026-01-15 2/2";
    QTest::newRow("four-weekly, not monthly") << QDate(2026, 1, 5) << "2026-02-02 2026-03-02 2026-03-30" << "" << "four-weekly regular 3/3";
    QTest::newRow("semi-monthly") << QDate(2026, 1, 5) << "2026-01-20 2026-02-05 2026-02-20" << "" << "semi-monthly regular 3/3";
    QTest::newRow("quarterly, odd first") << QDate(2026, 1, 1) << "2026-05-15 2026-08-15 2026-11-15" << "" << "quarterly 2026-05-15 3/3";
    QTest::newRow("yearly") << QDate(2026, 3, 1) << "2027-03-01 2028-03-01" << "" << "yearly regular 2/2";
    QTest::newRow("given frequency stands") << QDate(2026, 1, 5) << "2026-01-19 2026-02-02" << "weekly" << "weekly regular 1/2";
    QTest::newRow("no dates: the loan's own") << QDate(2026, 1, 5) << "" << "" << "monthly regular 0/0";
    QTest::newRow("one date: the loan's own") << QDate(2025, 12, 8) << "2026-01-09" << "" << "monthly regular 0/1";
    // clang-format on
}

// The frequency and first due date a statement's dates tell.
void TestSolver::dueDatesFromStatements() {
    QFETCH(QDate, start);
    QFETCH(QString, rows);
    QFETCH(QString, given);
    QFETCH(QString, expected);
    solver::Statement statement;
    for (const QString& row : rows.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = row.split(u'#');
        solver::StatementRow statementRow;
        statementRow.date = QDate::fromString(parts[0], Qt::ISODate);
        if (parts.size() > 1) {
            statementRow.number = parts[1].toInt();
        }
        statement.rows.push_back(statementRow);
    }
    solver::GivenTerms terms;
    if (!given.isEmpty()) {
        terms.frequency = calendar::frequencyFromName(given.toStdString());
    }
    const auto inferred = solver::inferDueDates(statement, start, {}, terms);
    QCOMPARE(
        u"%1 %2 %3/%4"_s
            .arg(QString::fromLatin1(calendar::name(inferred.terms.frequency)),
                 inferred.terms.firstDue.isValid() ? inferred.terms.firstDue.toString(Qt::ISODate)
                                                   : u"regular"_s)
            .arg(inferred.fittingRows)
            .arg(inferred.datedRows),
        expected);
}

void TestSolver::programStatements_data() {
    QTest::addColumn<int>("arithmetic");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");  // Role of the perturbed cell
    const auto all = solver::allArithmetics();
    const Role columns[] = {Role::Payment, Role::Principal, Role::Interest, Role::Closing};
    for (int a = 0; a < static_cast<int>(all.size()); ++a) {
        if (all[a].basis != planner::InterestBasis::Periodic) {
            continue;  // the reference knows monthly periods only
        }
        QTest::addRow("%s", qPrintable(solver::shortName(all[a]))) << a << -1 << 0;
        const int row = (a * 7) % 24;
        const Role column = columns[a % 4];
        QTest::addRow("%s, row %d %s", qPrintable(solver::shortName(all[a])), row + 1,
                      qPrintable(solver::roleName(column)))
            << a << row << static_cast<int>(column);
    }
}

// A statement made under each arithmetic is recognised; a cent changed at one row is found.
void TestSolver::programStatements() {
    QFETCH(int, arithmetic);
    QFETCH(int, row);
    QFETCH(int, column);
    const Arithmetic made = solver::allArithmetics()[static_cast<std::size_t>(arithmetic)];
    const auto loan = loanOf(2473519, 24, 7.37);
    auto rows = referenceRows(loan, made).rows;
    QCOMPARE(rows.size(), std::size_t(24));
    if (row >= 0) {
        auto& cell = static_cast<Role>(column) == Role::Payment     ? rows[row].payment
                     : static_cast<Role>(column) == Role::Principal ? rows[row].principal
                     : static_cast<Role>(column) == Role::Interest  ? rows[row].interest
                                                                    : rows[row].closing;
        cell += 1;
    }
    const auto parsed = solver::parseStatement(csvOf(rows));
    QCOMPARE(parsed.statement.rows.size(), std::size_t(24));
    QVERIFY(parsed.statement.unreadable.empty());
    const auto result = solver::reconcile(loan, parsed.statement, {}, referenceRows);
    const auto& mine = result.results[static_cast<std::size_t>(arithmetic)];
    QCOMPARE(mine.arithmetic, made);
    if (row < 0) {
        QCOMPARE(mine.matching, 24);
        QVERIFY(result.matchesEveryRow);
        QVERIFY(result.sentence.startsWith(u"Your statement matches: "_s));
        QVERIFY(result.sentence.endsWith(u", on all 24 rows."_s));
        return;
    }
    QCOMPARE(mine.matching, 23);
    QVERIFY(mine.firstDifference);
    QCOMPARE(mine.firstDifference->statementRow, row);
    QCOMPARE(mine.firstDifference->column, static_cast<Role>(column));
    QCOMPARE(mine.firstDifference->statement - mine.firstDifference->computed, Cents(1));
    QVERIFY(!result.matchesEveryRow);
}

void TestSolver::pastedStatements_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("principal");
    QTest::addColumn<int>("months");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("pdf, dollars") << "us-pdf.txt" << qint64(10000000) << 12 << 11.0
                                  << QDate(2026, 1, 31)
                                  << "number,date,payment,principal,interest,closing" << 4
                                  << "Your statement matches: periodic, instalment to the nearest "
                                     "cent, interest half up, on all 12 rows.";
    QTest::newRow("web page, euros")
        << "de-web.txt" << qint64(2500000) << 24 << 3.99 << QDate(2026, 3, 15)
        << "number,date,payment,interest,principal,closing" << 2
        << "Your statement matches: periodic, instalment up to the "
           "cent, interest down, on all 24 rows.";
    QTest::newRow("fortnightly, dd.mm.yyyy and decimal commas")
        << "de-fortnightly.txt" << qint64(1003750) << 20 << 6.9 << QDate(2026, 1, 5)
        << "date,payment,interest,principal,closing" << 3
        << "Your statement matches: actual/365, instalment to the nearest cent, interest half to "
           "even, on all 20 rows.";
}

void TestSolver::pastedStatements() {
    QFETCH(QString, file);
    QFETCH(qint64, principal);
    QFETCH(int, months);
    QFETCH(double, rate);
    QFETCH(QDate, start);
    QFETCH(QString, columns);
    QFETCH(int, unreadable);
    QFETCH(QString, sentence);
    const auto parsed = solver::parseStatement(readFile(file));
    QStringList guessed;
    for (const Role role : parsed.columns) {
        guessed << solver::roleName(role);
    }
    QCOMPARE(guessed.join(u','), columns);
    QCOMPARE(static_cast<int>(parsed.statement.rows.size()), months);
    QCOMPARE(static_cast<int>(parsed.statement.unreadable.size()), unreadable);
    const auto result = solver::reconcile(loanOf(principal, months, rate, start), parsed.statement);
    QCOMPARE(result.sentence, sentence);
}

void TestSolver::statementForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("firstRow");  // number, payment, principal, interest, closing
    QTest::newRow("quoted csv, comma decimals")
        << "Month,Payment,Interest,Principal,Balance\n"
           "1,\"8838,17\",\"916,67\",\"7921,50\",\"92078,50\"\n"
           "2,\"8838,17\",\"844,05\",\"7994,12\",\"84084,38\"\n"
        << "number,payment,interest,principal,closing"
        << "1 883817 792150 91667 9207850";
    QTest::newRow("no header, values tell") << "1\t8,838.17\t7,921.50\t916.67\t92,078.50\n"
                                               "2\t8,838.17\t7,994.12\t844.05\t84,084.38\n"
                                               "3\t8,838.17\t8,067.40\t770.77\t76,016.98\n"
                                            << "number,payment,principal,interest,closing"
                                            << "1 883817 792150 91667 9207850";
    QTest::newRow("single blanks, signs apart")
        << "1 31-Jan-26 EUR 8.838,17 EUR 7.921,50 EUR 916,67 EUR 92.078,50\n"
           "2 28-Feb-26 EUR 8.838,17 EUR 7.994,12 EUR 844,05 EUR 84.084,38\n"
        << "number,date,payment,principal,interest,closing"
        << "1 883817 792150 91667 9207850";
    QTest::newRow("date first, whole amounts") << "2026-02-28\t1\t900\t400\t500\t99600\n"
                                                  "2026-03-31\t2\t900\t401\t499\t99199\n"
                                                  "2026-04-30\t3\t900\t402\t498\t98797\n"
                                               << "date,number,payment,principal,interest,closing"
                                               << "1 90000 40000 50000 9960000";
    QTest::newRow("opening and closing") << "#;Opening;Payment;Interest;Principal;Closing\n"
                                            "1;100000.00;8838.17;916.67;7921.50;92078.50\n"
                                            "2;92078.50;8838.17;844.05;7994.12;84084.38\n"
                                         << "number,opening,payment,interest,principal,closing"
                                         << "1 883817 792150 91667 9207850";
}

void TestSolver::statementForms() {
    QFETCH(QString, text);
    QFETCH(QString, columns);
    QFETCH(QString, firstRow);
    const auto parsed = solver::parseStatement(text);
    QStringList guessed;
    for (const Role role : parsed.columns) {
        guessed << solver::roleName(role);
    }
    QCOMPARE(guessed.join(u','), columns);
    QVERIFY(parsed.statement.unreadable.empty());
    QVERIFY(!parsed.statement.rows.empty());
    const auto& row = parsed.statement.rows.front();
    QStringList values{QString::number(row.number.value_or(0))};
    for (const Role role : {Role::Payment, Role::Principal, Role::Interest, Role::Closing}) {
        values << QString::number(
            row.amounts[static_cast<std::size_t>(solver::amountIndex(role))].value_or(-1));
    }
    QCOMPARE(values.join(u' '), firstRow);
}

void TestSolver::unreadableRowsAreListed() {
    const auto parsed = solver::parseStatement(
        u"No;Date;Payment;Interest;Principal;Balance\n"
        u"1;2026-02-28;8838,17;916,67;7921,50;92078,50\n"
        u"2;2026-03-31;8838,17;844,O5;7994,12;84084,38\n"
        u"3;2026-03-31;8838,17\n"
        u"No;Date;Payment;Interest;Principal;Balance\n"
        u"Total;;;;;\n"_s);
    QCOMPARE(parsed.style.decimal, u',');
    QCOMPARE(parsed.statement.rows.size(), std::size_t(1));
    QStringList reasons;
    for (const auto& row : parsed.statement.unreadable) {
        reasons << u"%1: %2"_s.arg(row.line).arg(row.reason);
    }
    QCOMPARE(reasons, QStringList({u"3: the interest '844,O5' is not an amount"_s,
                                   u"4: has 3 cells, the columns need 6"_s,
                                   u"5: repeats the column titles"_s,
                                   u"6: a totals row, not an instalment"_s}));
}

void TestSolver::commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    const QString statement = QStringLiteral(STATEMENTS_DIR) + u"/us-pdf.txt"_s;
    QTest::newRow("principal") << QStringList{u"solve"_s, u"--for"_s, u"principal"_s,
                                              u"--emi"_s, u"900"_s,   u"-n"_s,
                                              u"120"_s,   u"-r"_s,    u"5"_s}
                               << 0 << "Principal: 84853.68\n";
    QTest::newRow("months") << QStringList{u"solve"_s,  u"--for"_s, u"months"_s,
                                           u"--emi"_s,  u"900"_s,   u"-p"_s,
                                           u"100000"_s, u"-r"_s,    u"5"_s}
                            << 0 << "Months: 150\n";
    QTest::newRow("no answer") << QStringList{u"solve"_s,  u"--for"_s, u"months"_s,
                                              u"--emi"_s,  u"400"_s,   u"-p"_s,
                                              u"100000"_s, u"-r"_s,    u"5"_s}
                               << 1
                               << "400.00 does not cover more than the interest of 416.67 a month";
    const auto words = [](const char* line) { return QString::fromLatin1(line).split(u' '); };
    QTest::newRow("fortnightly") << words(
                                        "solve --for principal --emi 200 -n 130 -r 6.49 "
                                        "--frequency fortnightly --interest-basis actual/365 "
                                        "--arithmetic nearest-cent")
                                 << 0 << "Principal: 22180.19\nPayments: 130\n";
    QTest::newRow("schedule is monthly")
        << words("solve --for months --emi 200 -p 20000 -r 6 --frequency quarterly") << 1
        << "The schedule arithmetic takes only monthly loans";
    QTest::newRow("uneven instalment")
        << words("solve --for months --emi 200 -p 20000 -r 6 --grace 2") << 2
        << "--grace is not taken when solving";
    QTest::newRow("unknown given")
        << QStringList{u"solve"_s, u"--for"_s, u"rate"_s, u"--emi"_s, u"9"_s, u"-p"_s,
                       u"100"_s,   u"-n"_s,    u"12"_s,   u"-r"_s,    u"5"_s}
        << 2 << "--rate is the value to find";
    QTest::newRow("missing value")
        << QStringList{u"solve"_s, u"--for"_s, u"rate"_s, u"--emi"_s} << 2 << "--emi needs a value";
    QTest::newRow("locale number")
        << QStringList{u"solve"_s, u"--for"_s,  u"rate"_s, u"--emi"_s, u"8838,17"_s,
                       u"-p"_s,    u"100000"_s, u"-n"_s,   u"12"_s}
        << 2 << "--emi must be an amount";
    QTest::newRow("bad arithmetic")
        << QStringList{u"solve"_s, u"--for"_s,        u"rate"_s, u"--emi"_s,
                       u"1"_s,     u"--arithmetic"_s, u"x"_s}
        << 2 << "--arithmetic must be";
    QTest::newRow("reconcile: no match")
        << QStringList{u"reconcile"_s,  u"-p"_s,          u"100000"_s, u"-n"_s,
                       u"12"_s,         u"-r"_s,          u"11.5"_s,   u"-s"_s,
                       u"2026-01-31"_s, u"--statement"_s, statement}
        << 3 << "No arithmetic matches every row";
    QTest::newRow("reconcile: the planner's extra payment")
        << QStringList{u"reconcile"_s,
                       u"-p"_s,
                       u"100000"_s,
                       u"-n"_s,
                       u"12"_s,
                       u"-r"_s,
                       u"11"_s,
                       u"-s"_s,
                       u"2026-01-31"_s,
                       u"--extra"_s,
                       u"3:5000"_s,
                       u"--statement"_s,
                       QStringLiteral(STATEMENTS_DIR) + u"/plan-extra.csv"_s}
        << 0 << "Your statement matches";
    QTest::newRow("reconcile: a given frequency stands")
        << QStringList{u"reconcile"_s,
                       u"-p"_s,
                       u"10037.50"_s,
                       u"-n"_s,
                       u"20"_s,
                       u"-r"_s,
                       u"6.9"_s,
                       u"-s"_s,
                       u"2026-01-05"_s,
                       u"--frequency"_s,
                       u"weekly"_s,
                       u"--statement"_s,
                       QStringLiteral(STATEMENTS_DIR) + u"/de-fortnightly.txt"_s}
        << 3 << "Due dates: weekly, ";
    // A loan of one cent over one month, with the pdf statement.
    const QStringList tiny{u"reconcile"_s,  u"-p"_s,          u"1"_s,   u"-n"_s,
                           u"1"_s,          u"-r"_s,          u"1"_s,   u"-s"_s,
                           u"2026-01-31"_s, u"--statement"_s, statement};
    QTest::newRow("reconcile: no such frequency")
        << tiny + QStringList{u"--frequency"_s, u"daily"_s} << 2 << "--frequency must be";
    QTest::newRow("reconcile: first due before the start")
        << tiny + QStringList{u"--first-due"_s, u"2026-01-31"_s} << 2
        << "--first-due: The first due date must come after the start date";
    QTest::newRow("reconcile: missing file")
        << QStringList{u"reconcile"_s,  u"-p"_s,          u"1"_s,           u"-n"_s,
                       u"1"_s,          u"-r"_s,          u"1"_s,           u"-s"_s,
                       u"2026-01-31"_s, u"--statement"_s, u"/nonexistent"_s}
        << 2 << "--statement: cannot read";
    QTest::newRow("reconcile: bad column") << QStringList{u"reconcile"_s,
                                                          u"-p"_s,
                                                          u"1"_s,
                                                          u"-n"_s,
                                                          u"1"_s,
                                                          u"-r"_s,
                                                          u"1"_s,
                                                          u"-s"_s,
                                                          u"2026-01-31"_s,
                                                          u"--statement"_s,
                                                          statement,
                                                          u"--columns"_s,
                                                          u"number,amount"_s}
                                           << 2 << "--columns: 'amount'";
    // Answers that repay, and messages that say what is wrong.
    const auto cli = [](const QString& line) { return line.split(u' '); };
    const QString loan = u"-p 1000 -n 12 -r 5 -s 2026-01-31 --statement "_s + STATEMENTS_DIR;
    QTest::newRow("fault: months, instalment only the interest")
        << cli(u"solve --for months --emi 5 -p 1200 -r 5"_s) << 1
        << "5.00 does not cover more than the interest of 5.00 a month.";
    QTest::newRow("fault: months, instalment only the interest, up-cent")
        << cli(u"solve --for months --emi 5 -p 1200 -r 5 --arithmetic up-cent"_s) << 1
        << "5.00 does not cover more than the interest of 5.00 a month.";
    QTest::newRow("fault: principal, last payment within the instalment")
        << cli(u"solve --for principal --emi 100 -n 12 -r 0 --arithmetic nearest-cent"_s) << 0
        << "Principal: 1200.00\n";
    QTest::newRow("fault: the schedule's own totals")
        << cli(u"solve --for rate --emi 230 -p 5000 -n 24"_s) << 0
        << "Schedule total interest: 520.02\nSchedule total paid: 5520.00\n";
    QTest::newRow("fault: the schedule's rounding leaves principal")
        << cli(u"solve --for rate --emi 230 -p 5000 -n 24"_s) << 0
        << "The schedule's rounding leaves 0.02 of the principal unpaid; the planner gives the "
           "exact schedule.\n";
    QTest::newRow("fault: empty statement")
        << cli(u"reconcile "_s + loan + u"/empty.txt"_s) << 2
        << "reconcile: --statement: No row of the statement could be read: it holds no text.\n";
    QTest::newRow("fault: unreadable statement")
        << cli(u"reconcile "_s + loan + u"/unreadable.txt"_s) << 2
        << "No row of the statement could be read: line 1: no column holds an amount (and 1 "
           "more).\n";
    QTest::newRow("fault: a start date that does not exist")
        << cli(u"plan -p 1000 -n 12 -r 5 -s 2026-02-30"_s) << 2
        << "--start: the date 2026-02-30 does not exist\n";
}

void TestSolver::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, output);
    const auto [actual, text] = runCli(args);
    QVERIFY2(text.contains(output), qPrintable(text));
    QCOMPARE(actual, status);
}

void TestSolver::golden_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    QTest::newRow("rate with fees, text")
        << QStringList{u"solve"_s,  u"--for"_s, u"rate"_s, u"--emi"_s,  u"8838.17"_s, u"-p"_s,
                       u"100000"_s, u"-n"_s,    u"12"_s,   u"--fees"_s, u"500"_s}
        << "solve-rate.txt";
    QTest::newRow("schedule, json, from 29 February")
        << QStringList{u"schedule"_s, u"-p"_s, u"100000"_s,     u"-n"_s,       u"12"_s,  u"-r"_s,
                       u"11"_s,       u"-s"_s, u"2024-02-29"_s, u"--format"_s, u"json"_s}
        << "schedule-leap.json";
    QTest::newRow("schedule, csv")
        << QStringList{u"schedule"_s, u"-p"_s, u"123456.78"_s,  u"-n"_s,       u"7"_s,  u"-r"_s,
                       u"7.125"_s,    u"-s"_s, u"2026-01-31"_s, u"--format"_s, u"csv"_s}
        << "schedule.csv";
    QTest::newRow("principal, json")
        << QStringList{u"solve"_s, u"--for"_s, u"principal"_s, u"--emi"_s,    u"900"_s, u"-n"_s,
                       u"120"_s,   u"-r"_s,    u"5"_s,         u"--format"_s, u"json"_s}
        << "solve-principal.json";
    QTest::newRow("reconcile, pasted from a pdf")
        << QStringList{u"reconcile"_s,
                       u"-p"_s,
                       u"100000"_s,
                       u"-n"_s,
                       u"12"_s,
                       u"-r"_s,
                       u"11"_s,
                       u"-s"_s,
                       u"2026-01-31"_s,
                       u"--statement"_s,
                       QStringLiteral(STATEMENTS_DIR) + u"/us-pdf.txt"_s}
        << "reconcile-us.txt";
    QTest::newRow("reconcile, fortnightly, its terms read from the dates")
        << QStringList{u"reconcile"_s,
                       u"-p"_s,
                       u"10037.50"_s,
                       u"-n"_s,
                       u"20"_s,
                       u"-r"_s,
                       u"6.9"_s,
                       u"-s"_s,
                       u"2026-01-05"_s,
                       u"--statement"_s,
                       QStringLiteral(STATEMENTS_DIR) + u"/de-fortnightly.txt"_s}
        << "reconcile-de-fortnightly.txt";
}

void TestSolver::golden() {
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    const auto [status, output] = runCli(args);
    QCOMPARE(status, 0);
    QCOMPARE(output, readFile(u"../golden/"_s + file));
}

QTEST_GUILESS_MAIN(TestSolver)
#include "tst_solver.moc"
