#include "mainwindow/Form1.h"
#include "support/WindowTest.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/MessageBoxes.h"
#include "mainwindow/HandCursor.h"
#include "mainwindow/ScheduleGridDelegate.h"
#include "mainwindow/ScheduleGridHeader.h"
#include "mainwindow/ScheduleGridModel.h"
#include "documents/SheetWriter.h"
#include "shell/SettingsStore.h"
#include "shell/ThemeAndIdentity.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Inputs {
    QString principal;
    QString months;
    QString rate;
};

// No spreadsheet application: the export command says so in a box.
struct NoSpreadsheet final : Spreadsheet {
    std::unique_ptr<SheetWriter> start() override { throw std::runtime_error("not installed"); }
};

void sendMove(QWidget* widget, QPoint pos = {5, 5}) {
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

Q_DECLARE_METATYPE(Inputs)

class Form1Test : public WindowTest {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void windowAndTabOrder();
    void firstStart();
    void restoresStoredTexts_data();
    void restoresStoredTexts();
    void restoreLeavesAnUnchangedFileAlone();
    void unreadableStoredDate();
    void brokenCursorFile();
    void webSiteOnDrawSeven_data();
    void webSiteOnDrawSeven();
    void validation_data();
    void validation();
    void workedExample();
    void failingStepEmptiesResults_data();
    void failingStepEmptiesResults();
    void fractionalAndZeroInputs_data();
    void fractionalAndZeroInputs();
    void largestScheduleFillsEveryRow();
    void enterRunsCalculate();
    void focusSelectsAll();
    void persistsEveryKeystroke();
    void persistsPickedDate();
    void storeWriteFailureWarnsOnce();
    void hoverRule_data();
    void hoverRule();
    void handCursorFile();
    void keyboardCommands_data();
    void keyboardCommands();
    void darkDesktopStaysReadable();
    void numberColumnShowsEveryNumber_data();
    void numberColumnShowsEveryNumber();

private:
    void store(const QString& key, const QString& text);
    QString stored(const QString& key);
    void calculate(const Inputs& inputs);
    void activate();
    QString observe() const;

    int m_saveAsked = 0;
};

void Form1Test::init() {
    startWindowTest();
}

void Form1Test::cleanup() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    QVERIFY2(finishWindowTest(), "a real modal box was left open");
}

void Form1Test::store(const QString& key, const QString& text) {
    SettingsStore(m_iniPath).write(key, text);
}

QString Form1Test::stored(const QString& key) {
    return SettingsStore(m_iniPath).read(key, -1);
}

void Form1Test::calculate(const Inputs& inputs) {
    m_window->Text1->setText(inputs.principal);
    m_window->Text2->setText(inputs.months);
    m_window->Text3->setText(inputs.rate);
    m_window->PushButton1_Click();
}

void Form1Test::activate() {
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void Form1Test::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");  // pixels; inside the frame for its controls
    // The captions reach to the input boxes, so that each shows whole.
    QTest::newRow("Frame1") << u"Frame1"_s << QRect(8, 4, 520, 248);
    QTest::newRow("Label1(0)") << u"Label1_0"_s << QRect(16, 24, 120, 15);
    QTest::newRow("Text1") << u"Text1"_s << QRect(136, 19, 369, 25);
    QTest::newRow("Label1(1)") << u"Label1_1"_s << QRect(16, 53, 120, 15);
    QTest::newRow("Text2") << u"Text2"_s << QRect(136, 48, 369, 25);
    QTest::newRow("Label1(2)") << u"Label1_2"_s << QRect(16, 85, 120, 15);
    QTest::newRow("Text3") << u"Text3"_s << QRect(136, 80, 369, 25);
    QTest::newRow("Label1(3)") << u"Label1_3"_s << QRect(16, 117, 120, 15);
    QTest::newRow("DateTimePicker1") << u"DateTimePicker1"_s << QRect(136, 112, 369, 25);
    QTest::newRow("Label1(4)") << u"Label1_4"_s << QRect(16, 149, 120, 15);
    QTest::newRow("Label2") << u"Label2"_s << QRect(136, 144, 369, 25);
    QTest::newRow("Label1(5)") << u"Label1_5"_s << QRect(16, 181, 120, 15);
    QTest::newRow("Label3") << u"Label3"_s << QRect(136, 176, 369, 25);
    QTest::newRow("PushButton1") << u"PushButton1"_s << QRect(16, 209, 488, 27);
    QTest::newRow("ListView2") << u"ListView2"_s << QRect(536, 8, 520, 177);
    QTest::newRow("PushButton9") << u"PushButton9"_s << QRect(536, 191, 256, 27);
    QTest::newRow("PushButton13") << u"PushButton13"_s << QRect(800, 192, 256, 27);
    QTest::newRow("PushButton11") << u"PushButton11"_s << QRect(536, 225, 256, 27);
    QTest::newRow("PushButton10") << u"PushButton10"_s << QRect(800, 225, 256, 27);
}

void Form1Test::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    openWindow();
    auto* control = m_window->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), place);
    const bool button = qobject_cast<QPushButton*>(control) != nullptr;
    QCOMPARE(control->font().family(), u"Arial"_s);
    QVERIFY(control->font().bold());
    QCOMPARE(control->font().pointSizeF(), button ? 11.25 : 9.0);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
    }
}

void Form1Test::windowAndTabOrder() {
    openWindow();
    // The client area keeps its size; the window grows by the menu bar above it.
    QCOMPARE(m_window->clientArea()->geometry(),
             QRect(0, m_window->menuBar()->height(), 1064, 259));
    QCOMPARE(m_window->size(), QSize(1064, 259 + m_window->menuBar()->height()));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((m_window->geometry().center() - centre).manhattanLength() <= 2);
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(m_window->Frame1->palette().color(QPalette::Window), QColor(Qt::white));

    const QList<QWidget*> expected{m_window->Text1,        m_window->Text2,
                                   m_window->Text3,        m_window->DateTimePicker1,
                                   m_window->PushButton1,  m_window->PushButton9,
                                   m_window->PushButton13, m_window->PushButton11,
                                   m_window->PushButton10, m_window->ListView2};
    QList<QWidget*> order;
    QWidget* widget = m_window->Text1;
    do {
        if (expected.contains(widget) && !order.contains(widget)) {
            order.append(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != m_window->Text1);
    QCOMPARE(order, expected);
    QCOMPARE(m_window->Frame1->focusPolicy(), Qt::NoFocus);
    // The results take the focus from a click only, to be selected and copied.
    for (QWidget* result : std::initializer_list<QWidget*>{m_window->Label2, m_window->Label3}) {
        QCOMPARE(result->focusPolicy(), Qt::ClickFocus);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        QVERIFY(m_window->Label1[i]->buddy() != nullptr);
        QVERIFY(m_window->Label1[i]->text().contains(u'&'));
        QVERIFY(!m_window->Label1[i]->buddy()->accessibleName().isEmpty());
    }
    QCOMPARE(m_window->Label1[3]->buddy(), m_window->DateTimePicker1);
    QVERIFY(m_window->DateTimePicker1->calendarPopup());
    QVERIFY(m_window->DateTimePicker1->displayFormat().contains(u"yyyy"_s));
    QVERIFY(!m_window->ListView2->rootIsDecorated());
    QVERIFY(m_window->ListView2->uniformRowHeights());
    QVERIFY(!m_window->ListView2->header()->isHidden());
}

void Form1Test::firstStart() {
    openWindow();
    QCOMPARE(m_boxes->shown.size(), 0);
    QCOMPARE(m_window->windowTitle(), u"Ravenmoor"_s);
    const QList<QSize> sizes = m_window->windowIcon().availableSizes();
    for (const int size : {32, 48, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
    QCOMPARE(m_window->Text1->text(), u"100000"_s);
    QCOMPARE(m_window->Text2->text(), u"12"_s);
    QCOMPARE(m_window->Text3->text(), u"10.75"_s);
    QCOMPARE(m_window->DateTimePicker1->date(), QDate::currentDate());
    // The restore wrote the three texts straight back.
    QCOMPARE(stored(u"Text1"_s), u"100000"_s);
    QCOMPARE(stored(u"Text2"_s), u"12"_s);
    QCOMPARE(stored(u"Text3"_s), u"10.75"_s);
    QVERIFY(m_window->Label2->text().isEmpty());
    QVERIFY(m_window->Label3->text().isEmpty());

    ScheduleGridModel& grid = m_window->gridModel();
    QCOMPARE(grid.rowCount(), 0);
    const QStringList headers{
        u"#"_s,           u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s, u"Interest Amt."_s,
        u"Closing Bal."_s};
    const QList<int> widths{40, 80, 90, 103, 93, 87};
    QCOMPARE(grid.columnCount(), 6);
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(grid.header(c), headers[c]);
        QCOMPARE(m_window->ListView2->columnWidth(c), widths[c]);
    }
    QVERIFY(m_opened.isEmpty());

    activate();
    QCOMPARE(QApplication::focusWidget(), m_window->Text1);
    QCOMPARE(m_window->Text1->selectedText(), u"100000"_s);
}

void Form1Test::restoresStoredTexts_data() {
    QTest::addColumn<QString>("principal");
    QTest::addColumn<QString>("months");
    QTest::addColumn<QString>("rate");
    QTest::newRow("numbers") << u"2500"_s << u"36"_s << u"9.5"_s;
    QTest::newRow("empty texts") << QString() << QString() << QString();
    QTest::newRow("letters and blanks") << u"abc"_s << u" 1 2 "_s << u"ten"_s;
}

void Form1Test::restoresStoredTexts() {
    QFETCH(QString, principal);
    QFETCH(QString, months);
    QFETCH(QString, rate);
    store(u"Text1"_s, principal);
    store(u"Text2"_s, months);
    store(u"Text3"_s, rate);
    store(u"DateTimePicker1"_s, u"3/15/2024"_s);
    openWindow();
    QCOMPARE(m_boxes->shown.size(), 0);
    QCOMPARE(m_window->Text1->text(), principal);
    QCOMPARE(m_window->Text2->text(), months);
    QCOMPARE(m_window->Text3->text(), rate);
    QCOMPARE(m_window->DateTimePicker1->date(), QDate(2024, 3, 15));
    QCOMPARE(stored(u"Text2"_s), months);
    QCOMPARE(stored(u"DateTimePicker1"_s), u"3/15/2024"_s);
}

void Form1Test::restoreLeavesAnUnchangedFileAlone() {
    store(u"Text1"_s, u"5000"_s);
    store(u"Text2"_s, u"24"_s);
    store(u"Text3"_s, u"9.5"_s);
    store(u"DateTimePicker1"_s, u"3/15/2024"_s);
    QFile file(m_iniPath);
    const QDateTime past = QDateTime::currentDateTime().addDays(-1);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(past, QFileDevice::FileModificationTime));
    file.close();
    openWindow();
    QCOMPARE(QFileInfo(m_iniPath).lastModified(), past);
    // A text the store lacks is written as always.
    m_window->Text2->setText(u"36"_s);
    QCOMPARE(stored(u"Text2"_s), u"36"_s);
}

void Form1Test::unreadableStoredDate() {
    store(u"DateTimePicker1"_s, u"the ides of March"_s);
    store(u"Text1"_s, u"5000"_s);
    openWindow();
    QCOMPARE(m_boxes->shown.size(), 1);
    const Message& box = m_boxes->shown.front();
    QCOMPARE(box.title, u"Application Error"_s);
    QVERIFY2(box.text.contains(u"\r\nin Corvatel2021/08/31.Form1.Form_Load at line 152\r\r"_s),
             qPrintable(box.text));
    QCOMPARE(m_window->DateTimePicker1->date(), QDate::currentDate());
    QCOMPARE(m_window->Text1->text(), u"5000"_s);
    QCOMPARE(m_window->Text3->text(), u"10.75"_s);
    QCOMPARE(stored(u"DateTimePicker1"_s), u"the ides of March"_s);
}

void Form1Test::brokenCursorFile() {
    QFile broken(m_dir->filePath(u"HAND-M.CUR"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a cursor");
    broken.close();
    openWindow(m_dir->path());
    QCOMPARE(m_boxes->shown.size(), 1);
    QVERIFY(m_boxes->shown.front().text.contains(u"Form_Load at line 126"_s));
    QCOMPARE(m_window->gridModel().columnCount(), 6);
    QCOMPARE(m_window->Text2->text(), u"12"_s);
    sendMove(m_window->PushButton1);
    QCOMPARE(m_window->MousePointer(), Form1::pointerCustom);
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
}

void Form1Test::webSiteOnDrawSeven_data() {
    QTest::addColumn<int>("draw");
    QTest::addColumn<int>("visits");
    QTest::newRow("1") << 1 << 0;
    QTest::newRow("7") << 7 << 1;
    QTest::newRow("100") << 100 << 0;
}

void Form1Test::webSiteOnDrawSeven() {
    QFETCH(int, draw);
    QFETCH(int, visits);
    m_draw = draw;
    openWindow();
    QCOMPARE(m_opened.size(), visits);
    if (visits > 0) {
        QCOMPARE(m_opened.front(), QUrl(QString::fromUtf16(Form1::webSiteAddress)));
        QCOMPARE(m_opened.front().scheme(), u"https"_s);
    }
    QCOMPARE(m_boxes->shown.size(), 0);
}

void Form1Test::validation_data() {
    QTest::addColumn<QString>("principal");
    QTest::addColumn<QString>("months");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");  // 1, 2 or 3: the box

    const QString noPrincipal = u"You forgot to input principal amount."_s;
    const QString noMonths = u"You forgot to input tenure months."_s;
    const QString noRate = u"You forgot to input interest rate."_s;
    QTest::newRow("all empty") << u""_s << u""_s << u""_s << noPrincipal << 1;
    QTest::newRow("principal blanks") << u"   "_s << u"12"_s << u"11"_s << noPrincipal << 1;
    QTest::newRow("letters before empty months") << u"abc"_s << u""_s << u"11"_s << noMonths << 2;
    QTest::newRow("months blanks") << u"100"_s << u" "_s << u"11"_s << noMonths << 2;
    QTest::newRow("rate blanks") << u"100"_s << u"12"_s << u"  "_s << noRate << 3;
    QTest::newRow("principal letters")
        << u"abc"_s << u"12"_s << u"11"_s << u"Principal amount must be numeric entry."_s << 1;
    QTest::newRow("principal two numbers")
        << u"1 000 0"_s << u"12"_s << u"11"_s << u"Principal amount must be numeric entry."_s << 1;
    QTest::newRow("months letters before rate letters")
        << u"100"_s << u"twelve"_s << u"x"_s << u"Tenure months must be numeric entry."_s << 2;
    QTest::newRow("rate with percent sign")
        << u"100"_s << u"12"_s << u"11%"_s << u"Interest rate must be numeric entry."_s << 3;
}

void Form1Test::validation() {
    QFETCH(QString, principal);
    QFETCH(QString, months);
    QFETCH(QString, rate);
    QFETCH(QString, message);
    QFETCH(int, focus);
    openWindow();
    activate();
    calculate({u"100000"_s, u"12"_s, u"11"_s});
    QCOMPARE(m_window->Label2->text(), u"8838.17"_s);
    m_window->PushButton10->setFocus();

    calculate({principal, months, rate});
    QCOMPARE(m_boxes->shown.size(), 1);
    const Message& box = m_boxes->shown.front();
    QCOMPARE(box.text, message);
    QCOMPARE(box.title, appTitle());
    QCOMPARE(box.icon, MessageIcon::None);
    QLineEdit* const expected = std::array{m_window->Text1, m_window->Text2,
                                           m_window->Text3}[static_cast<std::size_t>(focus - 1)];
    QCOMPARE(QApplication::focusWidget(), expected);
    QCOMPARE(expected->selectedText(), expected->text());
    // The results of the earlier calculation stay.
    QCOMPARE(m_window->Label2->text(), u"8838.17"_s);
    QCOMPARE(m_window->gridModel().rowCount(), 13);
}

void Form1Test::workedExample() {
    openWindow();
    m_window->DateTimePicker1->setDate(QDate(2024, 1, 15));
    calculate({u"100000"_s, u"12"_s, u"11"_s});
    QCOMPARE(m_boxes->shown.size(), 0);
    QCOMPARE(m_window->Label2->text(), u"8838.17"_s);
    QCOMPARE(m_window->Label3->text(), u"1/15/2025"_s);

    const ScheduleGridModel& grid = m_window->gridModel();
    QCOMPARE(grid.rowCount(), 13);
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < 6; ++c) {
            cells.append(grid.text(r, c));
        }
        return cells;
    };
    QCOMPARE(row(0), (QStringList{u"1"_s, u"2/15/2024"_s, u"100000"_s, u"7921.5"_s, u"916.67"_s,
                                  u"92078.5"_s}));
    QCOMPARE(row(11).mid(0, 2), (QStringList{u"12"_s, u"1/15/2025"_s}));
    QCOMPARE(row(11).at(5), u"0"_s);
    QCOMPARE(row(12), (QStringList{QString(), QString(), u"0"_s, u"99999.99"_s, u"6057.98"_s,
                                   u"106057.97"_s}));
    for (int r = 0; r < 12; ++r) {
        QCOMPARE(grid.text(r, 0), QString::number(r + 1));
        QVERIFY(grid.isChecked(r));
    }
    QVERIFY(grid.isChecked(12));
}

void Form1Test::failingStepEmptiesResults_data() {
    QTest::addColumn<QString>("months");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("line");
    QTest::newRow("zero months") << u"0"_s << u"clsLoanDetails component failure"_s << 140;
    QTest::newRow("months beyond 16 bits") << u"40000"_s << u"Overflow"_s << 138;
    QTest::newRow("months below 16 bits") << u"-32769"_s << u"Overflow"_s << 138;
}

void Form1Test::failingStepEmptiesResults() {
    QFETCH(QString, months);
    QFETCH(QString, description);
    QFETCH(int, line);
    openWindow();
    calculate({u"100000"_s, u"12"_s, u"11"_s});
    QCOMPARE(m_window->gridModel().rowCount(), 13);

    calculate({u"100000"_s, months, u"11"_s});
    QCOMPARE(m_boxes->shown.size(), 1);
    const Message& box = m_boxes->shown.front();
    QCOMPARE(box.title, u"Application Error"_s);
    QCOMPARE(box.icon, MessageIcon::Warning);
    QVERIFY2(box.text.startsWith(description +
                                 u"\r\nin Corvatel2021/08/31.Form1.PushButton1_Click at line "_s +
                                 QString::number(line) + u"\r\r"_s),
             qPrintable(box.text));
    QVERIFY(m_window->Label2->text().isEmpty());
    QVERIFY(m_window->Label3->text().isEmpty());
    QCOMPARE(m_window->gridModel().rowCount(), 0);
}

void Form1Test::fractionalAndZeroInputs_data() {
    QTest::addColumn<Inputs>("inputs");
    QTest::addColumn<QString>("emi");
    QTest::addColumn<int>("rows");
    QTest::newRow("zero rate") << Inputs{u"120000"_s, u"12"_s, u"0"_s} << u"10000"_s << 13;
    QTest::newRow("12.5 months used as 12")
        << Inputs{u"100000"_s, u"12.5"_s, u"11"_s} << u"8838.17"_s << 13;
    QTest::newRow("13.5 months used as 14")
        << Inputs{u"120000"_s, u"13.5"_s, u"0"_s} << u"8571.43"_s << 15;
    QTest::newRow("blanks around numbers")
        << Inputs{u" 120000 "_s, u" 12"_s, u"0 "_s} << u"10000"_s << 13;
}

void Form1Test::fractionalAndZeroInputs() {
    QFETCH(Inputs, inputs);
    QFETCH(QString, emi);
    QFETCH(int, rows);
    openWindow();
    calculate(inputs);
    QCOMPARE(m_boxes->shown.size(), 0);
    QCOMPARE(m_window->Label2->text(), emi);
    QCOMPARE(m_window->gridModel().rowCount(), rows);
}

void Form1Test::largestScheduleFillsEveryRow() {
    openWindow();
    calculate({u"100000"_s, u"32767"_s, u"11"_s});
    QCOMPARE(m_boxes->shown.size(), 0);
    const ScheduleGridModel& grid = m_window->gridModel();
    QCOMPARE(grid.rowCount(), 32768);
    QCOMPARE(grid.text(32766, 0), u"32767"_s);
    QCOMPARE(grid.text(32767, 0), QString());
    QCOMPARE(grid.text(32767, 1), QString());
    QCOMPARE(grid.text(32766, 5), u"0"_s);
}

void Form1Test::enterRunsCalculate() {
    openWindow();
    activate();
    QTest::keyClick(m_window->Text3, Qt::Key_Return);
    QCOMPARE(m_window->gridModel().rowCount(), 13);
    m_window->PushButton10_Click();
    m_window->DateTimePicker1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(m_window->gridModel().rowCount(), 13);
    QCOMPARE(m_boxes->shown.size(), 0);
}

void Form1Test::focusSelectsAll() {
    openWindow();
    activate();
    QCOMPARE(QApplication::focusWidget(), m_window->Text1);
    QTest::keyClick(m_window->Text1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_window->Text2);
    QCOMPARE(m_window->Text2->selectedText(), u"12"_s);
    QTest::keyClicks(m_window->Text2, u"7"_s);
    QCOMPARE(m_window->Text2->text(), u"7"_s);

    // A click into a box selects its whole text too, once the click is over.
    QTest::mouseClick(m_window->Text3, Qt::LeftButton, {}, QPoint(30, 10));
    QCOMPARE(QApplication::focusWidget(), m_window->Text3);
    QTRY_COMPARE(m_window->Text3->selectedText(), u"10.75"_s);

    m_window->Text1->clear();
    m_window->Text1->setFocus();
    QVERIFY(!m_window->Text1->hasSelectedText());
}

void Form1Test::persistsEveryKeystroke() {
    openWindow();
    activate();
    m_window->Text1->clear();
    QCOMPARE(stored(u"Text1"_s), QString());
    QStringList seen;
    for (const QChar digit : u"2500"_s) {
        QTest::keyClick(m_window->Text1, digit.toLatin1());
        seen.append(stored(u"Text1"_s));
    }
    QCOMPARE(seen, (QStringList{u"2"_s, u"25"_s, u"250"_s, u"2500"_s}));
    m_window->Text2->setFocus();
    QTest::keyClick(m_window->Text2, Qt::Key_Backspace);
    QCOMPARE(stored(u"Text2"_s), QString());
    QTest::keyClicks(m_window->Text3, u"x"_s);
    QCOMPARE(stored(u"Text3"_s), u"10.75x"_s);

    m_window.reset();
    openWindow();
    QCOMPARE(m_window->Text1->text(), u"2500"_s);
    QCOMPARE(m_window->Text2->text(), QString());
    QCOMPARE(m_window->Text3->text(), u"10.75x"_s);
}

void Form1Test::persistsPickedDate() {
    openWindow();
    activate();
    m_window->DateTimePicker1->setDate(QDate(2023, 2, 28));
    QCOMPARE(stored(u"DateTimePicker1"_s), u"2/28/2023"_s);
    // By keyboard: the up arrow steps the section under the cursor.
    m_window->DateTimePicker1->setFocus();
    m_window->DateTimePicker1->setCurrentSection(QDateTimeEdit::YearSection);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(m_window->DateTimePicker1->date(), QDate(2024, 2, 28));
    QCOMPARE(stored(u"DateTimePicker1"_s), u"2/28/2024"_s);

    m_window.reset();
    openWindow();
    QCOMPARE(m_window->DateTimePicker1->date(), QDate(2024, 2, 28));
}

void Form1Test::storeWriteFailureWarnsOnce() {
    // A file where the store's folder should be: every write fails.
    QFile blocker(m_dir->filePath(u"config"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    openWindow();
    QTest::keyClicks(m_window->Text1, u"12"_s);
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown.front().icon, MessageIcon::Warning);
    QCOMPARE(m_window->Text1->text(), u"10000012"_s);
}

void Form1Test::hoverRule_data() {
    QTest::addColumn<bool>("withCursorFile");
    QTest::newRow("with HAND-M.CUR") << true;
    QTest::newRow("without HAND-M.CUR") << false;
}

void Form1Test::hoverRule() {
    QFETCH(bool, withCursorFile);
    // The build copies the cursor next to the programs.
    const QString folder = withCursorFile ? QCoreApplication::applicationDirPath() : m_dir->path();
    QCOMPARE(FileExists(folder + u"/HAND-M.CUR"_s), withCursorFile);
    openWindow(folder);
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);

    for (QPushButton* button :
         {m_window->PushButton1, m_window->PushButton9, m_window->PushButton13,
          m_window->PushButton11, m_window->PushButton10}) {
        sendMove(button);
        QCOMPARE(m_window->MousePointer(), Form1::pointerCustom);
        QCOMPARE(m_window->cursor().shape(), withCursorFile ? Qt::BitmapCursor : Qt::ArrowCursor);
        sendMove(m_window->ListView2->viewport());
        QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    }
    sendMove(m_window->PushButton9);
    sendMove(m_window->Frame1);
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
    sendMove(m_window->PushButton9);
    sendMove(m_window.get(), QPoint(530, 250));
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);
    // A move over a text box travels to the frame.
    sendMove(m_window->PushButton1);
    sendMove(m_window->Text2);
    QCOMPARE(m_window->MousePointer(), Form1::pointerDefault);

    // Busy wins wherever the mouse goes.
    m_window->setMousePointer(Form1::pointerBusy);
    QCOMPARE(m_window->cursor().shape(), Qt::WaitCursor);
    for (QWidget* place :
         std::initializer_list<QWidget*>{m_window->PushButton9, m_window->ListView2->viewport(),
                                         m_window->Frame1, m_window.get(), m_window->PushButton1}) {
        sendMove(place);
        QCOMPARE(m_window->MousePointer(), Form1::pointerBusy);
    }
    m_window->setMousePointer(Form1::pointerDefault);
    sendMove(m_window->PushButton11);
    QCOMPARE(m_window->MousePointer(), Form1::pointerCustom);
}

void Form1Test::handCursorFile() {
    const QCursor hand = loadCursorFile(QCoreApplication::applicationDirPath() + u"/HAND-M.CUR"_s);
    QCOMPARE(hand.shape(), Qt::BitmapCursor);
    QCOMPARE(hand.hotSpot(), QPoint(10, 0));
    QCOMPARE(hand.pixmap().size(), QSize(32, 32));
}

// What the keys of keyboardCommands did, from the window's state.
QString Form1Test::observe() const {
    const auto* calendar = m_window->DateTimePicker1->findChild<QCalendarWidget*>();
    const QString copied = QApplication::clipboard()->text();
    const int rows = m_window->gridModel().rowCount();
    const int ticked = m_window->gridModel().checkedCount();
    const bool exported =
        std::any_of(m_boxes->shown.begin(), m_boxes->shown.end(),
                    [](const Message& box) { return box.text.contains(u"Excel"_s); });
    const std::pair<bool, QString> seen[] = {
        {m_saveAsked > 0, u"save"_s},
        {exported, u"export"_s},
        {!copied.isEmpty(), u"copy %1"_s.arg(copied.count(u"\r\n"_s))},
        {calendar != nullptr && calendar->isVisible(), u"calendar"_s},
        {rows != 13, rows == 0 ? u"clear"_s : u"calculate"_s},
        {ticked != rows, u"ticked %1"_s.arg(ticked)},
    };
    QStringList result;
    for (const auto& [happened, text] : seen) {
        if (happened) {
            result << text;
        }
    }
    return result.join(u' ');
}

void Form1Test::keyboardCommands_data() {
    QTest::addColumn<QString>("focus");      // the widget with the keyboard focus
    QTest::addColumn<QString>("selection");  // grid rows "first-last" selected first, or none
    // Each step: keys, an action's name, "header" (its check box), "ctrlclick:ROW".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("observed");  // see observe()
    const auto row = [](const char* name, const QString& focus, const QString& selection,
                        const QString& steps, const QString& observed) {
        QTest::newRow(name) << focus << selection << steps.split(u'|') << observed;
    };
    const QString grid = u"ListView2"_s;
    row("Ctrl+S in a text box", u"Text1"_s, {}, u"Ctrl+S"_s, u"save"_s);
    row("Ctrl+E in a text box, not end of line", u"Text2"_s, {}, u"Ctrl+E"_s, u"export"_s);
    row("Ctrl+Shift+C in the grid", grid, u"0-1"_s, u"Ctrl+Shift+C"_s, u"copy 13"_s);
    row("Enter on Calculate", u"PushButton1"_s, {}, u"Return"_s, u"calculate"_s);
    row("keypad Enter on Export", u"PushButton13"_s, {}, u"Enter"_s, u"export"_s);
    row("Enter on Copy", u"PushButton11"_s, {}, u"Return"_s, u"copy 13"_s);
    row("mnemonic Alt+T", u"Text1"_s, {}, u"Alt+T"_s, u"save"_s);
    row("mnemonic Alt+C", u"Text3"_s, {}, u"Alt+C"_s, u"copy 13"_s);
    row("F4 in the date picker", u"DateTimePicker1"_s, {}, u"F4"_s, u"calendar"_s);
    row("Alt+Down in the date picker", u"DateTimePicker1"_s, {}, u"Alt+Down"_s, u"calendar"_s);
    row("F4 elsewhere", u"Text1"_s, {}, u"F4"_s, QString());
    row("Ctrl+C copies the selected rows", grid, u"2-4"_s, u"Ctrl+C"_s, u"copy 3"_s);
    row("Ctrl+C copies unticked rows too", grid, u"2-4"_s, u"Space|Ctrl+C"_s,
        u"copy 3 ticked 10"_s);
    row("Ctrl+C without a selection", grid, {}, u"Ctrl+C"_s, QString());
    row("Ctrl+C in a text box copies its text", u"Text1"_s, u"2-4"_s, u"Ctrl+A|Ctrl+C"_s,
        u"copy 0"_s);
    row("Space turns over each selected row", grid, u"1-3"_s, u"Space"_s, u"ticked 10"_s);
    row("Shift+Down extends the selection", grid, u"0-0"_s, u"Shift+Down|Shift+Down|Space"_s,
        u"ticked 10"_s);
    row("Ctrl+click adds a row", grid, u"0-0"_s, u"ctrlclick:4|Space"_s, u"ticked 11"_s);
    row("Untick All", grid, {}, u"actionUntickAll"_s, u"ticked 0"_s);
    row("Untick Selected", grid, u"5-12"_s, u"actionUntickSelected"_s, u"ticked 5"_s);
    row("Tick Selected", grid, u"5-12"_s, u"actionUntickAll|actionTickSelected"_s, u"ticked 8"_s);
    row("Tick Instalments of Year… 2025", grid, {}, u"actionUntickAll|actionTickYear"_s,
        u"ticked 1"_s);
    row("header box unticks all", grid, {}, u"header"_s, u"ticked 0"_s);
    row("header box ticks all when some are not", grid, u"1-1"_s, u"Space|header"_s, QString());
    row("a new Calculate ticks every row", grid, {}, u"actionUntickAll|Alt+A"_s, u"calculate"_s);
}

void Form1Test::keyboardCommands() {
    QFETCH(QString, focus);
    QFETCH(QString, selection);
    QFETCH(QStringList, steps);
    QFETCH(QString, observed);
    openWindow();
    m_window->setSpreadsheet(std::make_shared<NoSpreadsheet>());
    m_saveAsked = 0;
    m_window->setSaveFileChooser([this](QWidget*, const QString&) {
        ++m_saveAsked;
        return QString();
    });
    activate();
    m_window->DateTimePicker1->setDate(QDate(2024, 1, 15));  // due Feb 2024 to Jan 2025
    calculate({u"100000"_s, u"12"_s, u"11"_s});
    m_window->Text2->setText(u"24"_s);  // a Calculate now shows 25 rows
    QApplication::clipboard()->clear();
    const QDate date = m_window->DateTimePicker1->date();
    QTreeView* const view = m_window->ListView2;
    if (!selection.isEmpty()) {
        const QStringList bounds = selection.split(u'-');
        const QModelIndex first = m_window->gridModel().index(bounds[0].toInt(), 0);
        view->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        view->selectionModel()->select(
            QItemSelection(first, m_window->gridModel().index(bounds[1].toInt(), 5)),
            QItemSelectionModel::ClearAndSelect);
    }
    auto* target = m_window->findChild<QWidget*>(focus);
    QVERIFY(target != nullptr);
    target->setFocus();
    // The year dialog is answered with the year after the first (no watchdog meanwhile).
    stopWatchdog();
    const auto rearm = qScopeGuard([this] { restartWatchdog(); });
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [] {
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            dialog->setIntValue(dialog->intValue() + 1);
            dialog->accept();
        }
    });
    answer.start(20);

    auto* header = static_cast<ScheduleGridHeader*>(view->header());
    for (const QString& step : std::as_const(steps)) {
        if (auto* action = m_window->findChild<QAction*>(step)) {
            action->trigger();
        } else if (step == u"header"_s) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              header->checkBoxRect().center());
        } else if (step.startsWith(u"ctrlclick:"_s)) {
            const QModelIndex cell = m_window->gridModel().index(step.mid(10).toInt(), 2);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              view->visualRect(cell).center());
        } else {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
        }
    }
    QTRY_COMPARE(observe(), observed);  // a mnemonic clicks its button a moment later
    QCOMPARE(m_window->DateTimePicker1->date(), date);
    const int ticked = m_window->gridModel().checkedCount();
    const int rows = m_window->gridModel().rowCount();
    QCOMPARE(header->checkState(), ticked == 0      ? Qt::Unchecked
                                   : ticked == rows ? Qt::Checked
                                                    : Qt::PartiallyChecked);
}

void Form1Test::darkDesktopStaysReadable() {
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
    QApplication::setPalette(QPalette(QColor(0x31, 0x36, 0x3b), QColor(0x23, 0x26, 0x29)));
    openWindow();
    calculate({u"100000"_s, u"12"_s, u"11"_s});
    activate();
    // Every background comes with a text colour far from it, the inputs and the grid too.
    for (const QWidget* widget : m_window->findChildren<QWidget*>()) {
        const QPalette& palette = widget->palette();
        QVERIFY2(!widget->isVisible() ||
                     std::abs(palette.color(widget->backgroundRole()).lightness() -
                              palette.color(widget->foregroundRole()).lightness()) > 128,
                 widget->metaObject()->className());
    }
    // And on the screen: dark text on white in the captions, the results and the grid.
    for (QWidget* shown : std::initializer_list<QWidget*>{m_window->Label1[0], m_window->Label2,
                                                          m_window->ListView2->viewport()}) {
        const QImage image = shown->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
        qsizetype dark = 0;
        qsizetype light = 0;
        for (int y = 0; y < image.height(); ++y) {
            const uchar* line = image.constScanLine(y);
            dark += std::count_if(line, line + image.width(), [](uchar g) { return g < 80; });
            light += std::count_if(line, line + image.width(), [](uchar g) { return g > 230; });
        }
        QVERIFY2(dark > 20 && light > image.width() * image.height() / 2,
                 qPrintable(shown->objectName()));
    }
}

void Form1Test::numberColumnShowsEveryNumber_data() {
    QTest::addColumn<QString>("months");
    QTest::addColumn<bool>("fitsAcross");  // no horizontal scroll bar
    QTest::newRow("12") << u"12"_s << true;
    QTest::newRow("360") << u"360"_s << true;
    QTest::newRow("32767") << u"32767"_s << false;
}

void Form1Test::numberColumnShowsEveryNumber() {
    QFETCH(QString, months);
    QFETCH(bool, fitsAcross);
    openWindow();
    activate();
    QTreeView* const view = m_window->ListView2;
    calculate({u"100000"_s, u"360"_s, u"11"_s});
    view->scrollToBottom();
    calculate({u"100000"_s, months, u"11"_s});
    QCOMPARE(view->verticalScrollBar()->value(), 0);  // each Calculate shows the first row
    const auto* delegate = static_cast<ScheduleGridDelegate*>(view->itemDelegate());
    const QModelIndex largest = m_window->gridModel().index(view->model()->rowCount() - 2, 0);
    view->scrollTo(largest);
    QVERIFY(!delegate->isCutOff(viewItemOption(*view, largest), largest));
    const QList<int> widths{40, 80, 90, 103, 93, 87};
    for (int c = 0; c < 6; ++c) {
        QVERIFY(view->columnWidth(c) >= widths[c]);
    }
    QTRY_VERIFY(!fitsAcross || !view->horizontalScrollBar()->isVisible());

    // A cell cut off shows its whole text as a tooltip; a whole one shows none.
    view->setColumnWidth(1, 30);
    for (const int column : {2, 1}) {
        const QModelIndex cell = largest.siblingAtColumn(column);
        const QPoint at = view->visualRect(cell).center();
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(),
                 column == 1 ? cell.data().toString() : QString());
    }
    QToolTip::hideText();

    // The results and the totals row read to assistive technology with their values and names.
    QAccessibleInterface* emi = QAccessible::queryAccessibleInterface(m_window->Label2);
    QCOMPARE(emi->text(QAccessible::Name), u"EMI Amount"_s);
    QCOMPARE(emi->text(QAccessible::Value), m_window->Label2->text());
    QCOMPARE(emi->textInterface()->text(0, 100), m_window->Label2->text());
    QCOMPARE(largest.siblingAtRow(largest.row() + 1).data(Qt::AccessibleTextRole), u"Total"_s);
}

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
