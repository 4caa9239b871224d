#include "output/Csv.h"

#include "core/Conversions.h"

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
