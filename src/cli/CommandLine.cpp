#include "cli/CommandLine.h"

#include "core/Conversions.h"

#include <QRegularExpression>

#include <cmath>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

QString bare(const QString& spelling) {
    return spelling.mid(spelling.startsWith(u"--"_s) ? 2 : 1);
}

QString listed(const QStringList& choices) {
    return choices.size() < 2
               ? choices.join(QString())
               : choices.mid(0, choices.size() - 1).join(u", "_s) + u" or "_s + choices.last();
}

}  // namespace

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

QDate readIsoDate(QStringView text, const QString& name) {
    static const QRegularExpression pattern(u"^(\\d{4})-(\\d{2})-(\\d{2})$"_s);
    const auto match = pattern.match(text.toString());
    if (!match.hasMatch()) {
        throw UsageError(u"%1 must be a date as YYYY-MM-DD, not '%2'"_s.arg(name, text));
    }
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!date.isValid()) {
        throw UsageError(u"%1: the date %2 does not exist"_s.arg(name, text));
    }
    return date;
}

std::optional<planner::Cents> parseCents(QStringView text) {
    static const QRegularExpression pattern(u"^([+-]?)(\\d{1,16})(?:\\.(\\d{0,2}))?$"_s);
    const auto match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    planner::Cents cents = match.capturedView(2).toLongLong() * 100;
    cents += match.captured(3).leftJustified(2, u'0').toLongLong();
    return match.capturedView(1) == u"-" ? -cents : cents;
}

std::optional<int> parseInteger(QStringView text) {
    static const QRegularExpression pattern(u"^[+-]?\\d{1,9}$"_s);
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    return text.toInt();
}

CommandLine::CommandLine(QString usage, const std::vector<std::vector<Option>>& tables)
    : m_usage(std::move(usage)) {
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    m_parser.addOption(QCommandLineOption({u"h"_s, u"help"_s}, u"Show this help."_s));
    for (const auto& table : tables) {
        for (const Option& option : table) {
            QStringList names{bare(option.name)};
            if (!option.shortName.isEmpty()) {
                names.prepend(bare(option.shortName));
            }
            m_parser.addOption(QCommandLineOption(names, option.description, option.valueName));
            m_options.push_back(option);
        }
    }
}

void CommandLine::parse(const QStringList& args) {
    if (!m_parser.parse(QStringList{u"ravenmoor-cli"_s} + args)) {
        const QStringList unknown = m_parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            throw UsageError(
                u"unknown option '%1%2'"_s.arg(name.size() > 1 ? u"--"_s : u"-"_s, name));
        }
        // A value option given last: the parser takes any following argument as its value.
        if (!args.isEmpty() && args.last().startsWith(u'-') && defines(args.last())) {
            throw UsageError(u"%1 needs a value"_s.arg(args.last()));
        }
        throw UsageError(m_parser.errorText());
    }
    if (const QStringList stray = m_parser.positionalArguments(); !stray.isEmpty()) {
        throw UsageError(u"unexpected argument '%1'"_s.arg(stray.first()));
    }
    for (const Option& option : m_options) {
        if (!option.repeatable && m_parser.values(bare(option.name)).size() > 1) {
            throw UsageError(u"%1 is given more than once"_s.arg(option.name));
        }
    }
}

bool CommandLine::parseShowsHelp(const QStringList& args, QIODevice& out) {
    parse(args);
    if (!helpWanted()) {
        return false;
    }
    out.write(helpText().toUtf8());
    return true;
}

bool CommandLine::helpWanted() const {
    return m_parser.isSet(u"help"_s);
}

QString CommandLine::helpText() const {
    // The parser's own text begins with a usage line naming the executable as started.
    const QString generated = m_parser.helpText();
    return m_usage + generated.mid(generated.indexOf(u"\nOptions:"_s));
}

bool CommandLine::defines(const QString& spelling) const {
    for (const Option& option : m_options) {
        if (option.name == spelling || option.shortName == spelling) {
            return true;
        }
    }
    return false;
}

bool CommandLine::has(const QString& name) const {
    return defines(name) && m_parser.isSet(bare(name));
}

QString CommandLine::value(const QString& name) const {
    if (!has(name)) {
        throw UsageError(u"%1 is required"_s.arg(name));
    }
    return m_parser.value(bare(name));
}

QString CommandLine::valueOr(const QString& name, const QString& fallback) const {
    return has(name) ? m_parser.value(bare(name)) : fallback;
}

QStringList CommandLine::values(const QString& name) const {
    return defines(name) ? m_parser.values(bare(name)) : QStringList();
}

std::optional<planner::Cents> CommandLine::cents(const QString& name) const {
    if (!has(name)) {
        return std::nullopt;
    }
    const QString text = value(name);
    const auto cents = parseCents(text);
    if (!cents) {
        throw UsageError(
            u"%1 must be an amount such as 300000 or 2500.50, not '%2'"_s.arg(name, text));
    }
    return cents;
}

std::optional<planner::Cents> CommandLine::cents(const QString& name, planner::Cents min,
                                                 planner::Cents max) const {
    const QString text = valueOr(name, QString());
    const auto cents = has(name) ? parseCents(text) : std::nullopt;
    if (has(name) && (!cents || *cents < min || *cents > max)) {
        throw UsageError(u"%1 must be an amount from %2 to %3, not '%4'"_s.arg(
            name, plainCentsText(min), plainCentsText(max), text));
    }
    return cents;
}

std::optional<int> CommandLine::integer(const QString& name) const {
    return integer(name, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

std::optional<int> CommandLine::integer(const QString& name, int min, int max) const {
    if (!has(name)) {
        return std::nullopt;
    }
    const QString text = value(name);
    const auto number = parseInteger(text);
    if (!number || *number < min || *number > max) {
        const bool bounded = min != std::numeric_limits<int>::min();
        throw UsageError(bounded ? u"%1 must be a whole number from %2 to %3, not '%4'"_s.arg(name)
                                       .arg(min)
                                       .arg(max)
                                       .arg(text)
                                 : u"%1 must be a whole number, not '%2'"_s.arg(name, text));
    }
    return number;
}

std::optional<double> CommandLine::decimal(const QString& name) const {
    if (!has(name)) {
        return std::nullopt;
    }
    const QString text = value(name);
    const auto number = parseDecimal(text);
    if (!number) {
        throw UsageError(u"%1 must be a number such as 4.5, not '%2'"_s.arg(name, text));
    }
    return number;
}

std::optional<double> CommandLine::decimal(const QString& name, double min, double max) const {
    const QString text = valueOr(name, QString());
    const auto number = has(name) ? parseDecimal(text) : std::nullopt;
    if (has(name) && (!number || *number < min || *number > max)) {
        throw UsageError(
            u"%1 must be a number from %2 to %3, not '%4'"_s.arg(name).arg(min).arg(max).arg(text));
    }
    return number;
}

std::optional<QDate> CommandLine::date(const QString& name) const {
    if (!has(name)) {
        return std::nullopt;
    }
    return readIsoDate(value(name), name);
}

QString CommandLine::choice(const QString& name, const QStringList& choices) const {
    const QString text = valueOr(name, choices.first());
    if (!choices.contains(text)) {
        throw UsageError(u"%1 must be %2, not '%3'"_s.arg(name, listed(choices), text));
    }
    return text;
}

}  // namespace cli
