#include "core/AppTitle.h"

namespace {

QString& currentAppTitle() {
    static QString title = QString::fromUtf16(productTitle);
    return title;
}

}  // namespace

QString appTitle() {
    return currentAppTitle();
}

void storeAppTitle(const QString& title) {
    currentAppTitle() = title;
}
