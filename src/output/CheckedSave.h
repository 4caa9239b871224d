#pragma once

#include <QString>

#include <functional>
#include <optional>

class QIODevice;

// Writes a file through QSaveFile and replaces the old one only when every byte the producer
// wrote has arrived: a write the device took in part, a device error or a failed commit keep
// the old file and give the reason ("Disk full" for a full disk, see describeWriteFailure).
// The producer returns its own reason when it fails.
using FileProducer = std::function<std::optional<QString>(QIODevice& out)>;
std::optional<QString> saveChecked(const QString& path, const FileProducer& produce);
