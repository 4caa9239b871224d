// Faults found by injection, each through the function that owns it: one row per case, the
// outcome as a short text.
#include "core/Conversions.h"
#include "core/Failure.h"
#include "mainwindow/HandCursor.h"
#include "documents/LibreOfficeCalc.h"
#include "output/Report.h"
#include "shell/SettingsStore.h"
#include "support/RecordingBoxes.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Outcome = QString (*)(const QString& input);

// Takes 10 bytes, then nothing, and gives no reason: a full disk as some file systems show it.
struct FullDevice final : QIODevice {
    FullDevice() { open(WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        const qint64 taken = std::min(size, m_room);
        m_room -= taken;
        return taken;
    }
    qint64 m_room = 10;
};

GridData moneyGrid(const QLocale& locale) {
    std::vector<GridRow> rows;
    for (double amount : {8838.17, 91161.84, 0.0}) {
        rows.emplace_back(numberToText(rows.size() + 1.0, locale));
        rows.back().setCell(1, numberToText(amount, locale));
    }
    return GridData({u"#"_s, u"Closing Bal."_s}, std::move(rows));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QString failureOf(const std::function<void()>& action, const QString& success) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return success;
}

// The encoding, and ", damaged" unless every line is as long in characters as the header and
// the locale's digits arrive unchanged.
QString reportOutcome(const QString& localeName) {
    const GridData grid = moneyGrid(QLocale(localeName));
    const ReportBytes report = buildReport(grid);
    const bool utf8 = report.encoding == ReportEncoding::Utf8;
    const QByteArray bytes = report.header + report.rows;
    const QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    const QStringList lines = text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    const bool aligned = std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
        return line.size() == lines.front().size();
    });
    const bool kept = text.contains(grid.cell(1, 1));
    return (utf8 ? u"UTF-8"_s : u"single byte"_s) + (aligned && kept ? u""_s : u", damaged"_s);
}

// "sticky|plain USER LINK-OWNER FOLDER-OWNER"
QString linkRuleOutcome(const QString& input) {
    const QStringList parts = input.split(u' ');
    const LinkFacts facts{true, parts[0] == u"sticky"_s, parts[2].toUInt(), parts[3].toUInt(),
                          parts[1].toUInt()};
    return refusesLinkReplacement(facts) ? u"refused"_s : u"followed"_s;
}

QString realLinkOutcome(const QString&) {
    QTemporaryDir dir;
    const QString target = dir.filePath(u"target.txt"_s);
    const QString link = dir.filePath(u"link.txt"_s);
    writeFile(target, "old");
    QFile::link(target, link);
    RecordingBoxes boxes;
    SaveListviewProperlySpacedWithoutProgressBar(moneyGrid(QLocale::c()), link, boxes);
    QFile file(target);
    file.open(QIODevice::ReadOnly);
    const bool updated = file.readAll() == buildReportBytes(moneyGrid(QLocale::c()));
    return QFileInfo(link).isSymLink() && updated && boxes.shown.isEmpty() ? u"target updated"_s
                                                                           : u"link replaced"_s;
}

QString shortWriteOutcome(const QString& device) {
    FullDevice full;
    QFile devFull(u"/dev/full"_s);
    devFull.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QIODevice& out = device.isEmpty() ? static_cast<QIODevice&>(full) : devFull;
    return failureOf([&] { writeReport(moneyGrid(QLocale::c()), out); }, u"written"_s);
}

QString cursorFifoOutcome(const QString&) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"HAND-M.CUR"_s);
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
    // Opening it blocking would wait for a writer for good.
    return failureOf([&] { loadCursorFile(path); }, u"loaded"_s);
}

// The file holds what a hand edit left; the store then takes two keystrokes.
QString settingsOutcome(const QString& content) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Kestrelor.ini"_s);
    writeFile(path, content.toLatin1());
    QStringList messages;
    SettingsStore store(path);
    store.setWriteFailureNotifier([&](const QString& message) { messages << message; });
    store.write(u"Text1"_s, u"7"_s);
    store.write(u"Text1"_s, u"75"_s);
    return messages.isEmpty() ? u"stored "_s + SettingsStore(path).read(u"Text1"_s, 1)
                              : messages.join(u'|');
}

// A stand-in soffice (a shell body; none: the program is missing): "shown" or the failure
// within the watch time, and whether the workbook's folder wrongly stayed or went.
QString standInOutcome(const QString& body) {
    QTemporaryDir dir;
    const QString program = dir.filePath(u"soffice"_s);
    writeFile(program, "#!/bin/sh\n" + body.toUtf8() + "\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    LibreOfficeCalcSheet sheet(body.isEmpty() ? dir.filePath(u"missing"_s) : program, QLocale::c());
    constexpr int watchMs = 1500;
    sheet.setWatchTime(watchMs);
    sheet.newWorkbook();
    sheet.setHeader(1, u"#"_s);
    const QString folder = QFileInfo(sheet.filePath()).path();
    QString failedLater;
    QString outcome = failureOf(
        [&] { sheet.show([&](const Failure& failure) { failedLater = failure.description(); }); },
        u"shown"_s);
    if (QTest::qWaitFor([&] { return !failedLater.isEmpty(); }, watchMs + 500)) {
        outcome = failedLater;
    }
    if (QFileInfo::exists(folder) != (outcome == u"shown"_s)) {
        outcome += u", folder wrongly kept or removed"_s;
    }
    QDir(folder).removeRecursively();
    return outcome;
}

// Descriptors of this process into the folder, deleted files included.
int descriptorsUnder(const QString& folder) {
    int count = 0;
    const QDir fds(u"/proc/self/fd"_s);
    for (const QString& name : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        char target[4096];
        const ssize_t length =
            ::readlink(QFile::encodeName(fds.filePath(name)).constData(), target, sizeof target);
        count += length > 0 && QByteArray(target, length).startsWith(QFile::encodeName(folder));
    }
    return count;
}

// A 32768-row workbook whose file cannot be made at the end, as on a full disk.
QString workbookFailureOutcome(const QString&) {
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    QString outcome = failureOf(
        [] {
            LibreOfficeCalcSheet sheet(u"/bin/true"_s, QLocale::c());
            sheet.newWorkbook();
            for (int row = 1; row <= 32768; ++row) {
                for (int column = 1; column <= 6; ++column) {
                    sheet.setCell(row, column, CellValue::fromText(u"cell %1"_s.arg(row)));
                }
            }
            QDir().mkdir(sheet.filePath());  // the library's fopen of the workbook fails
            sheet.writeFile();
        },
        u"written"_s);
    qputenv("TMPDIR", savedTemp);
    if (descriptorsUnder(temp.path()) != 0) {
        outcome += u", descriptor kept"_s;
    }
    if (!QDir(temp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        outcome += u", files left"_s;
    }
    return outcome;
}

// Export folders aged as given in hours; the folders that remain after the tidy-up.
QString oldFoldersOutcome(const QString& ages) {
    QTemporaryDir temp;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QString& age : ages.split(u' ')) {
        const QString name = u"ravenmoor-%1h0000"_s.arg(age).left(16);
        QDir(temp.path()).mkdir(name);
        writeFile(temp.filePath(name + u"/Book1.xlsx"_s), {});
        const time_t then = now.addSecs(-3600 * age.toInt()).toSecsSinceEpoch();
        const timeval times[2]{{then, 0}, {then, 0}};
        ::utimes(QFile::encodeName(temp.filePath(name)).constData(), times);
    }
    QDir(temp.path()).mkdir(u"other-old"_s);
    removeOldExportFolders(temp.path(), now);
    return QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name).join(u' ');
}

}  // namespace

Q_DECLARE_METATYPE(Outcome)

class FaultsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fault_data();
    void fault();
};

void FaultsTest::fault_data() {
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("report, English digits") << &reportOutcome << u"en_US"_s << u"single byte"_s;
    QTest::newRow("report, German comma") << &reportOutcome << u"de_DE"_s << u"single byte"_s;
    QTest::newRow("report, Arabic digits") << &reportOutcome << u"ar_EG"_s << u"UTF-8"_s;
    QTest::newRow("report, Persian digits") << &reportOutcome << u"fa_IR"_s << u"UTF-8"_s;
    QTest::newRow("report, Bengali digits") << &reportOutcome << u"bn_BD"_s << u"UTF-8"_s;
    QTest::newRow("link: shared, stranger's") << &linkRuleOutcome << u"sticky 1000 1001 0"_s << u"refused"_s;
    QTest::newRow("link: shared, own") << &linkRuleOutcome << u"sticky 1000 1000 0"_s << u"followed"_s;
    QTest::newRow("link: shared, folder owner's") << &linkRuleOutcome << u"sticky 1000 0 0"_s << u"followed"_s;
    QTest::newRow("link: own folder, stranger's") << &linkRuleOutcome << u"plain 1000 1001 1000"_s << u"followed"_s;
    QTest::newRow("link: real, own folder") << &realLinkOutcome << QString() << u"target updated"_s;
    QTest::newRow("disk full, no reason") << &shortWriteOutcome << QString() << u"Disk full"_s;
    QTest::newRow("disk full, ENOSPC") << &shortWriteOutcome << u"/dev/full"_s << u"Disk full"_s;
    QTest::newRow("cursor is a FIFO") << &cursorFifoOutcome << QString() << u"Invalid picture"_s;
    QTest::newRow("settings: comment line") << &settingsOutcome << u"# mine\n[Ravenmoor]\nText1=5\n"_s << u"stored 75"_s;
    QTest::newRow("settings: stray bytes") << &settingsOutcome << u"[Ravenmoor]\nText1=5\n\x01\xff\n"_s << u"stored 75"_s;
    QTest::newRow("soffice fails at once") << &standInOutcome << u"exit 1"_s << u"Cannot create object"_s;
    QTest::newRow("soffice missing") << &standInOutcome << QString() << u"Cannot create object"_s;
    QTest::newRow("running soffice takes the file") << &standInOutcome << u"exit 0"_s << u"shown"_s;
    QTest::newRow("soffice runs on") << &standInOutcome << u"sleep 3"_s << u"shown"_s;
    QTest::newRow("soffice fails after a second") << &standInOutcome << u"sleep 1; exit 1"_s << u"Cannot create object"_s;
    QTest::newRow("workbook cannot be written") << &workbookFailureOutcome << QString() << u"Path/File access error"_s;
    QTest::newRow("export folders a day old go") << &oldFoldersOutcome << u"30 25 23 1"_s << u"other-old ravenmoor-1h0000 ravenmoor-23h000"_s;
    // clang-format on
}

void FaultsTest::fault() {
    QFETCH(Outcome, outcome);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(outcome(input), expected);
}

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
