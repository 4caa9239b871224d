#pragma once

#include "output/Spreadsheet.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// The spreadsheet application behind the automation surface: LibreOffice Calc. The workbook is
// built in memory; making the application visible writes each workbook as an .xlsx file into a
// private temporary folder and opens it in Calc as a template, so the user gets a new untitled
// workbook and Calc stays open after this program ends.

class LibreOfficeCalcSheet final : public SpreadsheetSheet {
public:
    explicit LibreOfficeCalcSheet(QLocale locale);

    // A text the locale reads as a number becomes a number, a short date a date, an empty text
    // an empty cell, anything else a string (never a formula).
    void setCell(int row, int column, const QString& text) override;
    void autoFitColumn(int column) override;
    void autoFitColumns() override;

    enum class Kind : std::uint8_t { Empty, Number, Date, DateTime, Text };
    struct Cell {
        Kind kind = Kind::Empty;
        double number = 0;
        QString text;  // as typed; also what the width is fitted to
    };

    const QLocale& locale() const { return m_locale; }
    const std::vector<std::vector<Cell>>& rows() const { return m_rows; }
    // Widths in character units of the columns fitted so far (1-based keys).
    const std::map<int, double>& columnWidths() const { return m_widths; }

private:
    void fit(int column);

    QLocale m_locale;
    std::vector<std::vector<Cell>> m_rows;  // index 0 is sheet row 1
    std::map<int, double> m_widths;
    int m_columnCount = 0;
};

class LibreOfficeCalcWorkbook final : public SpreadsheetWorkbook {
public:
    explicit LibreOfficeCalcWorkbook(QLocale locale);

    std::shared_ptr<SpreadsheetSheet> activeSheet() override { return m_sheet; }

    // Writes the workbook as an .xlsx file; throws Failure when the file cannot be written.
    void writeXlsx(const QString& path) const;

private:
    std::shared_ptr<LibreOfficeCalcSheet> m_sheet;
};

class LibreOfficeCalcApplication final : public SpreadsheetApplication {
public:
    LibreOfficeCalcApplication(QString program, QLocale locale);

    std::shared_ptr<SpreadsheetWorkbook> addWorkbook() override;
    // The first switch to visible writes the workbooks and starts "soffice --calc -n FILE...",
    // detached; throws Failure when a file cannot be written or Calc cannot be started.
    void setVisible(bool visible) override;

private:
    QString m_program;
    QLocale m_locale;
    std::vector<std::shared_ptr<LibreOfficeCalcWorkbook>> m_workbooks;
    bool m_visible = false;
};

class LibreOfficeCalc final : public SpreadsheetAutomation {
public:
    // Without a locale, texts are read in the user's locale at the time the instance is created.
    LibreOfficeCalc() = default;
    explicit LibreOfficeCalc(QLocale locale) : m_locale(std::move(locale)) {}

    // Finds soffice on PATH; does not start it.
    std::shared_ptr<SpreadsheetApplication> CreateObject(const QString& progId) override;

private:
    std::optional<QLocale> m_locale;
};
