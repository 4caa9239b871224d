#pragma once

#include "output/GridData.h"

#include <QString>

// Clipboard copy of the grid (its text: output/CopyText.h). The names of these routines are the
// program's historic ones.

// Puts the copy text on the clipboard. An empty grid leaves the clipboard untouched.
void CopyListviewToClipboard(const GridData& grid);

// Empties the clipboard; never fails outward.
void ClearClipboard();

// Places text on the clipboard. Format 0 is the default plain text (as are the platform's own
// text format codes 1, 7 and 13); other codes name no format here and give false. Never fails
// outward; false when every attempt failed.
bool SetClipboardText(const QString& text, int format);
