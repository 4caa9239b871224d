#include "mainwindow/Ghost.h"

#include <QIcon>

using namespace Qt::StringLiterals;

Ghost::Ghost(QWidget* parent) : QWidget(parent) {
    // The pictures live in this static library; pull them in for whichever program links it.
    Q_INIT_RESOURCE(icons);
    setObjectName(u"Ghost"_s);
    setAttribute(Qt::WA_DontShowOnScreen);
    QIcon icon;
    for (const int size : {32, 48, 128, 256}) {
        icon.addFile(u":/icons/ravenmoor-%1.png"_s.arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
}
