#pragma once

#include "output/GridData.h"

#include <QByteArray>
#include <QString>

class MessageBoxes;
class QIODevice;

// The column-aligned text report: the header line, then one line per checked row. Every cell
// is padded to its column's width (headers and all rows, checked or not) and followed by a
// TAB; lines end in CR LF; one byte per character (Latin-1, '?' for anything beyond it).
QByteArray buildReportBytes(const GridData& grid);

// Writes the report to an open device. Throws Failure when the device takes fewer bytes.
void writeReport(const GridData& grid, QIODevice& device);

// Writes the report to a file, replacing it only once every byte is written. A failure shows
// one error box with this routine's location and the failing step's line, and the routine
// stops; an existing file of that name then stays as it was. The name is the program's
// historic one.
void SaveListviewProperlySpacedWithoutProgressBar(const GridData& grid, const QString& path,
                                                  MessageBoxes& boxes);
