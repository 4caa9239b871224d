// The commands of the menu bar that the buttons do not offer: Save As, print, copy with
// headers, ticking, the yearly summary and the chart.
#include "mainwindow/Form1.h"

#include "core/AppTitle.h"
#include "core/Guard.h"
#include "core/MessageBoxes.h"
#include "documents/Clipboard.h"
#include "mainwindow/ScheduleGridModel.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "output/CopyText.h"
#include "output/ScheduleValues.h"
#include "output/TableSource.h"
#include "windows/ChartWindow.h"
#include "windows/SummaryWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>

using namespace Qt::StringLiterals;

std::optional<ScheduleValues> Form1::gridValues() const {
    const GridSnapshot grid = gridModel().snapshot();
    std::optional<ScheduleValues> values = grid ? scheduleValues(*grid) : std::nullopt;
    // The calculator that filled the grid gives the inputs for titles and headings.
    if (values && objLoanCalculator) {
        values->loan = loanFacts(*objLoanCalculator->getLoanDetails());
    }
    return values;
}

std::optional<ScheduleValues> Form1::commandValues() {
    auto values = gridValues();
    if (!values && gridModel().rowCount() > 0) {
        messageBoxes().inform(amountsTooLargeText());
    }
    return values;
}

void Form1::updateScheduleCommands() {
    const bool filled = m_grid->rowCount() > 0;
    for (QAction* action : m_scheduleActions) {
        action->setEnabled(filled);
    }
    // Open windows follow the grid: a new schedule replaces theirs, an empty grid hides them.
    if (m_summaryWindow == nullptr && m_chartWindow == nullptr) {
        return;
    }
    const auto values = filled ? gridValues() : std::nullopt;
    if (m_summaryWindow != nullptr) {
        if (values) {
            m_summaryWindow->setSchedule(*values);
        } else {
            m_summaryWindow->hide();
        }
    }
    if (m_chartWindow != nullptr) {
        if (values) {
            m_chartWindow->setSchedule(*values);
        } else {
            m_chartWindow->hide();
        }
    }
}

void Form1::showSaveFailure(const QString& path, const QString& reason) {
    messageBoxes().show(Message{saveFailureText(path, reason), appTitle(), MessageIcon::Warning});
}

SaveFailureReporter Form1::failureReporter() {
    return [this](const QString& path, const QString& reason) { showSaveFailure(path, reason); };
}

DialogRunner Form1::dialogRunner() {
    // The seam as it is when a dialog runs, not as it was when a window was made.
    return [this](QDialog& dialog) { return m_runDialog(dialog); };
}

void Form1::saveAs() {
    Guard guard(messageBoxes(), u"in Ravenmoor.Form1.saveAs "_s);
    guard.run(100, [&] {
        const auto values = commandValues();
        if (!values) {
            return;
        }
        const auto choice = chooseTableFile(this, u"Save As"_s, m_lastTablePath, m_runDialog);
        if (!choice) {
            return;
        }
        m_lastTablePath = choice->path;
        setMousePointer(pointerBusy);
        const auto error = writeTableFile(choice->format, ScheduleTableSource(*values),
                                          scheduleFacts(*values), choice->path);
        setMousePointer(pointerDefault);
        if (error) {
            showSaveFailure(choice->path, *error);
        }
    });
}

void Form1::printPreview() {
    Guard guard(messageBoxes(), u"in Ravenmoor.Form1.printPreview "_s);
    guard.run(100, [&] {
        const auto values = commandValues();
        if (!values) {
            return;
        }
        previewTable(this, ScheduleTableSource(*values), scheduleFacts(*values), m_runDialog);
    });
}

void Form1::printSchedule() {
    Guard guard(messageBoxes(), u"in Ravenmoor.Form1.printSchedule "_s);
    guard.run(100, [&] {
        const auto values = commandValues();
        if (!values) {
            return;
        }
        const auto error = printTableWithDialog(
            this, ScheduleTableSource(*values), scheduleFacts(*values), m_runDialog,
            [this](bool busy) { setMousePointer(busy ? pointerBusy : pointerDefault); });
        if (error) {
            messageBoxes().show(Message{*error, appTitle(), MessageIcon::Warning});
        }
    });
}

void Form1::copyWithHeaders() {
    Guard guard(messageBoxes(), u"in Ravenmoor.Form1.copyWithHeaders "_s);
    guard.run(100, [&] {
        const GridSnapshot grid = gridModel().snapshot();
        if (!grid || grid->rowCount() == 0) {
            return;
        }
        ClearClipboard();
        SetClipboardText(buildCopyText(*grid, true), 0);
    });
}

void Form1::tickAll(bool ticked) {
    m_grid->setAllChecked(ticked);
}

void Form1::showYearlySummary() {
    const auto values = commandValues();
    if (!values) {
        return;
    }
    if (m_summaryWindow == nullptr) {
        m_summaryWindow = new SummaryWindow(failureReporter(), dialogRunner(), this);
    }
    m_summaryWindow->setSchedule(*values);
    m_summaryWindow->show();
    m_summaryWindow->raise();
    m_summaryWindow->activateWindow();
}

void Form1::showChart() {
    const auto values = commandValues();
    if (!values) {
        return;
    }
    if (m_chartWindow == nullptr) {
        m_chartWindow = new ChartWindow(failureReporter(), dialogRunner(), this);
    }
    m_chartWindow->setSchedule(*values);
    m_chartWindow->show();
    m_chartWindow->raise();
    m_chartWindow->activateWindow();
}
