#include "core/Failure.h"
#include "documents/LibreOfficeCalc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <map>

namespace {

// Texts as a user would type them, and how Calc shows them when every text cell is quoted:
// an unquoted field is a number or a date.
struct TypedCase {
    const char* name;
    QString text;
    QString shown;
};
const std::vector<TypedCase> typedCases{
    {"whole number", "100000", "100000"},
    {"decimal number", "916.67", "916.67"},
    {"negative number", "-12.5", "-12.5"},
    {"zero", "0", "0"},
    {"short date", "15/03/2024", "15/03/2024"},
    {"date and time", "15/03/2024 13:45:00", "15/03/2024 13:45:00"},
    {"date before March 1900", "31/12/1899", "31/12/1899"},
    {"plain text", "abc", "\"abc\""},
    {"formula-like text stays text", "=1+1", "\"=1+1\""},
    {"text with inner equals sign", "a=b", "\"a=b\""},
    {"empty text leaves the cell empty", "", ""},
};

}  // namespace

class TestSpreadsheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void createObject_data();
    void createObject();
    void visibleOpensNewWorkbookFromTemplate();
    void readBackTypes_data();
    void readBackTypes();
    void failures_data();
    void failures();
    void fileCannotBeWritten();
    void autoFit();

private:
    std::unique_ptr<SheetWriter> startCalc();
    // Shows the workbook through the stand-in and returns its arguments.
    QStringList showAndRecord(SheetWriter& sheet);
    QStringList convertToCsv(const QString& file);

    QTemporaryDir m_work;
    QString m_realSoffice;
    QString m_standInDir;
    QString m_record;
    QByteArray m_path;
    std::map<QString, QString> m_typedShown;
};

void TestSpreadsheet::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QVERIFY(m_work.isValid());
    m_realSoffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QVERIFY2(!m_realSoffice.isEmpty(), "LibreOffice (soffice) must be installed for this test");

    // A stand-in soffice that records its arguments, one a line: a headless Calc cannot open
    // a template window.
    m_standInDir = m_work.filePath("bin");
    m_record = m_work.filePath("arguments.txt");
    QVERIFY(QDir().mkpath(m_standInDir));
    QFile script(m_standInDir + "/soffice");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\" && mv \"$0.part\" \"" +
                 QFile::encodeName(m_record) + "\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner));
    m_path = qgetenv("PATH");
    QVERIFY(QDir().mkpath(m_work.filePath("tmp")));
}

void TestSpreadsheet::init() {
    qputenv("PATH", QFile::encodeName(m_standInDir) + ':' + m_path);
    qputenv("TMPDIR", QFile::encodeName(m_work.filePath("tmp")));
    QFile::remove(m_record);
}

std::unique_ptr<SheetWriter> TestSpreadsheet::startCalc() {
    return LibreOfficeCalc().start();
}

QStringList TestSpreadsheet::showAndRecord(SheetWriter& sheet) {
    sheet.show({});
    QFile record(m_record);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(record.exists(), 20000); }();
    if (!record.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLocal8Bit(record.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList TestSpreadsheet::convertToCsv(const QString& file) {
    const QString out = m_work.filePath("csv");
    QProcess calc;
    // Quote every text cell (token 7), cells as shown (token 9).
    calc.start(
        m_realSoffice,
        {"-env:UserInstallation=" + QUrl::fromLocalFile(m_work.filePath("profile")).toString(),
         "--headless", "--convert-to",
         "csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true,true", "--outdir", out, file});
    if (!calc.waitForFinished(60000) || calc.exitCode() != 0) {
        qWarning() << calc.readAllStandardError();
        return {};
    }
    QFile csv(QDir(out).filePath(QFileInfo(file).completeBaseName() + ".csv"));
    if (!csv.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void TestSpreadsheet::createObject_data() {
    QTest::addColumn<bool>("standInOnPath");
    QTest::addColumn<bool>("created");

    QTest::newRow("Calc on PATH") << true << true;
    QTest::newRow("no soffice on PATH") << false << false;
}

void TestSpreadsheet::createObject() {
    QFETCH(bool, standInOnPath);
    QFETCH(bool, created);

    if (!standInOnPath) {
        qputenv("PATH", QFile::encodeName(m_work.filePath("empty")));
    }
    try {
        auto sheet = LibreOfficeCalc().start();
        QVERIFY(created);
        QVERIFY(sheet);
    } catch (const Failure& failure) {
        QVERIFY(!created);
        QCOMPARE(failure.number(), static_cast<int>(PlatformFailure::CannotCreateObject));
    }
    // Creating an instance never starts Calc.
    QTest::qWait(200);
    QVERIFY(!QFile::exists(m_record));
}

void TestSpreadsheet::visibleOpensNewWorkbookFromTemplate() {
    auto sheet = startCalc();
    sheet->newWorkbook();
    sheet->setHeader(1, QStringLiteral("#"));

    const QStringList arguments = showAndRecord(*sheet);
    QCOMPARE(arguments.size(), 3);
    QCOMPARE(arguments[0], QStringLiteral("--calc"));
    QCOMPARE(arguments[1], QStringLiteral("-n"));
    const QFileInfo file(arguments[2]);
    QVERIFY(file.isAbsolute());
    QCOMPARE(file.suffix(), QStringLiteral("xlsx"));
    QVERIFY(file.size() > 0);
    // The folder is private to the user and stays for Calc to read.
    const QFileInfo folder(file.absolutePath());
    QCOMPARE(folder.absolutePath(), QDir(m_work.filePath("tmp")).absolutePath());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(folder.permissions() & others, QFileDevice::Permissions());
    QVERIFY(folder.permissions().testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner));

    // Already visible: nothing is started again.
    QFile::remove(m_record);
    sheet->show({});
    QTest::qWait(200);
    QVERIFY(!QFile::exists(m_record));
}

void TestSpreadsheet::readBackTypes_data() {
    QTest::addColumn<QString>("shown");
    // One workbook for every case: Calc starts once.
    if (m_typedShown.empty()) {
        auto sheet = startCalc();
        sheet->newWorkbook();
        int row = 1;
        for (const auto& typed : typedCases) {
            sheet->setCell(row, 1, typedIn(QStringLiteral("row")));
            sheet->setCell(row, 2, typedIn(typed.text));
            ++row;
        }
        const QStringList launch = showAndRecord(*sheet);
        const QStringList csv = convertToCsv(launch.value(2));
        for (int i = 0; i < csv.size() && i < static_cast<int>(typedCases.size()); ++i) {
            m_typedShown[typedCases[i].name] = csv[i].section(u',', 1);
        }
    }
    for (const auto& typed : typedCases) {
        QTest::newRow(typed.name) << typed.shown;
    }
}

void TestSpreadsheet::readBackTypes() {
    QFETCH(QString, shown);
    const auto found = m_typedShown.find(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(found != m_typedShown.end());
    QCOMPARE(found->second, shown);
}

void TestSpreadsheet::failures_data() {
    QTest::addColumn<bool>("folderMissing");
    QTest::addColumn<int>("number");

    QTest::newRow("temporary folder missing")
        << true << static_cast<int>(PlatformFailure::PathNotFound);
    QTest::newRow("Calc cannot be started")
        << false << static_cast<int>(PlatformFailure::CannotCreateObject);
}

void TestSpreadsheet::failures() {
    QFETCH(bool, folderMissing);
    QFETCH(int, number);

    QTemporaryDir bin;
    QVERIFY(QFile::copy(m_standInDir + "/soffice", bin.filePath("soffice")));
    qputenv("PATH", QFile::encodeName(bin.path()));
    auto sheet = startCalc();
    const QDir temp(m_work.filePath("tmp"));
    const auto folders = [&] {
        return temp.entryList({"ravenmoor-*"}, QDir::Dirs | QDir::NoDotAndDotDot).size();
    };
    const auto before = folders();
    int failed = 0;
    try {
        if (folderMissing) {
            qputenv("TMPDIR", QFile::encodeName(m_work.filePath("missing/folder")));
        }
        sheet->newWorkbook();
        sheet->setHeader(1, QStringLiteral("#"));
        QVERIFY(bin.remove());
        sheet->show([&failed](const Failure& failure) { failed = failure.number(); });
        QTRY_VERIFY_WITH_TIMEOUT(failed != 0, 20000);
    } catch (const Failure& failure) {
        failed = failure.number();
    }
    QCOMPARE(failed, number);
    // Nothing is left behind.
    QCOMPARE(folders(), before);
    QTest::qWait(200);
    QVERIFY(!QFile::exists(m_record));
}

void TestSpreadsheet::fileCannotBeWritten() {
    LibreOfficeCalcSheet sheet(m_standInDir + "/soffice", QLocale());
    sheet.newWorkbook();
    sheet.setHeader(1, QStringLiteral("#"));
    QVERIFY(QDir(QFileInfo(sheet.filePath()).absolutePath()).removeRecursively());
    try {
        sheet.show({});
        QFAIL("show did not fail");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), static_cast<int>(PlatformFailure::PathFileAccessError));
    }
    QVERIFY(!QFile::exists(m_record));
}

void TestSpreadsheet::autoFit() {
    LibreOfficeCalcSheet sheet(m_standInDir + "/soffice", QLocale());
    sheet.newWorkbook();
    sheet.setHeader(1, QStringLiteral("#"));
    sheet.setHeader(2, QStringLiteral("Opening Bal."));
    sheet.fitColumn(1);
    sheet.fitColumn(2);
    const double headerOnly = sheet.columnWidths().at(1);
    const double longHeader = sheet.columnWidths().at(2);
    QVERIFY(longHeader > headerOnly);

    // A fit holds until the next one.
    sheet.setCell(2, 1, typedIn(QStringLiteral("a much longer first-column text")));
    QCOMPARE(sheet.columnWidths().at(1), headerOnly);
    sheet.fitColumns();
    QVERIFY(sheet.columnWidths().at(1) > longHeader);
    QCOMPARE(sheet.columnWidths().at(2), longHeader);
    QCOMPARE(sheet.columnWidths().count(3), std::size_t{0});

    QVERIFY_THROWS_EXCEPTION(Failure, sheet.fitColumn(0));
    QVERIFY_THROWS_EXCEPTION(Failure, sheet.setCell(3, 1, typedIn(QString(32768, u'x'))));
    QVERIFY_THROWS_EXCEPTION(Failure, sheet.setCell(0, 1, typedIn(QStringLiteral("x"))));
    QVERIFY_THROWS_EXCEPTION(Failure, sheet.setCell(3, 16385, typedIn(QStringLiteral("x"))));
    // Rows go out in order.
    QVERIFY_THROWS_EXCEPTION(Failure, sheet.setCell(1, 1, typedIn(QStringLiteral("x"))));
}

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
