#pragma once

#include "output/TableFiles.h"

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Runs a modal dialog and returns its result; tests replace it so no dialog waits for a user.
using DialogRunner = std::function<int(QDialog&)>;

// Shows the one box that names a file that could not be saved and why.
using SaveFailureReporter = std::function<void(const QString& path, const QString& reason)>;

struct TableSaveChoice {
    QString path;
    TableFormat format = TableFormat::Csv;
};

// The Save As dialog of tables: CSV, Excel workbook and PDF. A typed name's extension (.csv,
// .xlsx, .pdf) chooses the format; otherwise the selected filter does and its extension is
// added. The dialog asks before replacing a file. Nothing when cancelled.
std::optional<TableSaveChoice> chooseTableFile(QWidget* parent, const QString& title,
                                               const QString& lastPath, const DialogRunner& run);

// The chart's Save As dialog: PNG or SVG. The chosen path, or an empty string.
QString chooseImageFile(QWidget* parent, const QString& lastPath, const DialogRunner& run);

// "Ravenmoor could not save "<path>": <reason>"
QString saveFailureText(const QString& path, const QString& reason);
