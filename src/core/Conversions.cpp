#include "core/Conversions.h"

#include "core/AutomationDate.h"
#include "core/Failure.h"

#include <QDateTime>
#include <QVarLengthArray>

#include <cmath>
#include <limits>
#include <vector>

namespace {

QLocale withoutGrouping(const QLocale& locale) {
    QLocale result = locale;
    result.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return result;
}

// Widens every 2-letter year outside quoted text to 4 letters.
QString widenYears(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            result.append(c);
            ++i;
            continue;
        }
        if (!quoted && c == u'y') {
            qsizetype run = 0;
            while (i + run < format.size() && format[i + run] == u'y') {
                ++run;
            }
            result.append(run <= 2 ? QStringLiteral("yyyy") : QString(run, u'y'));
            i += run;
            continue;
        }
        result.append(c);
        ++i;
    }
    return result;
}

// The long time format without its time-zone field.
QString timeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
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

// One field of a compiled short date format.
struct DateToken {
    enum Kind { Literal, Day, Day2, Month, Month2, Year4 } kind;
    QString literal;
};

// Texts are put together here and appended to the caller's string in one step.
using TextBuffer = QVarLengthArray<char16_t, 64>;

void appendPadded(TextBuffer& out, int value, int width) {
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 12);
    for (int i = n; i < width; ++i) {
        out.push_back(u'0');
    }
    while (n > 0) {
        out.push_back(digits[--n]);
    }
}

void appendView(TextBuffer& out, QStringView text) {
    out.append(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

void flushTo(QString& out, const TextBuffer& text) {
    out.append(QStringView(text.constData(), text.size()));
}

}  // namespace

double roundToCents(double value) {
    // Beyond this every double already has fewer than two decimals that matter.
    constexpr double limit = 4503599627370496.0 / 100.0;  // 2^52 / 100
    if (!std::isfinite(value) || std::fabs(value) >= limit) {
        return value;
    }
    const double scaled = value * 100.0;
    const double error = std::fma(value, 100.0, -scaled);  // value * 100 == scaled + error exactly
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;  // exact
    double rounded = floor;
    if (fraction >= 0.25) {
        const double aboveHalf = fraction - 0.5;  // exact
        const double sign = aboveHalf != 0 ? aboveHalf : error;
        if (sign > 0) {
            rounded = floor + 1;
        } else if (sign == 0 && std::fmod(floor, 2.0) != 0) {
            rounded = floor + 1;
        }
    }
    return rounded / 100.0;
}

struct TextFormatter::Impl {
    QLocale locale;
    QLocale numberLocale;
    QString decimalPoint;
    QString negativeSign;
    bool fastNumbers = false;
    QString dateFormat;
    QString timeFormat;
    std::vector<DateToken> dateTokens;
    bool fastDates = false;

    explicit Impl(const QLocale& l)
        : locale(l),
          numberLocale(withoutGrouping(l)),
          decimalPoint(l.decimalPoint()),
          negativeSign(l.negativeSign()),
          fastNumbers(l.zeroDigit() == QStringLiteral("0")),
          dateFormat(shortDateFormat(l)),
          timeFormat(::timeFormat(l)) {
        compileDateFormat();
    }

    void compileDateFormat() {
        fastDates = locale.zeroDigit() == QStringLiteral("0");
        QString literal;
        auto flush = [&] {
            if (!literal.isEmpty()) {
                dateTokens.push_back({DateToken::Literal, literal});
                literal.clear();
            }
        };
        bool quoted = false;
        for (qsizetype i = 0; i < dateFormat.size();) {
            const QChar c = dateFormat[i];
            if (c == u'\'') {
                if (i + 1 < dateFormat.size() && dateFormat[i + 1] == u'\'') {
                    literal.append(c);
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (quoted || (c != u'd' && c != u'M' && c != u'y')) {
                if (!quoted && c.isLetter()) {
                    fastDates = false;
                }
                literal.append(c);
                ++i;
                continue;
            }
            qsizetype run = 0;
            while (i + run < dateFormat.size() && dateFormat[i + run] == c) {
                ++run;
            }
            i += run;
            flush();
            if (c == u'd' && run <= 2) {
                dateTokens.push_back({run == 1 ? DateToken::Day : DateToken::Day2, {}});
            } else if (c == u'M' && run <= 2) {
                dateTokens.push_back({run == 1 ? DateToken::Month : DateToken::Month2, {}});
            } else if (c == u'y' && run == 4) {
                dateTokens.push_back({DateToken::Year4, {}});
            } else {
                fastDates = false;  // names of days or months: leave them to QLocale
            }
        }
        flush();
    }

    bool appendFastNumber(QString& out, double value) const {
        if (!fastNumbers || !(std::fabs(value) < 1e13)) {
            return false;
        }
        const long long cents = std::llround(value * 100.0);
        if (static_cast<double>(cents) / 100.0 != value) {
            return false;
        }
        if (cents == 0) {
            out.append(u'0');
            return true;
        }
        unsigned long long magnitude = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents)
                                                 : static_cast<unsigned long long>(cents);
        char16_t digits[24];
        int n = 0;
        while (magnitude > 0) {
            digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
            magnitude /= 10;
        }
        // digits[0] is the hundredths, digits[1] the tenths.
        int firstKept = 0;
        while (firstKept < 2 && digits[firstKept] == u'0') {
            ++firstKept;
        }
        TextBuffer text;
        if (cents < 0) {
            appendView(text, negativeSign);
        }
        if (n <= 2) {
            text.push_back(u'0');
        } else {
            for (int i = n - 1; i >= 2; --i) {
                text.push_back(digits[i]);
            }
        }
        if (firstKept < 2) {
            appendView(text, decimalPoint);
            for (int i = 1; i >= firstKept; --i) {
                text.push_back(i < n ? digits[i] : u'0');
            }
        }
        flushTo(out, text);
        return true;
    }

    void appendNumber(QString& out, double value) const {
        if (value == 0) {
            out.append(u'0');
            return;
        }
        if (appendFastNumber(out, value)) {
            return;
        }
        out.append(numberLocale.toString(value, 'g', 15));
    }

    void appendDatePart(TextBuffer& out, const AutomationDate::Fields& date) const {
        for (const DateToken& token : dateTokens) {
            switch (token.kind) {
                case DateToken::Literal:
                    appendView(out, token.literal);
                    break;
                case DateToken::Day:
                    appendPadded(out, date.day, 1);
                    break;
                case DateToken::Day2:
                    appendPadded(out, date.day, 2);
                    break;
                case DateToken::Month:
                    appendPadded(out, date.month, 1);
                    break;
                case DateToken::Month2:
                    appendPadded(out, date.month, 2);
                    break;
                case DateToken::Year4:
                    appendPadded(out, date.year, 4);
                    break;
            }
        }
    }

    void appendDate(QString& out, double value) const {
        const std::optional<AutomationDate::Fields> fields = AutomationDate::toFields(value);
        if (!fields) {
            return;
        }
        const bool zeroDay = std::trunc(value) == 0;
        const bool midnight = fields->secondOfDay == 0;
        if (!zeroDay) {
            if (fastDates) {
                TextBuffer text;
                appendDatePart(text, *fields);
                flushTo(out, text);
            } else {
                out.append(locale.toString(AutomationDate::toDate(value), dateFormat));
            }
            if (midnight) {
                return;
            }
            out.append(u' ');
        }
        out.append(locale.toString(QTime::fromMSecsSinceStartOfDay(fields->secondOfDay * 1000),
                                   timeFormat));
    }
};

TextFormatter::TextFormatter(const QLocale& locale) : m_impl(std::make_unique<Impl>(locale)) {}
TextFormatter::~TextFormatter() = default;

void TextFormatter::appendNumber(QString& out, double value) const {
    m_impl->appendNumber(out, value);
}
void TextFormatter::appendDate(QString& out, double date) const {
    m_impl->appendDate(out, date);
}

QString TextFormatter::number(double value) const {
    QString out;
    m_impl->appendNumber(out, value);
    return out;
}

QString TextFormatter::date(double date) const {
    QString out;
    m_impl->appendDate(out, date);
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
