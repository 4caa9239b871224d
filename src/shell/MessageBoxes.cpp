#include "shell/MessageBoxes.h"

#include "shell/Main.h"

#include <QMessageBox>

void MessageBoxes::inform(const QString& text) {
    show({text, appTitle(), MessageIcon::None});
}

void QtMessageBoxes::show(const Message& message) {
    const QMessageBox::Icon icon =
        message.icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, message.title.isEmpty() ? appTitle() : message.title, message.text,
                    QMessageBox::Ok, m_parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
