#include "output/CopyText.h"

#include <vector>

QString buildCopyText(const GridData& grid, bool withHeaders) {
    const int columns = grid.columnCount();
    const std::vector<qsizetype> widths = columnWidths(grid, withHeaders);
    qsizetype lineLength = 2;
    for (qsizetype width : widths) {
        lineLength += width + 1;
    }
    const int rows = grid.rowCount();
    qsizetype lines = withHeaders ? 1 : 0;
    for (int r = 0; r < rows; ++r) {
        lines += grid.isChecked(r) ? 1 : 0;
    }

    QString text(lineLength * lines, Qt::Uninitialized);
    QChar* const begin = text.data();
    QChar* out = begin;
    const auto endLine = [&] {
        if (out != begin) {
            --out;  // the TAB after the last cell
        }
        while (out != begin && out[-1] == u' ') {
            --out;
        }
        *out++ = u'\r';
        *out++ = u'\n';
    };
    if (withHeaders) {
        for (int c = 0; c < columns; ++c) {
            out =
                appendPadded(out, QStringView(grid.header(c)), widths[static_cast<std::size_t>(c)]);
            *out++ = u'\t';
        }
        endLine();
    }
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
        endLine();
    }
    text.truncate(out - begin);
    return text;
}
