#include "mainwindow/Form1.h"

#include "core/Conversions.h"
#include "windows/CompareWindow.h"
#include "windows/PlannerDialog.h"
#include "windows/PlannerOutputs.h"
#include "windows/ReconcileDialog.h"
#include "windows/SolveDialog.h"

#include <QDateEdit>
#include <QLineEdit>

#include <cmath>

namespace {

template <typename Inputs>
Inputs readInputs(const QLineEdit* principal, const QLineEdit* months, const QLineEdit* rate) {
    Inputs inputs;
    inputs.principal = parseNumber(principal->text());
    inputs.rate = parseNumber(rate->text());
    if (const auto n = parseNumber(months->text()); n && *n >= 1 && *n <= 32767) {
        inputs.months = static_cast<int>(std::lround(*n));
    }
    return inputs;
}

// The main window's inputs as they stand, read in the user's locale; a field that does not read
// keeps the planner's default.
PlannerInputs plannerInputsOf(const Form1& window) {
    PlannerInputs inputs;
    if (const auto principal = parseNumber(window.Text1->text()); principal && *principal > 0) {
        inputs.principal = *principal;
    }
    if (const auto months = parseNumber(window.Text2->text());
        months && *months >= 1 && *months <= planner::maxMonths) {
        inputs.months = static_cast<int>(std::lround(*months));
    }
    if (const auto rate = parseNumber(window.Text3->text());
        rate && *rate >= 0 && *rate <= planner::maxAnnualPercent) {
        inputs.rate = *rate;
    }
    inputs.startDate = window.DateTimePicker1->date();
    return inputs;
}

}  // namespace

PlannerDialog* Form1::openPlannerDialog() {
    return ::openPlannerDialog(this, plannerInputsOf(*this), settings(), failureReporter(),
                               dialogRunner());
}

CompareWindow* Form1::openCompareWindow() {
    const PlannerInputs inputs = plannerInputsOf(*this);
    offers::Offer loan;
    std::int64_t cents = 0;
    loan.loan.principal = toWholeCents(inputs.principal, cents) ? cents : 0;
    loan.loan.months = inputs.months;
    loan.loan.annualPercent = inputs.rate;
    loan.loan.startDate = inputs.startDate;
    return ::openCompareWindow(this, loan, failureReporter(), dialogRunner());
}

SolveDialog* Form1::openSolveDialog() {
    auto* dialog = new SolveDialog(readInputs<SolveDialog::Inputs>(Text1, Text2, Text3), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setUseValues([this](const solver::Loan& loan) {
        Text1->setText(numberToText(static_cast<double>(loan.principal) / 100.0));
        Text2->setText(QString::number(loan.months));
        Text3->setText(numberToText(loan.annualPercent));
    });
    dialog->show();
    return dialog;
}

ReconcileDialog* Form1::openReconcileDialog() {
    auto inputs = readInputs<ReconcileDialog::Inputs>(Text1, Text2, Text3);
    inputs.start = DateTimePicker1->date();
    auto remembered = rememberedEvents(settings(), inputs.start);
    inputs.events = std::move(remembered.events);
    inputs.policy = remembered.policy;
    auto* dialog = new ReconcileDialog(inputs, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}
