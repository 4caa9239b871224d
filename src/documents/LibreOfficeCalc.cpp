#include "documents/LibreOfficeCalc.h"

#include "core/Conversions.h"
#include "core/DateFormat.h"
#include "core/Failure.h"
#include "documents/Workbook.h"
#include "output/WorkbookFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <unistd.h>

namespace {

const QString source = QStringLiteral("LibreOfficeCalc");

// The limits of an .xlsx sheet.
constexpr int maxRows = 1048576;
constexpr int maxColumns = 16384;
constexpr qsizetype maxTextLength = 32767;
constexpr double maxColumnWidth = 255;

// A Qt date or time format as a spreadsheet number format: the same fields, every other
// character taken literally.
QString toNumberFormat(const QString& qtFormat) {
    QString out;
    const std::vector<DateFormatToken> tokens = tokenizeDateFormat(qtFormat);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const DateFormatToken& token = tokens[i];
        switch (token.field) {
            case 0:
                if (token.literal.isEmpty()) {
                    break;
                }
                for (QChar ch : token.literal) {
                    if (ch != u' ') {
                        out += u'\\';
                    }
                    out += ch;
                }
                break;
            case u'd':
            case u'y':
            case u's':
            case u'm':
                out += token.source;
                break;
            case u'M':
                out += QString(token.count, u'm');
                break;
            case u'h':
            case u'H':
                out += QString(token.count, u'h');
                break;
            case u'A':
            case u'a':
                out += QStringLiteral("AM/PM");
                // "ap" and "AP" are one field.
                if (i + 1 < tokens.size() &&
                    (tokens[i + 1].field == u'p' || tokens[i + 1].field == u'P')) {
                    ++i;
                }
                break;
            case u't':
                break;  // no time zones in cell formats
            default:
                for (qsizetype k = 0; k < token.count; ++k) {
                    out += u'\\';
                    out += QChar(token.field);
                }
                break;
        }
    }
    return out.trimmed();
}

// Roughly the width that the spreadsheet's own fitting gives in its default font.
double widthForText(qsizetype length) {
    return std::min(maxColumnWidth, static_cast<double>(length) * 1.1 + 1.0);
}

void check(bool written) {
    if (!written) {
        throw Failure::platform(PlatformFailure::PathFileAccessError, source);
    }
}

[[noreturn]] void invalidCall() {
    throw Failure::platform(PlatformFailure::InvalidCall, source);
}

const QString folderPattern = QString::fromLatin1(workbookFolderPattern);

// Watches a started spreadsheet program for as long as it may still fail before it shows the
// workbook, and holds the workbook's folder meanwhile: a failure removes it, success keeps it
// for the program to read. The program runs under a shell, so that ending this watch (or this
// program) ends the shell only and never the spreadsheet program.
class ProgramWatch final : public QObject {
public:
    ProgramWatch(std::unique_ptr<QTemporaryDir> folder, SheetWriter::LateFailure failedLater)
        : QObject(QCoreApplication::instance()),
          m_folder(std::move(folder)),
          m_failedLater(std::move(failedLater)) {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.setStandardInputFile(QProcess::nullDevice());
        // A session of its own: a terminal's hang-up or interrupt does not reach it.
        m_process.setChildProcessModifier([] { ::setsid(); });
        connect(&m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus how) {
            settle(how == QProcess::NormalExit && code == 0);
            deleteLater();
        });
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                settle(false);
                deleteLater();
            }
        });
        connect(&m_timer, &QTimer::timeout, this, [this] { settle(true); });
        m_timer.setSingleShot(true);
    }
    ~ProgramWatch() override {
        // Still undecided as this program ends: the program may yet read the file.
        if (m_folder) {
            m_folder->setAutoRemove(false);
        }
        m_process.blockSignals(true);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    void start(const QString& program, const QStringList& arguments, int watchMs) {
        m_timer.start(watchMs);
        m_process.start(QStringLiteral("/bin/sh"),
                        QStringList{QStringLiteral("-c"), QStringLiteral("\"$@\"; exit $?"),
                                    QStringLiteral("sh"), program} +
                            arguments);
    }

private:
    void settle(bool shown) {
        if (!m_folder) {
            return;
        }
        m_timer.stop();
        if (shown) {
            m_folder->setAutoRemove(false);
            m_folder.reset();
            return;
        }
        m_folder.reset();
        if (m_failedLater) {
            m_failedLater(Failure::platform(PlatformFailure::CannotCreateObject, source));
        }
    }

    std::unique_ptr<QTemporaryDir> m_folder;  // none once settled
    SheetWriter::LateFailure m_failedLater;
    QTimer m_timer;
    QProcess m_process;
};

}  // namespace

CellValue typedIn(const QString& text, const QLocale& locale) {
    if (text.isEmpty()) {
        return {};
    }
    if (const auto number = parseNumber(text, locale)) {
        return {CellValue::Kind::Number, *number, text, text.size()};
    }
    if (const auto date = parseDate(text, locale)) {
        return {CellValue::Kind::Date, *date, text, text.size()};
    }
    return CellValue::fromText(text);
}

LibreOfficeCalcSheet::LibreOfficeCalcSheet(QString program, QLocale locale)
    : m_program(std::move(program)), m_locale(std::move(locale)) {}

LibreOfficeCalcSheet::~LibreOfficeCalcSheet() {
    discard();
}

void LibreOfficeCalcSheet::discard() {
    m_book.reset();
    m_folder.reset();
}

QString LibreOfficeCalcSheet::filePath() const {
    return m_folder ? m_folder->filePath(QStringLiteral("Book1.xlsx")) : QString();
}

void LibreOfficeCalcSheet::newWorkbook() {
    discard();
    // An unusable temporary location reads as empty, which would mean the working directory.
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    if (temp.isEmpty() || !QDir::isAbsolutePath(temp) || !QDir(temp).exists()) {
        throw Failure::platform(PlatformFailure::PathNotFound, source);
    }
    removeOldExportFolders(temp, QDateTime::currentDateTimeUtc());
    // Calc reads the file after this program may have ended, so a shown folder stays; mkdtemp
    // makes it readable by its owner only.
    m_folder = std::make_unique<QTemporaryDir>(QDir(temp).filePath(folderPattern));
    if (!m_folder->isValid()) {
        m_folder.reset();
        throw Failure::platform(PlatformFailure::PathFileAccessError, source);
    }
    m_book = std::make_unique<Workbook>(filePath(), m_folder->path(),
                                        toNumberFormat(shortDateFormat(m_locale)));
    if (!m_book->ok()) {
        discard();
        throw Failure::platform(PlatformFailure::OutOfMemory, source);
    }
    m_lastRow = 0;
    m_written = false;
    m_longest.clear();
    m_widths.clear();
}

void LibreOfficeCalcSheet::setHeader(int column, const QString& text) {
    write(1, column, CellValue::fromText(text), text.size());
}

void LibreOfficeCalcSheet::setCell(int row, int column, const CellValue& value) {
    write(row, column, value,
          value.kind == CellValue::Kind::Text ? value.text.size() : value.textLength);
}

void LibreOfficeCalcSheet::write(int row, int column, const CellValue& value, qsizetype length) {
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns || row < m_lastRow ||
        value.text.size() > maxTextLength) {
        invalidCall();
    }
    if (!m_book) {
        throw Failure::platform(PlatformFailure::ObjectRequired, source);
    }
    m_lastRow = row;
    switch (value.kind) {
        case CellValue::Kind::Empty:
            return;
        case CellValue::Kind::Number:
            check(m_book->number(row - 1, column - 1, value.number));
            break;
        // A date value counts days from 30 December 1899, which is how Calc reads the serial
        // numbers of an .xlsx file.
        case CellValue::Kind::Date:
            check(m_book->date(row - 1, column - 1, value.number));
            break;
        case CellValue::Kind::Text:
            check(m_book->text(row - 1, column - 1, value.text));
            break;
    }
    const auto index = static_cast<std::size_t>(column - 1);
    if (index >= m_longest.size()) {
        m_longest.resize(index + 1, 0);
    }
    m_longest[index] = std::max(m_longest[index], length);
}

void LibreOfficeCalcSheet::fitColumn(int column) {
    if (column < 1 || column > maxColumns) {
        invalidCall();
    }
    fit(column);
}

void LibreOfficeCalcSheet::fitColumns() {
    for (int column = 1; column <= static_cast<int>(m_longest.size()); ++column) {
        fit(column);
    }
}

void LibreOfficeCalcSheet::fit(int column) {
    const auto index = static_cast<std::size_t>(column - 1);
    const qsizetype longest = index < m_longest.size() ? m_longest[index] : 0;
    // An empty column keeps the default width.
    if (longest == 0) {
        m_widths.erase(column);
        return;
    }
    m_widths[column] = widthForText(longest);
    if (m_book) {
        check(m_book->setWidth(column - 1, column - 1, m_widths[column]));
    }
}

void LibreOfficeCalcSheet::writeFile() {
    if (m_written) {
        return;
    }
    if (!m_book) {
        throw Failure::platform(PlatformFailure::ObjectRequired, source);
    }
    const std::optional<QString> failed = m_book->close();
    m_book.reset();
    if (failed) {
        m_folder.reset();
        throw Failure::platform(PlatformFailure::PathFileAccessError, source);
    }
    m_written = true;
}

void LibreOfficeCalcSheet::show(LateFailure failedLater) {
    if (m_shown) {
        return;
    }
    writeFile();
    const QString file = filePath();
    auto* watch = new ProgramWatch(std::move(m_folder), std::move(failedLater));
    watch->start(m_program, {QStringLiteral("--calc"), QStringLiteral("-n"), file}, m_watchMs);
    m_shown = true;
}

void removeOldExportFolders(const QString& tempFolder, const QDateTime& now) {
    const QString prefix = folderPattern.left(folderPattern.indexOf(u'X'));
    const QFileInfoList entries =
        QDir(tempFolder)
            .entryInfoList({prefix + QStringLiteral("??????")},
                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        // Only this user's own folders, never through a link, and only once Calc has long read
        // them.
        if (entry.isSymLink() || entry.ownerId() != ::geteuid() ||
            entry.lastModified().secsTo(now) < exportFolderLifetimeSecs) {
            continue;
        }
        QDir(entry.filePath()).removeRecursively();
    }
}

std::unique_ptr<SheetWriter> LibreOfficeCalc::start() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (program.isEmpty()) {
        throw Failure::platform(PlatformFailure::CannotCreateObject, source);
    }
    return std::make_unique<LibreOfficeCalcSheet>(program, m_locale.value_or(QLocale()));
}

std::shared_ptr<Spreadsheet> makeDefaultSpreadsheet() {
    return std::make_shared<LibreOfficeCalc>();
}
