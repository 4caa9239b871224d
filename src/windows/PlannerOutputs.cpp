#include "windows/PlannerOutputs.h"

#include "core/AppTitle.h"
#include "documents/TableFiles.h"
#include "output/PlanTable.h"
#include "planner/TrueCost.h"
#include "windows/ChartWindow.h"
#include "windows/PlannerDialog.h"

#include "core/Conversions.h"
#include "offers/Offers.h"
#include "output/CheckedSave.h"
#include "shell/SettingsStore.h"
#include "windows/PlannerModels.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

PlannerOutputs::PlannerOutputs(PlannerDialog& dialog, SaveFailureReporter reportFailure,
                               DialogRunner runDialog)
    : QObject(&dialog),
      m_dialog(dialog),
      m_reportFailure(std::move(reportFailure)),
      m_runDialog(std::move(runDialog)) {
    if (!m_reportFailure) {
        m_reportFailure = [this](const QString& path, const QString& reason) {
            QMessageBox::warning(&m_dialog, appTitle(), saveFailureText(path, reason));
        };
    }
    if (!m_runDialog) {
        m_runDialog = [](QDialog& box) { return box.exec(); };
    }
    m_save = new QPushButton(u"Save As…"_s);
    m_save->setToolTip(
        u"Save the plan as CSV, an Excel workbook, PDF, or transactions for ledger, beancount "
        u"or QIF"_s);
    m_preview = new QPushButton(u"Print Preview…"_s);
    m_print = new QPushButton(u"Print…"_s);
    m_payoff = new QPushButton(u"Payoff On…"_s);
    m_payoff->setToolTip(u"What repaying the loan on a date costs"_s);
    // After Copy, before the stretch and Close.
    int at = 1;
    for (QPushButton* button : {m_save, m_preview, m_print, m_payoff}) {
        dialog.commandRow()->insertWidget(at++, button);
    }
    m_chart = new ChartView;
    m_chart->setMinimumHeight(180);
    dialog.chartArea()->addWidget(m_chart);

    connect(m_save, &QPushButton::clicked, this, &PlannerOutputs::saveAs);
    connect(m_preview, &QPushButton::clicked, this, &PlannerOutputs::printPreview);
    connect(m_print, &QPushButton::clicked, this, &PlannerOutputs::print);
    connect(m_payoff, &QPushButton::clicked, this, &PlannerOutputs::payoffOn);
    connect(&dialog, &PlannerDialog::planChanged, this, &PlannerOutputs::planChanged);
    planChanged();
}

void PlannerOutputs::planChanged() {
    const auto& plan = m_dialog.plan();
    for (QPushButton* button : {m_save, m_preview, m_print, m_payoff}) {
        button->setEnabled(plan.has_value());
    }
    if (!plan) {
        m_chart->setData({});
        return;
    }
    const planner::PlanResult& baseline = m_dialog.baseline();
    m_chart->setData(planChartData(*plan, baseline.plan ? &*baseline.plan : nullptr));
}

void PlannerOutputs::saveAs() {
    const auto& plan = m_dialog.plan();
    if (!plan) {
        return;
    }
    const auto choice = chooseTableFile(&m_dialog, u"Save As"_s, m_lastPath, m_runDialog, true);
    if (!choice) {
        return;
    }
    m_lastPath = choice->path;
    if (choice->accounting) {
        const auto accounts = chooseAccounts();
        if (!accounts) {
            return;
        }
        const QByteArray bytes =
            accounting::exportPlan(*choice->accounting, m_dialog.input(), *plan, *accounts);
        const auto error = saveChecked(choice->path, [&bytes](QIODevice& out) {
            out.write(bytes);
            return std::optional<QString>();
        });
        if (error) {
            m_reportFailure(choice->path, *error);
        }
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto error = writeTableFile(
        choice->format, PlanTableSource(*plan),
        planFacts(m_dialog.input(), *plan, *m_dialog.cost(), m_dialog.fees()), choice->path);
    QApplication::restoreOverrideCursor();
    if (error) {
        m_reportFailure(choice->path, *error);
    }
}

void PlannerOutputs::printPreview() {
    if (const auto& plan = m_dialog.plan()) {
        previewTable(&m_dialog, PlanTableSource(*plan),
                     planFacts(m_dialog.input(), *plan, *m_dialog.cost(), m_dialog.fees()),
                     m_runDialog);
    }
}

void PlannerOutputs::print() {
    const auto& plan = m_dialog.plan();
    if (!plan) {
        return;
    }
    const auto error =
        printTableWithDialog(&m_dialog, PlanTableSource(*plan),
                             planFacts(m_dialog.input(), *plan, *m_dialog.cost(), m_dialog.fees()),
                             m_runDialog, [](bool busy) {
                                 if (busy) {
                                     QApplication::setOverrideCursor(Qt::WaitCursor);
                                 } else {
                                     QApplication::restoreOverrideCursor();
                                 }
                             });
    if (error) {
        QMessageBox::warning(&m_dialog, appTitle(), *error);
    }
}

PlannerDialog* openPlannerDialog(QWidget* parent, const PlannerInputs& inputs, SettingsStore& store,
                                 SaveFailureReporter reportFailure, DialogRunner runDialog) {
    auto* dialog = new PlannerDialog(inputs, store, parent);
    new PlannerOutputs(*dialog, std::move(reportFailure), std::move(runDialog));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

std::optional<accounting::Options> PlannerOutputs::chooseAccounts() {
    SettingsStore& store = m_dialog.store();
    accounting::Options options;
    QDialog dialog(&m_dialog);
    dialog.setObjectName(u"accountsDialog"_s);
    dialog.setWindowTitle(u"Accounts"_s);
    auto* form = new QFormLayout(&dialog);
    std::vector<std::pair<QString, QString*>> fields{
        {u"LoanAccount"_s, &options.loanAccount},
        {u"InterestAccount"_s, &options.interestAccount},
        {u"PaymentAccount"_s, &options.paymentAccount},
        {u"FeeAccount"_s, &options.feeAccount},
        {u"Payee"_s, &options.payee},
    };
    const QStringList labels{u"&Loan account:"_s, u"&Interest account:"_s, u"&Paying account:"_s,
                             u"&Fee account:"_s, u"Pa&yee:"_s};
    std::vector<QLineEdit*> edits;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto* edit = new QLineEdit(
            store.readInGroup(plannerSettingsGroup, fields[i].first).value_or(*fields[i].second));
        edit->setObjectName(fields[i].first);
        form->addRow(labels[static_cast<qsizetype>(i)], edit);
        edits.push_back(edit);
    }
    auto* currency =
        new QLineEdit(store.readInGroup(plannerSettingsGroup, u"Currency"_s)
                          .value_or(QLocale().currencySymbol(QLocale::CurrencyIsoCode)));
    currency->setObjectName(u"Currency"_s);
    currency->setInputMask(u">AAA"_s);
    form->addRow(u"&Currency:"_s, currency);
    auto* advance = new QCheckBox(u"Include the &advance on the start date"_s);
    advance->setObjectName(u"WithAdvance"_s);
    advance->setChecked(store.readInGroup(plannerSettingsGroup, u"WithAdvance"_s) == u"1"_s);
    form->addRow(advance);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (m_runDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QString text = edits[i]->text().simplified();
        if (!text.isEmpty()) {
            *fields[i].second = text;
        }
        store.writeInGroup(plannerSettingsGroup, fields[i].first, *fields[i].second);
    }
    options.currency = currency->text();
    store.writeInGroup(plannerSettingsGroup, u"Currency"_s, options.currency);
    options.withAdvance = advance->isChecked();
    store.writeInGroup(plannerSettingsGroup, u"WithAdvance"_s,
                       options.withAdvance ? u"1"_s : u"0"_s);
    return options;
}

void PlannerOutputs::payoffOn() {
    const auto& plan = m_dialog.plan();
    if (!plan) {
        return;
    }
    const planner::PlanInput input = m_dialog.input();
    QDialog dialog(&m_dialog);
    dialog.setObjectName(u"payoffDialog"_s);
    dialog.setWindowTitle(u"Payoff On"_s);
    auto* form = new QFormLayout(&dialog);
    auto* date =
        new QDateEdit(std::clamp(QDate::currentDate(), input.startDate, plan->totals.endDate));
    date->setDisplayFormat(shortDateFormat());
    date->setCalendarPopup(true);
    form->addRow(u"Repay &on:"_s, date);
    auto* result = new QLabel;
    result->setObjectName(u"payoffResult"_s);
    result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(result);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    const auto show = [&, result] {
        const QLocale locale;
        const offers::PayoffResult quote = offers::payoffOn(input, *plan, date->date());
        if (!quote.payoff) {
            result->setText(quote.error);
            return;
        }
        const offers::Payoff& p = *quote.payoff;
        const QString after = p.lastPayment > 0 ? u"payment %1 (%2)"_s.arg(p.lastPayment)
                                                      .arg(shortDateText(p.lastPaymentDate, locale))
                                                : u"the start"_s;
        result->setText(u"Payoff: %1\nBalance after %2: %3\nInterest accrued since: %4"_s.arg(
            amountText(p.payoff, locale), after, amountText(p.balance, locale),
            amountText(p.accruedInterest, locale)));
    };
    connect(date, &QDateEdit::dateChanged, &dialog, show);
    show();
    m_runDialog(dialog);
}
