#pragma once

#include "output/ScheduleValues.h"
#include "output/YearlySummary.h"
#include "windows/TableSaveDialog.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class SummaryModel;

// The yearly summary in its own resizable window: calendar or loan years, a totals row, Copy
// and Save As; beside it the loan's true cost: the schedule's own totals, the effective annual
// rate, and the APR by the US and the EU/UK rules with the fees typed.
class SummaryWindow final : public QWidget {
    Q_OBJECT
public:
    SummaryWindow(SaveFailureReporter reportFailure, DialogRunner runDialog,
                  QWidget* parent = nullptr);
    ~SummaryWindow() override;

    void setSchedule(ScheduleValues schedule);
    void setBasis(YearBasis basis);
    const YearlySummary& summary() const { return m_summary; }

    void copy() const;
    void saveAs();

private:
    void recompute();

    SaveFailureReporter m_reportFailure;
    DialogRunner m_runDialog;
    ScheduleValues m_schedule;
    YearlySummary m_summary;
    QString m_lastPath;
    QComboBox* m_basis = nullptr;
    QTableView* m_table = nullptr;
    SummaryModel* m_model = nullptr;
    QLabel* m_totalInterest = nullptr;
    QLabel* m_totalPaid = nullptr;
    QLabel* m_effectiveRate = nullptr;
    QLabel* m_aprUs = nullptr;
    QLabel* m_aprcEu = nullptr;
    QLabel* m_roundingNote = nullptr;
    QLineEdit* m_fees = nullptr;
    QLineEdit* m_feePerPayment = nullptr;
};
