#include "windows/ReconcileDialog.h"

#include "core/Conversions.h"
#include "solver/Solver.h"
#include "solver/StatementFile.h"
#include "windows/TextTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The computed table's columns, and the role each shows.
constexpr solver::Role computedColumns[] = {
    solver::Role::Number,    solver::Role::Date,     solver::Role::Opening, solver::Role::Payment,
    solver::Role::Principal, solver::Role::Interest, solver::Role::Extra,   solver::Role::Closing};

const QColor headerTint(220, 228, 240);
const QColor unreadableTint(250, 215, 215);
const QColor matchTint(215, 240, 215);

const QString emptyStatementText =
    u"Paste the lender's statement on the left, copied from its PDF, web page or spreadsheet: "
    u"one row per instalment with its date, payment, interest, principal and balance."_s;

// Each column as wide as its header or its longest text, measured once per column rather than
// row by row.
void fitColumns(QTableView* view, const QStringList& headers,
                const std::vector<QStringList>& rows) {
    const QFontMetrics metrics = view->fontMetrics();
    const int padding = 2 * metrics.horizontalAdvance(u'0') + 8;
    for (qsizetype c = 0; c < headers.size(); ++c) {
        QString longest = headers[c];
        for (const QStringList& row : rows) {
            if (c < row.size() && row[c].size() > longest.size()) {
                longest = row[c];
            }
        }
        const int width =
            std::max(metrics.horizontalAdvance(headers[c]), metrics.horizontalAdvance(longest));
        view->setColumnWidth(static_cast<int>(c), width + padding);
    }
}

QTableView* makeView(QWidget* parent, TextTableModel* model) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

}  // namespace

ReconcileDialog::ReconcileDialog(const Inputs& current, QWidget* parent) : QDialog(parent) {
    setObjectName(u"ReconcileDialog"_s);
    setWindowTitle(u"Reconcile With Statement"_s);
    setSizeGripEnabled(true);

    principalEdit = new QLineEdit(this);
    monthsEdit = new QLineEdit(this);
    rateEdit = new QLineEdit(this);
    startEdit = new QDateEdit(this);
    startEdit->setCalendarPopup(true);
    startEdit->setDisplayFormat(shortDateFormat());
    startEdit->setDate(current.start.isValid() ? current.start : QDate::currentDate());
    showLoanEntry(current.loan, principalEdit, monthsEdit, rateEdit);
    auto* loanRow = new QHBoxLayout;
    const auto addField = [&](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        loanRow->addWidget(label);
        loanRow->addWidget(field, 1);
    };
    addField(u"&Principal:"_s, principalEdit);
    addField(u"&Months:"_s, monthsEdit);
    addField(u"&Rate (%):"_s, rateEdit);
    addField(u"&Start date:"_s, startEdit);

    pasteEdit = new QPlainTextEdit(this);
    pasteEdit->setPlaceholderText(
        u"Paste the statement's rows here (from the bank's web page, a PDF or a spreadsheet), "
        u"or open a CSV or text file."_s);
    pasteEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    openButton = new QPushButton(u"&Open…"_s, this);
    decimalBox = new QComboBox(this);
    decimalBox->addItem(u"Decimal separator: guess"_s);
    decimalBox->addItem(u"Decimal separator: dot"_s, u"."_s);
    decimalBox->addItem(u"Decimal separator: comma"_s, u","_s);
    m_events = current.events;
    m_policy = current.policy;
    eventsBox = new QCheckBox(m_events.empty() ? u"No planner events"_s
                              : m_events.size() == 1
                                  ? u"With the planner's event"_s
                                  : u"With the planner's %1 events"_s.arg(m_events.size()),
                              this);
    eventsBox->setEnabled(!m_events.empty());
    eventsBox->setChecked(!m_events.empty());
    auto* pasteSide = new QVBoxLayout;
    pasteSide->addWidget(openButton);
    pasteSide->addWidget(decimalBox);
    pasteSide->addWidget(eventsBox);
    pasteSide->addStretch();
    auto* pasteRow = new QHBoxLayout;
    pasteRow->addWidget(pasteEdit, 1);
    pasteRow->addLayout(pasteSide);

    // However many columns a line has, their choosers scroll and the window keeps its width.
    auto* columnsStrip = new QWidget(this);
    m_columnsLayout = new QHBoxLayout(columnsStrip);
    m_columnsLayout->setContentsMargins(0, 0, 0, 0);
    m_columnsLayout->addWidget(new QLabel(u"Columns:"_s, this));
    m_columnsLayout->addStretch();
    auto* columnsScroll = new QScrollArea(this);
    columnsScroll->setWidget(columnsStrip);
    columnsScroll->setWidgetResizable(true);
    columnsScroll->setFrameShape(QFrame::NoFrame);
    columnsScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    columnsScroll->setFixedHeight(QComboBox().sizeHint().height() +
                                  style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);

    m_statementModel = new TextTableModel(this);
    m_resultsModel = new TextTableModel(this);
    m_computedModel = new TextTableModel(this);
    statementView = makeView(this, m_statementModel);
    statementView->setObjectName(u"statementView"_s);
    computedView = makeView(this, m_computedModel);
    computedView->setObjectName(u"computedView"_s);
    resultsView = makeView(this, m_resultsModel);
    resultsView->setObjectName(u"resultsView"_s);

    auto* statementBox = new QWidget(this);
    auto* statementLayout = new QVBoxLayout(statementBox);
    statementLayout->setContentsMargins(0, 0, 0, 0);
    statementLayout->addWidget(new QLabel(u"Statement as read:"_s, this));
    statementLayout->addWidget(columnsScroll);
    statementLayout->addWidget(statementView, 1);
    unreadableLabel = new QLabel(this);
    unreadableLabel->setObjectName(u"unreadableLabel"_s);
    unreadableLabel->setWordWrap(true);
    unreadableLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statementLayout->addWidget(unreadableLabel);
    // However many rows fail, the list scrolls and the window keeps its size.
    unreadableList = new QListWidget(this);
    unreadableList->setObjectName(u"unreadableList"_s);
    unreadableList->setUniformItemSizes(true);
    unreadableList->setMaximumHeight(6 * fontMetrics().height() + 8);
    unreadableList->hide();
    statementLayout->addWidget(unreadableList);
    auto* computedBox = new QWidget(this);
    auto* computedLayout = new QVBoxLayout(computedBox);
    computedLayout->setContentsMargins(0, 0, 0, 0);
    computedLayout->addWidget(new QLabel(u"Computed by the chosen arithmetic:"_s, this));
    computedLayout->addWidget(computedView, 1);
    auto* tables = new QSplitter(Qt::Horizontal, this);
    tables->addWidget(statementBox);
    tables->addWidget(computedBox);
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 2);

    sentenceLabel = new QLabel(this);
    sentenceLabel->setObjectName(u"sentenceLabel"_s);
    sentenceLabel->setWordWrap(true);
    sentenceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = sentenceLabel->font();
    bold.setBold(true);
    sentenceLabel->setFont(bold);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(loanRow);
    layout->addLayout(pasteRow, 1);
    layout->addWidget(tables, 3);
    layout->addWidget(new QLabel(u"Each arithmetic:"_s, this));
    layout->addWidget(resultsView, 2);
    layout->addWidget(sentenceLabel);
    layout->addWidget(buttons);

    m_parseTimer = new QTimer(this);
    m_parseTimer->setSingleShot(true);
    m_parseTimer->setInterval(300);
    connect(m_parseTimer, &QTimer::timeout, this, &ReconcileDialog::parseText);
    connect(pasteEdit, &QPlainTextEdit::textChanged, m_parseTimer, qOverload<>(&QTimer::start));
    connect(decimalBox, &QComboBox::currentIndexChanged, this, &ReconcileDialog::parseText);
    connect(openButton, &QPushButton::clicked, this, &ReconcileDialog::openFile);
    for (QLineEdit* edit : {principalEdit, monthsEdit, rateEdit}) {
        connect(edit, &QLineEdit::textChanged, this, &ReconcileDialog::reconcileNow);
    }
    connect(startEdit, &QDateEdit::dateChanged, this, &ReconcileDialog::reconcileNow);
    connect(eventsBox, &QCheckBox::toggled, this, &ReconcileDialog::reconcileNow);
    connect(resultsView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
                if (!m_updating && index.isValid()) {
                    showResult(index.row());
                }
            });
    resize(1100, 760);
    parseText();
}

void ReconcileDialog::setStatementText(const QString& text) {
    {
        const QSignalBlocker blocker(pasteEdit);
        pasteEdit->setPlainText(text);
    }
    m_parseTimer->stop();
    parseText();
}

void ReconcileDialog::setColumnRole(int column, solver::Role role) {
    if (column >= 0 && column < static_cast<int>(columnBoxes.size())) {
        columnBoxes[static_cast<std::size_t>(column)]->setCurrentIndex(static_cast<int>(role));
    }
}

void ReconcileDialog::openFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, u"Open Statement"_s, {}, u"Statements (*.csv *.txt *.tsv);;All files (*)"_s);
    if (path.isEmpty()) {
        return;
    }
    const solver::StatementText read = solver::readStatementFile(path);
    if (!read.error.isEmpty()) {
        sentenceLabel->setText(u"Cannot read the statement: %1"_s.arg(read.error));
        return;
    }
    setStatementText(read.text);
    if (read.encoding != u"UTF-8"_s) {
        unreadableLabel->setText(u"Read as %1. "_s.arg(read.encoding) + unreadableLabel->text());
    }
}

void ReconcileDialog::parseText() {
    const QVariant decimal = decimalBox->currentData();
    m_parsed = solver::parseStatement(
        pasteEdit->toPlainText(), std::nullopt,
        decimal.isValid() ? std::optional<QChar>(decimal.toString().front()) : std::nullopt);
    rebuildColumnBoxes();
    readWithColumns();
}

void ReconcileDialog::rebuildColumnBoxes() {
    m_updating = true;
    for (QComboBox* box : columnBoxes) {
        delete box;
    }
    columnBoxes.clear();
    for (std::size_t c = 0; c < m_parsed.columns.size(); ++c) {
        auto* box = new QComboBox(this);
        box->setObjectName(u"column%1"_s.arg(c + 1));
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(5);
        for (const solver::Role role : solver::allRoles) {
            box->addItem(u"%1: %2"_s.arg(c + 1).arg(solver::roleTitle(role)));
        }
        box->setCurrentIndex(static_cast<int>(m_parsed.columns[c]));
        connect(box, &QComboBox::currentIndexChanged, this, [this, c](int index) {
            if (!m_updating) {
                m_parsed.columns[c] = static_cast<solver::Role>(index);
                readWithColumns();
            }
        });
        m_columnsLayout->insertWidget(static_cast<int>(c) + 1, box);
        columnBoxes.push_back(box);
    }
    m_updating = false;
}

void ReconcileDialog::readWithColumns() {
    m_parsed.statement = solver::readStatement(m_parsed.table, m_parsed.columns, m_parsed.style);
    QStringList headers;
    std::vector<bool> numeric;
    for (const solver::Role role : m_parsed.columns) {
        headers << solver::roleTitle(role);
        numeric.push_back(role >= solver::Role::Opening);
    }
    m_statementModel->setContents(headers, m_parsed.table.rows);
    m_statementModel->setNumericColumns(numeric);
    if (m_parsed.table.headerRow >= 0) {
        m_statementModel->setRowTint(m_parsed.table.headerRow, headerTint, u"The column titles"_s);
    }
    QStringList unreadable;
    for (const solver::UnreadableRow& row : m_parsed.statement.unreadable) {
        m_statementModel->setRowTint(row.tableRow, unreadableTint, row.reason);
        unreadable << u"Line %1: %2."_s.arg(row.line).arg(row.reason);
    }
    unreadableList->clear();
    unreadableList->addItems(unreadable);
    unreadableList->setVisible(!unreadable.isEmpty());
    unreadableLabel->setText(
        !m_parsed.refused.isEmpty() ? u"The statement is not read: %1."_s.arg(m_parsed.refused)
        : unreadable.isEmpty()      ? QString()
                                    : u"Rows not read: %1"_s.arg(unreadable.size()));
    reconcileNow();
}

void ReconcileDialog::reconcileNow() {
    const LoanEntry entry =
        readLoanEntry(principalEdit->text(), monthsEdit->text(), rateEdit->text());
    m_reconciliation = {};
    m_updating = true;
    m_resultsModel->setContents({u"Arithmetic"_s, u"Matching rows"_s, u"First difference"_s}, {});
    m_updating = false;
    if (!entry.complete()) {
        sentenceLabel->setText(u"Enter the loan: principal, months and annual rate."_s);
        m_computedModel->setContents({}, {});
        return;
    }
    if (m_parsed.statement.rows.empty()) {
        sentenceLabel->setText(emptyStatementText);
        m_computedModel->setContents({}, {});
        return;
    }
    planner::PlanInput loan;
    loan.principal = *entry.principal;
    loan.months = *entry.months;
    loan.annualPercent = *entry.annualPercent;
    loan.startDate = startEdit->date();
    if (eventsBox->isChecked()) {
        loan.events = m_events;
        loan.policy = m_policy;
    }
    m_reconciliation = solver::reconcile(loan, m_parsed.statement);

    std::vector<QStringList> rows;
    for (const solver::ArithmeticResult& result : m_reconciliation.results) {
        QString difference;
        if (!result.error.isEmpty()) {
            difference = result.error;
        } else if (result.firstDifference) {
            const auto& d = *result.firstDifference;
            QString place = solver::placeText(m_parsed.statement, d);
            place.front() = place.front().toUpper();
            difference = place + u": "_s + solver::describeDifference(d);
        } else {
            difference = u"None"_s;
        }
        rows.push_back({solver::describe(result.arithmetic),
                        u"%1 of %2"_s.arg(result.matching).arg(result.compared), difference});
    }
    m_updating = true;
    m_resultsModel->setContents({u"Arithmetic"_s, u"Matching rows"_s, u"First difference"_s},
                                std::move(rows));
    for (std::size_t i = 0; i < m_reconciliation.results.size(); ++i) {
        const auto& result = m_reconciliation.results[i];
        if (result.error.isEmpty() && result.compared > 0 && result.matching == result.compared) {
            m_resultsModel->setRowTint(static_cast<int>(i), matchTint, {});
        }
    }
    m_updating = false;
    resultsView->resizeColumnsToContents();
    sentenceLabel->setText(m_reconciliation.sentence + u"\nDue dates: "_s +
                           solver::dueDatesText(m_reconciliation.dueDates.terms) + u'.');
    showResult(m_reconciliation.best);
}

void ReconcileDialog::showResult(int index) {
    m_statementModel->setHighlight(-1, -1);
    if (index < 0 || index >= static_cast<int>(m_reconciliation.results.size())) {
        m_computedModel->setContents({}, {});
        return;
    }
    m_shown = index;
    const solver::ArithmeticResult& result =
        m_reconciliation.results[static_cast<std::size_t>(index)];
    QStringList headers;
    for (const solver::Role role : computedColumns) {
        headers << solver::roleTitle(role);
    }
    std::vector<QStringList> rows;
    rows.reserve(result.computed.rows.size());
    for (const solver::LoanRow& row : result.computed.rows) {
        rows.push_back({QString::number(row.number), shortDateText(row.dueDate),
                        amountText(row.opening), amountText(row.payment), amountText(row.principal),
                        amountText(row.interest), amountText(row.extra), amountText(row.closing)});
    }
    fitColumns(computedView, headers, rows);
    m_computedModel->setContents(headers, std::move(rows));
    m_computedModel->setNumericColumns({true, false, true, true, true, true, true, true});
    {
        const QSignalBlocker blocker(resultsView->selectionModel());
        resultsView->selectRow(index);
    }
    if (!result.firstDifference) {
        return;
    }
    const solver::Difference& difference = *result.firstDifference;
    const auto& row = m_parsed.statement.rows[static_cast<std::size_t>(difference.statementRow)];
    int statementColumn = 0;
    for (std::size_t c = 0; c < m_parsed.columns.size(); ++c) {
        if (m_parsed.columns[c] == difference.column) {
            statementColumn = static_cast<int>(c);
            break;
        }
    }
    m_statementModel->setHighlight(row.tableRow, statementColumn);
    statementView->scrollTo(m_statementModel->index(row.tableRow, statementColumn));
    int computedColumn = 0;
    for (std::size_t c = 0; c < std::size(computedColumns); ++c) {
        if (computedColumns[c] == difference.column) {
            computedColumn = static_cast<int>(c);
        }
    }
    for (int r = 0; r < m_computedModel->rowCount(); ++r) {
        if (result.computed.rows[static_cast<std::size_t>(r)].number == difference.month) {
            m_computedModel->setHighlight(r, computedColumn);
            computedView->scrollTo(m_computedModel->index(r, computedColumn));
            break;
        }
    }
}
