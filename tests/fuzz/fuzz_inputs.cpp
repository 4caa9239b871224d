// Feeds arbitrary input texts through the numeric test, the conversions and the calculation.
// Input: four lines (principal, months, rate, start date); the first byte picks the locale.
// The same text is also read as a lender's statement and reconciled with a small loan, and its
// lines are given to the solve and reconcile commands as arguments.

#include "cli/Commands.h"
#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "model/clsSchedule.h"
#include "solver/Reconcile.h"
#include "solver/Statement.h"

#include <QBuffer>

#include <QLocale>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QLocale& pickLocale(std::uint8_t selector) {
    static const QLocale locales[] = {
        QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France), QLocale(QLocale::Hindi, QLocale::India),
        QLocale::c()};
    return locales[selector % std::size(locales)];
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The numeric test and the conversions must agree with each other on every text.
void exerciseNumber(const QString& text, const QLocale& locale) {
    const auto parsed = parseNumber(text, locale);
    check(parsed.has_value() == isNumeric(text, locale));
    if (!parsed) {
        return;
    }
    check(std::isfinite(*parsed));
    check(textToDouble(text, locale) == *parsed);
    try {
        const std::int16_t whole = textToInteger16(text, locale);
        check(std::fabs(whole - *parsed) <= 0.5);
    } catch (const Failure&) {
        check(std::fabs(*parsed) >= 32767.5);
    }
    const QString shown = numberToText(*parsed, locale);
    check(isNumeric(shown, locale) || shown.contains(u'e') || shown.contains(u'E'));
    const double cents = roundToCents(*parsed);
    check(!std::isfinite(cents) || std::fabs(cents - *parsed) <= 0.005 + std::fabs(*parsed) * 1e-15);
}

void calculate(const QStringList& inputs, const QLocale& locale) {
    QLocale::setDefault(locale);
    clsLoanCalculator calculator;
    try {
        auto details = calculator.getLoanDetails();
        details->setPrincipleAmount(textToDouble(inputs.value(0), locale));
        details->setTenure(textToInteger16(inputs.value(1), locale));
        details->setInterestRate(textToDouble(inputs.value(2), locale));
        details->setStartDate(parseDate(inputs.value(3), locale).value_or(45000.0));
        calculator.CalculateEMI();
    } catch (const Failure&) {
        return;
    }
    const auto schedule = calculator.getScheduleData();
    check(schedule != nullptr);
    TextFormatter texts(locale);
    QString row;
    for (int i = 1; i <= schedule->Count(); ++i) {
        const clsSchedule& item = schedule->Item(i);
        row.clear();
        texts.appendDate(row, item.InstallmentDate());
        texts.appendNumber(row, item.OpeningBalance());
        texts.appendNumber(row, item.PrincipleAmount());
        texts.appendNumber(row, item.InterestAmount());
        texts.appendNumber(row, item.ClosingBalance());
    }
    (void)calculator.getEndDate();
    (void)numberToText(calculator.getEMIAmount(), locale);
}

// Every line is the header, a row or listed as unreadable; nothing is dropped.
void readStatement(const QString& text) {
    const auto parsed = solver::parseStatement(text);
    const auto& statement = parsed.statement;
    check(statement.rows.size() + statement.unreadable.size() +
              (parsed.table.headerRow >= 0 ? 1 : 0) ==
          parsed.table.rows.size());
    for (const auto& row : statement.unreadable) {
        check(!row.reason.isEmpty());
    }
    planner::PlanInput loan;
    loan.principal = 10000000;
    loan.months = 12;
    loan.annualPercent = 11;
    loan.startDate = QDate(2026, 1, 31);
    const auto reconciliation = solver::reconcile(loan, statement);
    check(!reconciliation.sentence.isEmpty());
    (void)solver::reportText(parsed, reconciliation);
}

// The arguments never crash the commands; a statement file is never opened.
void runCommands(QStringList args) {
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args[i].startsWith(u"--statement")) {
            args[i + 1] = QStringLiteral("/nonexistent/statement.csv");
        }
    }
    args.removeIf([](const QString& arg) { return arg.startsWith(u"--statement="); });
    for (const char16_t* command : {u"solve", u"reconcile"}) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = cli::run(QStringList{QString::fromUtf16(command)} + args, {out, err});
        check(status >= 0 && status <= 3);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) {
        return 0;
    }
    const QLocale& locale = pickLocale(data[0]);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    const QStringList inputs = text.split(u'\n');
    for (const QString& input : inputs) {
        exerciseNumber(input, locale);
        if (const auto date = parseDate(input, locale)) {
            check(AutomationDate::inRange(*date));
            (void)dateToText(*date, locale);
        }
    }
    if (inputs.size() >= 3) {
        calculate(inputs, locale);
    }
    readStatement(text);
    runCommands(inputs);
    return 0;
}
