#pragma once

#include <QString>

class QWidget;

// The "Save" dialog of the text report: text files (selected) or all files, no default
// suffix, the last chosen name offered again, and a question before replacing an existing
// file. Returns the chosen path, or an empty string when cancelled.
QString showSaveDialog(QWidget* parent, const QString& lastName);

// Where the dialog opens: the folder of the last chosen name while it exists, else the user's
// documents folder, else the home folder.
QString saveDialogFolder(const QString& lastName);
