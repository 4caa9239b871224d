#pragma once

#include "output/GridData.h"

#include <QByteArray>
#include <QString>

class MessageBoxes;
class QIODevice;

// The column-aligned text report: the header line, then one line per checked row. Every cell
// is padded to its column's width (headers and all rows, checked or not) and followed by a
// TAB; lines end in CR LF; one byte per character (Latin-1) when every character fits one byte,
// otherwise UTF-8 with the same padding counted in characters. No character is ever replaced.
QByteArray buildReportBytes(const GridData& grid);

enum class ReportEncoding { SingleByte, Utf8 };
struct ReportBytes {
    QByteArray header;
    QByteArray rows;
    ReportEncoding encoding = ReportEncoding::SingleByte;
};
ReportBytes buildReport(const GridData& grid);

// What decides whether a save may replace the file behind a symbolic link.
struct LinkFacts {
    bool isLink = false;
    bool folderSharedSticky = false;  // world-writable with the sticky bit, as /tmp
    unsigned linkOwner = 0;
    unsigned folderOwner = 0;
    unsigned user = 0;
};
LinkFacts linkFacts(const QString& path);
// A link in a shared sticky folder owned by neither the user nor the folder's owner may have
// been planted to redirect the save; elsewhere a link keeps its target updated.
bool refusesLinkReplacement(const LinkFacts& facts);

// Writes the report to an open device. Throws Failure when the device takes fewer bytes ("Disk
// full" when it gives no other reason).
void writeReport(const GridData& grid, QIODevice& device);

// Writes the report to a file, replacing it only once every byte is written. A failure shows
// one error box with this routine's location and the failing step's line, and the routine
// stops; an existing file of that name then stays as it was. A link is followed to its target,
// unless refusesLinkReplacement() says no ("Permission denied"). The name is the program's
// historic one.
void SaveListviewProperlySpacedWithoutProgressBar(const GridData& grid, const QString& path,
                                                  MessageBoxes& boxes);
