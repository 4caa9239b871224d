#pragma once

#include <QString>

// The folder a workbook is written in (the file and the library's temporary files), and what
// is left to do there when writing fails.

// The private folder a workbook is made in, inside the temporary folder.
inline constexpr char workbookFolderPattern[] = "ravenmoor-XXXXXX";

// The library keeps a worksheet's temporary file open when closing the workbook fails; once
// the folder is gone that file still holds its space. Releases whatever still points into it.
void releaseDescriptorsUnder(const QString& folder);

// Why the workbook could not be written, naming the folder: "Disk full in /tmp". `systemError`
// is errno just after the library failed; `libraryText` the library's own description.
QString workbookFailure(int systemError, const QString& libraryText, const QString& folder);
