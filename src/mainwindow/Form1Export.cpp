#include "mainwindow/Form1.h"

#include "mainwindow/ScheduleGridModel.h"
#include "output/Spreadsheet.h"
#include "shell/Guard.h"
#include "shell/MessageBoxes.h"

#include <QCoreApplication>
#include <QString>

namespace {

const QString exportLocation = QStringLiteral("in Corvatel2021/08/31.Form1.PushButton13_Click ");

}  // namespace

void Form1::setSpreadsheetAutomation(std::shared_ptr<SpreadsheetAutomation> automation) {
    m_spreadsheet = std::move(automation);
}

bool Form1::SaveResultsAsExcelFileIsExcelInstalled() {
    bool result = true;
    try {
        if (!m_spreadsheet) {
            m_spreadsheet = makeDefaultSpreadsheetAutomation();
        }
        // Only whether it can be created; the instance goes at once and is never shown.
        m_spreadsheet->CreateObject(QString::fromUtf16(spreadsheetProgId)).reset();
    } catch (...) {
        messageBoxes().inform(QStringLiteral(
            "Excel is not installed on this computer. You need to have it installed to use "
            "this software without error."));
        result = false;
    }
    return result;
}

void Form1::PushButton13_Click() {
    Guard guard(messageBoxes(), exportLocation);

    bool installed = false;
    guard.run(100, [&] { installed = SaveResultsAsExcelFileIsExcelInstalled(); });
    if (!installed) {
        guard.run(172, [&] {
            messageBoxes().inform(QStringLiteral(
                "Excel is not installed on this computer. You need to have it installed to use "
                "this feature."));
        });
        return;
    }

    // The export works on the grid as it stands now, whatever the user does meanwhile.
    GridSnapshot grid;
    bool empty = true;
    guard.run(108, [&] {
        grid = gridModel().snapshot();
        empty = !grid || grid->rowCount() == 0;
    });
    if (empty) {
        return;
    }

    guard.run(110, [&] { setMousePointer(pointerBusy); });

    // Once the application has failed, every later step would fail with it: one box, then the
    // pointer is restored.
    auto exportRows = [&] {
        std::shared_ptr<SpreadsheetApplication> xlApp;
        std::shared_ptr<SpreadsheetWorkbook> xlWorkbook;
        if (!guard.run(112, [&] {
                xlApp = m_spreadsheet->CreateObject(QString::fromUtf16(spreadsheetProgId));
            })) {
            return;
        }
        if (!guard.run(114, [&] { xlWorkbook = xlApp->Workbooks().Add(); })) {
            return;
        }

        const int columns = grid->columnCount();
        int i = 1;
        for (int k = 1; k <= columns; ++k) {
            QCoreApplication::processEvents();
            if (!guard.run(122,
                           [&] { xlWorkbook->ActiveSheet()->Cells(1, i) = grid->header(k - 1); })) {
                return;
            }
            ++i;
            if (!guard.run(132, [&] { xlWorkbook->ActiveSheet()->Columns(k).AutoFit(); })) {
                return;
            }
        }

        int j = 2;
        const int rows = grid->rowCount();
        for (int k = 1; k <= rows; ++k) {
            QCoreApplication::processEvents();
            if (grid->checked(k - 1)) {
                i = 1;
                for (int c = 1; c <= columns; ++c) {
                    if (c == 1) {
                        if (!guard.run(152, [&] {
                                xlWorkbook->ActiveSheet()->Cells(j, i).setValue(
                                    grid->cell(k - 1, c - 1));
                            })) {
                            return;
                        }
                    } else {
                        if (!guard.run(156, [&] {
                                xlWorkbook->ActiveSheet()->Cells(j, i).setValue(
                                    grid->cell(k - 1, c - 1).remove(u'='));
                            })) {
                            return;
                        }
                    }
                    ++i;
                }
            }
            ++j;
        }

        if (!guard.run(166, [&] { xlWorkbook->ActiveSheet()->Columns().AutoFit(); })) {
            return;
        }
        guard.run(168, [&] { xlApp->setVisible(true); });
    };
    exportRows();

    guard.run(170, [&] { setMousePointer(pointerDefault); });
}
