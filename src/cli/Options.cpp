#include "cli/Options.h"

#include "cli/Args.h"

using namespace Qt::StringLiterals;

namespace cli {

Options::Options(const QStringList& args, const std::map<QString, QString>& names) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        std::optional<QString> inlineValue;
        if (const qsizetype equals = arg.indexOf(u'='); arg.startsWith(u"--"_s) && equals > 0) {
            inlineValue = arg.mid(equals + 1);
            arg.truncate(equals);
        }
        const auto name = names.find(arg);
        if (name == names.end()) {
            throw UsageError(u"unknown argument '%1'"_s.arg(args[i]));
        }
        if (m_values.contains(name->second)) {
            throw UsageError(u"%1 is given more than once"_s.arg(name->second));
        }
        if (name->second == u"--help"_s) {
            m_values[name->second] = QString();
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                throw UsageError(u"%1 needs a value"_s.arg(arg));
            }
            inlineValue = args[++i];
        }
        m_values[name->second] = *inlineValue;
    }
}

std::optional<QString> Options::value(const QString& name) const {
    const auto found = m_values.find(name);
    return found == m_values.end() ? std::nullopt : std::optional<QString>(found->second);
}

std::optional<planner::Cents> centsOption(const Options& options, const QString& name,
                                          planner::Cents min, planner::Cents max) {
    const auto text = options.value(name);
    if (!text) {
        return std::nullopt;
    }
    const auto cents = parseCents(*text);
    if (!cents || *cents < min || *cents > max) {
        throw UsageError(u"%1 must be an amount from %2 to %3, not '%4'"_s.arg(
            name, centsToText(min), centsToText(max), *text));
    }
    return cents;
}

std::optional<int> integerOption(const Options& options, const QString& name, int min, int max) {
    const auto text = options.value(name);
    if (!text) {
        return std::nullopt;
    }
    const auto value = parseInteger(*text);
    if (!value || *value < min || *value > max) {
        throw UsageError(u"%1 must be a whole number from %2 to %3, not '%4'"_s.arg(name)
                             .arg(min)
                             .arg(max)
                             .arg(*text));
    }
    return value;
}

std::optional<double> decimalOption(const Options& options, const QString& name, double min,
                                    double max) {
    const auto text = options.value(name);
    if (!text) {
        return std::nullopt;
    }
    const auto value = parseDecimal(*text);
    if (!value || *value < min || *value > max) {
        throw UsageError(
            u"%1 must be a number from %2 to %3, not '%4'"_s.arg(name).arg(min).arg(max).arg(
                *text));
    }
    return value;
}

std::optional<QDate> dateOption(const Options& options, const QString& name) {
    const auto text = options.value(name);
    if (!text) {
        return std::nullopt;
    }
    const auto date = parseIsoDate(*text);
    if (!date) {
        throw UsageError(u"%1 must be a date as YYYY-MM-DD, not '%2'"_s.arg(name, *text));
    }
    return date;
}

template <typename T>
T required(const std::optional<T>& value, const QString& name) {
    if (!value) {
        throw UsageError(u"%1 is needed"_s.arg(name));
    }
    return *value;
}

template planner::Cents required(const std::optional<planner::Cents>&, const QString&);
template int required(const std::optional<int>&, const QString&);
template double required(const std::optional<double>&, const QString&);
template QDate required(const std::optional<QDate>&, const QString&);
template QString required(const std::optional<QString>&, const QString&);

}  // namespace cli
