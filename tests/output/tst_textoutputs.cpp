#include "core/MessageBoxes.h"
#include "documents/Clipboard.h"
#include "output/CopyText.h"
#include "output/GridData.h"
#include "output/Report.h"
#include "support/RecordingBoxes.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <initializer_list>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

struct Row {
    bool checked;
    QStringList cells;
};

GridData makeGrid(const QStringList& headers, const std::vector<Row>& rows) {
    std::vector<GridRow> gridRows;
    for (const Row& source : rows) {
        GridRow row(source.cells.value(0));
        for (int c = 1; c < source.cells.size(); ++c) {
            row.setCell(c, source.cells[c]);
        }
        row.setChecked(source.checked);
        gridRows.push_back(std::move(row));
    }
    return GridData(headers, std::move(gridRows));
}

const QStringList threeHeaders{u"#"_s, u"Amount"_s, u"Rate"_s};

GridData threeColumnExample(int extraFirstRows = 0) {
    std::vector<Row> rows{{true, {u"1"_s, u"100"_s, u"7.5"_s}},
                          {false, {u"123"_s, u"5"_s, u"0"_s}},
                          {true, {u"2"_s, u"99.25"_s, u""_s}}};
    rows.insert(rows.end(), static_cast<std::size_t>(extraFirstRows), rows.front());
    return makeGrid(threeHeaders, rows);
}

const QStringList sixHeaders{
    u"#"_s,           u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s, u"Interest Amt."_s,
    u"Closing Bal."_s};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

Q_DECLARE_METATYPE(GridData)

class TextOutputsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyText_data();
    void copyText();
    void reportBytes_data();
    void reportBytes();
    void writeReportToDevice();
    void saveReplacesFile();
    void saveFailure_data();
    void saveFailure();
    void saveFailureLeavesExistingFile();
    void writeFailureLeavesExistingFile();
    void copyToClipboard();
    void copyOnEmptyGridLeavesClipboard();
    void clipboardFormats();
};

void TextOutputsTest::copyText_data() {
    QTest::addColumn<GridData>("grid");
    QTest::addColumn<QString>("expected");

    QTest::newRow("three-column example")
        << threeColumnExample() << u"1  \t100  \t7.5\r\n2  \t99.25\t\r\n"_s;
    QTest::newRow("no row checked")
        << makeGrid(threeHeaders, {{false, {u"1"_s, u"100"_s, u"7.5"_s}}}) << QString();
    QTest::newRow("header never widens")
        << makeGrid({u"Longheader"_s, u"B"_s},
                    {{true, {u"1"_s, u"x"_s}}, {true, {u"22"_s, u"y"_s}}})
        << u"1 \tx\r\n22\ty\r\n"_s;
    QTest::newRow("widest last cell, shorter last cell unpadded")
        << makeGrid({u"A"_s, u"B"_s}, {{true, {u"a"_s, u"long"_s}}, {true, {u"b"_s, u"x"_s}}})
        << u"a\tlong\r\nb\tx\r\n"_s;
    QTest::newRow("trailing blanks of the last cell go")
        << makeGrid({u"A"_s, u"B"_s}, {{true, {u"a"_s, u"x  "_s}}}) << u"a\tx\r\n"_s;
    QTest::newRow("totals row") << makeGrid({u"#"_s, u"Date"_s, u"Amt"_s},
                                            {{true, {u"1"_s, u"1/1/2022"_s, u"100"_s}},
                                             {true, {u""_s, u""_s, u"200"_s}}})
                                << u"1\t1/1/2022\t100\r\n \t        \t200\r\n"_s;
    QTest::newRow("row with fewer cells reads them empty")
        << makeGrid({u"A"_s, u"B"_s, u"C"_s},
                    {{true, {u"a"_s}}, {false, {u"b"_s, u"bb"_s, u"c"_s}}})
        << u"a\t  \t\r\n"_s;
}

void TextOutputsTest::copyText() {
    QFETCH(GridData, grid);
    QFETCH(QString, expected);
    QCOMPARE(buildCopyText(grid), expected);
}

void TextOutputsTest::reportBytes_data() {
    QTest::addColumn<GridData>("grid");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("three-column example")
        << threeColumnExample()
        << "#  \tAmount\tRate\t\r\n1  \t100   \t7.5 \t\r\n2  \t99.25 \t    \t\r\n"_ba;
    QTest::newRow("six columns, empty grid")
        << makeGrid(sixHeaders, {})
        << "#\tDate\tOpening Bal.\tPrinciple Amt.\tInterest Amt.\tClosing Bal.\t\r\n"_ba;
    QTest::newRow("none checked, widths still count")
        << makeGrid({u"#"_s, u"Amount"_s}, {{false, {u"123"_s, u"5"_s}}}) << "#  \tAmount\t\r\n"_ba;
    QTest::newRow("header longer than its cells")
        << makeGrid({u"Longheader"_s}, {{true, {u"1"_s}}}) << "Longheader\t\r\n1         \t\r\n"_ba;
    QTest::newRow("cell longer than its header")
        << makeGrid({u"#"_s}, {{true, {u"12"_s}}, {true, {u"3"_s}}})
        << "# \t\r\n12\t\r\n3 \t\r\n"_ba;
    QTest::newRow("totals row")
        << makeGrid({u"#"_s, u"Date"_s, u"Amt"_s},
                    {{true, {u"1"_s, u"1/1/2022"_s, u"100"_s}}, {true, {u""_s, u""_s, u"200"_s}}})
        << "#\tDate    \tAmt\t\r\n1\t1/1/2022\t100\t\r\n \t        \t200\t\r\n"_ba;
    QTest::newRow("one byte per character")
        << makeGrid({u"A"_s}, {{true, {u"caf\u00e9"_s}}, {false, {u"\u20ac1"_s}}})
        << "A   \t\r\ncaf\xe9\t\r\n"_ba;
    QTest::newRow("beyond one byte: UTF-8, padding in characters")
        << makeGrid({u"A"_s}, {{true, {u"caf\u00e9"_s}}, {true, {u"\u20ac1"_s}}})
        << "A   \t\r\ncaf\xc3\xa9\t\r\n\xe2\x82\xac""1  \t\r\n"_ba;
}

void TextOutputsTest::reportBytes() {
    QFETCH(GridData, grid);
    QFETCH(QByteArray, expected);
    QCOMPARE(buildReportBytes(grid), expected);
}

void TextOutputsTest::writeReportToDevice() {
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    writeReport(threeColumnExample(), buffer);
    QCOMPARE(buffer.data(), buildReportBytes(threeColumnExample()));
}

void TextOutputsTest::saveReplacesFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"schedule"_s);  // no extension added
    writeFile(path, "an older and much longer report\r\n"_ba);

    RecordingBoxes boxes;
    SaveListviewProperlySpacedWithoutProgressBar(threeColumnExample(), path, boxes);
    QCOMPARE(boxes.shown.size(), 0);
    QCOMPARE(readAll(path), buildReportBytes(threeColumnExample()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"schedule"_s});
}

void TextOutputsTest::saveFailure_data() {
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("description");

    QTest::newRow("missing folder") << u"missing/report.txt"_s << u"Path not found"_s;
    QTest::newRow("file in place of the folder") << u"blocker/report.txt"_s << u"Path not found"_s;
    QTest::newRow("name of a folder") << u"folder"_s << u"Path/File access error"_s;
}

void TextOutputsTest::saveFailure() {
    QFETCH(QString, relativePath);
    QFETCH(QString, description);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath(u"blocker"_s), "keep"_ba);
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));

    RecordingBoxes boxes;
    const GridData grid = threeColumnExample(50);
    SaveListviewProperlySpacedWithoutProgressBar(grid, dir.filePath(relativePath), boxes);

    QCOMPARE(boxes.shown.size(), 1);  // once, not once per line
    const Message& box = boxes.shown.front();
    QCOMPARE(box.title, u"Application Error"_s);
    QVERIFY2(
        box.text.startsWith(
            description +
            u"\r\nin Corvatel2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar at line 136\r\r"_s),
        qPrintable(box.text));
    QCOMPARE(readAll(dir.filePath(u"blocker"_s)), "keep"_ba);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{u"blocker"_s, u"folder"_s}));
    QVERIFY(QDir(dir.filePath(u"folder"_s)).isEmpty());
}

void TextOutputsTest::saveFailureLeavesExistingFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"report.txt"_s);
    writeFile(path, "the earlier report\r\n"_ba);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    {
        QFile probe(dir.filePath(u"probe"_s));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("a read-only folder does not stop this user (root)");
        }
    }

    RecordingBoxes boxes;
    SaveListviewProperlySpacedWithoutProgressBar(threeColumnExample(), path, boxes);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown.front().text.startsWith(u"Permission denied\r\n"_s),
             qPrintable(boxes.shown.front().text));
    QCOMPARE(readAll(path), "the earlier report\r\n"_ba);
}

void TextOutputsTest::writeFailureLeavesExistingFile() {
    // A file size limit stops writing part-way, like a full disk, and binds root too.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"report.txt"_s);
    writeFile(path, "the earlier report\r\n"_ba);
    const GridData grid = threeColumnExample(5000);

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    RecordingBoxes boxes;
    SaveListviewProperlySpacedWithoutProgressBar(grid, path, boxes);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(boxes.shown.size(), 1);
    const QString& text = boxes.shown.front().text;
    QVERIFY2(
        text.contains(
            u"\r\nin Corvatel2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar at line 1"_s),
        qPrintable(text));
    QVERIFY2(text.contains(u"at line 180\r\r"_s) || text.contains(u"at line 184\r\r"_s),
             qPrintable(text));
    QCOMPARE(readAll(path), "the earlier report\r\n"_ba);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"report.txt"_s});
}

void TextOutputsTest::copyToClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"before"_s);
    CopyListviewToClipboard(threeColumnExample());
    QCOMPARE(clipboard->text(), u"1  \t100  \t7.5\r\n2  \t99.25\t\r\n"_s);

    // Rows present, none checked: the clipboard ends up empty.
    CopyListviewToClipboard(makeGrid(threeHeaders, {{false, {u"1"_s, u"2"_s, u"3"_s}}}));
    QCOMPARE(clipboard->text(), QString());
}

void TextOutputsTest::copyOnEmptyGridLeavesClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"keep me"_s);
    CopyListviewToClipboard(makeGrid(sixHeaders, {}));
    QCOMPARE(clipboard->text(), u"keep me"_s);
}

void TextOutputsTest::clipboardFormats() {
    QVERIFY(SetClipboardText(u"plain"_s, 0));
    QCOMPARE(QGuiApplication::clipboard()->text(), u"plain"_s);
    QVERIFY(!SetClipboardText(u"other"_s, 49161));
    QCOMPARE(QGuiApplication::clipboard()->text(), u"plain"_s);
}

QTEST_MAIN(TextOutputsTest)
#include "tst_textoutputs.moc"
