#include "core/DateFormat.h"

namespace {

bool isPatternLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

}  // namespace

std::vector<DateFormatToken> tokenizeDateFormat(QStringView format) {
    std::vector<DateFormatToken> tokens;
    qsizetype literalStart = -1;
    QString literal;
    const auto flushLiteral = [&](qsizetype end) {
        if (literalStart >= 0) {
            tokens.push_back({0, 0, literal, format.sliced(literalStart, end - literalStart)});
            literal.clear();
            literalStart = -1;
        }
    };
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            if (literalStart < 0) {
                literalStart = i;
            }
            if (i + 1 < format.size() && format[i + 1] == u'\'') {
                literal.append(c);
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            continue;
        }
        if (quoted || !isPatternLetter(c)) {
            if (literalStart < 0) {
                literalStart = i;
            }
            literal.append(c);
            ++i;
            continue;
        }
        flushLiteral(i);
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        tokens.push_back({c.unicode(), static_cast<int>(run), {}, format.sliced(i, run)});
        i += run;
    }
    flushLiteral(format.size());
    return tokens;
}
