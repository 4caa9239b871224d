#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <vector>

// Options of the form "--name VALUE", "--name=VALUE" or "-x VALUE". Options named repeatable
// may be given any number of times; the others at most once.
namespace cli {

class ArgReader {
public:
    // Throws UsageError for an unknown option, a missing value, a stray argument or a repeated
    // option. `spellings` maps every accepted spelling to its canonical name ("-p" ->
    // "--principal"); "--help" is always accepted.
    ArgReader(const QStringList& args, const std::map<QString, QString>& spellings,
              const std::set<QString>& repeatable = {});

    bool helpWanted() const { return m_help; }
    bool has(const QString& name) const { return m_values.contains(name); }
    // The value of a single option; a UsageError when a required one is missing.
    QString value(const QString& name) const;
    QString valueOr(const QString& name, const QString& fallback) const;
    const std::vector<QString>& values(const QString& name) const;

private:
    std::map<QString, std::vector<QString>> m_values;
    bool m_help = false;
};

}  // namespace cli
