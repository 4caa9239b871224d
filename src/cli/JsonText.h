#pragma once

#include "output/Csv.h"

#include <QByteArray>
#include <QDate>

#include <cstdint>

// JSON written straight into bytes: amounts as numbers with exactly two decimals (1610.46),
// dates as "YYYY-MM-DD" strings. Keys and values here never need escaping.
namespace cli::json {

inline void key(QByteArray& out, const char* name) {
    out += '"';
    out += name;
    out += "\":";
}

inline void amount(QByteArray& out, const char* name, std::int64_t cents) {
    key(out, name);
    out += csv::amount(cents).toLatin1();
}

inline void integer(QByteArray& out, const char* name, long long value) {
    key(out, name);
    out += QByteArray::number(value);
}

inline void date(QByteArray& out, const char* name, const QDate& value) {
    key(out, name);
    if (value.isValid()) {
        out += '"' + value.toString(Qt::ISODate).toLatin1() + '"';
    } else {
        out += "null";
    }
}

}  // namespace cli::json
