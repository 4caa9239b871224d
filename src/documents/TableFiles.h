#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

class TableSource;
struct DocumentFacts;

// The formats of Save As, chosen by filter or by the typed name's extension.
enum class TableFormat { Csv, Xlsx, Pdf };

// The format a file name's extension names (.csv, .xlsx, .pdf, any case), if any.
std::optional<TableFormat> formatOfName(const QString& path);
QString suffixOf(TableFormat format);  // "csv", "xlsx", "pdf"

// A workbook: the title and the facts above, the header row, the rows; numbers as numbers with
// two decimals, dates as dates in the short date form of the reader's locale, totals bold.
// Returns an empty array and sets *error when the workbook cannot be made.
QByteArray xlsxBytes(const TableSource& table, const DocumentFacts& facts, QString* error);

// Writes the table to a file in the given format, replacing the file only once every byte is
// written. Returns the reason when it fails, nothing when it succeeds.
std::optional<QString> writeTableFile(TableFormat format, const TableSource& table,
                                      const DocumentFacts& facts, const QString& path,
                                      const QLocale& locale = QLocale());
