#pragma once

#include "offers/Offers.h"
#include "windows/TableSaveDialog.h"

#include <QWidget>

#include <vector>

class ChartView;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// "Compare Loans": two to six loans side by side, each editable, with what each costs, the
// cheapest by total paid marked, their balances in one chart, and Copy and Save As of the
// comparison table.
class CompareWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int minLoans = 2;
    static constexpr int maxLoans = 6;

    // Opens with two copies of the loan, for the user to change one of them.
    CompareWindow(const offers::Offer& loan, SaveFailureReporter reportFailure,
                  DialogRunner runDialog, QWidget* parent = nullptr);

    int loanCount() const { return static_cast<int>(m_columns.size()); }
    void addLoan();
    void removeLoan();
    // The loans as typed; a field that does not read leaves its loan without a plan.
    const std::vector<offers::Offer>& offers() const { return m_offers; }
    const offers::OfferComparison& comparison() const { return m_comparison; }

    void copy() const;
    void saveAs();

    QLineEdit* principalEdit(int loan) const { return m_columns[loan].principal; }
    QLineEdit* monthsEdit(int loan) const { return m_columns[loan].months; }
    QLineEdit* rateEdit(int loan) const { return m_columns[loan].rate; }
    QLineEdit* feesEdit(int loan) const { return m_columns[loan].fees; }
    QLabel* headerLabel(int loan) const { return m_columns[loan].header; }
    ChartView* chart() const { return m_chart; }

private:
    struct Column {
        QLabel* header = nullptr;
        QLineEdit* principal = nullptr;
        QLineEdit* months = nullptr;
        QLineEdit* rate = nullptr;
        QDateEdit* start = nullptr;
        QLineEdit* fees = nullptr;
        std::vector<QLabel*> results;
    };

    void addColumn(const offers::Offer& loan);
    void recompute();

    SaveFailureReporter m_reportFailure;
    DialogRunner m_runDialog;
    QString m_lastPath;
    QGridLayout* m_grid = nullptr;
    std::vector<Column> m_columns;
    std::vector<offers::Offer> m_offers;
    offers::OfferComparison m_comparison;
    ChartView* m_chart = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
};

// Opens the window (not modal) over parent; it deletes itself when closed.
CompareWindow* openCompareWindow(QWidget* parent, const offers::Offer& loan,
                                 SaveFailureReporter reportFailure, DialogRunner runDialog);
