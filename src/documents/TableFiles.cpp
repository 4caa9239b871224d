#include "documents/TableFiles.h"

#include "documents/TablePrint.h"
#include "documents/Workbook.h"
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

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

// Serial day numbers of a workbook count from 30 December 1899.
constexpr qint64 serialEpoch = 2415019;  // QDate(1899, 12, 30).toJulianDay()

void writeCell(Workbook& book, int row, int column, const TableCell& cell, bool bold) {
    const Workbook::Style style = bold ? Workbook::Style::Bold : Workbook::Style::Plain;
    switch (cell.kind) {
        case TableCell::Kind::Empty:
            if (bold) {
                book.blank(row, column, style);
            }
            return;
        case TableCell::Kind::Integer:
            book.number(row, column, static_cast<double>(cell.value), style);
            return;
        case TableCell::Kind::Cents:
            book.amount(row, column, cell.amount(), style);
            return;
        case TableCell::Kind::Date:
            book.date(row, column, static_cast<double>(cell.value - serialEpoch));
            return;
        case TableCell::Kind::Text:
            book.text(row, column, cell.text, style);
            return;
    }
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
    const QTemporaryDir folder(
        QDir(QDir::tempPath()).filePath(QString::fromLatin1(workbookFolderPattern)));
    if (!folder.isValid()) {
        *error = workbookFailure(errno, folder.errorString(), QDir::tempPath());
        return {};
    }
    Workbook book(folder.filePath(u"book.xlsx"_s), folder.path());
    if (!book.ok()) {
        *error = workbookFailure(errno, u"The workbook could not be created."_s, folder.path());
        return {};
    }
    const int columns = table.columnCount();
    book.setWidth(0, 0, 18);
    book.setWidth(1, columns - 1, 15);

    int row = 0;
    book.text(row++, 0, facts.title, Workbook::Style::Bold);
    for (const auto& [label, value] : facts.items) {
        book.text(row, 0, label);
        writeCell(book, row, 1, value, false);
        ++row;
    }
    ++row;
    const QStringList headers = table.headers();
    book.freezeAbove(row + 1);
    for (int c = 0; c < columns; ++c) {
        book.text(row, c, headers[c], Workbook::Style::Header);
    }
    ++row;
    for (int r = 0; r < table.rowCount() && book.ok(); ++r, ++row) {
        const bool bold = table.isTotals(r);
        for (int c = 0; c < columns; ++c) {
            writeCell(book, row, c, table.cell(r, c), bold);
        }
    }
    if (const auto failed = book.close()) {
        *error = workbookFailure(book.systemError(), *failed, QDir::tempPath());
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
