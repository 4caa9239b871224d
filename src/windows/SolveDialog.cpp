#include "windows/SolveDialog.h"

#include "core/Conversions.h"
#include "planner/TrueCost.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

enum Unknown { PrincipalUnknown, MonthsUnknown, RateUnknown };

}  // namespace

SolveDialog::SolveDialog(const LoanEntry& current, QWidget* parent) : QDialog(parent) {
    setObjectName(u"SolveDialog"_s);
    setWindowTitle(u"Solve For"_s);
    setSizeGripEnabled(true);

    unknownBox = new QComboBox(this);
    unknownBox->addItems({u"Principal"_s, u"Months"_s, u"Annual rate"_s});
    unknownBox->setCurrentIndex(RateUnknown);
    emiEdit = new QLineEdit(this);
    principalEdit = new QLineEdit(this);
    monthsEdit = new QLineEdit(this);
    rateEdit = new QLineEdit(this);
    feesEdit = new QLineEdit(this);
    feesEdit->setPlaceholderText(u"none"_s);
    feePerPaymentEdit = new QLineEdit(this);
    feePerPaymentEdit->setObjectName(u"feePerPayment"_s);
    feePerPaymentEdit->setPlaceholderText(u"none"_s);
    arithmeticBox = new QComboBox(this);
    arithmeticBox->addItem(u"As the main schedule (unrounded, shown to the cent)"_s, u"schedule"_s);
    arithmeticBox->addItem(u"Instalment rounded to the nearest cent"_s, u"nearest-cent"_s);
    arithmeticBox->addItem(u"Instalment rounded to the nearest whole unit"_s, u"nearest-unit"_s);
    arithmeticBox->addItem(u"Instalment rounded up to the cent"_s, u"up-cent"_s);
    arithmeticBox->addItem(u"Instalment rounded up to a whole unit"_s, u"up-unit"_s);
    interestBox = new QComboBox(this);
    interestBox->addItem(u"Half up"_s, u"half-up"_s);
    interestBox->addItem(u"Half to even"_s, u"half-even"_s);
    interestBox->addItem(u"Down"_s, u"down"_s);

    showLoanEntry(current, principalEdit, monthsEdit, rateEdit);
    if (current.complete()) {
        if (const auto emi =
                solver::instalmentCents(*current.principal, *current.months, *current.annualPercent,
                                        solver::InstalmentRule{})) {
            emiEdit->setText(numberToText(static_cast<double>(*emi) / 100.0));
        }
    }

    auto* form = new QFormLayout;
    form->addRow(u"Solve &for:"_s, unknownBox);
    form->addRow(u"&Instalment:"_s, emiEdit);
    form->addRow(u"&Principal:"_s, principalEdit);
    form->addRow(u"&Months:"_s, monthsEdit);
    form->addRow(u"Annual &rate (%):"_s, rateEdit);
    form->addRow(u"&Arithmetic:"_s, arithmeticBox);
    form->addRow(u"Interest r&ounding:"_s, interestBox);
    form->addRow(u"Up-front f&ees:"_s, feesEdit);
    form->addRow(u"Fee per pa&yment:"_s, feePerPaymentEdit);

    resultLabel = new QLabel(this);
    resultLabel->setObjectName(u"resultLabel"_s);
    resultLabel->setWordWrap(true);
    resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    resultLabel->setMinimumHeight(140);
    resultLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    useButton = buttons->addButton(u"&Use these values"_s, QDialogButtonBox::ApplyRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(useButton, &QPushButton::clicked, this, [this] {
        if (m_answer && m_use) {
            m_use(*m_answer);
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(resultLabel, 1);
    layout->addWidget(buttons);

    for (QLineEdit* edit :
         {emiEdit, principalEdit, monthsEdit, rateEdit, feesEdit, feePerPaymentEdit}) {
        connect(edit, &QLineEdit::textChanged, this, &SolveDialog::recompute);
    }
    for (QComboBox* box : {unknownBox, arithmeticBox, interestBox}) {
        connect(box, &QComboBox::currentIndexChanged, this, &SolveDialog::recompute);
    }
    recompute();
    resize(520, sizeHint().height());
}

void SolveDialog::recompute() {
    const int unknown = unknownBox->currentIndex();
    principalEdit->setEnabled(unknown != PrincipalUnknown);
    monthsEdit->setEnabled(unknown != MonthsUnknown);
    rateEdit->setEnabled(unknown != RateUnknown);
    interestBox->setEnabled(arithmeticBox->currentIndex() != 0);
    m_answer.reset();
    useButton->setEnabled(false);

    const auto rule = *solver::ruleFromName(arithmeticBox->currentData().toString());
    const auto emi = principalOf(emiEdit->text());
    const LoanEntry loan =
        readLoanEntry(principalEdit->text(), monthsEdit->text(), rateEdit->text());
    const QLocale locale;
    QString problem;
    if (!emi) {
        problem = u"Enter the instalment, more than 0."_s;
    } else if (unknown != PrincipalUnknown && !loan.principal) {
        problem = u"Enter a principal from %1 to %2."_s.arg(
            amountText(1, locale), amountText(planner::maxPrincipal, locale));
    } else if (unknown != MonthsUnknown && !loan.months) {
        problem = u"Enter the months, a whole number from 1 to %1."_s.arg(planner::maxMonths);
    } else if (unknown != RateUnknown && !loan.annualPercent) {
        problem = u"Enter an annual rate from 0 to %1."_s.arg(planner::maxAnnualPercent);
    }
    if (!problem.isEmpty()) {
        resultLabel->setText(problem);
        return;
    }
    const int n = loan.months.value_or(0);
    const solver::Solution solution =
        unknown == PrincipalUnknown
            ? solver::solvePrincipal(*emi, n, *loan.annualPercent, rule, interest())
        : unknown == MonthsUnknown
            ? solver::solveMonths(*emi, *loan.principal, *loan.annualPercent, rule, interest())
            : solver::solveRate(*emi, *loan.principal, n, rule);
    showAnswer(solution, rule);
}

planner::InterestRounding SolveDialog::interest() const {
    return *planner::interestRoundingFromName(interestBox->currentData().toString().toStdString());
}

void SolveDialog::showAnswer(const solver::Solution& solution, const solver::InstalmentRule& rule) {
    if (!solution.loan) {
        resultLabel->setText(solution.error);
        return;
    }
    const solver::Loan& loan = *solution.loan;
    m_answer = loan;
    useButton->setEnabled(true);
    const int unknown = unknownBox->currentIndex();
    const auto bold = [&](int which, const QString& text) {
        return which == unknown ? u"<b>%1</b>"_s.arg(text) : text;
    };
    QString html = u"<table>"_s;
    const auto line = [&html](const QString& name, const QString& value) {
        html += u"<tr><td>%1</td><td align=right>&nbsp;&nbsp;%2</td></tr>"_s.arg(name, value);
    };
    line(u"Principal"_s, bold(PrincipalUnknown, amountText(loan.principal)));
    line(u"Months"_s, bold(MonthsUnknown, QString::number(loan.months)));
    line(u"Annual rate"_s, bold(RateUnknown, rateText(loan.annualPercent)));
    if (unknown == RateUnknown) {
        line(u"Every rate from"_s, rateText(solution.rateLow, QLocale(), 6) + u" to "_s +
                                       rateText(solution.rateHigh, QLocale(), 6));
    }
    line(u"Instalment"_s, amountText(solution.instalment));

    if (const auto cost = solver::costOfSolved(
            loan, rule, interest(), {feeOf(feesEdit->text()), feeOf(feePerPaymentEdit->text())})) {
        const QString totals = !rule.has_value() ? u"Schedule total"_s : u"Total"_s;
        line(totals + u" interest"_s, amountText(cost->totalInterest));
        line(totals + u" paid"_s, amountText(cost->totalPaid));
        line(u"Effective annual rate"_s, percentageText(cost->effectiveAnnualPercent));
        line(u"APR (US)"_s, planner::aprUsText(cost->aprUsPercent));
        line(u"APRC (EU/UK)"_s, planner::aprcEuText(cost->aprcEuPercent));
        const QString note =
            planner::roundingNote(cost->principalLeft, amountText(std::abs(cost->principalLeft)));
        if (!note.isEmpty()) {
            resultLabel->setText(html + u"</table><p>"_s + note.toHtmlEscaped() + u"</p>"_s);
            return;
        }
    }
    resultLabel->setText(html + u"</table>"_s);
}
