#include "core/Guard.h"

QString composeErrorText(const QString& description, const QString& location, int line) {
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QString::fromUtf16(supportAddress);
}

void showErrorBox(MessageBoxes& boxes, const QString& description, const QString& location,
                  int line) {
    boxes.show({composeErrorText(description, location, line), QStringLiteral("Application Error"),
                MessageIcon::Warning});
}

void Guard::report(const QString& description) {
    showErrorBox(m_boxes, description, m_location, m_line);
}
