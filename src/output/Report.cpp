#include "output/Report.h"

#include "core/Failure.h"
#include "core/Guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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

// One byte per character; `wide` notes a character that does not fit one.
char* appendCell(char* out, QStringView text, qsizetype width, bool& wide) {
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    char16_t seen = 0;  // every unit or'ed: no branch in the copy
    for (qsizetype i = 0; i < size; ++i) {
        seen |= units[i];
        out[i] = static_cast<char>(units[i]);
    }
    wide = wide || seen >= 0x100;
    out += size;
    if (size < width) {
        std::memset(out, ' ', static_cast<std::size_t>(width - size));
        out += width - size;
    }
    *out++ = '\t';
    return out;
}

QChar* appendCell(QChar* out, QStringView text, qsizetype width, bool&) {
    out = appendPadded(out, text, width);
    *out++ = u'\t';
    return out;
}

// The header line and the checked rows' lines, built in Latin-1 (Buffer QByteArray) or as text
// (Buffer QString, later UTF-8); padding counts characters either way.
template <class Buffer>
Buffer headerLine(const GridData& grid, const Widths& widths, bool& wide) {
    Buffer line(lineLength(widths), Qt::Uninitialized);
    auto* out = line.data();
    for (int c = 0; c < grid.columnCount(); ++c) {
        out = appendCell(out, grid.headers()[c], widths[static_cast<std::size_t>(c)], wide);
    }
    *out++ = u'\r';
    *out++ = u'\n';
    return line;
}

template <class Buffer>
Buffer rowLines(const GridData& grid, const Widths& widths, bool& wide) {
    const int rows = grid.rowCount();
    qsizetype checkedRows = 0;
    for (int r = 0; r < rows; ++r) {
        checkedRows += grid.isChecked(r) ? 1 : 0;
    }
    Buffer lines(lineLength(widths) * checkedRows, Qt::Uninitialized);
    auto* const begin = lines.data();
    auto* out = begin;
    TextBuffer line;
    std::vector<qsizetype> ends(static_cast<std::size_t>(grid.columnCount()));
    for (int r = 0; r < rows; ++r) {
        if (!grid.isChecked(r)) {
            continue;
        }
        line.clear();
        grid.appendRow(line, r, ends.data());
        qsizetype from = 0;
        for (int c = 0; c < grid.columnCount(); ++c) {
            const qsizetype to = ends[static_cast<std::size_t>(c)];
            out = appendCell(out, viewOf(line).sliced(from, to - from),
                             widths[static_cast<std::size_t>(c)], wide);
            from = to;
        }
        *out++ = u'\r';
        *out++ = u'\n';
    }
    lines.truncate(out - begin);
    return lines;
}

QString describeShortWrite(const QIODevice& device) {
    return describeWriteFailure(device.errorString());
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

ReportBytes buildReport(const GridData& grid) {
    const Widths widths = reportWidths(grid);
    // Single-byte first: the common case costs one pass.
    bool wide = false;
    ReportBytes report{headerLine<QByteArray>(grid, widths, wide),
                       rowLines<QByteArray>(grid, widths, wide), ReportEncoding::SingleByte};
    if (wide) {
        report.header = headerLine<QString>(grid, widths, wide).toUtf8();
        report.rows = rowLines<QString>(grid, widths, wide).toUtf8();
        report.encoding = ReportEncoding::Utf8;
    }
    return report;
}

QByteArray buildReportBytes(const GridData& grid) {
    ReportBytes report = buildReport(grid);
    return report.header + report.rows;
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

void writeReport(const GridData& grid, QIODevice& device) {
    const ReportBytes report = buildReport(grid);
    writeAll(device, report.header);
    writeAll(device, report.rows);
}

void SaveListviewProperlySpacedWithoutProgressBar(const GridData& grid, const QString& path,
                                                  MessageBoxes& boxes) {
    Guard guard(boxes,
                u"in Corvatel2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar "_s);
    ReportBytes report;
    if (!guard.run(102, [&] { report = buildReport(grid); })) {
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
    if (!guard.run(150, [&] { write(report.header); })) {
        return;
    }
    if (!guard.run(180, [&] { write(report.rows); })) {
        return;
    }
    guard.run(184, [&] {
        if (!file.commit()) {
            throw fileFailure();
        }
    });
}
