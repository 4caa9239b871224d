#include "cli/Args.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace Qt::StringLiterals;

namespace cli {

std::optional<double> parseDecimal(QStringView text) {
    static const QRegularExpression pattern(u"^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"_s);
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);  // QStringView::toDouble reads the C locale
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<planner::Cents> parseCents(QStringView text) {
    static const QRegularExpression pattern(u"^([+-]?)(\\d{1,16})(?:\\.(\\d{0,2}))?$"_s);
    const auto match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    planner::Cents cents = match.capturedView(2).toLongLong() * 100;
    const QString fraction = match.captured(3).leftJustified(2, u'0');
    cents += fraction.toLongLong();
    return match.capturedView(1) == u"-" ? -cents : cents;
}

std::optional<int> parseInteger(QStringView text) {
    static const QRegularExpression pattern(u"^[+-]?\\d{1,9}$"_s);
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    return text.toInt();
}

std::optional<QDate> parseIsoDate(QStringView text) {
    static const QRegularExpression pattern(u"^\\d{4}-\\d{2}-\\d{2}$"_s);
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    const QDate date = QDate::fromString(text.toString(), Qt::ISODate);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}


}  // namespace cli
