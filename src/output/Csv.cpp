#include "output/Csv.h"

#include "core/Conversions.h"
#include "output/TableSource.h"

using namespace Qt::StringLiterals;

namespace csv {

QString field(QStringView text) {
    const bool quote =
        text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!quote) {
        return text.toString();
    }
    QString quoted = text.toString();
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

void appendRecord(QByteArray& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += field(fields[i]).toUtf8();
    }
    out += "\r\n";
}

QString amount(std::int64_t cents) {
    return plainCentsText(cents);
}

QString isoDate(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

}  // namespace csv

namespace {

QString csvField(const TableCell& cell) {
    switch (cell.kind) {
        case TableCell::Kind::Empty:
            return {};
        case TableCell::Kind::Integer:
            return QString::number(cell.value);
        case TableCell::Kind::Cents:
            return csv::amount(cell.value);
        case TableCell::Kind::Date:
            return csv::isoDate(cell.toDate());
        case TableCell::Kind::Text:
            return cell.text;
    }
    return {};
}

}  // namespace

QByteArray csvBytes(const TableSource& table) {
    QByteArray out;
    const int columns = table.columnCount();
    out.reserve(64 * (table.rowCount() + 1));
    csv::appendRecord(out, table.headers());
    QStringList fields;
    for (int r = 0; r < table.rowCount(); ++r) {
        fields.clear();
        for (int c = 0; c < columns; ++c) {
            fields.append(csvField(table.cell(r, c)));
        }
        csv::appendRecord(out, fields);
    }
    return out;
}
