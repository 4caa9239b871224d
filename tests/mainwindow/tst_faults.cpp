#include "core/Conversions.h"
#include "core/Failure.h"
#include "mainwindow/HandCursor.h"
#include "output/GridData.h"
#include "output/LibreOfficeCalc.h"
#include "output/Report.h"
#include "shell/SettingsStore.h"
#include "support/RecordingBoxes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

enum class Fault {
    ReportLocale,
    LinkRule,
    RealLink,
    ShortWrite,
    CursorFifo,
    SettingsDamage,
    StandIn,
    WorkbookDiskFull,
    OldFolders
};

// Takes at most `room` bytes; then gives the reason it was told (none by default).
class FullDevice final : public QIODevice {
public:
    FullDevice(qint64 room, const QString& reason) : m_room(room) {
        open(QIODevice::WriteOnly);
        if (!reason.isEmpty()) {
            setErrorString(reason);
        }
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        const qint64 taken = std::min(size, m_room);
        m_room -= taken;
        return taken;
    }

private:
    qint64 m_room;
};

GridData moneyGrid(const QLocale& locale) {
    std::vector<GridRow> rows;
    for (double amount : {8838.17, 91161.84, 0.0}) {
        GridRow row(numberToText(rows.size() + 1.0, locale));
        row.setCell(1, numberToText(amount, locale));
        rows.push_back(std::move(row));
    }
    return GridData({u"#"_s, u"Closing Bal."_s}, std::move(rows));
}

// "single byte" or "UTF-8", and whether every line is as long in characters as the header.
QString reportOutcome(const QString& localeName) {
    const GridData grid = moneyGrid(QLocale(localeName));
    const QByteArray bytes = buildReportBytes(grid);
    const bool utf8 = buildReport(grid).encoding == ReportEncoding::Utf8;
    const QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    const QStringList lines = text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    const bool aligned = std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
        return line.size() == lines.front().size();
    });
    const bool kept = text.contains(grid.cell(1, 1));
    return (utf8 ? u"UTF-8"_s : u"single byte"_s) + (aligned && kept ? u""_s : u", damaged"_s);
}

// input: "sticky|plain user-link-folder owners", e.g. "sticky 1 2 3".
QString linkRuleOutcome(const QString& input) {
    const QStringList parts = input.split(u' ');
    LinkFacts facts;
    facts.isLink = true;
    facts.folderSharedSticky = parts[0] == u"sticky"_s;
    facts.user = parts[1].toUInt();
    facts.linkOwner = parts[2].toUInt();
    facts.folderOwner = parts[3].toUInt();
    return refusesLinkReplacement(facts) ? u"refused"_s : u"followed"_s;
}

QString realLinkOutcome() {
    QTemporaryDir dir;
    const QString target = dir.filePath(u"target.txt"_s);
    const QString link = dir.filePath(u"link.txt"_s);
    QFile(target).open(QIODevice::WriteOnly);
    QFile::link(target, link);
    RecordingBoxes boxes;
    SaveListviewProperlySpacedWithoutProgressBar(moneyGrid(QLocale::c()), link, boxes);
    QFile file(target);
    file.open(QIODevice::ReadOnly);
    const bool updated = file.readAll() == buildReportBytes(moneyGrid(QLocale::c()));
    return QFileInfo(link).isSymLink() && updated && boxes.shown.isEmpty() ? u"target updated"_s
                                                                           : u"link replaced"_s;
}

QString shortWriteOutcome(const QString& reason) {
    FullDevice device(10, reason);
    try {
        writeReport(moneyGrid(QLocale::c()), device);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return u"written"_s;
}

QString cursorFifoOutcome() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"HAND-M.CUR"_s);
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) {
        return u"no FIFO"_s;
    }
    try {
        loadCursorFile(path);  // would wait for a writer for good if it opened blocking
    } catch (const Failure& failure) {
        return failure.description();
    }
    return u"loaded"_s;
}

// The file holds what a hand edit left; the store then takes two keystrokes.
QString settingsOutcome(const QString& content) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Kestrelor.ini"_s);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content.toLatin1());
    file.close();
    QStringList messages;
    SettingsStore store(path);
    store.setWriteFailureNotifier([&](const QString& message) { messages << message; });
    store.write(u"Text1"_s, u"7"_s);
    store.write(u"Text1"_s, u"75"_s);
    const QString stored = SettingsStore(path).read(u"Text1"_s, 100000);
    return messages.isEmpty() ? u"stored "_s + stored : messages.join(u'|');
}

// Descriptors of this process that point into the folder (deleted files included).
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

// A stand-in soffice given as a shell body; "shown" or the failure it was reported as, and
// whether the workbook's folder is still there for it.
QString standInOutcome(const QString& body) {
    QTemporaryDir dir;
    const QString program = dir.filePath(u"soffice"_s);
    QFile script(program);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\n" + body.toUtf8() + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LibreOfficeCalcSheet sheet(body.isEmpty() ? dir.filePath(u"missing"_s) : program, QLocale::c());
    sheet.setWatchTime(1500);
    sheet.newWorkbook();
    sheet.setHeader(1, u"#"_s);
    const QString folder = QFileInfo(sheet.filePath()).path();
    QString outcome = u"shown"_s;
    try {
        sheet.show();
    } catch (const Failure& failure) {
        outcome = failure.description();
    }
    if (QFileInfo::exists(folder) != (outcome == u"shown"_s)) {
        outcome += u", folder wrongly kept or removed"_s;
    }
    QDir(folder).removeRecursively();
    return outcome;
}

// A 32768-row workbook whose file cannot be made at the end, as on a full disk: the failure,
// then no descriptor and no file left.
QString workbookFailureOutcome() {
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    QString outcome = u"written"_s;
    try {
        LibreOfficeCalcSheet sheet(u"/bin/true"_s, QLocale::c());
        sheet.newWorkbook();
        for (int row = 1; row <= 32768; ++row) {
            for (int column = 1; column <= 6; ++column) {
                sheet.setCell(row, column, CellValue::fromText(u"cell %1"_s.arg(row)));
            }
        }
        QDir().mkdir(sheet.filePath());  // the library's fopen of the workbook now fails
        sheet.writeFile();
    } catch (const Failure&) {
        outcome = u"failed"_s;
    }
    qputenv("TMPDIR", savedTemp);
    if (descriptorsUnder(temp.path()) != 0) {
        outcome += u", descriptor kept"_s;
    }
    if (!QDir(temp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        outcome += u", files left"_s;
    }
    return outcome;
}

// Export folders aged as given in hours ("30 2"); which of them remain after the tidy-up.
QString oldFoldersOutcome(const QString& ages) {
    QTemporaryDir temp;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QString& age : ages.split(u' ')) {
        const QString name = u"ravenmoor-%1h0000"_s.arg(age).left(16);
        QDir(temp.path()).mkdir(name);
        QFile(temp.filePath(name + u"/Book1.xlsx"_s)).open(QIODevice::WriteOnly);
        const time_t then = now.addSecs(-3600 * age.toInt()).toSecsSinceEpoch();
        const timeval times[2]{{then, 0}, {then, 0}};
        ::utimes(QFile::encodeName(temp.filePath(name)).constData(), times);
    }
    QDir(temp.path()).mkdir(u"other-old"_s);
    removeOldExportFolders(temp.path(), now);
    return QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name).join(u' ');
}

}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fault_data();
    void fault();
};

void FaultsTest::fault_data() {
    QTest::addColumn<Fault>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("report, English digits")
        << Fault::ReportLocale << u"en_US"_s << u"single byte"_s;
    QTest::newRow("report, German comma") << Fault::ReportLocale << u"de_DE"_s << u"single byte"_s;
    QTest::newRow("report, Arabic digits") << Fault::ReportLocale << u"ar_EG"_s << u"UTF-8"_s;
    QTest::newRow("report, Persian digits") << Fault::ReportLocale << u"fa_IR"_s << u"UTF-8"_s;
    QTest::newRow("report, Bengali digits") << Fault::ReportLocale << u"bn_BD"_s << u"UTF-8"_s;
    QTest::newRow("link: shared folder, stranger's")
        << Fault::LinkRule << u"sticky 1000 1001 0"_s << u"refused"_s;
    QTest::newRow("link: shared folder, own")
        << Fault::LinkRule << u"sticky 1000 1000 0"_s << u"followed"_s;
    QTest::newRow("link: shared folder, its owner's")
        << Fault::LinkRule << u"sticky 1000 0 0"_s << u"followed"_s;
    QTest::newRow("link: own folder, stranger's")
        << Fault::LinkRule << u"plain 1000 1001 1000"_s << u"followed"_s;
    QTest::newRow("link: real, plain folder")
        << Fault::RealLink << QString() << u"target updated"_s;
    QTest::newRow("disk full, no reason given") << Fault::ShortWrite << QString() << u"Disk full"_s;
    QTest::newRow("disk full, system's words")
        << Fault::ShortWrite << u"No space left on device"_s << u"Disk full"_s;
    QTest::newRow("other write failure keeps its words")
        << Fault::ShortWrite << u"Input/output error"_s << u"Input/output error"_s;
    QTest::newRow("cursor is a FIFO") << Fault::CursorFifo << QString() << u"Invalid picture"_s;
    QTest::newRow("settings: comment line")
        << Fault::SettingsDamage << u"# mine\n[Ravenmoor]\nText1=5\n"_s << u"stored 75"_s;
    QTest::newRow("settings: stray bytes")
        << Fault::SettingsDamage << u"[Ravenmoor]\nText1=5\n\x01\xff\n"_s << u"stored 75"_s;
    QTest::newRow("soffice fails at once")
        << Fault::StandIn << u"exit 1"_s << u"Cannot create object"_s;
    QTest::newRow("soffice missing") << Fault::StandIn << QString() << u"Cannot create object"_s;
    QTest::newRow("running soffice takes the file") << Fault::StandIn << u"exit 0"_s << u"shown"_s;
    QTest::newRow("soffice runs on") << Fault::StandIn << u"sleep 3"_s << u"shown"_s;
    QTest::newRow("workbook that cannot be written")
        << Fault::WorkbookDiskFull << QString() << u"failed"_s;
    QTest::newRow("export folders a day old go")
        << Fault::OldFolders << u"30 25 23 1"_s << u"other-old ravenmoor-1h0000 ravenmoor-23h000"_s;
}

void FaultsTest::fault() {
    QFETCH(Fault, kind);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QString outcome;
    switch (kind) {
        case Fault::ReportLocale:
            outcome = reportOutcome(input);
            break;
        case Fault::LinkRule:
            outcome = linkRuleOutcome(input);
            break;
        case Fault::RealLink:
            outcome = realLinkOutcome();
            break;
        case Fault::ShortWrite:
            outcome = shortWriteOutcome(input);
            break;
        case Fault::CursorFifo:
            outcome = cursorFifoOutcome();
            break;
        case Fault::StandIn:
            outcome = standInOutcome(input);
            break;
        case Fault::WorkbookDiskFull:
            outcome = workbookFailureOutcome();
            break;
        case Fault::OldFolders:
            outcome = oldFoldersOutcome(input);
            break;
        case Fault::SettingsDamage:
            outcome = settingsOutcome(input);
            break;
    }
    QCOMPARE(outcome, expected);
}

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
