#include "shell/QtMessageBoxes.h"

#include "core/AppTitle.h"

#include <QMessageBox>

void QtMessageBoxes::show(const Message& message) {
    const QMessageBox::Icon icon =
        message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, message.title.isEmpty() ? appTitle() : message.title, message.text,
                    QMessageBox::Ok, m_parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
