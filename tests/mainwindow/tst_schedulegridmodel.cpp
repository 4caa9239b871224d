#include "mainwindow/ScheduleGridModel.h"

#include "core/Failure.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList headers{
    u"#"_s,           u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s, u"Interest Amt."_s,
    u"Closing Bal."_s};

std::vector<GridRow> someRows(int count) {
    std::vector<GridRow> rows;
    for (int i = 1; i <= count; ++i) {
        GridRow& row = rows.emplace_back(QString::number(i));
        for (int c = 1; c < 6; ++c) {
            row.setCell(c, u"r%1c%2"_s.arg(i).arg(c));
        }
    }
    return rows;
}

void addHeaders(ScheduleGridModel& model) {
    for (const QString& header : headers) {
        model.addColumn(header);
    }
}

}  // namespace

class ScheduleGridModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passesTheModelTester();
    void rowsStartCheckedAndCanBeUnticked();
    void missingThingsFail_data();
    void missingThingsFail();
    void snapshotsDoNotChange();
};

void ScheduleGridModelTest::passesTheModelTester() {
    ScheduleGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    addHeaders(model);
    model.setRows(someRows(13));
    QCOMPARE(model.rowCount(), 13);
    QCOMPARE(model.columnCount(), 6);
    QVERIFY(model.setData(model.index(3, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!model.setData(model.index(3, 1), Qt::Unchecked, Qt::CheckStateRole));
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 6);
    model.setRows(someRows(2));
}

void ScheduleGridModelTest::rowsStartCheckedAndCanBeUnticked() {
    ScheduleGridModel model;
    addHeaders(model);
    model.setRows(someRows(3));
    QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    for (int row = 0; row < 3; ++row) {
        QVERIFY(model.isChecked(row));
        QCOMPARE(model.data(model.index(row, 0), Qt::CheckStateRole), QVariant(Qt::Checked));
    }
    QCOMPARE(model.data(model.index(1, 1), Qt::CheckStateRole), QVariant());

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!model.isChecked(1));
    QVERIFY(model.isChecked(0));
    QCOMPARE(model.text(1, 0), u"2"_s);
    QCOMPARE(model.text(1, 5), u"r2c5"_s);
    QCOMPARE(model.header(3), u"Principle Amt."_s);
    QCOMPARE(model.headerData(5, Qt::Horizontal).toString(), u"Closing Bal."_s);
}

void ScheduleGridModelTest::missingThingsFail_data() {
    QTest::addColumn<int>("what");  // 0 text, 1 check state, 2 header
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("row past the end") << 0 << 3 << 0;
    QTest::newRow("negative row") << 0 << -1 << 0;
    QTest::newRow("column past the end") << 0 << 0 << 6;
    QTest::newRow("negative column") << 0 << 0 << -1;
    QTest::newRow("check state past the end") << 1 << 3 << 0;
    QTest::newRow("check state of negative row") << 1 << -1 << 0;
    QTest::newRow("header past the end") << 2 << 0 << 6;
    QTest::newRow("negative header") << 2 << 0 << -1;
}

void ScheduleGridModelTest::missingThingsFail() {
    QFETCH(int, what);
    QFETCH(int, row);
    QFETCH(int, column);
    ScheduleGridModel model;
    addHeaders(model);
    model.setRows(someRows(3));
    try {
        switch (what) {
            case 0:
                model.text(row, column);
                break;
            case 1:
                model.isChecked(row);
                break;
            default:
                model.header(column);
                break;
        }
        QFAIL("no failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), static_cast<std::int32_t>(PlatformFailure::IndexOutOfBounds));
    }
}

void ScheduleGridModelTest::snapshotsDoNotChange() {
    ScheduleGridModel model;
    addHeaders(model);
    model.setRows(someRows(3));
    const GridSnapshot before = model.snapshot();

    model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    QVERIFY(before->checked(0));
    QVERIFY(!model.isChecked(0));

    const GridSnapshot unticked = model.snapshot();
    model.setRows(someRows(1));
    QCOMPARE(before->rowCount(), 3);
    QCOMPARE(unticked->rowCount(), 3);
    QVERIFY(!unticked->checked(0));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.snapshot()->columnCount(), 6);

    model.clear();
    QCOMPARE(unticked->cell(2, 5), u"r3c5"_s);
}

QTEST_GUILESS_MAIN(ScheduleGridModelTest)
#include "tst_schedulegridmodel.moc"
