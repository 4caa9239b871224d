#include "output/TableText.h"

#include "core/Conversions.h"
#include "output/TableSource.h"

using namespace Qt::StringLiterals;

CellTexts::CellTexts(const QLocale& locale)
    : m_locale(locale), m_dateFormat(shortDateFormat(locale)) {}

QString CellTexts::operator()(const TableCell& cell) const {
    switch (cell.kind) {
        case TableCell::Kind::Empty:
            return {};
        case TableCell::Kind::Integer:
            return QString::number(cell.value);
        case TableCell::Kind::Cents:
            return amountText(cell.value, m_locale);
        case TableCell::Kind::Date:
            return m_locale.toString(cell.toDate(), m_dateFormat);
        case TableCell::Kind::Text:
            return cell.text;
    }
    return {};
}

QString tabSeparatedText(const TableSource& table, const QLocale& locale) {
    const CellTexts texts(locale);
    const int columns = table.columnCount();
    QString out = table.headers().join(u'\t') + u"\r\n"_s;
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) {
                out += u'\t';
            }
            out += texts(table.cell(r, c));
        }
        out += u"\r\n"_s;
    }
    return out;
}
