#include "output/Report.h"

#include "core/Failure.h"
#include "shell/Guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Widths = std::vector<qsizetype>;

Widths reportWidths(const GridData& grid) {
    const int columns = grid.columnCount();
    Widths widths(static_cast<std::size_t>(columns), 0);
    for (int c = 0; c < columns; ++c) {
        widths[static_cast<std::size_t>(c)] = grid.headers[c].size();
    }
    for (const GridRow& row : grid.rows) {
        for (int c = 0; c < columns; ++c) {
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], row.cell(c).size());
        }
    }
    return widths;
}

// True when every character the file would hold fits one byte (Latin-1).
bool fitsSingleByte(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x100; });
}

bool reportFitsSingleByte(const GridData& grid) {
    const auto rowFits = [&](const GridRow& row) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            if (!fitsSingleByte(row.cell(c))) {
                return false;
            }
        }
        return true;
    };
    return std::all_of(grid.headers.begin(), grid.headers.end(),
                       [](const QString& header) { return fitsSingleByte(header); }) &&
           std::all_of(grid.rows.begin(), grid.rows.end(),
                       [&](const GridRow& row) { return !row.checked() || rowFits(row); });
}

char* appendPadded(char* out, QStringView cell, qsizetype width) {
    for (QChar ch : cell) {
        *out++ = static_cast<char>(ch.unicode());
    }
    if (width > cell.size()) {
        out = std::fill_n(out, width - cell.size(), ' ');
    }
    *out++ = '\t';
    return out;
}

qsizetype lineLength(const Widths& widths) {
    qsizetype length = 2;
    for (qsizetype width : widths) {
        length += width + 1;
    }
    return length;
}

// The same layout as text, for the UTF-8 form; padding counts characters, not bytes.
void appendPaddedText(QString& line, QStringView cell, qsizetype width) {
    line.append(cell);
    if (width > cell.size()) {
        line.append(QString(width - cell.size(), u' '));
    }
    line.append(u'\t');
}

template <typename Cells>
QByteArray utf8Line(const Widths& widths, Cells cellAt) {
    QString line;
    line.reserve(lineLength(widths));
    for (std::size_t c = 0; c < widths.size(); ++c) {
        appendPaddedText(line, cellAt(static_cast<int>(c)), widths[c]);
    }
    line.append(u"\r\n");
    return line.toUtf8();
}

QByteArray headerLine(const GridData& grid, const Widths& widths, ReportEncoding encoding) {
    if (encoding == ReportEncoding::Utf8) {
        return utf8Line(widths, [&](int c) { return QStringView(grid.headers[c]); });
    }
    QByteArray line(lineLength(widths), Qt::Uninitialized);
    char* out = line.data();
    for (int c = 0; c < grid.columnCount(); ++c) {
        out = appendPadded(out, grid.headers[c], widths[static_cast<std::size_t>(c)]);
    }
    *out++ = '\r';
    *out++ = '\n';
    return line;
}

QByteArray rowLines(const GridData& grid, const Widths& widths, ReportEncoding encoding) {
    if (encoding == ReportEncoding::Utf8) {
        QByteArray lines;
        for (const GridRow& row : grid.rows) {
            if (row.checked()) {
                lines.append(utf8Line(widths, [&](int c) { return row.cell(c); }));
            }
        }
        return lines;
    }
    const auto checkedRows = std::count_if(grid.rows.begin(), grid.rows.end(),
                                           [](const GridRow& row) { return row.checked(); });
    QByteArray lines(lineLength(widths) * checkedRows, Qt::Uninitialized);
    char* const begin = lines.data();
    char* out = begin;
    for (const GridRow& row : grid.rows) {
        if (!row.checked()) {
            continue;
        }
        for (int c = 0; c < grid.columnCount(); ++c) {
            out = appendPadded(out, row.cell(c), widths[static_cast<std::size_t>(c)]);
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    lines.truncate(out - begin);
    return lines;
}

// The description of a write that the device took only in part. A short write without an
// error code from the system has one cause left, a full disk (or quota), and says so.
QString describeShortWrite(const QIODevice& device) {
    const QString reason = device.errorString();
    if (reason.isEmpty() || reason == u"Unknown error"_s ||
        reason.contains(u"No space"_s, Qt::CaseInsensitive) ||
        reason.contains(u"quota"_s, Qt::CaseInsensitive)) {
        return Failure::describe(PlatformFailure::DiskFull);
    }
    return reason;
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
    return describeShortWrite(file);
}

void writeAll(QIODevice& device, const QByteArray& bytes) {
    if (device.write(bytes) != bytes.size()) {
        throw Failure(static_cast<std::int32_t>(PlatformFailure::DeviceIoError), {},
                      describeShortWrite(device));
    }
}

}  // namespace

ReportEncoding reportEncoding(const GridData& grid) {
    return reportFitsSingleByte(grid) ? ReportEncoding::SingleByte : ReportEncoding::Utf8;
}

bool refusesLinkReplacement(const LinkFacts& facts) {
    return facts.isLink && facts.folderSharedSticky && facts.linkOwner != facts.user &&
           facts.linkOwner != facts.folderOwner;
}

LinkFacts linkFacts(const QString& path) {
    LinkFacts facts;
    facts.user = ::geteuid();
    struct stat link {};
    struct stat folder {};
    const QByteArray native = QFile::encodeName(path);
    const QByteArray folderName = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::lstat(native.constData(), &link) != 0 || !S_ISLNK(link.st_mode) ||
        ::stat(folderName.constData(), &folder) != 0) {
        return facts;
    }
    facts.isLink = true;
    facts.folderSharedSticky = (folder.st_mode & S_IWOTH) != 0 && (folder.st_mode & S_ISVTX) != 0;
    facts.linkOwner = link.st_uid;
    facts.folderOwner = folder.st_uid;
    return facts;
}

QByteArray buildReportBytes(const GridData& grid) {
    const Widths widths = reportWidths(grid);
    const ReportEncoding encoding = reportEncoding(grid);
    QByteArray bytes = headerLine(grid, widths, encoding);
    bytes.append(rowLines(grid, widths, encoding));
    return bytes;
}

void writeReport(const GridData& grid, QIODevice& device) {
    const Widths widths = reportWidths(grid);
    const ReportEncoding encoding = reportEncoding(grid);
    writeAll(device, headerLine(grid, widths, encoding));
    writeAll(device, rowLines(grid, widths, encoding));
}

void SaveListviewProperlySpacedWithoutProgressBar(const GridData& grid, const QString& path,
                                                  MessageBoxes& boxes) {
    Guard guard(boxes,
                u"in Corvatel2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar "_s);
    Widths widths;
    ReportEncoding encoding = ReportEncoding::SingleByte;
    if (!guard.run(102, [&] {
            widths = reportWidths(grid);
            encoding = reportEncoding(grid);
        })) {
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
            // The save resolves links itself, so the kernel's rule against following a link
            // that another user planted in a shared folder is kept here.
            if (refusesLinkReplacement(linkFacts(path))) {
                throw Failure::platform(PlatformFailure::PermissionDenied, path);
            }
            if (!file.open(QIODevice::WriteOnly)) {
                throw fileFailure();
            }
        })) {
        return;
    }
    if (!guard.run(150, [&] { write(headerLine(grid, widths, encoding)); })) {
        return;
    }
    if (!guard.run(180, [&] { write(rowLines(grid, widths, encoding)); })) {
        return;
    }
    guard.run(184, [&] {
        if (!file.commit()) {
            throw fileFailure();
        }
    });
}
