#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// The one writer of .xlsx files: a single sheet whose rows go out in order and stream to disk
// instead of being held in memory. The spreadsheet export places its cells with it one by one;
// Save As writes a whole table with it (xlsxBytes). Rows and columns count from 0. The first
// failure is kept; writing on after it does nothing.
class Workbook {
public:
    enum class Style { Plain, Bold, Header };

    // Creates the file at `path`, with the library's temporary files in `tmpDir`. Dates take
    // `dateFormat` (a number format; with " hh:mm:ss" for a date with a time of day), or
    // without one the built-in short date, which spreadsheet programs show in the reader's
    // locale.
    Workbook(const QString& path, const QString& tmpDir,
             std::optional<QString> dateFormat = std::nullopt);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Whether the file could be created and nothing has failed since.
    bool ok() const { return m_book != nullptr && m_sheet != nullptr && m_status == 0; }

    bool text(int row, int column, const QString& value, Style style = Style::Plain);
    bool number(int row, int column, double value, Style style = Style::Plain);
    // Two decimals with grouping.
    bool amount(int row, int column, double value, Style style = Style::Plain);
    // Days since 30 December 1899; a fraction is a time of day.
    bool date(int row, int column, double serial);
    bool blank(int row, int column, Style style);
    bool setWidth(int firstColumn, int lastColumn, double width);
    // Keeps the rows above `row` in view while scrolling.
    void freezeAbove(int row);

    // Finishes the file. Returns why it failed, the first failure since creation included;
    // `systemError` is errno just after the library failed.
    std::optional<QString> close();
    int systemError() const { return m_errno; }

private:
    bool keep(int status);
    lxw_format* format(Style style);
    lxw_format* amountFormat(Style style);
    lxw_format* dateFormat(bool withTime);

    QByteArray m_tmpDir;
    std::optional<QString> m_dateFormat;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_bold = nullptr;
    lxw_format* m_header = nullptr;
    lxw_format* m_amount = nullptr;
    lxw_format* m_boldAmount = nullptr;
    lxw_format* m_date = nullptr;
    lxw_format* m_dateTime = nullptr;
    int m_status = 0;
    int m_errno = 0;
};
