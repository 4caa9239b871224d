#pragma once

#include "planner/Planner.h"

#include <QDate>
#include <QGroupBox>
#include <QLocale>
#include <QString>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QSpinBox;
class SettingsStore;

// The loan's terms as the planner window holds them: the stable names of the choices and the
// balloon as typed. The defaults are a monthly annuity from the start, as before the terms
// existed, so a plan remembered without them opens unchanged.
struct LoanTermsEntry {
    QString frequency = u"monthly"_qs;
    QDate firstDue;  // invalid: a regular first period
    QString basis = u"periodic"_qs;
    QString compounding = u"per-period"_qs;
    QString shape = u"annuity"_qs;
    int interestOnly = 0;
    int grace = 0;
    QString balloon;  // in the user's locale; empty: none
    bool operator==(const LoanTermsEntry&) const = default;
};

// The entry as kept in the settings group; keys that are missing or unknown keep the defaults.
LoanTermsEntry loanTermsFromStore(const SettingsStore& store, const QString& group);
void storeLoanTerms(SettingsStore& store, const QString& group, const LoanTermsEntry& entry);

// Puts the entry's terms into the input; the problem with the balloon's text, or nothing.
QString applyLoanTerms(const LoanTermsEntry& entry, planner::PlanInput& input,
                       const QLocale& locale = QLocale());

// "Loan terms": frequency, first due date ("regular" when empty), interest basis, compounding,
// shape, interest-only and grace periods and the balloon. Emits edited() at every change.
class LoanTermsBox final : public QGroupBox {
    Q_OBJECT
public:
    explicit LoanTermsBox(QWidget* parent = nullptr);

    LoanTermsEntry entry() const;
    void setEntry(const LoanTermsEntry& entry);
    // The first due date must come after the start; on the start itself the field shows
    // "regular".
    void setStartDate(const QDate& start);
    // Marks the balloon field with a problem, or clears the mark.
    void markBalloon(const QString& message);

    QComboBox* frequencyBox() const { return m_frequency; }
    QDateEdit* firstDueEdit() const { return m_firstDue; }
    QComboBox* basisBox() const { return m_basis; }
    QComboBox* compoundingBox() const { return m_compounding; }
    QComboBox* shapeBox() const { return m_shape; }
    QSpinBox* interestOnlySpin() const { return m_interestOnly; }
    QSpinBox* graceSpin() const { return m_grace; }
    QLineEdit* balloonEdit() const { return m_balloon; }

Q_SIGNALS:
    void edited();

private:
    QComboBox* m_frequency = nullptr;
    QDateEdit* m_firstDue = nullptr;
    QComboBox* m_basis = nullptr;
    QComboBox* m_compounding = nullptr;
    QComboBox* m_shape = nullptr;
    QSpinBox* m_interestOnly = nullptr;
    QSpinBox* m_grace = nullptr;
    QLineEdit* m_balloon = nullptr;
    bool m_setting = false;
};
