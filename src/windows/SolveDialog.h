#pragma once

#include "solver/Solver.h"
#include "windows/LoanEntry.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Solve For…": the principal, the months or the rate that give an instalment, with the loan's
// true cost; "Use these values" hands the loan to the main window.
class SolveDialog final : public QDialog {
    Q_OBJECT
public:
    // Opens with the main window's loan, as far as it reads.
    explicit SolveDialog(const LoanEntry& current, QWidget* parent = nullptr);

    void setUseValues(std::function<void(const solver::Loan&)> use) { m_use = std::move(use); }
    const std::optional<solver::Loan>& answer() const { return m_answer; }

    QComboBox* unknownBox = nullptr;  // principal, months, rate
    QLineEdit* emiEdit = nullptr;
    QLineEdit* principalEdit = nullptr;
    QLineEdit* monthsEdit = nullptr;
    QLineEdit* rateEdit = nullptr;
    QComboBox* arithmeticBox = nullptr;
    QComboBox* interestBox = nullptr;
    QLineEdit* feesEdit = nullptr;
    QLineEdit* feePerPaymentEdit = nullptr;
    QLabel* resultLabel = nullptr;
    QPushButton* useButton = nullptr;

private:
    void recompute();
    void showAnswer(const solver::Solution& solution, const solver::InstalmentRule& rule);
    planner::InterestRounding interest() const;

    std::function<void(const solver::Loan&)> m_use;
    std::optional<solver::Loan> m_answer;
};
