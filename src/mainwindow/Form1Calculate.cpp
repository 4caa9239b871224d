// The Calculate command: checks the inputs, runs the loan model and shows its results.
#include "mainwindow/Form1.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "core/Guard.h"
#include "core/MessageBoxes.h"
#include "mainwindow/ScheduleGridModel.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "model/clsSchedule.h"
#include "output/ScheduleTable.h"

#include <QAccessible>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Blank removal of the emptiness checks: spaces only, not tabs or other white space.
bool blankOrEmpty(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

struct InputCheck {
    QLineEdit* Form1::*box;
    bool numeric;  // false: the emptiness check
    const char16_t* message;
};

constexpr std::array<InputCheck, 6> inputChecks{{
    {&Form1::Text1, false, u"You forgot to input principal amount."},
    {&Form1::Text2, false, u"You forgot to input tenure months."},
    {&Form1::Text3, false, u"You forgot to input interest rate."},
    {&Form1::Text1, true, u"Principal amount must be numeric entry."},
    {&Form1::Text2, true, u"Tenure months must be numeric entry."},
    {&Form1::Text3, true, u"Interest rate must be numeric entry."},
}};

}  // namespace

void Form1::PushButton1_Click() {
    Guard guard(messageBoxes(), u"in Corvatel2021/08/31.Form1.PushButton1_Click "_s);

    // Each check owns three lines: the test, the message and the focus move.
    int line = 100;
    for (const InputCheck& check : inputChecks) {
        QLineEdit* const box = this->*check.box;
        bool rejected = false;
        if (!guard.run(line, [&] {
                rejected = check.numeric ? !isNumeric(box->text()) : blankOrEmpty(box->text());
            })) {
            clearResults();
            return;
        }
        if (rejected) {
            guard.run(line + 2, [&] { messageBoxes().inform(QString::fromUtf16(check.message)); });
            guard.run(line + 4, [&] {
                box->setFocus();
                // A box that had the focus already gets no focus event: select here as well.
                box->selectAll();
            });
            return;
        }
        line += 6;
    }

    // A step that fails ends the command: no results of a half-done calculation are shown.
    const bool done =
        guard.run(136, [&] { objLoanCalculator = std::make_shared<clsLoanCalculator>(); }) &&
        guard.run(138, [&] { FillLoanDetails(); }) &&
        guard.run(140, [&] { objLoanCalculator->CalculateEMI(); }) &&
        guard.run(142, [&] { Label2->setText(numberToText(objLoanCalculator->getEMIAmount())); }) &&
        guard.run(144, [&] { Label3->setText(objLoanCalculator->getEndDate()); }) &&
        guard.run(146, [&] { FillScheduleGrid(); });
    if (!done) {
        objLoanCalculator.reset();
        clearResults();
    }
    announceResults();
    fitNumberColumn();
    // Each Calculate shows the grid from its first row.
    ListView2->scrollToTop();
}

void Form1::FillLoanDetails() {
    const std::shared_ptr<clsLoanDetails> details = objLoanCalculator->getLoanDetails();
    details->setPrincipleAmount(textToDouble(Text1->text()));
    details->setTenure(textToInteger16(Text2->text()));
    details->setInterestRate(textToDouble(Text3->text()));
    details->setStartDate(AutomationDate::fromDate(DateTimePicker1->date()));
}

void Form1::FillScheduleGrid() {
    m_grid->clear();
    if (!objLoanCalculator) {
        messageBoxes().inform(u"You have not calculated the EMI Amount"_s);
        return;
    }
    const auto schedule = objLoanCalculator->getScheduleData();
    if (!schedule) {
        throw Failure::platform(PlatformFailure::ObjectRequired);
    }
    // The grid keeps the schedule itself and makes its texts as they are shown.
    m_grid->setRows(std::make_shared<const ScheduleTable>(schedule));
}

void Form1::clearResults() {
    Label2->clear();
    Label3->clear();
    m_grid->clear();
}

void Form1::announceResults() {
    for (QLabel* result : {Label2, Label3}) {
        QAccessibleValueChangeEvent event(result, result->text());
        QAccessible::updateAccessibility(&event);
    }
}
