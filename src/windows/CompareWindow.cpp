#include "windows/CompareWindow.h"

#include "core/Conversions.h"
#include "documents/TableFiles.h"
#include "output/OfferTable.h"
#include "output/TableText.h"
#include "windows/ChartWindow.h"
#include "windows/LoanEntry.h"

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QStringList inputNames{u"Principal:"_s, u"Months:"_s, u"Rate (% a year):"_s, u"Start date:"_s,
                             u"Fees:"_s};
const QStringList resultNames{u"Instalment:"_s,     u"Payments:"_s,   u"End date:"_s,
                              u"Total interest:"_s, u"Total paid:"_s, u"APR (US):"_s,
                              u"APRC (EU/UK):"_s};

}  // namespace

CompareWindow::CompareWindow(const offers::Offer& loan, SaveFailureReporter reportFailure,
                             DialogRunner runDialog, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_reportFailure(std::move(reportFailure)),
      m_runDialog(std::move(runDialog)) {
    setWindowTitle(u"Compare Loans"_s);
    auto* layout = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    int row = 1;
    for (const QStringList* names : {&inputNames, &resultNames}) {
        for (const QString& name : *names) {
            m_grid->addWidget(new QLabel(name), row++, 0);
        }
        ++row;  // a gap between the loans' terms and their results
    }
    m_grid->setRowMinimumHeight(static_cast<int>(inputNames.size()) + 1, 8);
    layout->addLayout(m_grid);

    auto* commands = new QHBoxLayout;
    m_add = new QPushButton(u"&Add Loan"_s);
    m_remove = new QPushButton(u"&Remove Loan"_s);
    auto* copyButton = new QPushButton(u"&Copy"_s);
    copyButton->setToolTip(u"Copy the comparison as tab-separated text"_s);
    auto* save = new QPushButton(u"&Save As…"_s);
    auto* close = new QPushButton(u"Close"_s);
    for (QPushButton* button : {m_add, m_remove, copyButton, save}) {
        commands->addWidget(button);
    }
    commands->addStretch();
    commands->addWidget(close);
    layout->addLayout(commands);
    m_chart = new ChartView;
    m_chart->setMinimumSize(560, 260);
    layout->addWidget(m_chart, 1);

    connect(m_add, &QPushButton::clicked, this, &CompareWindow::addLoan);
    connect(m_remove, &QPushButton::clicked, this, &CompareWindow::removeLoan);
    connect(copyButton, &QPushButton::clicked, this, &CompareWindow::copy);
    connect(save, &QPushButton::clicked, this, &CompareWindow::saveAs);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    addColumn(loan);
    addColumn(loan);
    recompute();
}

void CompareWindow::addColumn(const offers::Offer& loan) {
    const int column = loanCount() + 1;
    Column c;
    c.header = new QLabel;
    c.principal = new QLineEdit(numberToText(static_cast<double>(loan.loan.principal) / 100.0));
    c.months = new QLineEdit(QString::number(loan.loan.months));
    c.rate = new QLineEdit(numberToText(loan.loan.annualPercent));
    c.start = new QDateEdit(loan.loan.startDate);
    c.start->setDisplayFormat(shortDateFormat());
    c.fees = new QLineEdit(numberToText(static_cast<double>(loan.fees.upFront) / 100.0));
    m_grid->addWidget(c.header, 0, column);
    int row = 1;
    for (QWidget* input :
         std::initializer_list<QWidget*>{c.principal, c.months, c.rate, c.start, c.fees}) {
        m_grid->addWidget(input, row++, column);
    }
    ++row;
    for (qsizetype i = 0; i < resultNames.size(); ++i) {
        auto* label = new QLabel;
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        c.results.push_back(label);
        m_grid->addWidget(label, row++, column);
    }
    for (QLineEdit* edit : {c.principal, c.months, c.rate, c.fees}) {
        connect(edit, &QLineEdit::textChanged, this, &CompareWindow::recompute);
    }
    connect(c.start, &QDateEdit::dateChanged, this, &CompareWindow::recompute);
    m_columns.push_back(c);
}

void CompareWindow::addLoan() {
    if (loanCount() < maxLoans) {
        addColumn(m_offers.back());
        recompute();
    }
}

void CompareWindow::removeLoan() {
    if (loanCount() <= minLoans) {
        return;
    }
    const Column& last = m_columns.back();
    for (QWidget* widget : std::initializer_list<QWidget*>{last.header, last.principal, last.months,
                                                           last.rate, last.start, last.fees}) {
        delete widget;
    }
    qDeleteAll(last.results);
    m_columns.pop_back();
    recompute();
}

void CompareWindow::recompute() {
    m_offers.clear();
    for (const Column& c : m_columns) {
        offers::Offer offer;
        offer.loan.principal = typedCents(c.principal->text()).value_or(0);
        offer.loan.months = typedWhole(c.months->text()).value_or(0);
        offer.loan.annualPercent = parseNumber(c.rate->text()).value_or(-1);
        offer.loan.startDate = c.start->date();
        offer.fees.upFront =
            c.fees->text().trimmed().isEmpty() ? 0 : typedCents(c.fees->text()).value_or(-1);
        if (offer.fees.upFront < 0) {
            offer.loan.principal = 0;  // no plan for a loan whose fees do not read
        }
        m_offers.push_back(offer);
    }
    m_comparison = offers::compareOffers(m_offers);

    const QLocale locale;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const Column& c = m_columns[i];
        const offers::OfferResult& result = m_comparison.offers[i];
        const bool cheapest = static_cast<int>(i) == m_comparison.cheapest;
        c.header->setText(cheapest ? u"<b>Loan %1 — cheapest</b>"_s.arg(i + 1)
                                   : u"<b>Loan %1</b>"_s.arg(i + 1));
        const QStringList texts =
            result.error.isEmpty() ? QStringList{amountText(result.instalment, locale),
                                                 QString::number(result.payments),
                                                 shortDateText(result.endDate, locale),
                                                 amountText(result.totalInterest, locale),
                                                 amountText(result.totalPaid, locale),
                                                 planner::aprUsText(result.aprUsPercent, locale),
                                                 planner::aprcEuText(result.aprcEuPercent, locale)}
                                   : QStringList{result.error};
        for (std::size_t r = 0; r < c.results.size(); ++r) {
            c.results[r]->setText(r < static_cast<std::size_t>(texts.size())
                                      ? texts[static_cast<qsizetype>(r)]
                                      : QString());
            c.results[r]->setWordWrap(!result.error.isEmpty());
            QFont font = c.results[r]->font();
            font.setBold(cheapest && r == 4);
            c.results[r]->setFont(font);
        }
    }
    m_add->setEnabled(loanCount() < maxLoans);
    m_remove->setEnabled(loanCount() > minLoans);
    m_chart->setData(offerChartData(m_comparison));
}

void CompareWindow::copy() const {
    QApplication::clipboard()->setText(tabSeparatedText(OfferTableSource(m_offers, m_comparison)));
}

void CompareWindow::saveAs() {
    const auto choice = chooseTableFile(this, u"Save Comparison"_s, m_lastPath, m_runDialog);
    if (!choice) {
        return;
    }
    m_lastPath = choice->path;
    const auto error = writeTableFile(choice->format, OfferTableSource(m_offers, m_comparison),
                                      offerFacts(m_comparison), choice->path);
    if (error) {
        m_reportFailure(choice->path, *error);
    }
}

CompareWindow* openCompareWindow(QWidget* parent, const offers::Offer& loan,
                                 SaveFailureReporter reportFailure, DialogRunner runDialog) {
    auto* compare = new CompareWindow(loan, std::move(reportFailure), std::move(runDialog), parent);
    compare->setAttribute(Qt::WA_DeleteOnClose);
    compare->show();
    return compare;
}
