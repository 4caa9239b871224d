#include "mainwindow/Form1.h"

#include "core/Conversions.h"
#include "windows/CompareWindow.h"
#include "windows/PlannerDialog.h"
#include "windows/PlannerOutputs.h"
#include "windows/ReconcileDialog.h"
#include "windows/SolveDialog.h"

#include <QDateEdit>
#include <QLineEdit>

namespace {

LoanEntry loanEntryOf(const Form1& window) {
    return readLoanEntry(window.Text1->text(), window.Text2->text(), window.Text3->text());
}

// The main window's inputs as they stand; a field that does not read keeps the planner's
// default.
PlannerInputs plannerInputsOf(const Form1& window) {
    const LoanEntry entry = loanEntryOf(window);
    PlannerInputs inputs;
    inputs.principal = entry.principal.value_or(inputs.principal);
    inputs.months = entry.months.value_or(inputs.months);
    inputs.rate = entry.annualPercent.value_or(inputs.rate);
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
    loan.loan.principal = inputs.principal;
    loan.loan.months = inputs.months;
    loan.loan.annualPercent = inputs.rate;
    loan.loan.startDate = inputs.startDate;
    return ::openCompareWindow(this, loan, failureReporter(), dialogRunner());
}

SolveDialog* Form1::openSolveDialog() {
    auto* dialog = new SolveDialog(loanEntryOf(*this), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setUseValues([this](const solver::Loan& loan) {
        showLoanEntry({loan.principal, loan.months, loan.annualPercent}, Text1, Text2, Text3);
    });
    dialog->show();
    return dialog;
}

ReconcileDialog* Form1::openReconcileDialog() {
    ReconcileDialog::Inputs inputs;
    inputs.loan = loanEntryOf(*this);
    inputs.start = DateTimePicker1->date();
    auto remembered = rememberedEvents(settings(), inputs.start);
    inputs.events = std::move(remembered.events);
    inputs.policy = remembered.policy;
    auto* dialog = new ReconcileDialog(inputs, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}
