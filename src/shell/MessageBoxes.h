#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Warning };

struct Message {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

// Every modal box of the program goes through this seam, so tests can record the boxes instead
// of showing them. Each box has a single OK button; show returns when it is closed.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const Message& message) = 0;

    // A validation or information message: OK only, no icon, the application title as caption.
    void inform(const QString& text);
};

// Shows real QMessageBox dialogs, modal, over the given parent.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    void show(const Message& message) override;

private:
    QWidget* m_parent;
};
