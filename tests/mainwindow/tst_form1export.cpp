#include "core/Failure.h"
#include "core/MessageBoxes.h"
#include "mainwindow/Form1.h"
#include "mainwindow/ScheduleGridModel.h"
#include "documents/SheetWriter.h"
#include "shell/SettingsStore.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// What the export did to the spreadsheet application, and where it should fail.
struct Recording {
    enum class FailAt { Nothing, Missing, SecondCreate, Add, Cell, Visible, Later };
    FailAt failAt = FailAt::Nothing;
    int creates = 0;
    std::map<std::pair<int, int>, QString> cells;
    QStringList calls;
    std::function<int()> pointer;
    std::function<void(int row)> onCell;
    QList<int> pointerWhileWriting;
};

Failure appFailure() {
    return Failure::platform(PlatformFailure::InvalidCall);
}

// Records what the export writes; a cell is recorded with the text it was typed in as.
struct RecordingSheet final : SheetWriter {
    explicit RecordingSheet(Recording& r) : rec(r) {}
    void newWorkbook() override {
        if (rec.failAt == Recording::FailAt::Add) {
            throw appFailure();
        }
        rec.calls.append(u"add"_s);
    }
    void setHeader(int column, const QString& text) override { record(1, column, text); }
    void setCell(int row, int column, const CellValue& value) override {
        record(row, column, value.text);
    }
    void fitColumn(int column) override { rec.calls.append(u"fit %1"_s.arg(column)); }
    void fitColumns() override { rec.calls.append(u"fit all"_s); }
    void show(LateFailure failedLater) override {
        if (rec.failAt == Recording::FailAt::Visible) {
            throw appFailure();
        }
        if (rec.failAt == Recording::FailAt::Later) {
            QTimer::singleShot(0, [failedLater] { failedLater(appFailure()); });
        }
        rec.calls.append(u"visible"_s);
    }
    void record(int row, int column, const QString& text) {
        if (rec.failAt == Recording::FailAt::Cell) {
            throw appFailure();
        }
        rec.cells[{row, column}] = text;
        if (rec.onCell) {
            rec.onCell(row);
        }
        if (rec.pointerWhileWriting.isEmpty()) {
            rec.pointerWhileWriting.append(rec.pointer());
        }
    }
    Recording& rec;
};

struct RecordingSpreadsheet final : Spreadsheet {
    explicit RecordingSpreadsheet(Recording& r) : rec(r) {}
    std::unique_ptr<SheetWriter> start() override {
        ++rec.creates;
        if (rec.failAt == Recording::FailAt::Missing ||
            (rec.failAt == Recording::FailAt::SecondCreate && rec.creates == 2)) {
            throw Failure::platform(PlatformFailure::CannotCreateObject);
        }
        return std::make_unique<RecordingSheet>(rec);
    }
    Recording& rec;
};

GridRow gridRow(const QStringList& texts, bool checked = true) {
    GridRow row(texts.value(0));
    for (int c = 1; c < texts.size(); ++c) {
        row.setCell(c, texts[c]);
    }
    row.setChecked(checked);
    return row;
}

const QString testMessage =
    u"Excel is not installed on this computer. You need to have it installed to use this "
    u"software without error."_s;
const QString commandMessage =
    u"Excel is not installed on this computer. You need to have it installed to use this "
    u"feature."_s;

}  // namespace

class Form1ExportTest : public WindowTest {
public:
    Form1ExportTest() : WindowTest(QLocale(QLocale::English, QLocale::UnitedKingdom)) {}

    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void placesRowsAndHeaders();
    void applicationMissing_data();
    void applicationMissing();
    void emptyGridExportsNothing();
    void failingApplication_data();
    void failingApplication();
    void exportsThroughCalc();
    void closingWindowEndsExport();

private:
    void fillGrid();

    Recording m_rec;
};

void Form1ExportTest::init() {
    startWindowTest();
    openWindow();
    QCOMPARE(m_boxes->shown.size(), 0);

    m_rec = Recording();
    m_rec.pointer = [this] { return m_window->MousePointer(); };
    m_window->setSpreadsheet(std::make_shared<RecordingSpreadsheet>(m_rec));
}

void Form1ExportTest::cleanup() {
    QVERIFY2(finishWindowTest(), "a modal window stayed open");
}

void Form1ExportTest::fillGrid() {
    std::vector<GridRow> rows;
    rows.push_back(
        gridRow({u"1"_s, u"15/04/2024"_s, u"100000"_s, u"7921.5"_s, u"916.67"_s, u"92078.5"_s}));
    rows.push_back(gridRow({u"2"_s, u"15/05/2024"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s}, false));
    rows.push_back(gridRow({u"=3"_s, u"=15/06/2024"_s, u"a=b=c"_s, u"=="_s, u"1=="_s, u""_s}));
    rows.push_back(gridRow({u""_s, u""_s, u"100000"_s, u"100000"_s, u"6057.99"_s, u"0"_s}));
    m_window->gridModel().setRows(std::move(rows));
}

void Form1ExportTest::placesRowsAndHeaders() {
    fillGrid();
    m_window->PushButton13_Click();

    QCOMPARE(m_boxes->shown.size(), 0);
    QCOMPARE(m_rec.creates, 2);  // the installation test, then the export
    const QStringList headers{
        u"#"_s,           u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s, u"Interest Amt."_s,
        u"Closing Bal."_s};
    const std::map<int, QStringList> sheetRows{
        {1, headers},
        {2, {u"1"_s, u"15/04/2024"_s, u"100000"_s, u"7921.5"_s, u"916.67"_s, u"92078.5"_s}},
        // sheet row 3 stays empty: grid row 2 is not checked
        {4, {u"=3"_s, u"15/06/2024"_s, u"abc"_s, u""_s, u"1"_s, u""_s}},
        {5, {u""_s, u""_s, u"100000"_s, u"100000"_s, u"6057.99"_s, u"0"_s}},
    };
    std::map<std::pair<int, int>, QString> expected;
    for (const auto& [row, texts] : sheetRows) {
        for (int c = 0; c < texts.size(); ++c) {
            expected[{row, c + 1}] = texts[c];
        }
    }
    QCOMPARE(m_rec.cells, expected);
    QCOMPARE(m_rec.calls, (QStringList{u"add"_s, u"fit 1"_s, u"fit 2"_s, u"fit 3"_s, u"fit 4"_s,
                                       u"fit 5"_s, u"fit 6"_s, u"fit all"_s, u"visible"_s}));
    QCOMPARE(m_rec.pointerWhileWriting, QList<int>{Form1::pointerBusy});
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
}

void Form1ExportTest::applicationMissing_data() {
    QTest::addColumn<bool>("realBackend");
    QTest::newRow("stand-in cannot be created") << false;
    QTest::newRow("no soffice on PATH") << true;
}

void Form1ExportTest::applicationMissing() {
    QFETCH(bool, realBackend);
    const QByteArray path = qgetenv("PATH");
    if (realBackend) {
        m_window->setSpreadsheet(makeDefaultSpreadsheet());
        qputenv("PATH", QFile::encodeName(m_dir->path()));
    }
    m_rec.failAt = Recording::FailAt::Missing;
    fillGrid();
    m_window->PushButton13_Click();
    qputenv("PATH", path);

    QCOMPARE(m_boxes->shown.size(), 2);
    QCOMPARE(m_boxes->shown[0].text, testMessage);
    QCOMPARE(m_boxes->shown[1].text, commandMessage);
    for (const Message& box : m_boxes->shown) {
        QCOMPARE(box.icon, MessageIcon::None);
        QVERIFY(box.title != u"Application Error"_s);
    }
    QVERIFY(m_rec.cells.empty());
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
}

void Form1ExportTest::emptyGridExportsNothing() {
    m_window->PushButton13_Click();
    QCOMPARE(m_rec.creates, 1);  // the installation test only
    QVERIFY(m_rec.cells.empty());
    QVERIFY(m_rec.calls.isEmpty());
    QCOMPARE(m_boxes->shown.size(), 0);
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
}

void Form1ExportTest::failingApplication_data() {
    QTest::addColumn<int>("failAt");
    QTest::addColumn<int>("line");

    QTest::newRow("cannot start after the test passed")
        << static_cast<int>(Recording::FailAt::SecondCreate) << 112;
    QTest::newRow("no workbook") << static_cast<int>(Recording::FailAt::Add) << 114;
    QTest::newRow("cells cannot be written") << static_cast<int>(Recording::FailAt::Cell) << 122;
    QTest::newRow("cannot be shown") << static_cast<int>(Recording::FailAt::Visible) << 168;
    QTest::newRow("fails after the export") << static_cast<int>(Recording::FailAt::Later) << 168;
}

void Form1ExportTest::failingApplication() {
    QFETCH(int, failAt);
    QFETCH(int, line);

    m_rec.failAt = static_cast<Recording::FailAt>(failAt);
    fillGrid();
    m_window->PushButton13_Click();
    // A late failure waits for the event loop; the export has ended by then.
    QCOMPARE(m_boxes->shown.size(), m_rec.failAt == Recording::FailAt::Later ? 0 : 1);
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);

    QTRY_COMPARE(m_boxes->shown.size(), 1);
    const Message& box = m_boxes->shown[0];
    QCOMPARE(box.title, u"Application Error"_s);
    QCOMPARE(box.icon, MessageIcon::Warning);
    QVERIFY2(box.text.contains(
                 u"\r\nin Corvatel2021/08/31.Form1.PushButton13_Click at line %1\r\r"_s.arg(line)),
             qPrintable(box.text));
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
}

void Form1ExportTest::exportsThroughCalc() {
    const QString realSoffice = QStandardPaths::findExecutable(u"soffice"_s);
    QVERIFY2(!realSoffice.isEmpty(), "LibreOffice (soffice) must be installed for this test");
    // A stand-in soffice records the launch; the real one reads the file back headless.
    const QString bin = m_dir->filePath(u"bin"_s);
    const QString record = m_dir->filePath(u"arguments.txt"_s);
    QVERIFY(QDir().mkpath(bin));
    QFile script(bin + u"/soffice"_s);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\" && mv \"$0.part\" \"" +
                 QFile::encodeName(record) + "\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    qputenv("TMPDIR", QFile::encodeName(m_dir->path()));
    m_window->setSpreadsheet(makeDefaultSpreadsheet());
    fillGrid();
    m_window->PushButton13_Click();
    qputenv("PATH", path);
    qputenv("TMPDIR", tmp);
    QCOMPARE(m_boxes->shown.size(), 0);
    stopWatchdog();  // no box can come up any more; Calc may take its time

    QFile arguments(record);
    QTRY_VERIFY_WITH_TIMEOUT(arguments.exists(), 20000);
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    const QStringList launch =
        QString::fromLocal8Bit(arguments.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(launch.size(), 3);
    QCOMPARE(launch.mid(0, 2), (QStringList{u"--calc"_s, u"-n"_s}));

    QProcess calc;
    const QString out = m_dir->filePath(u"csv"_s);
    calc.start(realSoffice, {u"-env:UserInstallation="_s +
                                 QUrl::fromLocalFile(m_dir->filePath(u"profile"_s)).toString(),
                             u"--headless"_s, u"--convert-to"_s,
                             u"csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true,true"_s,
                             u"--outdir"_s, out, launch[2]});
    QVERIFY(calc.waitForFinished(60000));
    QFile csv(QDir(out).filePath(QFileInfo(launch[2]).completeBaseName() + u".csv"_s));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    // Unquoted fields are numbers or dates; the first column keeps its "=" as text.
    QCOMPARE(QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts),
             (QStringList{
                 uR"("#","Date","Opening Bal.","Principle Amt.","Interest Amt.","Closing Bal.")"_s,
                 u"1,15/04/2024,100000,7921.5,916.67,92078.5"_s,
                 u",,,,,"_s,
                 uR"("=3",15/06/2024,"abc",,1,)"_s,
                 u",,100000,100000,6057.99,0"_s,
             }));
}

void Form1ExportTest::closingWindowEndsExport() {
    fillGrid();
    m_rec.onCell = [this](int row) {
        if (row == 2) {
            m_window->close();
        }
    };
    m_window->show();
    m_window->PushButton13_Click();
    QCOMPARE(m_boxes->shown.size(), 0);
    QVERIFY(!m_rec.cells.contains({4, 1}));
    QVERIFY(!m_rec.calls.contains(u"visible"_s));
}

QTEST_MAIN(Form1ExportTest)
#include "tst_form1export.moc"
