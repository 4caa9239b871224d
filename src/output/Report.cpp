#include "output/Report.h"

#include "core/Failure.h"
#include "shell/Guard.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Widths = std::vector<qsizetype>;

Widths reportWidths(const GridData& grid) {
    return columnWidths(grid, true);
}

qsizetype lineLength(const Widths& widths) {
    qsizetype length = 2;
    for (qsizetype width : widths) {
        length += width + 1;
    }
    return length;
}

char* appendCell(char* out, QStringView text, qsizetype width) {
    out = appendPadded(out, text, width);
    *out++ = '\t';
    return out;
}

QByteArray headerLine(const GridData& grid, const Widths& widths) {
    QByteArray line(lineLength(widths), Qt::Uninitialized);
    char* out = line.data();
    for (int c = 0; c < grid.columnCount(); ++c) {
        out = appendCell(out, grid.headers()[c], widths[static_cast<std::size_t>(c)]);
    }
    *out++ = '\r';
    *out++ = '\n';
    return line;
}

QByteArray rowLines(const GridData& grid, const Widths& widths) {
    const int rows = grid.rowCount();
    qsizetype checkedRows = 0;
    for (int r = 0; r < rows; ++r) {
        checkedRows += grid.isChecked(r) ? 1 : 0;
    }
    QByteArray lines(lineLength(widths) * checkedRows, Qt::Uninitialized);
    char* const begin = lines.data();
    char* out = begin;
    TextBuffer cell;
    for (int r = 0; r < rows; ++r) {
        if (!grid.isChecked(r)) {
            continue;
        }
        for (int c = 0; c < grid.columnCount(); ++c) {
            cell.clear();
            grid.appendCell(cell, r, c);
            out = appendCell(out, viewOf(cell),
                             widths[static_cast<std::size_t>(c)]);
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    lines.truncate(out - begin);
    return lines;
}

// Best mapping of a file error onto the descriptions the program has always shown.
QString describeFileError(const QSaveFile& file, const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return Failure::describe(PlatformFailure::PathFileAccessError);
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists() || !folder.isDir()) {
        return Failure::describe(PlatformFailure::PathNotFound);
    }
    if (file.error() == QFileDevice::PermissionsError ||
        file.errorString().contains(u"Permission denied"_s, Qt::CaseInsensitive) ||
        file.errorString().contains(u"not writable"_s, Qt::CaseInsensitive)) {
        return Failure::describe(PlatformFailure::PermissionDenied);
    }
    if (file.errorString().contains(u"No space"_s, Qt::CaseInsensitive)) {
        return Failure::describe(PlatformFailure::DiskFull);
    }
    return file.errorString();
}

void writeAll(QIODevice& device, const QByteArray& bytes) {
    if (device.write(bytes) != bytes.size()) {
        throw Failure(static_cast<std::int32_t>(PlatformFailure::DeviceIoError), {},
                      device.errorString());
    }
}

}  // namespace

QByteArray buildReportBytes(const GridData& grid) {
    const Widths widths = reportWidths(grid);
    QByteArray bytes = headerLine(grid, widths);
    bytes.append(rowLines(grid, widths));
    return bytes;
}

void writeReport(const GridData& grid, QIODevice& device) {
    const Widths widths = reportWidths(grid);
    writeAll(device, headerLine(grid, widths));
    writeAll(device, rowLines(grid, widths));
}

void SaveListviewProperlySpacedWithoutProgressBar(const GridData& grid, const QString& path,
                                                  MessageBoxes& boxes) {
    Guard guard(boxes,
                u"in Corvatel2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar "_s);
    Widths widths;
    if (!guard.run(102, [&] { widths = reportWidths(grid); })) {
        return;
    }

    // The old file is replaced only by commit(); until then it stays as it was.
    QSaveFile file(path);
    const auto fileFailure = [&] {
        return Failure(static_cast<std::int32_t>(PlatformFailure::PathFileAccessError), {},
                       describeFileError(file, path));
    };
    const auto write = [&](const QByteArray& bytes) {
        if (file.write(bytes) != bytes.size()) {
            throw fileFailure();
        }
    };
    if (!guard.run(136, [&] {
            if (!file.open(QIODevice::WriteOnly)) {
                throw fileFailure();
            }
        })) {
        return;
    }
    if (!guard.run(150, [&] { write(headerLine(grid, widths)); })) {
        return;
    }
    if (!guard.run(180, [&] { write(rowLines(grid, widths)); })) {
        return;
    }
    guard.run(184, [&] {
        if (!file.commit()) {
            throw fileFailure();
        }
    });
}
