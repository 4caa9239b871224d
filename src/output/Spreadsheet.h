#pragma once

#include <QString>

#include <memory>

// The automation surface of a spreadsheet application, reduced to what the export uses. The
// capitalised members keep the names of the historic automation interface; backends (and the
// stand-ins of the tests) implement the lower-case virtuals. Rows and columns count from 1.

class SpreadsheetSheet {
public:
    virtual ~SpreadsheetSheet() = default;

    // Gives a cell the value that typing the text into it would give.
    virtual void setCell(int row, int column, const QString& text) = 0;
    // Fits the width of one column (or of every used column) to its contents as they are now.
    virtual void autoFitColumn(int column) = 0;
    virtual void autoFitColumns() = 0;

    class Cell {
    public:
        Cell(SpreadsheetSheet& sheet, int row, int column)
            : m_sheet(sheet), m_row(row), m_column(column) {}
        // The default property and Value assign alike.
        Cell& operator=(const QString& text) {
            m_sheet.setCell(m_row, m_column, text);
            return *this;
        }
        void setValue(const QString& text) { m_sheet.setCell(m_row, m_column, text); }

    private:
        SpreadsheetSheet& m_sheet;
        int m_row;
        int m_column;
    };

    class ColumnRange {
    public:
        ColumnRange(SpreadsheetSheet& sheet, int column) : m_sheet(sheet), m_column(column) {}
        void AutoFit() {
            if (m_column == 0) {
                m_sheet.autoFitColumns();
            } else {
                m_sheet.autoFitColumn(m_column);
            }
        }

    private:
        SpreadsheetSheet& m_sheet;
        int m_column;  // 0: every column
    };

    Cell Cells(int row, int column) { return Cell(*this, row, column); }
    ColumnRange Columns(int column) { return ColumnRange(*this, column < 1 ? -1 : column); }
    ColumnRange Columns() { return ColumnRange(*this, 0); }
};

class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;
    virtual std::shared_ptr<SpreadsheetSheet> activeSheet() = 0;

    std::shared_ptr<SpreadsheetSheet> ActiveSheet() { return activeSheet(); }
};

class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;
    virtual std::shared_ptr<SpreadsheetWorkbook> addWorkbook() = 0;
    // A new instance starts invisible; making it visible hands the workbooks to the user.
    virtual void setVisible(bool visible) = 0;

    class WorkbookCollection {
    public:
        explicit WorkbookCollection(SpreadsheetApplication& application)
            : m_application(application) {}
        std::shared_ptr<SpreadsheetWorkbook> Add() { return m_application.addWorkbook(); }

    private:
        SpreadsheetApplication& m_application;
    };

    WorkbookCollection Workbooks() { return WorkbookCollection(*this); }
};

// Creates application instances by ProgID. Throws Failure(CannotCreateObject) when no
// spreadsheet application is installed or the ProgID names none.
class SpreadsheetAutomation {
public:
    virtual ~SpreadsheetAutomation() = default;
    virtual std::shared_ptr<SpreadsheetApplication> CreateObject(const QString& progId) = 0;
};

inline constexpr char16_t spreadsheetProgId[] = u"Excel.Application";

// The installed spreadsheet application: LibreOffice Calc.
std::shared_ptr<SpreadsheetAutomation> makeDefaultSpreadsheetAutomation();
