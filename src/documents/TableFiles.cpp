#include "documents/TableFiles.h"

#include "documents/TablePrint.h"
#include "output/CheckedSave.h"
#include "output/Csv.h"
#include "output/TableSource.h"
#include "output/TableText.h"
#include "output/WorkbookFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

// Serial day numbers of a workbook count from 30 December 1899.
constexpr qint64 serialEpoch = 2415019;  // QDate(1899, 12, 30).toJulianDay()

QString xlsxErrorText(lxw_error error) {
    return QString::fromUtf8(lxw_strerror(error));
}

class Workbook {
public:
    Workbook(const QString& path, const QString& tmpDir) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;  // rows stream to disk in order
        m_tmpDir = QFile::encodeName(tmpDir);
        options.tmpdir = m_tmpDir.data();
        m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    }
    ~Workbook() {
        if (m_book != nullptr) {
            workbook_close(m_book);
        }
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return m_book; }
    lxw_error close() {
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        return error;
    }

private:
    QByteArray m_tmpDir;
    lxw_workbook* m_book = nullptr;
};

struct Formats {
    lxw_format* bold;
    lxw_format* amount;
    lxw_format* boldAmount;
    lxw_format* date;
    lxw_format* header;
};

lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const TableCell& cell,
                    const Formats& formats, bool bold) {
    switch (cell.kind) {
        case TableCell::Kind::Empty:
            return bold ? worksheet_write_blank(sheet, row, col, formats.bold) : LXW_NO_ERROR;
        case TableCell::Kind::Integer:
            return worksheet_write_number(sheet, row, col, static_cast<double>(cell.value),
                                          bold ? formats.bold : nullptr);
        case TableCell::Kind::Cents:
            return worksheet_write_number(sheet, row, col, cell.amount(),
                                          bold ? formats.boldAmount : formats.amount);
        case TableCell::Kind::Date:
            return worksheet_write_number(
                sheet, row, col, static_cast<double>(cell.value - serialEpoch), formats.date);
        case TableCell::Kind::Text:
            return worksheet_write_string(sheet, row, col, cell.text.toUtf8().constData(),
                                          bold ? formats.bold : nullptr);
    }
    return LXW_NO_ERROR;
}

}  // namespace

std::optional<TableFormat> formatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv"_s) {
        return TableFormat::Csv;
    }
    if (suffix == u"xlsx"_s) {
        return TableFormat::Xlsx;
    }
    if (suffix == u"pdf"_s) {
        return TableFormat::Pdf;
    }
    return std::nullopt;
}

QString suffixOf(TableFormat format) {
    switch (format) {
        case TableFormat::Csv:
            return u"csv"_s;
        case TableFormat::Xlsx:
            return u"xlsx"_s;
        case TableFormat::Pdf:
            return u"pdf"_s;
    }
    return {};
}

QByteArray xlsxBytes(const TableSource& table, const DocumentFacts& facts, QString* error) {
    // libxlsxwriter writes to a named file only: a private folder for it and the library's
    // temporary files, read back at once.
    const QTemporaryDir folder(QDir::tempPath() + u"/ravenmoor-XXXXXX"_s);
    if (!folder.isValid()) {
        *error = workbookFailure(errno, folder.errorString(), QDir::tempPath());
        return {};
    }
    Workbook book(folder.filePath(u"book.xlsx"_s), folder.path());
    if (book.get() == nullptr) {
        *error = workbookFailure(errno, u"The workbook could not be created."_s, folder.path());
        return {};
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), nullptr);
    Formats formats{};
    formats.bold = workbook_add_format(book.get());
    format_set_bold(formats.bold);
    formats.amount = workbook_add_format(book.get());
    format_set_num_format(formats.amount, "#,##0.00");
    formats.boldAmount = workbook_add_format(book.get());
    format_set_num_format(formats.boldAmount, "#,##0.00");
    format_set_bold(formats.boldAmount);
    formats.date = workbook_add_format(book.get());
    // The built-in short date format, which spreadsheet programs show in the reader's locale.
    format_set_num_format_index(formats.date, 14);
    formats.header = workbook_add_format(book.get());
    format_set_bold(formats.header);
    format_set_bottom(formats.header, LXW_BORDER_THIN);

    const int columns = table.columnCount();
    worksheet_set_column(sheet, 0, 0, 18, nullptr);
    worksheet_set_column(sheet, 1, static_cast<lxw_col_t>(columns - 1), 15, nullptr);

    lxw_error status = LXW_NO_ERROR;
    const auto keep = [&status](lxw_error e) {
        if (status == LXW_NO_ERROR) {
            status = e;
        }
    };
    lxw_row_t row = 0;
    keep(worksheet_write_string(sheet, row++, 0, facts.title.toUtf8().constData(), formats.bold));
    for (const auto& [label, value] : facts.items) {
        keep(worksheet_write_string(sheet, row, 0, label.toUtf8().constData(), nullptr));
        keep(writeCell(sheet, row, 1, value, formats, false));
        ++row;
    }
    ++row;
    const QStringList headers = table.headers();
    worksheet_freeze_panes(sheet, row + 1, 0);
    for (int c = 0; c < columns; ++c) {
        keep(worksheet_write_string(sheet, row, static_cast<lxw_col_t>(c),
                                    headers[c].toUtf8().constData(), formats.header));
    }
    ++row;
    for (int r = 0; r < table.rowCount() && status == LXW_NO_ERROR; ++r, ++row) {
        const bool bold = table.isTotals(r);
        for (int c = 0; c < columns; ++c) {
            keep(writeCell(sheet, row, static_cast<lxw_col_t>(c), table.cell(r, c), formats, bold));
        }
    }
    errno = 0;
    keep(book.close());
    if (status != LXW_NO_ERROR) {
        *error = workbookFailure(errno, xlsxErrorText(status), QDir::tempPath());
        releaseDescriptorsUnder(folder.path());
        return {};
    }
    QFile written(folder.filePath(u"book.xlsx"_s));
    if (!written.open(QIODevice::ReadOnly)) {
        *error = written.errorString();
        return {};
    }
    return written.readAll();
}

std::optional<QString> writeTableFile(TableFormat format, const TableSource& table,
                                      const DocumentFacts& facts, const QString& path,
                                      const QLocale& locale) {
    return saveChecked(path, [&](QIODevice& out) -> std::optional<QString> {
        QByteArray bytes;
        switch (format) {
            case TableFormat::Csv:
                bytes = csvBytes(table);
                break;
            case TableFormat::Xlsx: {
                QString error;
                bytes = xlsxBytes(table, facts, &error);
                if (!error.isEmpty()) {
                    return error;
                }
                break;
            }
            case TableFormat::Pdf: {
                QPdfWriter writer(&out);
                writer.setTitle(facts.title);
                setUpPage(writer, locale);
                return printTable(writer, table, facts, locale);
            }
        }
        out.write(bytes);
        return std::nullopt;
    });
}
