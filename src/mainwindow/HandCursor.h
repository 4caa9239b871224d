#pragma once

#include <QCursor>
#include <QString>

// Reads a cursor file in the Windows .CUR format: the picture of its first image and the hotspot
// from the file's directory entry. Throws Failure when the file cannot be read as a cursor;
// only a regular file is one, and opening never waits (a FIFO or device of that name fails).
QCursor loadCursorFile(const QString& path);
