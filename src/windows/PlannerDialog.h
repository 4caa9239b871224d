#pragma once

#include "planner/Planner.h"
#include "planner/TrueCost.h"
#include "windows/TableSaveDialog.h"

#include <QDate>
#include <QDialog>

#include <array>

class LoanTermsBox;
class PlanEventsModel;
class PlanTableModel;
class QBoxLayout;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableView;
class SettingsStore;

// The loan the planner opens with: the main window's current inputs.
struct PlannerInputs {
    planner::Cents principal = 10'000'000;  // 100,000.00
    int months = 12;
    double rate = 11;
    QDate startDate = QDate::currentDate();
};

enum class PlannerResult {
    Instalments,
    Months,
    EndDate,
    Interest,
    InterestSaved,
    MonthsSaved,
    TotalPaid,
    EffectiveRate,
    AprUs,
    AprcEu,
    Count
};

// The settings store's group in which the planner window remembers its terms, events, choices
// and the accounts of its transactions files.
inline const QString plannerSettingsGroup = QStringLiteral("Planner");

// The events and the policy the planner window remembers, read for a loan starting on start;
// entries that do not read are left out.
struct RememberedEvents {
    std::vector<planner::Event> events;
    planner::Policy policy = planner::Policy::ShorterTerm;
};
RememberedEvents rememberedEvents(const SettingsStore& store, const QDate& start);

// "Plan Prepayments And Rate Changes": a loan, its terms, its events and the choices of policy
// and rounding, with the plan recomputed at every edit. The terms, events and choices are
// remembered in the settings store's group "Planner".
class PlannerDialog final : public QDialog {
    Q_OBJECT
public:
    PlannerDialog(const PlannerInputs& inputs, SettingsStore& store, QWidget* parent = nullptr);
    ~PlannerDialog() override;

    // What the window shows now; no plan while an entry is bad or the plan fails.
    const planner::PlanInput& input() const { return m_input; }
    const std::optional<planner::Plan>& plan() const;
    const planner::Comparison& comparison() const { return m_comparison; }
    // The loan without events, computed with the plan; empty without a plan.
    const planner::PlanResult& baseline() const { return m_baseline; }
    // The plan's true cost with the fees as typed, as the results show it; none without a plan.
    const std::optional<planner::TrueCost>& cost() const { return m_cost; }
    const planner::Fees& fees() const { return m_typedFees; }
    QString message() const;

    // Room for more commands (Save As, Print) beside Copy and Close, and for the balance chart of
    // the plan against the loan without events, below the results. Filled by their owners.
    QBoxLayout* commandRow() const { return m_commands; }
    QBoxLayout* chartArea() const { return m_chartArea; }

    PlanEventsModel& events() const { return *m_events; }
    SettingsStore& store() const { return m_store; }
    QLineEdit* principalEdit() const { return m_principal; }
    QLineEdit* monthsEdit() const { return m_months; }
    QLineEdit* rateEdit() const { return m_rate; }
    QLineEdit* feesEdit() const { return m_fees; }
    QLineEdit* feePerPaymentEdit() const { return m_feePerPayment; }
    QComboBox* policyBox() const { return m_policy; }
    QComboBox* instalmentRoundingBox() const { return m_instalmentRounding; }
    QComboBox* interestRoundingBox() const { return m_interestRounding; }
    LoanTermsBox& terms() const { return *m_terms; }
    QLabel* resultLabel(PlannerResult which) const {
        return m_results[static_cast<std::size_t>(which)];
    }
    QTableView* planView() const { return m_planView; }
    QPushButton* copyButton() const { return m_copy; }

Q_SIGNALS:
    // After every recomputation, with or without a plan.
    void planChanged();

private:
    void buildControls(const PlannerInputs& inputs);
    void restoreChoices();
    void rememberChoices();
    void recompute();
    void markLoanField(QLineEdit* field, const QString& message);

    SettingsStore& m_store;
    PlanEventsModel* m_events = nullptr;
    PlanTableModel* m_plan = nullptr;
    planner::PlanInput m_input;
    planner::Comparison m_comparison;
    planner::PlanResult m_baseline;
    std::optional<planner::TrueCost> m_cost;
    planner::Fees m_typedFees;
    QLineEdit* m_principal = nullptr;
    QLineEdit* m_months = nullptr;
    QLineEdit* m_rate = nullptr;
    QDateEdit* m_start = nullptr;
    QComboBox* m_policy = nullptr;
    QComboBox* m_instalmentRounding = nullptr;
    QComboBox* m_interestRounding = nullptr;
    QLineEdit* m_fees = nullptr;
    QLineEdit* m_feePerPayment = nullptr;
    LoanTermsBox* m_terms = nullptr;
    QLabel* m_monthsCaption = nullptr;
    QTableView* m_eventsView = nullptr;
    QTableView* m_planView = nullptr;
    QLabel* m_message = nullptr;
    QScrollArea* m_messageArea = nullptr;  // scrolls m_message, hidden while it is empty
    std::array<QLabel*, static_cast<std::size_t>(PlannerResult::Count)> m_results{};
    std::array<QLabel*, static_cast<std::size_t>(PlannerResult::Count)> m_captions{};
    QBoxLayout* m_commands = nullptr;
    QPushButton* m_copy = nullptr;
    QBoxLayout* m_chartArea = nullptr;
    bool m_restoring = false;
};
