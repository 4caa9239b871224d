#pragma once

#include "planner/Planner.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A plan as transactions for personal-accounts programs.
//
// One transaction per row that moves money or capitalises interest, on its due date: the loan
// account takes principal + extra, the interest account the interest, the payment account pays
// payment + extra (a row of a grace period pays nothing, and its negative principal moves the
// interest onto the loan). With the advance, the payment account receives the principal from the
// loan account on the start date; an up-front fee is paid from the payment account to the fee
// account on the start date, a fee per payment with every payment. After the advance and every row,
// the loan account's balance is zero. Amounts are whole cents with two decimals and the currency
// code; zero postings are left out.
namespace accounting {

enum class Format { Ledger, Beancount, Qif };

// ledger, beancount, qif: the command line's names and the files' extensions.
QString name(Format format);
std::optional<Format> formatFromName(const QString& text);

struct Options {
    QString loanAccount = QStringLiteral("Liabilities:Loan");
    QString interestAccount = QStringLiteral("Expenses:Interest");
    QString paymentAccount = QStringLiteral("Assets:Bank");
    QString feeAccount = QStringLiteral("Expenses:Fees");
    QString payee = QStringLiteral("Loan payment");
    QString currency;  // three capital letters; empty: the user's locale's, else XXX
    bool withAdvance = false;
    planner::Cents fees = 0;           // paid up front; 0: no fee transaction
    planner::Cents feePerPayment = 0;  // paid with every payment to the fee account
};

// A currency code of three capital letters ("EUR").
bool isCurrencyCode(const QString& text);

// The account name beancount accepts: a first part of Assets, Liabilities, Equity, Income or
// Expenses (else `fallbackRoot` is put in front), each part starting with a capital letter or a
// digit, characters other than letters, digits and "-" written as "-".
QString beancountAccount(const QString& account, const QString& fallbackRoot);

// A journal that hledger and ledger read; it declares its accounts and commodity.
QByteArray ledgerJournal(const planner::PlanInput& loan, const planner::Plan& plan,
                         const Options& options);
// A file bean-check accepts: an open directive per account on the start date.
QByteArray beancountFile(const planner::PlanInput& loan, const planner::Plan& plan,
                         const Options& options);
// The payment account's register: !Type:Bank, dates as MM/DD'YYYY, each payment split (S and $
// lines summing to T) into the loan account as a transfer and the interest category.
QByteArray qifFile(const planner::PlanInput& loan, const planner::Plan& plan,
                   const Options& options);

QByteArray exportPlan(Format format, const planner::PlanInput& loan, const planner::Plan& plan,
                      const Options& options);

}  // namespace accounting
