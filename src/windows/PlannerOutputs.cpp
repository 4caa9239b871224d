#include "windows/PlannerOutputs.h"

#include "core/AppTitle.h"
#include "documents/TableFiles.h"
#include "output/PlanTable.h"
#include "planner/TrueCost.h"
#include "windows/ChartWindow.h"
#include "windows/PlannerDialog.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
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
    m_save->setToolTip(u"Save the plan as CSV, an Excel workbook or PDF"_s);
    m_preview = new QPushButton(u"Print Preview…"_s);
    m_print = new QPushButton(u"Print…"_s);
    // After Copy, before the stretch and Close.
    int at = 1;
    for (QPushButton* button : {m_save, m_preview, m_print}) {
        dialog.commandRow()->insertWidget(at++, button);
    }
    m_chart = new ChartView;
    m_chart->setMinimumHeight(180);
    dialog.chartArea()->addWidget(m_chart);

    connect(m_save, &QPushButton::clicked, this, &PlannerOutputs::saveAs);
    connect(m_preview, &QPushButton::clicked, this, &PlannerOutputs::printPreview);
    connect(m_print, &QPushButton::clicked, this, &PlannerOutputs::print);
    connect(&dialog, &PlannerDialog::planChanged, this, &PlannerOutputs::planChanged);
    planChanged();
}

void PlannerOutputs::planChanged() {
    const auto& plan = m_dialog.plan();
    for (QPushButton* button : {m_save, m_preview, m_print}) {
        button->setEnabled(plan.has_value());
    }
    if (!plan) {
        m_chart->setData({});
        return;
    }
    const planner::PlanResult baseline = planner::computeBaseline(m_dialog.input());
    m_chart->setData(planChartData(*plan, baseline.plan ? &*baseline.plan : nullptr));
}

void PlannerOutputs::saveAs() {
    const auto& plan = m_dialog.plan();
    if (!plan) {
        return;
    }
    const auto choice = chooseTableFile(&m_dialog, u"Save As"_s, m_lastPath, m_runDialog);
    if (!choice) {
        return;
    }
    m_lastPath = choice->path;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto error = writeTableFile(
        choice->format, PlanTableSource(*plan),
        planFacts(m_dialog.input(), *plan, planner::trueCostOf(m_dialog.input(), *plan)),
        choice->path);
    QApplication::restoreOverrideCursor();
    if (error) {
        m_reportFailure(choice->path, *error);
    }
}

void PlannerOutputs::printPreview() {
    if (const auto& plan = m_dialog.plan()) {
        previewTable(
            &m_dialog, PlanTableSource(*plan),
            planFacts(m_dialog.input(), *plan, planner::trueCostOf(m_dialog.input(), *plan)),
            m_runDialog);
    }
}

void PlannerOutputs::print() {
    const auto& plan = m_dialog.plan();
    if (!plan) {
        return;
    }
    const auto error = printTableWithDialog(
        &m_dialog, PlanTableSource(*plan),
        planFacts(m_dialog.input(), *plan, planner::trueCostOf(m_dialog.input(), *plan)),
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
