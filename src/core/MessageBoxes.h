#pragma once

#include <QString>

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
