#include "mainwindow/Form1.h"

#include "core/Conversions.h"
#include "mainwindow/PlannerDialog.h"
#include "mainwindow/ReconcileDialog.h"
#include "mainwindow/SolveDialog.h"

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

}  // namespace

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
