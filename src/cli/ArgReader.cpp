#include "cli/ArgReader.h"

#include "cli/Args.h"

using namespace Qt::StringLiterals;

namespace cli {

ArgReader::ArgReader(const QStringList& args, const std::map<QString, QString>& spellings,
                     const std::set<QString>& repeatable) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString spelling = args[i];
        if (spelling == u"--help"_s || spelling == u"-h"_s) {
            m_help = true;
            continue;
        }
        QString value;
        bool inlineValue = false;
        if (const qsizetype equals = spelling.indexOf(u'=');
            spelling.startsWith(u"--"_s) && equals > 0) {
            value = spelling.mid(equals + 1);
            spelling.truncate(equals);
            inlineValue = true;
        }
        const auto known = spellings.find(spelling);
        if (known == spellings.end()) {
            throw UsageError(spelling.startsWith(u'-')
                                 ? u"unknown option '%1'"_s.arg(spelling)
                                 : u"unexpected argument '%1'"_s.arg(spelling));
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                throw UsageError(u"%1 needs a value"_s.arg(spelling));
            }
            value = args[++i];
        }
        auto& slot = m_values[known->second];
        if (!slot.empty() && !repeatable.contains(known->second)) {
            throw UsageError(u"%1 is given more than once"_s.arg(known->second));
        }
        slot.push_back(value);
    }
}

QString ArgReader::value(const QString& name) const {
    const auto found = m_values.find(name);
    if (found == m_values.end()) {
        throw UsageError(u"%1 is required"_s.arg(name));
    }
    return found->second.front();
}

QString ArgReader::valueOr(const QString& name, const QString& fallback) const {
    return has(name) ? value(name) : fallback;
}

const std::vector<QString>& ArgReader::values(const QString& name) const {
    static const std::vector<QString> none;
    const auto found = m_values.find(name);
    return found == m_values.end() ? none : found->second;
}

}  // namespace cli
