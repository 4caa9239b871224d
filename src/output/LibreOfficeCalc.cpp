#include "output/LibreOfficeCalc.h"

#include "core/Conversions.h"
#include "core/Failure.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

namespace {

const QString source = QStringLiteral("LibreOfficeCalc");

// The limits of an .xlsx sheet.
constexpr int maxRows = 1048576;
constexpr int maxColumns = 16384;
constexpr qsizetype maxTextLength = 32767;
constexpr double maxColumnWidth = 255;

// A Qt date or time format as a spreadsheet number format: the same fields, every other
// character taken literally.
QString toNumberFormat(const QString& qtFormat) {
    QString out;
    for (qsizetype i = 0; i < qtFormat.size(); ++i) {
        const QChar ch = qtFormat[i];
        if (ch == u'\'') {
            const qsizetype end = qtFormat.indexOf(u'\'', i + 1);
            const QString literal = qtFormat.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (literal.isEmpty()) {
                out += QStringLiteral("\\'");
            } else {
                out += u'"';
                out += QString(literal).remove(u'"');
                out += u'"';
            }
            i = end < 0 ? qtFormat.size() : end;
        } else if (ch == u'd' || ch == u'y' || ch == u's' || ch == u'm') {
            out += ch;
        } else if (ch == u'M') {
            out += u'm';
        } else if (ch == u'h' || ch == u'H') {
            out += u'h';
        } else if (ch == u'A' || ch == u'a') {
            out += QStringLiteral("AM/PM");
            if (i + 1 < qtFormat.size() && (qtFormat[i + 1] == u'P' || qtFormat[i + 1] == u'p')) {
                ++i;
            }
        } else if (ch == u' ') {
            out += ch;
        } else if (ch == u't') {
            // no time zones in cell formats
        } else {
            out += u'\\';
            out += ch;
        }
    }
    return out.trimmed();
}

// Roughly the width that the spreadsheet's own fitting gives in its default font.
double widthForText(qsizetype length) {
    return std::min(maxColumnWidth, static_cast<double>(length) * 1.1 + 1.0);
}

void check(lxw_error error) {
    if (error != LXW_NO_ERROR) {
        throw Failure::platform(PlatformFailure::PathFileAccessError, source);
    }
}

}  // namespace

LibreOfficeCalcSheet::LibreOfficeCalcSheet(QLocale locale) : m_locale(std::move(locale)) {}

void LibreOfficeCalcSheet::setCell(int row, int column, const QString& text) {
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns ||
        text.size() > maxTextLength) {
        throw Failure::platform(PlatformFailure::InvalidCall, source);
    }
    Cell cell;
    if (!text.isEmpty()) {
        cell.text = text;
        if (const auto number = parseNumber(text, m_locale)) {
            cell.kind = Kind::Number;
            cell.number = *number;
        } else if (const auto date = parseDate(text, m_locale)) {
            cell.kind = *date == static_cast<double>(static_cast<long long>(*date))
                            ? Kind::Date
                            : Kind::DateTime;
            cell.number = *date;
        } else {
            cell.kind = Kind::Text;
        }
    }
    auto r = static_cast<std::size_t>(row - 1);
    auto c = static_cast<std::size_t>(column - 1);
    if (cell.kind == Kind::Empty) {
        if (r < m_rows.size() && c < m_rows[r].size()) {
            m_rows[r][c] = Cell();
        }
        return;
    }
    if (r >= m_rows.size()) {
        m_rows.resize(r + 1);
    }
    auto& cells = m_rows[r];
    if (c >= cells.size()) {
        cells.resize(c + 1);
    }
    cells[c] = std::move(cell);
    m_columnCount = std::max(m_columnCount, column);
}

void LibreOfficeCalcSheet::autoFitColumn(int column) {
    if (column < 1 || column > maxColumns) {
        throw Failure::platform(PlatformFailure::InvalidCall, source);
    }
    fit(column);
}

void LibreOfficeCalcSheet::autoFitColumns() {
    for (int column = 1; column <= m_columnCount; ++column) {
        fit(column);
    }
}

void LibreOfficeCalcSheet::fit(int column) {
    const auto c = static_cast<std::size_t>(column - 1);
    qsizetype longest = 0;
    for (const auto& cells : m_rows) {
        if (c < cells.size()) {
            longest = std::max(longest, cells[c].text.size());
        }
    }
    // An empty column goes back to the default width.
    if (longest == 0) {
        m_widths.erase(column);
    } else {
        m_widths[column] = widthForText(longest);
    }
}

LibreOfficeCalcWorkbook::LibreOfficeCalcWorkbook(QLocale locale)
    : m_sheet(std::make_shared<LibreOfficeCalcSheet>(std::move(locale))) {}

void LibreOfficeCalcWorkbook::writeXlsx(const QString& path) const {
    const QByteArray fileName = QFile::encodeName(path);
    QByteArray tmpDir = QFile::encodeName(QFileInfo(path).absolutePath());

    // Rows go out in order, so the sheet can stream to disk instead of being held twice.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpDir.data();
    lxw_workbook* workbook = workbook_new_opt(fileName.constData(), &options);
    if (workbook == nullptr) {
        throw Failure::platform(PlatformFailure::OutOfMemory, source);
    }
    bool closed = false;
    try {
        lxw_worksheet* worksheet = workbook_add_worksheet(workbook, nullptr);
        if (worksheet == nullptr) {
            throw Failure::platform(PlatformFailure::OutOfMemory, source);
        }
        const QLocale& locale = m_sheet->locale();
        const QString dateFormat = toNumberFormat(shortDateFormat(locale));
        lxw_format* date = workbook_add_format(workbook);
        lxw_format* dateTime = workbook_add_format(workbook);
        format_set_num_format(date, dateFormat.toUtf8().constData());
        format_set_num_format(dateTime,
                              (dateFormat + QStringLiteral(" hh:mm:ss")).toUtf8().constData());

        for (const auto& [column, width] : m_sheet->columnWidths()) {
            const auto col = static_cast<lxw_col_t>(column - 1);
            check(worksheet_set_column(worksheet, col, col, width, nullptr));
        }

        QByteArray utf8;
        const auto& rows = m_sheet->rows();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const auto row = static_cast<lxw_row_t>(r);
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                const auto& cell = rows[r][c];
                const auto col = static_cast<lxw_col_t>(c);
                switch (cell.kind) {
                    case LibreOfficeCalcSheet::Kind::Empty:
                        break;
                    case LibreOfficeCalcSheet::Kind::Number:
                        check(worksheet_write_number(worksheet, row, col, cell.number, nullptr));
                        break;
                    // The date value counts days from 30 December 1899, which is how Calc
                    // reads the serial numbers of an .xlsx file.
                    case LibreOfficeCalcSheet::Kind::Date:
                        check(worksheet_write_number(worksheet, row, col, cell.number, date));
                        break;
                    case LibreOfficeCalcSheet::Kind::DateTime:
                        check(worksheet_write_number(worksheet, row, col, cell.number, dateTime));
                        break;
                    case LibreOfficeCalcSheet::Kind::Text:
                        utf8 = cell.text.toUtf8();
                        check(
                            worksheet_write_string(worksheet, row, col, utf8.constData(), nullptr));
                        break;
                }
            }
        }
        closed = true;
        check(workbook_close(workbook));
    } catch (...) {
        if (!closed) {
            workbook_close(workbook);
        }
        QFile::remove(path);
        throw;
    }
}

LibreOfficeCalcApplication::LibreOfficeCalcApplication(QString program, QLocale locale)
    : m_program(std::move(program)), m_locale(std::move(locale)) {}

std::shared_ptr<SpreadsheetWorkbook> LibreOfficeCalcApplication::addWorkbook() {
    auto workbook = std::make_shared<LibreOfficeCalcWorkbook>(m_locale);
    m_workbooks.push_back(workbook);
    return workbook;
}

void LibreOfficeCalcApplication::setVisible(bool visible) {
    if (!visible || m_visible) {
        return;
    }
    // An unusable temporary location reads as empty, which would mean the working directory.
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (temp.isEmpty() || !QDir::isAbsolutePath(temp)) {
        throw Failure::platform(PlatformFailure::PathNotFound, source);
    }
    // Calc reads the files after this program may have ended, so the folder stays; mkdtemp
    // makes it readable by its owner only.
    QTemporaryDir folder(QDir(temp).filePath(QStringLiteral("ravenmoor-XXXXXX")));
    if (!folder.isValid()) {
        throw Failure::platform(PlatformFailure::PathFileAccessError, source);
    }
    QStringList arguments{QStringLiteral("--calc")};
    for (std::size_t i = 0; i < m_workbooks.size(); ++i) {
        const QString path = folder.filePath(QStringLiteral("Book%1.xlsx").arg(i + 1));
        m_workbooks[i]->writeXlsx(path);
        arguments << QStringLiteral("-n") << path;
    }
    if (!QProcess::startDetached(m_program, arguments)) {
        throw Failure::platform(PlatformFailure::CannotCreateObject, source);
    }
    folder.setAutoRemove(false);
    m_visible = true;
}

std::shared_ptr<SpreadsheetApplication> LibreOfficeCalc::CreateObject(const QString& progId) {
    if (progId.compare(QStringView(spreadsheetProgId), Qt::CaseInsensitive) != 0) {
        throw Failure::platform(PlatformFailure::CannotCreateObject, source);
    }
    const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (program.isEmpty()) {
        throw Failure::platform(PlatformFailure::CannotCreateObject, source);
    }
    return std::make_shared<LibreOfficeCalcApplication>(program, m_locale.value_or(QLocale()));
}

std::shared_ptr<SpreadsheetAutomation> makeDefaultSpreadsheetAutomation() {
    return std::make_shared<LibreOfficeCalc>();
}
