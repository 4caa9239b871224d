#include "windows/LoanTermsBox.h"

#include "core/Conversions.h"
#include "shell/SettingsStore.h"
#include "windows/LoanEntry.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Choice {
    const char16_t* text;
    const char* name;
};

constexpr Choice frequencies[] = {{u"Weekly", "weekly"},
                                  {u"Fortnightly", "fortnightly"},
                                  {u"Every four weeks", "four-weekly"},
                                  {u"Twice a month", "semi-monthly"},
                                  {u"Monthly", "monthly"},
                                  {u"Every two months", "bimonthly"},
                                  {u"Quarterly", "quarterly"},
                                  {u"Half-yearly", "half-yearly"},
                                  {u"Yearly", "yearly"}};
constexpr Choice bases[] = {{u"Periodic", "periodic"},
                            {u"30/360", "30/360"},
                            {u"Actual/365", "actual/365"},
                            {u"Actual/360", "actual/360"},
                            {u"Actual/actual", "actual/actual"}};
constexpr Choice compoundings[] = {{u"With each payment", "per-period"},
                                   {u"Monthly", "monthly"},
                                   {u"Quarterly", "quarterly"},
                                   {u"Half-yearly", "semi-annual"},
                                   {u"Yearly", "annual"}};
constexpr Choice shapes[] = {{u"Equal instalments", "annuity"},
                             {u"Equal principal", "equal-principal"}};

template <std::size_t N>
QComboBox* choiceBox(const Choice (&choices)[N]) {
    auto* box = new QComboBox;
    for (const Choice& choice : choices) {
        box->addItem(QString::fromUtf16(choice.text), QString::fromLatin1(choice.name));
    }
    return box;
}

void select(QComboBox* box, const QString& name) {
    if (const int index = box->findData(name); index >= 0) {
        box->setCurrentIndex(index);
    }
}

QSpinBox* periodsSpin() {
    auto* spin = new QSpinBox;
    spin->setRange(0, planner::maxMonths);
    spin->setSpecialValueText(u"none"_s);
    spin->setSuffix(u" payments"_s);
    return spin;
}

const QString balloonTip = u"Left for the last payment; the instalments repay the rest"_s;

// The remembered keys of the group, in the order of the entry.
const QString frequencyKey = u"Frequency"_s;
const QString firstDueKey = u"FirstDue"_s;
const QString basisKey = u"InterestBasis"_s;
const QString compoundingKey = u"Compounding"_s;
const QString shapeKey = u"Shape"_s;
const QString interestOnlyKey = u"InterestOnly"_s;
const QString graceKey = u"Grace"_s;
const QString balloonKey = u"Balloon"_s;

// A stored count of payments, within the planner's limits; 0 where it does not read.
int storedPeriods(const std::optional<QString>& text) {
    bool ok = false;
    const int periods = text ? text->toInt(&ok) : 0;
    return ok ? std::clamp(periods, 0, planner::maxMonths) : 0;
}

}  // namespace

LoanTermsEntry loanTermsFromStore(const SettingsStore& store, const QString& group) {
    LoanTermsEntry entry;
    const auto known = [&](const QString& key, auto fromName, QString& field) {
        if (const auto text = store.readInGroup(group, key);
            text && fromName(text->toStdString())) {
            field = *text;
        }
    };
    known(frequencyKey, calendar::frequencyFromName, entry.frequency);
    known(basisKey, planner::basisFromName, entry.basis);
    known(compoundingKey, planner::compoundingFromName, entry.compounding);
    known(shapeKey, planner::shapeFromName, entry.shape);
    entry.firstDue =
        QDate::fromString(store.readInGroup(group, firstDueKey).value_or(QString()), Qt::ISODate);
    entry.interestOnly = storedPeriods(store.readInGroup(group, interestOnlyKey));
    entry.grace = storedPeriods(store.readInGroup(group, graceKey));
    entry.balloon = store.readInGroup(group, balloonKey).value_or(QString());
    return entry;
}

void storeLoanTerms(SettingsStore& store, const QString& group, const LoanTermsEntry& entry) {
    store.writeInGroup(group, frequencyKey, entry.frequency);
    store.writeInGroup(group, firstDueKey, entry.firstDue.toString(Qt::ISODate));
    store.writeInGroup(group, basisKey, entry.basis);
    store.writeInGroup(group, compoundingKey, entry.compounding);
    store.writeInGroup(group, shapeKey, entry.shape);
    store.writeInGroup(group, interestOnlyKey, QString::number(entry.interestOnly));
    store.writeInGroup(group, graceKey, QString::number(entry.grace));
    store.writeInGroup(group, balloonKey, entry.balloon);
}

QString applyLoanTerms(const LoanTermsEntry& entry, planner::PlanInput& input,
                       const QLocale& locale) {
    input.frequency = calendar::frequencyFromName(entry.frequency.toStdString())
                          .value_or(calendar::Frequency::Monthly);
    input.firstDue = entry.firstDue;
    input.basis = planner::basisFromName(entry.basis.toStdString())
                      .value_or(planner::InterestBasis::Periodic);
    input.compounding = planner::compoundingFromName(entry.compounding.toStdString())
                            .value_or(planner::Compounding::PerPeriod);
    input.shape =
        planner::shapeFromName(entry.shape.toStdString()).value_or(planner::Shape::Annuity);
    input.interestOnly = entry.interestOnly;
    input.grace = entry.grace;
    input.balloon = 0;
    if (entry.balloon.trimmed().isEmpty()) {
        return {};
    }
    const auto balloon = amountWithin(entry.balloon, 0, planner::maxPrincipal, locale);
    if (!balloon) {
        return u"Type the balloon as an amount, such as 5000, or leave it empty."_s;
    }
    input.balloon = *balloon;
    return {};
}

LoanTermsBox::LoanTermsBox(QWidget* parent) : QGroupBox(u"Loan terms"_s, parent) {
    m_frequency = choiceBox(frequencies);
    m_firstDue = new QDateEdit;
    m_firstDue->setDisplayFormat(shortDateFormat());
    m_firstDue->setCalendarPopup(true);
    m_firstDue->setSpecialValueText(u"regular"_s);
    m_firstDue->setToolTip(
        u"The first payment's date; \"regular\" is one period after the start. Step down to the "
        u"start date to make it regular again."_s);
    m_basis = choiceBox(bases);
    m_compounding = choiceBox(compoundings);
    m_shape = choiceBox(shapes);
    m_interestOnly = periodsSpin();
    m_interestOnly->setToolTip(u"The first payments pay the interest only"_s);
    m_grace = periodsSpin();
    m_grace->setToolTip(u"The first payments are skipped; their interest is added to the loan"_s);
    m_balloon = new QLineEdit;
    m_balloon->setPlaceholderText(u"none"_s);
    m_balloon->setToolTip(balloonTip);
    select(m_frequency, u"monthly"_s);
    m_firstDue->setDate(m_firstDue->minimumDate());

    m_basis->setToolTip(
        u"Periodic: the annual rate over the payments a year. The others count the days of each "
        u"period."_s);

    // Two columns: when and how often on the left, how interest and repayment go on the right.
    auto* grid = new QGridLayout(this);
    const std::pair<const char16_t*, QWidget*> cells[][2] = {
        {{u"Payments:", m_frequency}, {u"Interest by:", m_basis}},
        {{u"First due:", m_firstDue}, {u"Compounding:", m_compounding}},
        {{u"Grace:", m_grace}, {u"Repayment:", m_shape}},
        {{u"Interest only:", m_interestOnly}, {u"Balloon:", m_balloon}}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 2; ++column) {
            const auto& [caption, field] = cells[row][column];
            auto* label = new QLabel(QString::fromUtf16(caption));
            label->setBuddy(field);
            grid->addWidget(label, row, column * 2);
            grid->addWidget(field, row, column * 2 + 1);
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    const auto changed = [this] {
        if (!m_setting) {
            Q_EMIT edited();
        }
    };
    for (QComboBox* box : {m_frequency, m_basis, m_compounding, m_shape}) {
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    }
    connect(m_firstDue, &QDateEdit::dateChanged, this, changed);
    connect(m_interestOnly, &QSpinBox::valueChanged, this, changed);
    connect(m_grace, &QSpinBox::valueChanged, this, changed);
    connect(m_balloon, &QLineEdit::textChanged, this, changed);
}

LoanTermsEntry LoanTermsBox::entry() const {
    LoanTermsEntry entry;
    entry.frequency = m_frequency->currentData().toString();
    entry.firstDue = m_firstDue->date() == m_firstDue->minimumDate() ? QDate() : m_firstDue->date();
    entry.basis = m_basis->currentData().toString();
    entry.compounding = m_compounding->currentData().toString();
    entry.shape = m_shape->currentData().toString();
    entry.interestOnly = m_interestOnly->value();
    entry.grace = m_grace->value();
    entry.balloon = m_balloon->text();
    return entry;
}

void LoanTermsBox::setEntry(const LoanTermsEntry& entry) {
    m_setting = true;
    select(m_frequency, entry.frequency);
    m_firstDue->setDate(entry.firstDue.isValid() ? entry.firstDue : m_firstDue->minimumDate());
    select(m_basis, entry.basis);
    select(m_compounding, entry.compounding);
    select(m_shape, entry.shape);
    m_interestOnly->setValue(entry.interestOnly);
    m_grace->setValue(entry.grace);
    m_balloon->setText(entry.balloon);
    m_setting = false;
    Q_EMIT edited();
}

void LoanTermsBox::setStartDate(const QDate& start) {
    if (!start.isValid() || start == m_firstDue->minimumDate()) {
        return;
    }
    const bool regular = m_firstDue->date() == m_firstDue->minimumDate();
    m_setting = true;
    m_firstDue->setMinimumDate(start);
    if (regular) {
        m_firstDue->setDate(start);
    }
    m_setting = false;
}

void LoanTermsBox::markBalloon(const QString& message) {
    m_balloon->setStyleSheet(message.isEmpty() ? QString() : u"background: #ffcdcd;"_s);
    m_balloon->setToolTip(message.isEmpty() ? balloonTip : message);
}
