#include "windows/PlannerDialog.h"

#include "core/Conversions.h"
#include "documents/Clipboard.h"
#include "planner/TrueCost.h"
#include "shell/SettingsStore.h"
#include "windows/LoanEntry.h"
#include "windows/LoanTermsBox.h"
#include "windows/PlannerModels.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The kind column edits with a list of the kinds.
class KindDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        for (auto kind : {PlanEventKind::OneOff, PlanEventKind::Recurring,
                          PlanEventKind::RateChange, PlanEventKind::Holiday}) {
            box->addItem(planEventKindName(kind));
        }
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentIndex(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentIndex());
    }
};

void addChoices(QComboBox* box, std::initializer_list<std::pair<QString, QString>> items) {
    for (const auto& [text, name] : items) {
        box->addItem(text, name);
    }
}

void select(QComboBox* box, const std::optional<QString>& name) {
    if (const int index = name ? box->findData(*name) : -1; index >= 0) {
        box->setCurrentIndex(index);
    }
}

QString monthsText(int months, bool monthly) {
    if (!monthly) {
        return months == 1 ? u"1 payment"_s : u"%1 payments"_s.arg(months);
    }
    return months == 1 ? u"1 month"_s : u"%1 months"_s.arg(months);
}

}  // namespace

PlannerDialog::PlannerDialog(const PlannerInputs& inputs, SettingsStore& store, QWidget* parent)
    : QDialog(parent), m_store(store) {
    setWindowTitle(u"Plan Prepayments And Rate Changes"_s);
    setSizeGripEnabled(true);
    buildControls(inputs);
    restoreChoices();
    recompute();
}

PlannerDialog::~PlannerDialog() = default;

RememberedEvents rememberedEvents(const SettingsStore& store, const QDate& start) {
    RememberedEvents remembered;
    remembered.events =
        parsePlanEvents(
            planEventsFromText(
                store.readInGroup(plannerSettingsGroup, u"Events"_s).value_or(QString())),
            start)
            .events;
    if (store.readInGroup(plannerSettingsGroup, u"Policy"_s) == u"lower"_s) {
        remembered.policy = planner::Policy::LowerInstalment;
    }
    return remembered;
}

const std::optional<planner::Plan>& PlannerDialog::plan() const {
    return m_plan->plan();
}

QString PlannerDialog::message() const {
    return m_message->text();
}

void PlannerDialog::buildControls(const PlannerInputs& inputs) {
    const QLocale locale;
    auto* loanBox = new QGroupBox(u"Loan"_s);
    auto* loan = new QFormLayout(loanBox);
    m_principal = new QLineEdit(numberToText(static_cast<double>(inputs.principal) / 100.0));
    m_months = new QLineEdit(QString::number(inputs.months));
    m_rate = new QLineEdit(numberToText(inputs.rate));
    m_start = new QDateEdit(inputs.startDate);
    m_start->setDisplayFormat(shortDateFormat());
    m_start->setCalendarPopup(true);
    m_monthsCaption = new QLabel(u"Months:"_s);
    m_terms = new LoanTermsBox;
    m_terms->setStartDate(inputs.startDate);
    loan->addRow(u"Principal:"_s, m_principal);
    loan->addRow(m_monthsCaption, m_months);
    loan->addRow(u"Annual rate %:"_s, m_rate);
    loan->addRow(u"Start date:"_s, m_start);

    auto* choicesBox = new QGroupBox(u"Choices"_s);
    auto* choices = new QFormLayout(choicesBox);
    m_policy = new QComboBox;
    addChoices(m_policy, {{u"Shorter term (keep the instalment)"_s, u"shorter"_s},
                          {u"Lower instalment (keep the last month)"_s, u"lower"_s}});
    m_instalmentRounding = new QComboBox;
    addChoices(m_instalmentRounding, {{u"To the nearest cent"_s, u"nearest-cent"_s},
                                      {u"To the nearest whole unit"_s, u"nearest-unit"_s},
                                      {u"Up to the cent"_s, u"up-cent"_s},
                                      {u"Up to a whole unit"_s, u"up-unit"_s}});
    m_interestRounding = new QComboBox;
    addChoices(m_interestRounding, {{u"Half up"_s, u"half-up"_s},
                                    {u"Half to even"_s, u"half-even"_s},
                                    {u"Down"_s, u"down"_s}});
    choices->addRow(u"Extra payments give:"_s, m_policy);
    choices->addRow(u"Instalment rounding:"_s, m_instalmentRounding);
    choices->addRow(u"Interest rounding:"_s, m_interestRounding);
    m_fees = new QLineEdit;
    m_feePerPayment = new QLineEdit;
    for (QLineEdit* fee : {m_fees, m_feePerPayment}) {
        fee->setPlaceholderText(u"none"_s);
    }
    choices->addRow(u"Up-front fees:"_s, m_fees);
    choices->addRow(u"Fee per payment:"_s, m_feePerPayment);

    auto* eventsBox = new QGroupBox(u"Extra payments, rate changes and holidays"_s);
    auto* eventsLayout = new QGridLayout(eventsBox);
    m_events = new PlanEventsModel(this);
    m_eventsView = new QTableView;
    m_eventsView->setModel(m_events);
    m_eventsView->setItemDelegateForColumn(static_cast<int>(PlanEventColumn::Kind),
                                           new KindDelegate(m_eventsView));
    m_eventsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_eventsView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_eventsView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_eventsView->verticalHeader()->hide();
    auto* add = new QPushButton(u"Add"_s);
    auto* remove = new QPushButton(u"Remove"_s);
    eventsLayout->addWidget(m_eventsView, 0, 0, 3, 1);
    eventsLayout->addWidget(add, 0, 1);
    eventsLayout->addWidget(remove, 1, 1);

    auto* resultsBox = new QGroupBox(u"Results"_s);
    auto* results = new QFormLayout(resultsBox);
    static const QString captions[] = {
        u"Instalment:"_s,     u"Months:"_s,       u"End date:"_s,   u"Total interest:"_s,
        u"Interest saved:"_s, u"Months saved:"_s, u"Total paid:"_s, u"Effective annual rate:"_s,
        u"APR (US):"_s,       u"APRC (EU/UK):"_s};
    for (std::size_t i = 0; i < m_results.size(); ++i) {
        m_results[i] = new QLabel;
        m_results[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_captions[i] = new QLabel(captions[i]);
        results->addRow(m_captions[i], m_results[i]);
    }
    m_message = new QLabel;
    m_message->setWordWrap(true);
    m_message->setStyleSheet(u"color: #b00000;"_s);
    m_chartArea = new QVBoxLayout;

    m_plan = new PlanTableModel(this);
    m_planView = new QTableView;
    m_planView->setModel(m_plan);
    m_planView->verticalHeader()->hide();
    m_planView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_planView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_planView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_planView->horizontalHeader()->setDefaultSectionSize(
        fontMetrics().horizontalAdvance(u"0000000.000"_s));
    m_planView->horizontalHeader()->setStretchLastSection(true);
    m_planView->setColumnWidth(0, fontMetrics().horizontalAdvance(u"Total00"_s));
    m_planView->setColumnWidth(
        1, fontMetrics().horizontalAdvance(locale.toString(QDate(2000, 12, 30), shortDateFormat()) +
                                           u"000"_s));

    // However many entries are wrong, their list scrolls and the window keeps its size.
    m_messageArea = new QScrollArea;
    m_messageArea->setWidget(m_message);
    m_messageArea->setWidgetResizable(true);
    m_messageArea->setFrameShape(QFrame::NoFrame);
    m_messageArea->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_messageArea->setMaximumHeight(6 * fontMetrics().lineSpacing());
    m_messageArea->hide();
    eventsLayout->addWidget(m_messageArea, 3, 0, 1, 2);
    eventsLayout->setRowStretch(2, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(loanBox);
    top->addWidget(choicesBox);
    top->addWidget(resultsBox, 1);
    // The terms and the events shape the loan; the plan they give stands beside them.
    auto* shaping = new QWidget;
    auto* shapingLayout = new QVBoxLayout(shaping);
    shapingLayout->setContentsMargins(0, 0, 0, 0);
    shapingLayout->addWidget(m_terms);
    shapingLayout->addWidget(eventsBox, 1);
    auto* splitter = new QSplitter;
    splitter->addWidget(shaping);
    splitter->addWidget(m_planView);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({500, 680});

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    m_commands = new QHBoxLayout;
    m_copy = new QPushButton(u"Copy"_s);
    m_copy->setToolTip(u"Copy the plan, with its column titles, as tab-separated text"_s);
    m_commands->addWidget(m_copy);
    m_commands->addStretch();
    m_commands->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(m_chartArea);
    layout->addLayout(m_commands);
    resize(1180, 760);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_copy, &QPushButton::clicked, this,
            [this] { CopyListviewToClipboard(planGridData(*m_plan)); });
    connect(add, &QPushButton::clicked, this, [this] {
        const int month = std::min(12, std::max(1, m_input.months));
        m_events->addEntry({PlanEventKind::OneOff, QString::number(month), numberToText(1000), {}});
        m_eventsView->setCurrentIndex(m_events->index(m_events->rowCount() - 1, 1));
        m_eventsView->edit(m_eventsView->currentIndex());
    });
    connect(remove, &QPushButton::clicked, this,
            [this] { m_events->removeEntry(m_eventsView->currentIndex().row()); });
    for (QLineEdit* field : {m_principal, m_months, m_rate, m_fees, m_feePerPayment}) {
        connect(field, &QLineEdit::textChanged, this, &PlannerDialog::recompute);
    }
    connect(m_start, &QDateEdit::dateChanged, this, &PlannerDialog::recompute);
    connect(m_terms, &LoanTermsBox::edited, this, [this] {
        rememberChoices();
        recompute();
    });
    for (QComboBox* box : {m_policy, m_instalmentRounding, m_interestRounding}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            rememberChoices();
            recompute();
        });
    }
    const auto eventsEdited = [this] {
        rememberChoices();
        recompute();
    };
    connect(m_events, &QAbstractItemModel::rowsInserted, this, eventsEdited);
    connect(m_events, &QAbstractItemModel::rowsRemoved, this, eventsEdited);
    connect(m_events, &QAbstractItemModel::dataChanged, this,
            [eventsEdited](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::EditRole)) {
                    eventsEdited();
                }
            });
}

void PlannerDialog::restoreChoices() {
    m_restoring = true;
    select(m_policy, m_store.readInGroup(plannerSettingsGroup, u"Policy"_s));
    select(m_instalmentRounding,
           m_store.readInGroup(plannerSettingsGroup, u"InstalmentRounding"_s));
    select(m_interestRounding, m_store.readInGroup(plannerSettingsGroup, u"InterestRounding"_s));
    m_events->setEntries(planEventsFromText(
        m_store.readInGroup(plannerSettingsGroup, u"Events"_s).value_or(QString())));
    m_terms->setEntry(loanTermsFromStore(m_store, plannerSettingsGroup));
    m_restoring = false;
}

void PlannerDialog::rememberChoices() {
    if (m_restoring) {
        return;
    }
    m_store.writeInGroup(plannerSettingsGroup, u"Policy"_s, m_policy->currentData().toString());
    m_store.writeInGroup(plannerSettingsGroup, u"InstalmentRounding"_s,
                         m_instalmentRounding->currentData().toString());
    m_store.writeInGroup(plannerSettingsGroup, u"InterestRounding"_s,
                         m_interestRounding->currentData().toString());
    m_store.writeInGroup(plannerSettingsGroup, u"Events"_s, planEventsToText(m_events->entries()));
    storeLoanTerms(m_store, plannerSettingsGroup, m_terms->entry());
}

void PlannerDialog::markLoanField(QLineEdit* field, const QString& message) {
    field->setStyleSheet(message.isEmpty() ? QString() : u"background: #ffcdcd;"_s);
    field->setToolTip(message);
}

void PlannerDialog::recompute() {
    if (m_restoring) {
        return;
    }
    const QLocale locale;
    QStringList messages;
    planner::PlanInput input;
    QString principalProblem;
    QString monthsProblem;
    QString rateProblem;
    if (const auto principal = typedCents(m_principal->text(), locale)) {
        input.principal = *principal;
    } else {
        principalProblem = u"Type the principal, such as 250000."_s;
    }
    if (const auto months = typedWhole(m_months->text(), locale)) {
        input.months = *months;
    } else {
        monthsProblem = u"Type a whole number of months."_s;
    }
    planner::Fees fees;
    for (auto [field, fee] :
         {std::pair(m_fees, &fees.upFront), std::pair(m_feePerPayment, &fees.perPayment)}) {
        if (field->text().trimmed().isEmpty()) {
            continue;
        }
        if (const auto amount = amountWithin(field->text(), 0, planner::maxPrincipal, locale)) {
            *fee = *amount;
        } else {
            messages.append(u"Type the fees as an amount, such as 250, or leave them empty."_s);
        }
    }
    const auto rate = parseNumber(m_rate->text(), locale);
    if (!rate) {
        rateProblem = u"Type the annual rate in percent, such as 4.5."_s;
    } else {
        input.annualPercent = *rate;
    }
    input.startDate = m_start->date();
    input.policy = m_policy->currentData() == u"lower"_s ? planner::Policy::LowerInstalment
                                                         : planner::Policy::ShorterTerm;
    input.instalmentRounding = planner::instalmentRoundingFromName(
                                   m_instalmentRounding->currentData().toString().toStdString())
                                   .value_or(planner::InstalmentRounding::NearestCent);
    input.interestRounding = planner::interestRoundingFromName(
                                 m_interestRounding->currentData().toString().toStdString())
                                 .value_or(planner::InterestRounding::HalfUp);
    m_terms->setStartDate(input.startDate);
    const QString balloonProblem = applyLoanTerms(m_terms->entry(), input, locale);
    const calendar::DueDates dueDates(input.startDate, input.frequency, input.firstDue);
    ParsedPlanEvents parsed = parsePlanEvents(m_events->entries(), dueDates, locale);
    input.events = std::move(parsed.events);

    std::vector<PlanEventProblem> eventProblems = std::move(parsed.problems);
    const bool monthly = input.frequency == planner::Frequency::Monthly;
    const bool typedWell = principalProblem.isEmpty() && monthsProblem.isEmpty() &&
                           rateProblem.isEmpty() && balloonProblem.isEmpty() &&
                           eventProblems.empty();
    QStringList termsProblems;
    if (typedWell) {
        for (const planner::InputProblem& problem : planner::inputProblems(input)) {
            if (problem.event >= 0) {
                const auto column = problem.field == planner::Field::Month ? PlanEventColumn::Month
                                    : problem.field == planner::Field::EndMonth
                                        ? PlanEventColumn::EndMonth
                                        : PlanEventColumn::Value;
                eventProblems.push_back({parsed.eventRows[static_cast<std::size_t>(problem.event)],
                                         column, problem.message});
            } else if (problem.field == planner::Field::Principal) {
                principalProblem = problem.message;
            } else if (problem.field == planner::Field::Months) {
                monthsProblem = problem.message;
            } else if (problem.field == planner::Field::Rate) {
                rateProblem = problem.message;
            } else {
                termsProblems.append(problem.message);
            }
        }
    }
    markLoanField(m_principal, principalProblem);
    markLoanField(m_months, monthsProblem);
    markLoanField(m_rate, rateProblem);
    m_terms->markBalloon(balloonProblem);
    for (const QString& problem : {principalProblem, monthsProblem, rateProblem, balloonProblem}) {
        if (!problem.isEmpty()) {
            messages.append(problem);
        }
    }
    messages.append(termsProblems);
    std::sort(eventProblems.begin(), eventProblems.end(),
              [](const auto& a, const auto& b) { return a.row < b.row; });
    for (const PlanEventProblem& problem : eventProblems) {
        messages.append(u"Event %1: %2"_s.arg(problem.row + 1).arg(problem.message));
    }
    m_input = std::move(input);
    m_events->setDueDates(dueDates);
    // A loan paid other than monthly counts payments, not months.
    m_monthsCaption->setText(monthly ? u"Months:"_s : u"Payments:"_s);
    m_captions[static_cast<std::size_t>(PlannerResult::Months)]->setText(monthly ? u"Months:"_s
                                                                                 : u"Payments:"_s);
    m_captions[static_cast<std::size_t>(PlannerResult::MonthsSaved)]->setText(
        monthly ? u"Months saved:"_s : u"Payments saved:"_s);
    m_events->setProblems(std::move(eventProblems));

    std::optional<planner::Plan> plan;
    m_comparison = {};
    m_baseline = {};
    m_cost.reset();
    m_typedFees = fees;
    if (messages.isEmpty()) {
        planner::PlanResult result = planner::computePlan(m_input);
        if (result.plan) {
            m_baseline = planner::computeBaseline(m_input);
            m_comparison = planner::compare(*result.plan, m_baseline);
            plan = std::move(result.plan);
        } else {
            messages.append(result.error);
        }
    }
    m_message->setText(messages.join(u'\n'));
    m_messageArea->setVisible(!messages.isEmpty());
    const auto show = [this](PlannerResult which, const QString& text) {
        m_results[static_cast<std::size_t>(which)]->setText(text);
    };
    if (plan) {
        QStringList instalments;
        for (std::size_t i = 0; i < plan->instalments.size() && i < 4; ++i) {
            instalments.append(amountText(plan->instalments[i], locale));
        }
        if (plan->instalments.size() > 4) {
            instalments.append(u"… (%1 in all)"_s.arg(plan->instalments.size()));
        }
        show(PlannerResult::Instalments, instalments.join(u", "_s));
        show(PlannerResult::Months, QString::number(plan->totals.months));
        show(PlannerResult::EndDate, shortDateText(plan->totals.endDate, locale));
        const planner::TrueCost& cost = m_cost.emplace(planner::trueCostOf(m_input, *plan, fees));
        show(PlannerResult::Interest, amountText(cost.totalInterest, locale));
        show(PlannerResult::TotalPaid, amountText(cost.totalPaid, locale));
        show(PlannerResult::EffectiveRate, percentageText(cost.effectiveAnnualPercent, locale));
        show(PlannerResult::AprUs, planner::aprUsText(cost.aprUsPercent, locale));
        show(PlannerResult::AprcEu, planner::aprcEuText(cost.aprcEuPercent, locale));
        const bool compared = m_comparison.baselineError.isEmpty();
        show(PlannerResult::InterestSaved,
             compared ? amountText(m_comparison.interestSaved, locale) : QString());
        show(PlannerResult::MonthsSaved,
             compared ? monthsText(m_comparison.monthsSaved, monthly) : QString());
    } else {
        for (QLabel* label : m_results) {
            label->clear();
        }
    }
    m_copy->setEnabled(plan.has_value());
    m_plan->setPlan(std::move(plan));
    Q_EMIT planChanged();
}
