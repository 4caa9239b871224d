// The export command: the checked grid rows into a new workbook of the spreadsheet program.
#include "mainwindow/Form1.h"

#include "core/EventYield.h"
#include "core/Guard.h"
#include "core/MessageBoxes.h"
#include "documents/SheetWriter.h"
#include "mainwindow/ScheduleGridModel.h"

#include <QPointer>
#include <QString>

namespace {

const QString exportLocation = QStringLiteral("in Corvatel2021/08/31.Form1.PushButton13_Click ");

}  // namespace

void Form1::setSpreadsheet(std::shared_ptr<Spreadsheet> spreadsheet) {
    m_spreadsheet = std::move(spreadsheet);
}

bool Form1::SaveResultsAsExcelFileIsExcelInstalled() {
    bool result = true;
    try {
        if (!m_spreadsheet) {
            m_spreadsheet = makeDefaultSpreadsheet();
        }
        // Only whether it can be started; the instance goes at once and is never shown.
        m_spreadsheet->start().reset();
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

    // Once the program has failed, every later step would fail with it: one box, then the
    // pointer is restored. A window closed meanwhile ends the export: the unfinished workbook
    // goes with its writer and no spreadsheet program starts.
    auto exportRows = [&] {
        std::unique_ptr<SheetWriter> sheet;
        if (!guard.run(112, [&] { sheet = m_spreadsheet->start(); })) {
            return;
        }
        if (!guard.run(114, [&] { sheet->newWorkbook(); })) {
            return;
        }

        EventYield yield;
        const int columns = grid->columnCount();
        int i = 1;
        for (int k = 1; k <= columns; ++k) {
            yield();
            if (isClosing()) {
                return;
            }
            if (!guard.run(122, [&] { sheet->setHeader(i, grid->header(k - 1)); })) {
                return;
            }
            ++i;
            if (!guard.run(132, [&] { sheet->fitColumn(k); })) {
                return;
            }
        }

        // Values go over as they are; a cell given as text goes over as if typed, without its
        // "=" characters after the first column.
        const QLocale locale;
        int j = 2;
        const int rows = grid->rowCount();
        for (int k = 1; k <= rows; ++k) {
            yield();
            if (isClosing()) {
                return;
            }
            if (grid->checked(k - 1)) {
                i = 1;
                for (int c = 1; c <= columns; ++c) {
                    const int line = c == 1 ? 152 : 156;
                    if (!guard.run(line, [&] {
                            CellValue value = grid->value(k - 1, c - 1);
                            if (value.kind == CellValue::Kind::Text) {
                                value =
                                    typedIn(c == 1 ? value.text : value.text.remove(u'='), locale);
                            }
                            sheet->setCell(j, i, value);
                        })) {
                        return;
                    }
                    ++i;
                }
            }
            ++j;
        }

        if (!guard.run(166, [&] { sheet->fitColumns(); }) || isClosing()) {
            return;
        }
        // The program may still fail after the export has ended: the same box, then.
        guard.run(168, [&] {
            sheet->show([window = QPointer<Form1>(this)](const Failure& failure) {
                if (window) {
                    showErrorBox(window->messageBoxes(), failure.description(), exportLocation,
                                 168);
                }
            });
        });
    };
    exportRows();

    guard.run(170, [&] { setMousePointer(pointerDefault); });
}
