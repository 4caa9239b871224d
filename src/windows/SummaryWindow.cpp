#include "windows/SummaryWindow.h"

#include "core/Conversions.h"
#include "documents/TablePrint.h"
#include "output/TableSource.h"
#include "output/TableText.h"
#include "planner/TrueCost.h"
#include "windows/LoanEntry.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

class SummaryModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setSummary(const YearlySummary* summary) {
        beginResetModel();
        m_source = summary ? std::make_unique<SummaryTableSource>(*summary) : nullptr;
        endResetModel();
    }
    const SummaryTableSource* source() const { return m_source.get(); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !m_source ? 0 : m_source->rowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !m_source ? 0 : m_source->columnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!m_source || !index.isValid()) {
            return {};
        }
        const TableCell cell = m_source->cell(index.row(), index.column());
        switch (role) {
            case Qt::DisplayRole:
                return m_texts(cell);
            case Qt::TextAlignmentRole:
                return QVariant::fromValue(
                    (cell.kind == TableCell::Kind::Cents || index.column() == 0 ? Qt::AlignRight
                                                                                : Qt::AlignLeft) |
                    Qt::AlignVCenter);
            case Qt::FontRole:
                if (m_source->isTotals(index.row())) {
                    QFont bold;
                    bold.setBold(true);
                    return bold;
                }
                return {};
            default:
                return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (m_source && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            return m_source->headers().value(section);
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    std::unique_ptr<SummaryTableSource> m_source;
    CellTexts m_texts{QLocale()};
};

SummaryWindow::SummaryWindow(SaveFailureReporter reportFailure, DialogRunner runDialog,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_reportFailure(std::move(reportFailure)),
      m_runDialog(std::move(runDialog)) {
    setObjectName(u"SummaryWindow"_s);
    setWindowTitle(u"Yearly Summary"_s);
    m_basis = new QComboBox(this);
    m_basis->setObjectName(u"basis"_s);
    m_basis->addItem(u"Calendar years"_s);
    m_basis->addItem(u"Loan years (instalments 1–12, 13–24, …)"_s);
    auto* basisLabel = new QLabel(u"&Years:"_s, this);
    basisLabel->setBuddy(m_basis);

    m_model = new SummaryModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(u"summaryTable"_s);
    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAccessibleName(u"Yearly summary"_s);

    auto* copyButton = new QPushButton(u"&Copy"_s, this);
    auto* saveButton = new QPushButton(u"&Save As…"_s, this);
    copyButton->setObjectName(u"copy"_s);
    saveButton->setObjectName(u"saveAs"_s);

    auto* top = new QHBoxLayout;
    top->addWidget(basisLabel);
    top->addWidget(m_basis, 1);
    top->addWidget(copyButton);
    top->addWidget(saveButton);
    auto* costBox = new QGroupBox(u"True cost"_s, this);
    auto* cost = new QFormLayout(costBox);
    m_totalInterest = new QLabel(costBox);
    m_totalPaid = new QLabel(costBox);
    m_effectiveRate = new QLabel(costBox);
    m_aprUs = new QLabel(costBox);
    m_aprcEu = new QLabel(costBox);
    m_totalInterest->setObjectName(u"totalInterest"_s);
    m_totalPaid->setObjectName(u"totalPaid"_s);
    m_effectiveRate->setObjectName(u"effectiveAnnualRate"_s);
    m_aprUs->setObjectName(u"aprUs"_s);
    m_aprcEu->setObjectName(u"aprcEu"_s);
    for (QLabel* label : {m_totalInterest, m_totalPaid, m_effectiveRate, m_aprUs, m_aprcEu}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_fees = new QLineEdit(costBox);
    m_feePerPayment = new QLineEdit(costBox);
    for (QLineEdit* fee : {m_fees, m_feePerPayment}) {
        fee->setPlaceholderText(u"none"_s);
        connect(fee, &QLineEdit::textChanged, this, &SummaryWindow::recompute);
    }
    m_roundingNote = new QLabel(costBox);
    m_roundingNote->setObjectName(u"roundingNote"_s);
    m_roundingNote->setWordWrap(true);
    m_roundingNote->setMaximumWidth(260);
    cost->addRow(u"Up-front fees:"_s, m_fees);
    cost->addRow(u"Fee per payment:"_s, m_feePerPayment);
    cost->addRow(u"Schedule total interest:"_s, m_totalInterest);
    cost->addRow(u"Schedule total paid:"_s, m_totalPaid);
    cost->addRow(u"Effective annual rate:"_s, m_effectiveRate);
    cost->addRow(u"APR (US):"_s, m_aprUs);
    cost->addRow(u"APRC (EU/UK):"_s, m_aprcEu);
    cost->addRow(m_roundingNote);
    auto* side = new QVBoxLayout;
    side->addWidget(costBox);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_table, 1);
    middle->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    resize(980, 420);

    connect(m_basis, &QComboBox::currentIndexChanged, this,
            [this](int index) { setBasis(index == 1 ? YearBasis::Loan : YearBasis::Calendar); });
    connect(copyButton, &QPushButton::clicked, this, &SummaryWindow::copy);
    connect(saveButton, &QPushButton::clicked, this, &SummaryWindow::saveAs);
}

SummaryWindow::~SummaryWindow() = default;

void SummaryWindow::setSchedule(ScheduleValues schedule) {
    m_schedule = std::move(schedule);
    recompute();
}

void SummaryWindow::setBasis(YearBasis basis) {
    m_basis->setCurrentIndex(basis == YearBasis::Loan ? 1 : 0);
    if (m_summary.basis != basis) {
        m_summary.basis = basis;
        recompute();
    }
}

void SummaryWindow::recompute() {
    m_summary = yearlySummary(m_schedule, m_summary.basis);
    m_model->setSummary(&m_summary);
    const QLocale locale;
    // The main schedule pays its instalment, as shown, every month.
    planner::PlanInput loan;
    loan.principal = m_schedule.loan.principal;
    loan.months = m_schedule.loan.months;
    loan.annualPercent = m_schedule.loan.ratePercent;
    loan.startDate = m_schedule.loan.start;
    std::vector<planner::PlanRow> rows;
    rows.reserve(m_schedule.rows.size());
    for (const ScheduleRowValues& row : m_schedule.rows) {
        rows.push_back({row.number, row.due, row.opening, m_schedule.loan.emi, row.principal,
                        row.interest, 0, row.closing});
    }
    const planner::TrueCost cost = planner::trueCost(
        loan, rows, {feeOf(m_fees->text(), locale), feeOf(m_feePerPayment->text(), locale)});
    m_totalInterest->setText(amountText(cost.totalInterest, locale));
    m_totalPaid->setText(amountText(cost.totalPaid, locale));
    m_effectiveRate->setText(percentageText(cost.effectiveAnnualPercent, locale));
    m_aprUs->setText(planner::aprUsText(cost.aprUsPercent, locale));
    m_aprcEu->setText(planner::aprcEuText(cost.aprcEuPercent, locale));
    m_roundingNote->setText(planner::roundingNote(
        cost.principalLeft, amountText(std::abs(cost.principalLeft), locale)));
}

void SummaryWindow::copy() const {
    QApplication::clipboard()->setText(tabSeparatedText(SummaryTableSource(m_summary)));
}

void SummaryWindow::saveAs() {
    const auto choice = chooseTableFile(this, u"Save Yearly Summary"_s, m_lastPath, m_runDialog);
    if (!choice) {
        return;
    }
    m_lastPath = choice->path;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto error = writeTableFile(choice->format, SummaryTableSource(m_summary),
                                      summaryFacts(m_schedule, m_summary), choice->path);
    QApplication::restoreOverrideCursor();
    if (error) {
        m_reportFailure(choice->path, *error);
    }
}
