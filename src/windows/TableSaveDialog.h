#pragma once

#include "documents/TableFiles.h"
#include "output/Accounting.h"

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;
class TableSource;
struct DocumentFacts;

// Runs a modal dialog and returns its result; tests replace it so no dialog waits for a user.
using DialogRunner = std::function<int(QDialog&)>;

// Shows the one box that names a file that could not be saved and why.
using SaveFailureReporter = std::function<void(const QString& path, const QString& reason)>;

struct TableSaveChoice {
    QString path;
    TableFormat format = TableFormat::Csv;
    std::optional<accounting::Format> accounting;  // a plan's transactions instead of the table
};

// The Save As dialog of tables: CSV, Excel workbook and PDF. A typed name's extension (.csv,
// .xlsx, .pdf) chooses the format; otherwise the selected filter does and its extension is
// added. The dialog asks before replacing a file. Nothing when cancelled. With transactions, the
// dialog also offers ledger (.ledger, .journal), beancount (.beancount) and QIF (.qif).
std::optional<TableSaveChoice> chooseTableFile(QWidget* parent, const QString& title,
                                               const QString& lastPath, const DialogRunner& run,
                                               bool withTransactions = false);

// The chart's Save As dialog: PNG or SVG. The chosen path, or an empty string.
QString chooseImageFile(QWidget* parent, const QString& lastPath, const DialogRunner& run);

// "Ravenmoor could not save "<path>": <reason>"
QString saveFailureText(const QString& path, const QString& reason);

// Print Preview of a table (QPrintPreviewDialog) on the locale's page.
void previewTable(QWidget* parent, const TableSource& table, const DocumentFacts& facts,
                  const DialogRunner& run);

// The print dialog, then the table on the chosen printer; busy(true/false) around the printing.
// The reason when printing fails; nothing when it printed or the user cancelled.
std::optional<QString> printTableWithDialog(QWidget* parent, const TableSource& table,
                                            const DocumentFacts& facts, const DialogRunner& run,
                                            const std::function<void(bool)>& busy = {});
