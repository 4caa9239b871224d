#pragma once

#include "core/Failure.h"
#include "output/GridData.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <memory>

// One new sheet of a spreadsheet program, filled cell by cell. Rows and columns count from 1;
// cells come in row order, the header row first.
class SheetWriter {
public:
    virtual ~SheetWriter() = default;

    // Opens a new workbook, whose active sheet takes the cells that follow.
    virtual void newWorkbook() = 0;
    // A header text in sheet row 1.
    virtual void setHeader(int column, const QString& text) = 0;
    virtual void setCell(int row, int column, const CellValue& value) = 0;
    // Fits one column's width, or every column's, to what the column holds now.
    virtual void fitColumn(int column) = 0;
    virtual void fitColumns() = 0;
    // Hands the workbook to the user in the visible program, which stays open. Throws when the
    // workbook cannot be handed over; a program that fails afterwards, while it may still fail
    // to show the workbook, is reported to `failedLater` once, from the event loop.
    using LateFailure = std::function<void(const Failure&)>;
    virtual void show(LateFailure failedLater) = 0;
};

// The installed spreadsheet program.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    // Starts an instance, not yet visible and without a workbook. Throws
    // Failure(CannotCreateObject) when the program is not installed.
    virtual std::unique_ptr<SheetWriter> start() = 0;
};

// LibreOffice Calc.
std::shared_ptr<Spreadsheet> makeDefaultSpreadsheet();

// What typing the text into a cell gives: a number or a date when the locale reads it as one
// (never a formula), nothing for an empty text, the text otherwise.
CellValue typedIn(const QString& text, const QLocale& locale = QLocale());
