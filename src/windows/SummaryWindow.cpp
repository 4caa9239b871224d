#include "windows/SummaryWindow.h"

#include "documents/TablePrint.h"
#include "output/TableSource.h"
#include "output/TableText.h"
#include "planner/TrueCost.h"

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
    m_totalInterest->setObjectName(u"totalInterest"_s);
    m_totalPaid->setObjectName(u"totalPaid"_s);
    m_effectiveRate->setObjectName(u"effectiveAnnualRate"_s);
    for (QLabel* label : {m_totalInterest, m_totalPaid, m_effectiveRate}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    cost->addRow(u"Total interest:"_s, m_totalInterest);
    cost->addRow(u"Total paid:"_s, m_totalPaid);
    cost->addRow(u"Effective annual rate:"_s, m_effectiveRate);
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
    const auto money = [&locale](std::int64_t cents) {
        return locale.toString(static_cast<double>(cents) / 100.0, 'f', 2);
    };
    m_totalInterest->setText(money(m_summary.interest));
    m_totalPaid->setText(money(m_summary.paid()));
    m_effectiveRate->setText(
        locale.toString(planner::effectiveAnnualPercent(m_schedule.loan.ratePercent), 'f', 2) +
        u" %"_s);
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
