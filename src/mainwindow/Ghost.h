#pragma once

#include <QWidget>

// The hidden window that carries the application icon (historic name). Never shown.
class Ghost final : public QWidget {
    Q_OBJECT
public:
    explicit Ghost(QWidget* parent = nullptr);
};
