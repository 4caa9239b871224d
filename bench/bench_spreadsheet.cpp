// The export of the largest schedule: from the grid snapshot to the closed .xlsx file.
#include "bench/WindowFixture.h"
#include "documents/LibreOfficeCalc.h"

#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace {

// Calc itself is not started: showing the sheet only finishes its file.
struct FileOnlySheet final : SheetWriter {
    explicit FileOnlySheet(QLocale locale) : sheet(QString(), std::move(locale)) {}
    void newWorkbook() override { sheet.newWorkbook(); }
    void setHeader(int column, const QString& text) override { sheet.setHeader(column, text); }
    void setCell(int row, int column, const CellValue& value) override {
        sheet.setCell(row, column, value);
    }
    void fitColumn(int column) override { sheet.fitColumn(column); }
    void fitColumns() override { sheet.fitColumns(); }
    void show(LateFailure) override { sheet.writeFile(); }
    LibreOfficeCalcSheet sheet;
};

struct FileOnlySpreadsheet final : Spreadsheet {
    std::unique_ptr<SheetWriter> start() override {
        return std::make_unique<FileOnlySheet>(QLocale());
    }
};

void exportLargest(benchmark::State& state) {
    LargestLoanWindow fixture;
    fixture.window->PushButton1_Click();
    fixture.window->setSpreadsheet(std::make_shared<FileOnlySpreadsheet>());
    PageFaults faults;
    for (auto _ : state) {
        fixture.window->PushButton13_Click();
    }
    faults.report(state);
    if (fixture.boxes->shown != 0) {
        state.SkipWithError("the export failed");
    }
}
BENCHMARK(exportLargest)->Unit(benchmark::kMillisecond);

}  // namespace
