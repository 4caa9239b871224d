// The main window: its controls, the load sequence, the remembered inputs and the hover cue.
#include "mainwindow/Form1.h"

#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "core/Guard.h"
#include "core/MessageBoxes.h"
#include "mainwindow/Ghost.h"
#include "mainwindow/HandCursor.h"
#include "mainwindow/ScheduleGridDelegate.h"
#include "mainwindow/ScheduleGridHeader.h"
#include "mainwindow/ScheduleGridModel.h"
#include "output/ScheduleTable.h"
#include "shell/QtMessageBoxes.h"
#include "shell/SettingsStore.h"
#include "shell/ThemeAndIdentity.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDateEdit>
#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Layout lengths are given in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int px(int twips) {
    return (2 * twips + 15) / 30;
}

QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

QFont arialBold(double points) {
    QFont font(u"Arial"_s);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// The design look is light on any desktop: a forced white background always comes with dark
// text, and the inputs and the grid take the same light colours. A skin may override both.
QPalette designPalette() {
    QPalette palette = QApplication::style()->standardPalette();
    if (palette.color(QPalette::Window).lightness() < 128) {
        palette = QPalette(QColor(0xef, 0xef, 0xef), Qt::white);
    }
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, Qt::white);
        palette.setColor(group, QPalette::WindowText, Qt::black);
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, Qt::black);
        palette.setColor(group, QPalette::ButtonText, Qt::black);
    }
    return palette;
}

void paintWhite(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A result field reads to assistive technology as its caption (the name) and its text (the
// value and the text), read-only and selectable.
class ResultFieldAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultFieldAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::EditableText) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? label()->text() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State result = QAccessibleWidget::state();
        result.readOnly = true;
        result.selectableText = true;
        return result;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    void selection(int, int* start, int* end) const override {
        *start = label()->selectionStart();
        *end = *start < 0 ? -1 : *start + static_cast<int>(label()->selectedText().size());
        if (*start < 0) {
            *start = *end = 0;
        }
    }
    int selectionCount() const override { return label()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { label()->setSelection(start, end - start); }
    void removeSelection(int) override { label()->setSelection(0, 0); }
    void setSelection(int, int start, int end) override { addSelection(start, end); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        return label()->text().mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(label()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

private:
    QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

const char resultFieldProperty[] = "ravenmoorResultField";

QAccessibleInterface* resultFieldFactory(const QString&, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (label != nullptr && label->property(resultFieldProperty).toBool()) {
        return new ResultFieldAccessible(label);
    }
    return nullptr;
}

// From the captions' left edge (240) to the input boxes' (2040).
constexpr int captionRoomTwips = 2040 - 240;

}  // namespace

Form1::Form1(std::unique_ptr<SettingsStore> store, QWidget* parent)
    : QWidget(parent),
      m_store(std::move(store)),
      m_boxes(std::make_unique<QtMessageBoxes>(this)),
      m_randomDraw([] { return QRandomGenerator::global()->bounded(1, 101); }),
      m_openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      m_programFolder(programFolder()) {
    setObjectName(u"Form1"_s);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(px(15960), px(3885));
    setFont(arialBold(9));
    setPalette(designPalette());
    paintWhite(this);
    buildControls();
    connectControls();
    createActions();
    centreOnScreen();
    Text1->setFocus();

    m_store->setWriteFailureNotifier([this](const QString& message) {
        messageBoxes().show(Message{message, appTitle(), MessageIcon::Warning});
    });
}

Form1::~Form1() = default;

void Form1::buildControls() {
    Frame1 = new QGroupBox(u"Input"_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setGeometry(twipsRect(120, 60, 7800, 3720));
    paintWhite(Frame1);

    const auto makeLabel = [this](int index, const QString& caption, QRect place) {
        auto* label = new QLabel(caption, Frame1);
        label->setObjectName(u"Label1_%1"_s.arg(index));
        // Each caption may use the room up to the input boxes, so that it shows whole.
        place.setWidth(std::max(place.width(), px(captionRoomTwips)));
        label->setGeometry(place);
        paintWhite(label);
        Label1[static_cast<std::size_t>(index)] = label;
        return label;
    };
    const auto makeBox = [this](const QString& name, QRect place) {
        auto* box = new QLineEdit(Frame1);
        box->setObjectName(name);
        box->setGeometry(place);
        return box;
    };
    const auto makeResult = [this](const QString& name, QRect place) {
        auto* label = new QLabel(Frame1);
        label->setObjectName(name);
        label->setGeometry(place);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setIndent(4);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        paintWhite(label);
        // Selectable and copyable (its own Copy menu, or Ctrl+C after a click), but outside
        // the tab order.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setFocusPolicy(Qt::ClickFocus);
        label->setProperty(resultFieldProperty, true);
        return label;
    };
    const auto makeButton = [this](QWidget* parent, const QString& name, const QString& caption,
                                   QRect place) {
        auto* button = new QPushButton(caption, parent);
        button->setObjectName(name);
        button->setGeometry(place);
        button->setFont(arialBold(11.25));
        button->setAutoDefault(false);
        return button;
    };

    // The labels carry a mnemonic for their input; the captions read as always.
    makeLabel(0, u"&Principal Amount:"_s, twipsRect(240, 360, 1500, 225));
    Text1 = makeBox(u"Text1"_s, twipsRect(2040, 285, 5535, 375));
    makeLabel(1, u"# Of &Months To Pay:"_s, twipsRect(240, 795, 1680, 225));
    Text2 = makeBox(u"Text2"_s, twipsRect(2040, 720, 5535, 375));
    makeLabel(2, u"&Interest Rate:"_s, twipsRect(240, 1275, 1140, 225));
    Text3 = makeBox(u"Text3"_s, twipsRect(2040, 1200, 5535, 375));
    makeLabel(3, u"Loan &Start Date:"_s, twipsRect(240, 1755, 1365, 225));

    DateTimePicker1 = new QDateEdit(Frame1);
    DateTimePicker1->setObjectName(u"DateTimePicker1"_s);
    DateTimePicker1->setGeometry(twipsRect(2040, 1680, 5535, 375));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(shortDateFormat());
    DateTimePicker1->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    DateTimePicker1->setDate(QDate::currentDate());

    makeLabel(4, u"EMI Amount:"_s, twipsRect(240, 2235, 1050, 225));
    Label2 = makeResult(u"Label2"_s, twipsRect(2040, 2160, 5535, 375));
    makeLabel(5, u"Loan End Date:"_s, twipsRect(240, 2715, 1260, 225));
    Label3 = makeResult(u"Label3"_s, twipsRect(2040, 2640, 5535, 375));
    PushButton1 =
        makeButton(Frame1, u"PushButton1"_s, u"C&alculate EMI"_s, twipsRect(240, 3135, 7320, 405));

    m_grid = new ScheduleGridModel(this);
    ListView2 = new QTreeView(this);
    ListView2->setObjectName(u"ListView2"_s);
    ListView2->setAccessibleName(u"Repayment schedule"_s);
    ListView2->setItemDelegate(new ScheduleGridDelegate(ListView2));
    auto* header = new ScheduleGridHeader(ListView2);
    ListView2->setHeader(header);
    connect(header, &ScheduleGridHeader::allCheckRequested, m_grid,
            qOverload<bool>(&ScheduleGridModel::setAllChecked));
    ListView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView2->setGeometry(twipsRect(8040, 120, 7800, 2655));
    ListView2->setRootIsDecorated(false);
    ListView2->setUniformRowHeights(true);
    ListView2->setItemsExpandable(false);
    ListView2->setAllColumnsShowFocus(true);
    ListView2->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView2->header()->setVisible(true);
    ListView2->header()->setStretchLastSection(false);
    ListView2->header()->setSectionsMovable(false);
    ListView2->setModel(m_grid);

    PushButton9 = makeButton(this, u"PushButton9"_s, u"Save Results As &Text File"_s,
                             twipsRect(8040, 2865, 3840, 405));
    PushButton13 = makeButton(this, u"PushButton13"_s, u"Save Results As &Excel File"_s,
                              twipsRect(12000, 2880, 3840, 405));
    PushButton11 = makeButton(this, u"PushButton11"_s, u"&Copy Results To Clipboard"_s,
                              twipsRect(8040, 3375, 3840, 405));
    PushButton10 =
        makeButton(this, u"PushButton10"_s, u"Clear &Results"_s, twipsRect(12000, 3375, 3840, 405));

    const std::array<std::pair<QWidget*, QString>, 4> inputs{{
        {Text1, u"Principal Amount"_s},
        {Text2, u"# Of Months To Pay"_s},
        {Text3, u"Interest Rate"_s},
        {DateTimePicker1, u"Loan Start Date"_s},
    }};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        Label1[i]->setBuddy(inputs[i].first);
        inputs[i].first->setAccessibleName(inputs[i].second);
    }
    Label2->setAccessibleName(u"EMI Amount"_s);
    Label3->setAccessibleName(u"Loan End Date"_s);
    Label1[4]->setBuddy(Label2);
    Label1[5]->setBuddy(Label3);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(resultFieldFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    const std::array<QWidget*, 10> tabOrder{
        Text1,       Text2,        Text3,        DateTimePicker1, PushButton1,
        PushButton9, PushButton13, PushButton11, PushButton10,    ListView2};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

void Form1::connectControls() {
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton9, &QPushButton::clicked, this, &Form1::PushButton9_Click);
    connect(PushButton13, &QPushButton::clicked, this, &Form1::PushButton13_Click);
    connect(PushButton11, &QPushButton::clicked, this, &Form1::PushButton11_Click);
    connect(PushButton10, &QPushButton::clicked, this, &Form1::PushButton10_Click);

    const std::array<std::pair<QLineEdit*, QString>, 3> boxes{{
        {Text1, u"Text1"_s},
        {Text2, u"Text2"_s},
        {Text3, u"Text3"_s},
    }};
    for (const auto& [box, key] : boxes) {
        // Every change, typed or set by the program, is written whole at once.
        connect(box, &QLineEdit::textChanged, this, [this, key](const QString& text) {
            if (!m_restoringStoredText) {
                settings().write(key, text);
            }
        });
        connect(box, &QLineEdit::returnPressed, this, &Form1::PushButton1_Click);
        box->installEventFilter(this);
    }
    connect(DateTimePicker1, &QDateEdit::dateChanged, this, [this](QDate date) {
        if (!m_restoringDate && date.isValid()) {
            settings().write(u"DateTimePicker1"_s, dateToText(AutomationDate::fromDate(date)));
        }
    });
    DateTimePicker1->installEventFilter(this);

    // The hover cue needs moves over the buttons, the background, the frame and the grid. The
    // inputs, filtered above, count as the frame that they cover.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             this, Frame1, ListView2, ListView2->viewport(), ListView2->header(),
             ListView2->header()->viewport(), PushButton1, PushButton9, PushButton13, PushButton11,
             PushButton10}) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

void Form1::centreOnScreen() {
    // There may be no window manager to place the window, so the program does it.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void Form1::Form_Load() {
    Guard guard(messageBoxes(), u"in Corvatel2021/08/31.Form1.Form_Load "_s);
    guard.run(102, [&] { ApplyVisualTheme(*this, m_programFolder); });
    guard.run(104, [&] {
        setWindowTitle(QString::fromUtf16(productTitle));
        if (!m_ghost) {
            m_ghost = std::make_unique<Ghost>();
        }
        setWindowIcon(m_ghost->windowIcon());
        SetAppTitle();
    });
    guard.run(106, [&] { RandomlyOpenWebSite(); });
    const QString cursorPath = m_programFolder + u"/HAND-M.CUR"_s;
    bool haveCursor = false;
    guard.run(124, [&] { haveCursor = FileExists(cursorPath); });
    if (haveCursor) {
        guard.run(126, [&] {
            m_handCursor = std::make_unique<QCursor>(loadCursorFile(cursorPath));
            showPointer();
        });
    }
    for (int i = 0; i < scheduleColumnCount; ++i) {
        guard.run(128 + 2 * i,
                  [&] { m_grid->addColumn(scheduleHeader(static_cast<ScheduleColumn>(i))); });
    }
    for (int i = 0; i < scheduleColumnCount; ++i) {
        guard.run(140 + 2 * i, [&] {
            if (i >= m_grid->columnCount()) {
                throw Failure::platform(PlatformFailure::IndexOutOfBounds);
            }
            ListView2->setColumnWidth(i,
                                      px(scheduleColumnWidthTwips(static_cast<ScheduleColumn>(i))));
        });
    }
    guard.run(152, [&] {
        const QString text = settings().read(u"DateTimePicker1"_s, QDate::currentDate());
        const std::optional<double> date = parseDate(text);
        if (!date) {
            throw Failure::platform(PlatformFailure::TypeMismatch);
        }
        // A restored date is no choice of the user's: it is not written back.
        const QScopedValueRollback restoring(m_restoringDate, true);
        DateTimePicker1->setDate(AutomationDate::toDate(*date));
    });
    // A text that the store already holds is not written back: the file would not change.
    const auto restore = [this](QLineEdit* box, const QString& key, const QString& text) {
        const QScopedValueRollback restoring(m_restoringStoredText, settings().holds(key, text));
        box->setText(text);
    };
    guard.run(154, [&] { restore(Text1, u"Text1"_s, settings().read(u"Text1"_s, 100000)); });
    guard.run(156, [&] { restore(Text2, u"Text2"_s, settings().read(u"Text2"_s, 12)); });
    guard.run(158, [&] { restore(Text3, u"Text3"_s, settings().read(u"Text3"_s, 10.75)); });
}

void Form1::fitNumberColumn() {
    // The "#" column grows to show its largest number whole beside the check box; it never
    // gets narrower than its first width.
    const int rows = m_grid->rowCount();
    if (m_grid->columnCount() == 0) {
        return;
    }
    int width = std::max(px(scheduleColumnWidthTwips(ScheduleColumn::Number)),
                         ListView2->header()->sectionSizeHint(0));
    if (rows > 1) {
        const QModelIndex largest = m_grid->index(rows - 2, 0);
        width = std::max(width, ListView2->itemDelegate()
                                    ->sizeHint(viewItemOption(*ListView2, largest), largest)
                                    .width());
    }
    ListView2->setColumnWidth(0, width);
}

void Form1::RandomlyOpenWebSite() {
    const int draw = m_randomDraw();
    if (draw == 7) {
        m_openUrl(QUrl(QString::fromUtf16(webSiteAddress)));
    }
}

void Form1::setMessageBoxes(std::unique_ptr<MessageBoxes> boxes) {
    m_boxes = std::move(boxes);
}

void Form1::setSaveFileChooser(SaveFileChooser chooser) {
    m_chooseSaveFile = std::move(chooser);
}

void Form1::setRandomDraw(std::function<int()> draw) {
    m_randomDraw = std::move(draw);
}

void Form1::setUrlOpener(std::function<void(const QUrl&)> opener) {
    m_openUrl = std::move(opener);
}

void Form1::setMousePointer(int state) {
    m_mousePointer = state;
    showPointer();
}

void Form1::showPointer() {
    switch (m_mousePointer) {
        case pointerBusy:
            setCursor(Qt::WaitCursor);
            break;
        case pointerCustom:
            if (m_handCursor) {
                setCursor(*m_handCursor);
            } else {
                setCursor(Qt::ArrowCursor);
            }
            break;
        default:
            setCursor(Qt::ArrowCursor);
            break;
    }
}

void Form1::applyPointerRule(int target) {
    // The busy pointer of a running output wins over the hover cue.
    if (m_mousePointer != pointerBusy && m_mousePointer != target) {
        setMousePointer(target);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // The window's shortcuts win over the inputs' own editing keys (Ctrl+E is "end of line").
    if (event->type() == QEvent::ShortcutOverride &&
        (watched == Text1 || watched == Text2 || watched == Text3 || watched == DateTimePicker1) &&
        isWindowShortcut(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* const pressed = qobject_cast<QPushButton*>(watched);
        const auto* const key = static_cast<QKeyEvent*>(event);
        if (pressed != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // Enter presses a focused button, as Space does.
            pressed->click();
            return true;
        }
    }
    auto* const box = qobject_cast<QLineEdit*>(watched);
    if (box != nullptr && (box == Text1 || box == Text2 || box == Text3)) {
        if (event->type() == QEvent::FocusIn) {
            box->selectAll();
            // A mouse click that gave the focus places the caret after this event: select again
            // once it is done.
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
    }
    if (watched == DateTimePicker1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DateTimePicker1->interpretText();
            PushButton1_Click();
            return true;
        }
    }

    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::Enter) {
        return QWidget::eventFilter(watched, event);
    }
    auto* const button = qobject_cast<QPushButton*>(watched);
    if (button != nullptr) {
        applyPointerRule(pointerCustom);
        // A plain move over a button would otherwise travel on to the frame or the window.
        if (type == QEvent::MouseMove &&
            static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
            return true;
        }
        return false;
    }
    applyPointerRule(pointerDefault);
    return false;
}

void Form1::closeEvent(QCloseEvent* event) {
    // The inputs were saved as they changed; the hidden Ghost must not keep the program alive.
    m_closing = true;
    event->accept();
    QCoreApplication::quit();
}
