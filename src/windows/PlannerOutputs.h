#pragma once

#include "output/Accounting.h"
#include "planner/Planner.h"
#include "windows/TableSaveDialog.h"

#include <QObject>

class ChartView;
class PlannerDialog;
class SettingsStore;
struct PlannerInputs;
class QPushButton;

// Fills the planner window's command row with Save As (CSV, .xlsx, PDF, and the plan's
// transactions for ledger, beancount or QIF, whose account names the planner's settings group
// remembers), Print Preview, Print and Payoff On, and its chart area with the balance of the
// plan against the loan without events. Lives as long as the window.
class PlannerOutputs final : public QObject {
    Q_OBJECT
public:
    PlannerOutputs(PlannerDialog& dialog, SaveFailureReporter reportFailure,
                   DialogRunner runDialog);

    void saveAs();
    void printPreview();
    void print();
    // Asks for a date and shows what repaying the loan then costs.
    void payoffOn();

    ChartView* chart() const { return m_chart; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* payoffButton() const { return m_payoff; }

private:
    void planChanged();
    // The accounts for a transactions file, asked for with the remembered ones filled in;
    // nothing when cancelled.
    std::optional<accounting::Options> chooseAccounts();

    PlannerDialog& m_dialog;
    SaveFailureReporter m_reportFailure;
    DialogRunner m_runDialog;
    QString m_lastPath;
    ChartView* m_chart = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_payoff = nullptr;
};

// Opens the planner (not modal) over parent with Save As, Print and the chart; it deletes itself
// when closed. Without a reporter or runner, a message box and exec() serve.
PlannerDialog* openPlannerDialog(QWidget* parent, const PlannerInputs& inputs, SettingsStore& store,
                                 SaveFailureReporter reportFailure = {},
                                 DialogRunner runDialog = {});
