#include "solver/Money.h"

using namespace Qt::StringLiterals;

namespace solver {

QString moneyText(planner::Cents cents) {
    const bool negative = cents < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents)
                                    : static_cast<unsigned long long>(cents);
    const QString text = QString::number(magnitude / 100) + u'.' +
                         QString::number(magnitude % 100).rightJustified(2, u'0');
    return negative ? u'-' + text : text;
}

QString percentText(double percent, int decimals) {
    QString text = QString::number(percent, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    return text == u"-0"_s ? u"0"_s : text;
}

}  // namespace solver
