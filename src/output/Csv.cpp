#include "output/Csv.h"

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
    const bool negative = cents < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                    : static_cast<unsigned long long>(cents);
    QString text = QString::number(magnitude / 100) + u'.' +
                   QString::number(magnitude % 100).rightJustified(2, u'0');
    return negative ? u'-' + text : text;
}

QString isoDate(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

}  // namespace csv
