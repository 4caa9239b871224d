#pragma once

#include "core/MessageBoxes.h"

class QWidget;

// Shows real QMessageBox dialogs, modal, over the given parent.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    void show(const Message& message) override;

private:
    QWidget* m_parent;
};
