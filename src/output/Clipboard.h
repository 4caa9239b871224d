#pragma once

#include "output/GridData.h"

#include <QString>

// Clipboard copy of the grid. The names of these routines are the program's historic ones.

// The copy text: checked rows only, no header; each cell padded to its column's width (from all
// rows, never the headers) and followed by a TAB, except that the last TAB and any trailing
// blanks are dropped; CR LF after every line. With headers, the header line comes first and
// the headers count for the widths too.
QString buildCopyText(const GridData& grid, bool withHeaders = false);

// Puts the copy text on the clipboard. An empty grid leaves the clipboard untouched.
void CopyListviewToClipboard(const GridData& grid);

// Empties the clipboard; never fails outward.
void ClearClipboard();

// Places text on the clipboard. Format 0 is the default plain text (as are the platform's own
// text format codes 1, 7 and 13); other codes name no format here and give false. Never fails
// outward; false when every attempt failed.
bool SetClipboardText(const QString& text, int format);
