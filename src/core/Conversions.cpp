#include "core/Conversions.h"

#include "core/AutomationDate.h"
#include "core/DateFormat.h"
#include "core/Failure.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QLocale withoutGrouping(const QLocale& locale) {
    QLocale result = locale;
    result.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return result;
}

// Widens every 2-letter year field to 4 letters; everything else stays as written.
QString widenYears(const QString& format) {
    QString result;
    for (const DateFormatToken& token : tokenizeDateFormat(format)) {
        if (token.field == u'y' && token.count <= 2) {
            result.append(u"yyyy");
        } else {
            result.append(token.source);
        }
    }
    return result;
}

// The long time format without its time-zone field.
QString timeFormat(const QLocale& locale) {
    QString format;
    for (const DateFormatToken& token :
         tokenizeDateFormat(locale.timeFormat(QLocale::LongFormat))) {
        if (token.field != u't') {
            format.append(token.source);
        }
    }
    return format.trimmed();
}

bool isBlank(QChar c) {
    return c.isSpace();
}

QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// "00" to "99", two units each.
constexpr std::array<char16_t, 200> digitPairs = [] {
    std::array<char16_t, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char16_t>(u'0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char16_t>(u'0' + i % 10);
    }
    return pairs;
}();

// Writes the two digits of a value below 100 at out.
inline void putPair(char16_t* out, unsigned value) {
    std::memcpy(out, &digitPairs[static_cast<std::size_t>(value) * 2], 2 * sizeof(char16_t));
}

template <typename Unsigned>
char16_t* writePairs(char16_t* out, Unsigned& value) {
    while (value >= 100) {
        const auto pair = value % 100;
        value /= 100;
        out -= 2;
        putPair(out, static_cast<unsigned>(pair));
    }
    return out;
}

// Writes the decimal digits of value, at least minWidth of them, so that they end just before
// end; returns where they begin.
char16_t* writeDigits(char16_t* end, std::uint64_t value, int minWidth = 1) {
    char16_t* out = end;
    // Amounts below 2^32 take the cheaper 32-bit division.
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        out = writePairs(out, value);
    }
    auto small = static_cast<std::uint32_t>(value);
    out = writePairs(out, small);
    if (small >= 10) {
        out -= 2;
        putPair(out, small);
    } else {
        *--out = static_cast<char16_t>(u'0' + small);
    }
    while (end - out < minWidth) {
        *--out = u'0';
    }
    return out;
}

int digitCount(std::uint64_t value) {
    int count = 1;
    for (; value >= 10000; value /= 10000) {
        count += 4;
    }
    return count + (value >= 10) + (value >= 100) + (value >= 1000);
}

// Copies text so that it ends just before end; returns where it begins.
char16_t* copyBackwards(char16_t* end, QStringView text) {
    char16_t* begin = end - text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        begin[i] = text[i].unicode();
    }
    return begin;
}

// The digits of value, at least width of them, written in place.
void appendDigits(TextBuffer& out, std::uint64_t value, int width) {
    // A date's day, month and four-digit year, without counting digits.
    if (value < 100 && width <= 2) {
        if (value >= 10 || width == 2) {
            putPair(out.extend(2), static_cast<unsigned>(value));
        } else {
            out.push_back(static_cast<char16_t>(u'0' + value));
        }
        return;
    }
    if (value >= 1000 && value < 10000 && width <= 4) {
        char16_t* at = out.extend(4);
        putPair(at, static_cast<unsigned>(value / 100));
        putPair(at + 2, static_cast<unsigned>(value % 100));
        return;
    }
    const qsizetype length = std::max(digitCount(value), width);
    writeDigits(out.extend(length) + length, value, width);
}

void appendView(TextBuffer& out, QStringView text) {
    if (text.size() == 1) {
        out.push_back(text.front().unicode());
    } else {
        out.append(text);
    }
}

void appendString(QString& out, const TextBuffer& text) {
    out.append(QStringView(text.constData(), text.size()));
}

// One field of a compiled short date format.
struct DateField {
    enum Kind : std::uint8_t { Literal, Day, Weekday, Month, MonthName, Year } kind;
    int width = 1;                   // the least number of digits
    const QString* names = nullptr;  // month or weekday names
    QString literal;
};

}  // namespace

double roundToCents(double value) {
    std::int64_t cents = 0;
    return toWholeCents(value, cents) ? static_cast<double>(cents) / 100.0 : value;
}

bool toWholeCents(double value, std::int64_t& cents) {
    // Beyond this every double already has fewer than two decimals that matter.
    constexpr double limit = 4503599627370496.0 / 100.0;  // 2^52 / 100
    if (!std::isfinite(value) || std::fabs(value) >= limit) {
        return false;
    }
    const double scaled = value * 100.0;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;  // exact
    double rounded = floor;
    if (fraction >= 0.25) {
        const double aboveHalf = fraction - 0.5;  // exact
        // Only a product that rounded onto the half needs its rounding error (value * 100 ==
        // scaled + error exactly); fma is slow where the processor lacks it.
        const double sign = aboveHalf != 0 ? aboveHalf : std::fma(value, 100.0, -scaled);
        if (sign > 0) {
            rounded = floor + 1;
        } else if (sign == 0 && (static_cast<long long>(floor) & 1) != 0) {
            rounded = floor + 1;
        }
    }
    cents = static_cast<std::int64_t>(rounded);
    return true;
}

struct TextFormatter::Impl {
    QLocale locale;
    QLocale numberLocale;
    QString decimalPoint;
    QString negativeSign;
    bool asciiDigits = false;
    QString dateFormat;
    QString timeFormat;
    std::vector<DateField> dateFields;
    std::array<QString, 12> shortMonths;
    std::array<QString, 12> longMonths;
    std::array<QString, 7> shortDays;  // Monday first
    std::array<QString, 7> longDays;
    bool fastDates = false;

    explicit Impl(const QLocale& l)
        : locale(l),
          numberLocale(withoutGrouping(l)),
          decimalPoint(l.decimalPoint()),
          negativeSign(l.negativeSign()),
          asciiDigits(l.zeroDigit() == QStringLiteral("0")),
          dateFormat(shortDateFormat(l)),
          timeFormat(::timeFormat(l)) {
        compileDateFormat();
    }

    // Names are taken from QLocale itself in a format of the same shape, so that they read as
    // QLocale would write them.
    void loadNames(const QString& sample, std::array<QString, 12>& months, int monthLetters,
                   std::array<QString, 7>& days, int dayLetters) {
        const bool withDay = sample.contains(u'd');
        for (int m = 1; m <= 12; ++m) {
            const QString pattern = (withDay ? u"d "_s : QString()) + QString(monthLetters, u'M');
            QString text = locale.toString(QDate(2001, m, 1), pattern);
            months[static_cast<std::size_t>(m - 1)] = withDay ? text.sliced(2) : text;
        }
        for (int d = 0; d < 7; ++d) {
            // 1 January 2001 was a Monday.
            days[static_cast<std::size_t>(d)] =
                locale.toString(QDate(2001, 1, 1 + d), QString(dayLetters, u'd'));
        }
    }

    void compileDateFormat() {
        fastDates = asciiDigits;
        for (const DateFormatToken& token : tokenizeDateFormat(dateFormat)) {
            DateField field{DateField::Literal, 1, nullptr, token.literal};
            switch (token.field) {
                case 0:
                    break;
                case u'd':
                    if (token.count <= 2) {
                        field = {DateField::Day, token.count, nullptr, {}};
                    } else if (token.count <= 4) {
                        field = {DateField::Weekday,
                                 1,
                                 token.count == 3 ? shortDays.data() : longDays.data(),
                                 {}};
                    } else {
                        fastDates = false;
                    }
                    break;
                case u'M':
                    if (token.count <= 2) {
                        field = {DateField::Month, token.count, nullptr, {}};
                    } else if (token.count <= 4) {
                        field = {DateField::MonthName,
                                 1,
                                 token.count == 3 ? shortMonths.data() : longMonths.data(),
                                 {}};
                    } else {
                        fastDates = false;
                    }
                    break;
                case u'y':
                    if (token.count == 4) {
                        field = {DateField::Year, 4, nullptr, {}};
                    } else {
                        fastDates = false;
                    }
                    break;
                default:
                    fastDates = false;  // time fields and other letters: leave them to QLocale
                    break;
            }
            dateFields.push_back(std::move(field));
        }
        if (fastDates) {
            loadNames(dateFormat, shortMonths, 3, shortDays, 3);
            loadNames(dateFormat, longMonths, 4, longDays, 4);
        }
    }

    void appendCents(TextBuffer& out, std::int64_t cents) const {
        const bool negative = cents < 0;
        const std::uint64_t magnitude =
            negative ? 0ULL - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
        const std::uint64_t whole = magnitude / 100;
        const auto fraction = static_cast<unsigned>(magnitude % 100);
        const int fractionDigits = fraction == 0 ? 0 : fraction % 10 == 0 ? 1 : 2;
        const qsizetype length = (negative ? negativeSign.size() : 0) + digitCount(whole) +
                                 (fractionDigits == 0 ? 0 : decimalPoint.size() + fractionDigits);
        // Written in place, back to front.
        char16_t* p = out.extend(length) + length;
        if (fractionDigits == 2) {
            *--p = static_cast<char16_t>(u'0' + fraction % 10);
        }
        if (fractionDigits != 0) {
            *--p = static_cast<char16_t>(u'0' + fraction / 10);
            p = copyBackwards(p, decimalPoint);
        }
        p = writeDigits(p, whole);
        if (negative) {
            copyBackwards(p, negativeSign);
        }
    }

    void appendNumber(TextBuffer& out, double value) const {
        if (value == 0) {
            out.push_back(u'0');
            return;
        }
        // Whole cents below 1e13 have at most 15 significant digits: the fast path writes
        // exactly what the 15-digit form would.
        if (asciiDigits && std::fabs(value) < 1e13) {
            // Adding and taking away 1.5 * 2^52 rounds to a whole number.
            constexpr double shift = 6755399441055744.0;
            const double nearest = (value * 100.0 + shift) - shift;
            if (nearest / 100.0 == value) {
                appendCents(out, static_cast<std::int64_t>(nearest));
                return;
            }
        }
        appendView(out, numberLocale.toString(value, 'g', 15));
    }

    void appendDatePart(TextBuffer& out, long long serial,
                        const AutomationDate::Fields& date) const {
        for (const DateField& field : dateFields) {
            switch (field.kind) {
                case DateField::Literal:
                    appendView(out, field.literal);
                    continue;
                case DateField::Day:
                    appendDigits(out, static_cast<unsigned>(date.day), field.width);
                    continue;
                case DateField::Month:
                    appendDigits(out, static_cast<unsigned>(date.month), field.width);
                    continue;
                case DateField::Year:
                    appendDigits(out, static_cast<unsigned>(date.year), field.width);
                    continue;
                case DateField::MonthName:
                    appendView(out, field.names[date.month - 1]);
                    continue;
                case DateField::Weekday: {
                    // Serial day 2 (1 January 1900) was a Monday.
                    const long long monday = ((serial - 2) % 7 + 7) % 7;
                    appendView(out, field.names[monday]);
                    continue;
                }
            }
        }
    }

    // The length of what appendDatePart writes.
    qsizetype datePartLength(long long serial, const AutomationDate::Fields& date) const {
        qsizetype length = 0;
        for (const DateField& field : dateFields) {
            switch (field.kind) {
                case DateField::Literal:
                    length += field.literal.size();
                    break;
                case DateField::Day:
                    length += std::max(digitCount(static_cast<unsigned>(date.day)), field.width);
                    break;
                case DateField::Month:
                    length += std::max(digitCount(static_cast<unsigned>(date.month)), field.width);
                    break;
                case DateField::Year:
                    length += std::max(digitCount(static_cast<unsigned>(date.year)), field.width);
                    break;
                case DateField::MonthName:
                    length += field.names[date.month - 1].size();
                    break;
                case DateField::Weekday:
                    length += field.names[((serial - 2) % 7 + 7) % 7].size();
                    break;
            }
        }
        return length;
    }

    qsizetype centsLength(std::int64_t cents) const {
        const std::uint64_t magnitude = cents < 0 ? 0ULL - static_cast<std::uint64_t>(cents)
                                                  : static_cast<std::uint64_t>(cents);
        const auto fraction = static_cast<unsigned>(magnitude % 100);
        return (cents < 0 ? negativeSign.size() : 0) + digitCount(magnitude / 100) +
               (fraction == 0 ? 0 : decimalPoint.size() + (fraction % 10 == 0 ? 1 : 2));
    }

    void appendDate(TextBuffer& out, double value) const {
        const std::optional<AutomationDate::Fields> fields = AutomationDate::toFields(value);
        if (!fields) {
            return;
        }
        const double day = std::trunc(value);
        const bool midnight = fields->secondOfDay == 0;
        if (day != 0) {
            if (fastDates) {
                appendDatePart(out, static_cast<long long>(day), *fields);
            } else {
                appendView(out, locale.toString(AutomationDate::toDate(value), dateFormat));
            }
            if (midnight) {
                return;
            }
            out.push_back(u' ');
        }
        appendView(out, locale.toString(QTime::fromMSecsSinceStartOfDay(fields->secondOfDay * 1000),
                                        timeFormat));
    }
};

TextFormatter::TextFormatter(const QLocale& locale) : m_impl(std::make_unique<Impl>(locale)) {}
TextFormatter::~TextFormatter() = default;

const QLocale& TextFormatter::locale() const {
    return m_impl->locale;
}

void TextFormatter::appendCents(TextBuffer& out, std::int64_t cents) const {
    if (m_impl->asciiDigits) {
        m_impl->appendCents(out, cents);
    } else {
        m_impl->appendNumber(out, static_cast<double>(cents) / 100.0);
    }
}

void TextFormatter::appendAmount(TextBuffer& out, double value) const {
    std::int64_t cents = 0;
    // Below 1e13 the cents are what the 15-digit form of roundToCents(value) shows.
    constexpr std::int64_t fastLimit = 1000000000000000;
    if (m_impl->asciiDigits && toWholeCents(value, cents) && cents < fastLimit &&
        cents > -fastLimit) {
        m_impl->appendCents(out, cents);
    } else {
        m_impl->appendNumber(out, roundToCents(value));
    }
}

qsizetype TextFormatter::amountLength(double value) const {
    std::int64_t cents = 0;
    constexpr std::int64_t fastLimit = 1000000000000000;
    if (m_impl->asciiDigits && toWholeCents(value, cents) && cents < fastLimit &&
        cents > -fastLimit) {
        return m_impl->centsLength(cents);
    }
    TextBuffer text;
    appendAmount(text, value);
    return text.size();
}

qsizetype TextFormatter::dateLength(double date) const {
    const std::optional<AutomationDate::Fields> fields = AutomationDate::toFields(date);
    const double day = std::trunc(date);
    if (fields && m_impl->fastDates && day != 0 && fields->secondOfDay == 0) {
        return m_impl->datePartLength(static_cast<long long>(day), *fields);
    }
    TextBuffer text;
    appendDate(text, date);
    return text.size();
}

void TextFormatter::appendNumber(TextBuffer& out, double value) const {
    m_impl->appendNumber(out, value);
}

void TextFormatter::appendDate(TextBuffer& out, double date) const {
    m_impl->appendDate(out, date);
}

void TextFormatter::appendNumber(QString& out, double value) const {
    TextBuffer text;
    m_impl->appendNumber(text, value);
    appendString(out, text);
}

void TextFormatter::appendDate(QString& out, double date) const {
    TextBuffer text;
    m_impl->appendDate(text, date);
    appendString(out, text);
}

QString TextFormatter::number(double value) const {
    QString out;
    appendNumber(out, value);
    return out;
}

QString TextFormatter::date(double date) const {
    QString out;
    appendDate(out, date);
    return out;
}

QString numberToText(double value, const QLocale& locale) {
    return TextFormatter(locale).number(value);
}

QString dateToText(double date, const QLocale& locale) {
    return TextFormatter(locale).date(date);
}

QString shortDateFormat(const QLocale& locale) {
    return widenYears(locale.dateFormat(QLocale::ShortFormat));
}

std::optional<double> parseNumber(QStringView text, const QLocale& locale) {
    const QStringView trimmed = trimBlanks(text);
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = locale.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool isNumeric(QStringView text, const QLocale& locale) {
    return parseNumber(text, locale).has_value();
}

double textToDouble(QStringView text, const QLocale& locale) {
    const auto value = parseNumber(text, locale);
    if (!value) {
        throw Failure::platform(PlatformFailure::TypeMismatch);
    }
    return *value;
}

std::int16_t textToInteger16(QStringView text, const QLocale& locale) {
    const double value = textToDouble(text, locale);
    const double rounded = std::nearbyint(value);  // the default mode rounds ties to even
    if (rounded < -32768.0 || rounded > 32767.0) {
        throw Failure::platform(PlatformFailure::Overflow);
    }
    return static_cast<std::int16_t>(rounded);
}

std::optional<double> parseDate(QStringView text, const QLocale& locale) {
    const QString trimmed = trimBlanks(text).toString();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    const QString original = locale.dateFormat(QLocale::ShortFormat);
    const QString widened = widenYears(original);
    const QString timeFormats[] = {timeFormat(locale), locale.timeFormat(QLocale::ShortFormat)};
    auto read = [&](const QString& dateFormat) -> QDateTime {
        const QDate date = locale.toDate(trimmed, dateFormat);
        if (date.isValid()) {
            return QDateTime(date, QTime(0, 0));
        }
        for (const QString& time : timeFormats) {
            const QDateTime value = locale.toDateTime(trimmed, dateFormat + u' ' + time);
            if (value.isValid()) {
                return value;
            }
        }
        return {};
    };
    QDateTime value = read(widened);
    if (!value.isValid() && widened != original) {
        value = read(original);
        // Qt reads a 2-digit year as 19xx; the program's window is 1930..2029.
        if (value.isValid() && value.date().year() < 1930) {
            value = QDateTime(value.date().addYears(100), value.time());
        }
    }
    if (!value.isValid() || value.date().year() < 100 || value.date().year() > 9999) {
        return std::nullopt;
    }
    return AutomationDate::fromDateTime(value);
}

QString amountText(std::int64_t cents, const QLocale& locale) {
    const bool negative = cents < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                    : static_cast<unsigned long long>(cents);
    QString fraction = locale.toString(static_cast<qulonglong>(magnitude % 100));
    if (magnitude % 100 < 10) {
        fraction.prepend(locale.zeroDigit());
    }
    const QString text = locale.toString(static_cast<qulonglong>(magnitude / 100)) +
                         locale.decimalPoint() + fraction;
    return negative ? locale.negativeSign() + text : text;
}

QString percentageText(double percent, const QLocale& locale, int decimals) {
    return locale.toString(percent, 'f', decimals) + QStringLiteral(" %");
}

QString rateText(double percent, const QLocale& locale, int maxDecimals, int minDecimals) {
    QString text = locale.toString(percent, 'f', maxDecimals);
    const QString point = locale.decimalPoint();
    const QString zero = locale.zeroDigit();
    // Every digit after the point is one character in the locales with a point.
    const qsizetype pointAt = text.lastIndexOf(point);
    if (pointAt >= 0) {
        const qsizetype keep = pointAt + point.size() + minDecimals;
        while (text.size() > keep && text.endsWith(zero)) {
            text.chop(zero.size());
        }
        if (text.endsWith(point)) {
            text.chop(point.size());
        }
    }
    return text + QStringLiteral(" %");
}

QString shortDateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, shortDateFormat(locale));
}

QString plainCentsText(std::int64_t cents) {
    const bool negative = cents < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                    : static_cast<unsigned long long>(cents);
    QString text = QString::number(magnitude / 100) + u'.' +
                   QString::number(magnitude % 100).rightJustified(2, u'0');
    return negative ? u'-' + text : text;
}
