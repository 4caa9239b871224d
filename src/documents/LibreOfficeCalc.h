#pragma once

#include "documents/SheetWriter.h"

#include <QLocale>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QDateTime;
class QTemporaryDir;
class Workbook;

// A Calc instance's new workbook. The cells go straight into an .xlsx file in a private
// temporary folder; show() closes the file and opens it in Calc as a template, so the user
// gets a new untitled workbook and Calc stays open after this program ends.
class LibreOfficeCalcSheet final : public SheetWriter {
public:
    LibreOfficeCalcSheet(QString program, QLocale locale);
    ~LibreOfficeCalcSheet() override;

    // Throws Failure when the temporary folder or the file cannot be made.
    void newWorkbook() override;
    void setHeader(int column, const QString& text) override;
    // Throws Failure(InvalidCall) outside the sheet, for a text too long for a cell, or for a
    // row above one already written.
    void setCell(int row, int column, const CellValue& value) override;
    void fitColumn(int column) override;
    void fitColumns() override;
    // Writes the file and starts "soffice --calc -n FILE" in a session of its own, which
    // outlives this program. Throws Failure when the file cannot be written. The started
    // program is watched without blocking for the watch time: ending with an error in that
    // time is reported to `failedLater` and removes the folder; ending with 0 (a running Calc
    // took the file) or running on is success. Once shown, nothing happens again.
    void show(LateFailure failedLater) override;
    // How long show() watches the started program; tests shorten it.
    void setWatchTime(int milliseconds) { m_watchMs = milliseconds; }
    // Finishes the file without showing it; it goes with the sheet unless shown.
    void writeFile();

    // Widths in character units of the columns fitted so far (1-based keys).
    const std::map<int, double>& columnWidths() const { return m_widths; }
    // The file that show() hands to Calc.
    QString filePath() const;

private:
    void write(int row, int column, const CellValue& value, qsizetype length);
    void fit(int column);
    void discard();

    QString m_program;
    QLocale m_locale;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Workbook> m_book;  // none once written
    int m_lastRow = 0;
    std::vector<qsizetype> m_longest;  // per column, index 0 is column 1
    std::map<int, double> m_widths;
    bool m_written = false;
    bool m_shown = false;
    // Calc may take minutes to fail on a loaded machine before it shows anything.
    int m_watchMs = 120'000;
};

// Export folders ("ravenmoor-XXXXXX") of this user in the temporary folder that are older than
// a day: Calc has long read them. Younger ones stay for a Calc that is still starting.
inline constexpr qint64 exportFolderLifetimeSecs = 24 * 60 * 60;
void removeOldExportFolders(const QString& tempFolder, const QDateTime& now);

class LibreOfficeCalc final : public Spreadsheet {
public:
    // Without a locale, dates are shown in the user's locale at the time of start().
    LibreOfficeCalc() = default;
    explicit LibreOfficeCalc(QLocale locale) : m_locale(std::move(locale)) {}

    // Finds soffice on PATH; does not start it.
    std::unique_ptr<SheetWriter> start() override;

private:
    std::optional<QLocale> m_locale;
};
