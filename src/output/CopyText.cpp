// The copy text on its own, without the clipboard: the command line prints it with no
// graphical libraries loaded.
#include "output/Clipboard.h"

#include <vector>

QString buildCopyText(const GridData& grid) {
    const int columns = grid.columnCount();
    const std::vector<qsizetype> widths = columnWidths(grid, false);
    qsizetype lineLength = 2;
    for (qsizetype width : widths) {
        lineLength += width + 1;
    }
    const int rows = grid.rowCount();
    qsizetype checkedRows = 0;
    for (int r = 0; r < rows; ++r) {
        checkedRows += grid.isChecked(r) ? 1 : 0;
    }

    QString text(lineLength * checkedRows, Qt::Uninitialized);
    QChar* const begin = text.data();
    QChar* out = begin;
    TextBuffer line;
    std::vector<qsizetype> ends(static_cast<std::size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        if (!grid.isChecked(r)) {
            continue;
        }
        line.clear();
        grid.appendRow(line, r, ends.data());
        qsizetype from = 0;
        for (int c = 0; c < columns; ++c) {
            const qsizetype to = ends[static_cast<std::size_t>(c)];
            out = appendPadded(out, viewOf(line).sliced(from, to - from),
                               widths[static_cast<std::size_t>(c)]);
            *out++ = u'\t';
            from = to;
        }
        if (out != begin) {
            --out;  // the TAB after the last cell
        }
        while (out != begin && out[-1] == u' ') {
            --out;
        }
        *out++ = u'\r';
        *out++ = u'\n';
    }
    text.truncate(out - begin);
    return text;
}
