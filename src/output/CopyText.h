#pragma once

#include "output/GridData.h"

#include <QString>

// The copy text: checked rows only, no header; each cell padded to its column's width (from all
// rows, never the headers) and followed by a TAB, except that the last TAB and any trailing
// blanks are dropped; CR LF after every line. With headers, the header line comes first and
// the headers count for the widths too.
QString buildCopyText(const GridData& grid, bool withHeaders = false);
