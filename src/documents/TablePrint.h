#pragma once

#include <QLocale>
#include <QPageSize>
#include <QString>

#include <optional>

class QPagedPaintDevice;
class TableSource;
struct DocumentFacts;

// A4, or Letter where the locale's country prints on Letter.
QPageSize::PageSizeId pageSizeFor(const QLocale& locale);

// Sets the page size by the locale and the margins every printed table uses.
void setUpPage(QPagedPaintDevice& device, const QLocale& locale);

// Prints the table: the title and facts on the first page, the header row on every page,
// amounts right-aligned, the totals row bold, "Page n of m" at the foot. The device's page
// size and margins are used as they are. Returns the reason when painting cannot start.
std::optional<QString> printTable(QPagedPaintDevice& device, const TableSource& table,
                                  const DocumentFacts& facts, const QLocale& locale = QLocale());

// The number of pages printTable makes on that device.
int printedPageCount(QPagedPaintDevice& device, const TableSource& table,
                     const DocumentFacts& facts);
