#pragma once

#include "planner/Arithmetic.h"

#include <QCommandLineParser>
#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

// One command's options, parsed by QCommandLineParser: "--name VALUE", "--name=VALUE",
// "-x VALUE". Values are read in the C locale, whatever the environment's.
namespace cli {

// A bad argument: the message names it; the command exits with status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// One row of a command's option table. Every option takes a value; only repeatable ones may
// be given more than once.
struct Option {
    QString name;         // "--principal"
    QString shortName;    // "-p", or empty
    QString valueName;    // "AMOUNT", shown in the help
    QString description;  // one line of help
    bool repeatable = false;
};

class CommandLine {
public:
    // usage: the synopsis and description printed above the generated list of options.
    CommandLine(QString usage, const std::vector<std::vector<Option>>& tables);

    // Throws UsageError for an unknown option, a missing value, a stray argument or a repeated
    // option. --help and -h are always accepted.
    void parse(const QStringList& args);
    // parse(), then the help written to `out` when the arguments ask for it: true when they do,
    // and the command has nothing more to do.
    bool parseShowsHelp(const QStringList& args, QIODevice& out);

    bool defines(const QString& name) const;
    bool has(const QString& name) const;
    // The value of a single option; a UsageError when a required one is missing.
    QString value(const QString& name) const;
    QString valueOr(const QString& name, const QString& fallback) const;
    QStringList values(const QString& name) const;

    // Typed values, nothing when the option is absent; a value that does not read, or lies
    // outside the range, is a UsageError naming the option.
    std::optional<planner::Cents> cents(const QString& name) const;
    std::optional<planner::Cents> cents(const QString& name, planner::Cents min,
                                        planner::Cents max) const;
    std::optional<int> integer(const QString& name) const;
    std::optional<int> integer(const QString& name, int min, int max) const;
    std::optional<double> decimal(const QString& name) const;
    std::optional<double> decimal(const QString& name, double min, double max) const;
    std::optional<QDate> date(const QString& name) const;
    // One of the choices, the first being the default: "--format must be csv or json, not 'x'".
    QString choice(const QString& name, const QStringList& choices) const;

private:
    bool helpWanted() const;
    QString helpText() const;
    QString m_usage;
    std::vector<Option> m_options;
    QCommandLineParser m_parser;
};

// The value, or a UsageError saying that the option is required.
template <typename T>
T required(const std::optional<T>& value, const QString& name) {
    if (!value) {
        throw UsageError(name + QStringLiteral(" is required"));
    }
    return *value;
}

// A date as YYYY-MM-DD; a UsageError naming `name` for another form or a day that does not
// exist ("--start: the date 2026-02-30 does not exist").
QDate readIsoDate(QStringView text, const QString& name);

// Values as typed, for events: "1234.5", "-3"; at most two decimals; a whole number.
std::optional<double> parseDecimal(QStringView text);
std::optional<planner::Cents> parseCents(QStringView text);
std::optional<int> parseInteger(QStringView text);

}  // namespace cli
