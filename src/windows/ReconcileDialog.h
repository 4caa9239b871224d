#pragma once

#include "solver/Reconcile.h"
#include "windows/LoanEntry.h"

#include <QDate>
#include <QDialog>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class TextTableModel;

// "Reconcile With Statement…": the user pastes or opens a lender's statement; the dialog shows
// the parsed table with a guess for each column's meaning (which the user may change), how
// every arithmetic fares, the computed rows of the chosen one, and the first difference
// highlighted in both tables.
class ReconcileDialog final : public QDialog {
    Q_OBJECT
public:
    struct Inputs {
        LoanEntry loan;
        QDate start;
        // The planner's events, offered for the computation when there are some.
        std::vector<planner::Event> events;
        planner::Policy policy = planner::Policy::ShorterTerm;
    };

    explicit ReconcileDialog(const Inputs& current, QWidget* parent = nullptr);

    void setStatementText(const QString& text);
    void setColumnRole(int column, solver::Role role);
    // Shows the computed rows of one arithmetic (an index into the results).
    void showResult(int index);

    const solver::ParsedStatement& parsed() const { return m_parsed; }
    const solver::Reconciliation& reconciliation() const { return m_reconciliation; }
    TextTableModel& statementModel() const { return *m_statementModel; }
    TextTableModel& computedModel() const { return *m_computedModel; }

    QLineEdit* principalEdit = nullptr;
    QLineEdit* monthsEdit = nullptr;
    QLineEdit* rateEdit = nullptr;
    QDateEdit* startEdit = nullptr;
    QPlainTextEdit* pasteEdit = nullptr;
    QPushButton* openButton = nullptr;
    QCheckBox* eventsBox = nullptr;
    QComboBox* decimalBox = nullptr;
    std::vector<QComboBox*> columnBoxes;
    QTableView* statementView = nullptr;
    QLabel* unreadableLabel = nullptr;  // how many rows were not read, or why none was
    QListWidget* unreadableList = nullptr;
    QTableView* resultsView = nullptr;
    QTableView* computedView = nullptr;
    QLabel* sentenceLabel = nullptr;

private:
    void parseText();
    void readWithColumns();
    void reconcileNow();
    void rebuildColumnBoxes();
    void openFile();

    std::vector<planner::Event> m_events;
    planner::Policy m_policy = planner::Policy::ShorterTerm;
    solver::ParsedStatement m_parsed;
    QTimer* m_parseTimer = nullptr;  // typing parses once it pauses
    solver::Reconciliation m_reconciliation;
    TextTableModel* m_statementModel = nullptr;
    TextTableModel* m_resultsModel = nullptr;
    TextTableModel* m_computedModel = nullptr;
    QHBoxLayout* m_columnsLayout = nullptr;
    int m_shown = -1;
    bool m_updating = false;
};
