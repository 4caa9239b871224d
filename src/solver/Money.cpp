#include "solver/Money.h"

#include "core/Conversions.h"

using namespace Qt::StringLiterals;

namespace solver {

QString moneyText(planner::Cents cents) {
    return plainCentsText(cents);
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
