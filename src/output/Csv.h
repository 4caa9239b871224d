#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

class TableSource;

// RFC 4180 text for other programs to read back exactly: comma separated, CR LF line ends,
// UTF-8 without BOM, amounts in the C locale with exactly two decimals and no grouping, dates
// as YYYY-MM-DD.
namespace csv {

// The field, quoted when it holds a comma, a quote, CR or LF (quotes doubled).
QString field(QStringView text);
// One record: the fields quoted as needed, joined by commas, CR LF appended, as UTF-8.
void appendRecord(QByteArray& out, const QStringList& fields);

QString amount(std::int64_t cents);  // 7921.50, -0.05, 0.00
QString isoDate(const QDate& date);  // 2026-01-31; empty for an invalid date

}  // namespace csv

// RFC 4180: the header row, then one record per row; integers plain, amounts with a dot and two
// decimals, dates YYYY-MM-DD; UTF-8 without BOM, CR LF.
QByteArray csvBytes(const TableSource& table);
