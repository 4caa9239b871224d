#pragma once

#include "core/MessageBoxes.h"

#include <QList>

// Records every box instead of showing it.
struct RecordingBoxes final : MessageBoxes {
    QList<Message> shown;
    void show(const Message& message) override { shown.append(message); }
};
