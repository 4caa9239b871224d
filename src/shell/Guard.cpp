#include "shell/Guard.h"

QString composeErrorText(const QString& description, const QString& location, int line) {
    return description + u"\r\n" + location + u"at line " + QString::number(line) + u"\r\r" +
           u"Please email screenshot of this message to " + QString::fromUtf16(supportAddress);
}

void showErrorBox(MessageBoxes& boxes, const QString& description, const QString& location,
                  int line) {
    boxes.show({composeErrorText(description, location, line), QStringLiteral("Application Error"),
                MessageIcon::Warning});
}

void Guard::report(const QString& description) {
    showErrorBox(m_boxes, description, m_location, m_line);
}
