#include "core/Failure.h"
#include "core/Guard.h"
#include "core/MessageBoxes.h"
#include "shell/QtMessageBoxes.h"
#include "shell/ThemeAndIdentity.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class RecordingBoxes final : public MessageBoxes {
public:
    void show(const Message& message) override { shown.push_back(message); }
    std::vector<Message> shown;
};

const QString clearLocation = u"in Corvatel2021/08/31.Form1.PushButton10_Click "_s;
const QString emailRequest =
    u"Please email screenshot of this message to support@ravenmoor.example"_s;

}  // namespace

class TestGuard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageText_data();
    void messageText();
    void errorBoxIsTitledWarning();
    void guardResumesAfterEachFailure();
    void guardReportsOtherExceptions_data();
    void guardReportsOtherExceptions();
    void informUsesTheApplicationTitle();
    void realBoxIsModalWarningWithOneButton();
};

void TestGuard::messageText_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("clear command") << u"Overflow"_s << clearLocation << 100
                                   << u"Overflow\r\nin Corvatel2021/08/31.Form1.PushButton10_Click "
                                      u"at line 100\r\r"_s +
                                          emailRequest;
    QTest::newRow("empty description")
        << QString() << clearLocation << 100
        << u"\r\nin Corvatel2021/08/31.Form1.PushButton10_Click at line 100\r\r"_s + emailRequest;
    QTest::newRow("before the first statement")
        << u"Type mismatch"_s << u"in Corvatel2021/08/31.Form1.Form_Load "_s << 0
        << u"Type mismatch\r\nin Corvatel2021/08/31.Form1.Form_Load at line 0\r\r"_s + emailRequest;
    QTest::newRow("negative line")
        << u"x"_s << u"in A "_s << -7 << u"x\r\nin A at line -7\r\r"_s + emailRequest;
    QTest::newRow("component failure")
        << QString::fromUtf16(componentFailureDescription)
        << u"in Corvatel2021/08/31.Form1.PushButton1_Click "_s << 120
        << u"clsLoanDetails component failure\r\nin Corvatel2021/08/31.Form1.PushButton1_Click "
           u"at line 120\r\r"_s +
               emailRequest;
}

void TestGuard::messageText() {
    QFETCH(QString, description);
    QFETCH(QString, location);
    QFETCH(int, line);
    QFETCH(QString, expected);
    QCOMPARE(composeErrorText(description, location, line), expected);
}

void TestGuard::errorBoxIsTitledWarning() {
    RecordingBoxes boxes;
    showErrorBox(boxes, u"Overflow"_s, clearLocation, 100);
    QCOMPARE(boxes.shown.size(), 1u);
    QCOMPARE(boxes.shown[0].title, u"Application Error"_s);
    QCOMPARE(boxes.shown[0].icon, MessageIcon::Warning);
    QCOMPARE(boxes.shown[0].text, composeErrorText(u"Overflow"_s, clearLocation, 100));
}

void TestGuard::guardResumesAfterEachFailure() {
    RecordingBoxes boxes;
    Guard guard(boxes, u"in Corvatel2021/08/31.Form1.PushButton13_Click "_s);
    QList<int> done;
    QList<bool> results;
    results << guard.run(100, [&] { done << 100; });
    results << guard.run(102, [&] {
        throw Failure::platform(PlatformFailure::DivisionByZero);
        done << 102;
    });
    results << guard.run(104, [&] { done << 104; });
    results << guard.run(106, [&] {
        throw Failure(componentFailureNumber, u"Corvatel.clsLoanDetails.CalculateEMI"_s,
                      QString::fromUtf16(componentFailureDescription));
    });
    results << guard.run(108, [&] { done << 108; });

    QCOMPARE(done, (QList<int>{100, 104, 108}));
    QCOMPARE(results, (QList<bool>{true, false, true, false, true}));
    QCOMPARE(guard.line(), 108);
    QCOMPARE(boxes.shown.size(), 2u);
    const QString location = u"in Corvatel2021/08/31.Form1.PushButton13_Click "_s;
    QCOMPARE(boxes.shown[0].text, composeErrorText(u"Division by zero"_s, location, 102));
    QCOMPARE(boxes.shown[1].text,
             composeErrorText(u"clsLoanDetails component failure"_s, location, 106));
    // The failure's number never reaches the box.
    QVERIFY(!boxes.shown[1].text.contains(QString::number(componentFailureNumber)));
}

void TestGuard::guardReportsOtherExceptions_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("description");
    QTest::newRow("out of memory") << 0 << u"Out of memory"_s;
    QTest::newRow("standard exception") << 1 << u"vector::at"_s;
}

void TestGuard::guardReportsOtherExceptions() {
    QFETCH(int, kind);
    QFETCH(QString, description);
    RecordingBoxes boxes;
    Guard guard(boxes, u"in X "_s);
    const bool completed = guard.run(110, [&] {
        if (kind == 0) {
            throw std::bad_alloc();
        }
        throw std::out_of_range("vector::at");
    });
    QVERIFY(!completed);
    QCOMPARE(boxes.shown.size(), 1u);
    QCOMPARE(boxes.shown[0].text, composeErrorText(description, u"in X "_s, 110));
}

void TestGuard::informUsesTheApplicationTitle() {
    SetAppTitle();
    RecordingBoxes boxes;
    boxes.inform(u"Please enter a valid number"_s);
    QCOMPARE(boxes.shown.size(), 1u);
    QCOMPARE(boxes.shown[0].title, u"Ravenmoor"_s);
    QCOMPARE(boxes.shown[0].icon, MessageIcon::None);
    // No display name of its own: Qt would append it to the title bar of every other window.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

void TestGuard::realBoxIsModalWarningWithOneButton() {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = -1;
    bool modal = false;
    int polls = 0;
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            // Leave nothing open whatever happens: the box must appear within a few seconds.
            if (++polls > 250) {
                closer.stop();
                const auto boxes = QApplication::topLevelWidgets();
                for (QWidget* widget : boxes) {
                    if (auto* stray = qobject_cast<QMessageBox*>(widget)) {
                        stray->done(0);
                    }
                }
            }
            return;
        }
        closer.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    closer.start();

    QtMessageBoxes boxes;
    showErrorBox(boxes, u"File not found"_s, clearLocation, 100);

    QCOMPARE(title, u"Application Error"_s);
    QCOMPARE(text, composeErrorText(u"File not found"_s, clearLocation, 100));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, 1);
    QVERIFY(modal);
}

QTEST_MAIN(TestGuard)
#include "tst_guard.moc"
