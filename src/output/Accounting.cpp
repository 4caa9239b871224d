#include "output/Accounting.h"

#include "core/Conversions.h"
#include "output/Csv.h"

#include <QLocale>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;
using planner::Cents;

namespace accounting {

namespace {

enum class Role { Loan, Interest, Payment, Fee };

struct Posting {
    Role role;
    Cents amount;  // positive: into the account (a debit)
};

struct Entry {
    QDate date;
    const char* label = "";
    int number = 0;  // the plan's row, 0 for none
    std::array<Posting, 4> postings{};
    int count = 0;
    bool split = true;  // a payment, split between the loan and the interest

    void add(Role role, Cents amount) {
        if (amount != 0) {
            postings[static_cast<std::size_t>(count++)] = {role, amount};
        }
    }
};

// Every transaction of the plan in date order, handed to `write`.
template <typename Write>
void forEachEntry(const planner::PlanInput& loan, const planner::Plan& plan, const Options& options,
                  Write&& write) {
    if (options.withAdvance) {
        Entry advance{loan.startDate, "Advance"};
        advance.split = false;
        advance.add(Role::Payment, loan.principal);
        advance.add(Role::Loan, -loan.principal);
        write(advance);
    }
    if (options.fees > 0) {
        Entry fee{loan.startDate, "Fees"};
        fee.split = false;
        fee.add(Role::Fee, options.fees);
        fee.add(Role::Payment, -options.fees);
        write(fee);
    }
    Entry entry;
    for (const planner::PlanRow& row : plan.rows) {
        entry.count = 0;
        entry.add(Role::Loan, row.principal + row.extra);
        entry.add(Role::Interest, row.interest);
        const Cents fee = row.payment > 0 ? options.feePerPayment : 0;
        entry.add(Role::Fee, fee);
        entry.add(Role::Payment, -(row.payment + row.extra + fee));
        if (entry.count == 0) {
            continue;
        }
        entry.date = row.dueDate;
        entry.label = row.payment > 0 ? "Payment" : "Interest added";
        entry.number = row.number;
        write(entry);
    }
}

QString resolvedCurrency(const QString& currency) {
    if (isCurrencyCode(currency)) {
        return currency;
    }
    const QString local = QLocale().currencySymbol(QLocale::CurrencyIsoCode);
    return isCurrencyCode(local) ? local : u"XXX"_s;
}

// The names of the accounts the file uses, by role, as the format must write them.
struct Names {
    std::array<QByteArray, 4> byRole;
    const QByteArray& operator[](Role role) const { return byRole[static_cast<std::size_t>(role)]; }
};

Names namesOf(const Options& options, QString (*clean)(const QString&)) {
    return {{clean(options.loanAccount).toUtf8(), clean(options.interestAccount).toUtf8(),
             clean(options.paymentAccount).toUtf8(), clean(options.feeAccount).toUtf8()}};
}

// The roles the file's transactions post to, in a fixed order.
std::vector<Role> rolesUsed(const Options& options) {
    std::vector<Role> roles{Role::Loan, Role::Interest, Role::Payment};
    if (options.fees > 0 || options.feePerPayment > 0) {
        roles.push_back(Role::Fee);
    }
    return roles;
}

void appendNote(QByteArray& out, const Entry& entry) {
    out += entry.label;
    if (entry.number > 0) {
        out += ' ';
        out += QByteArray::number(entry.number);
    }
}

// How a double-entry journal writes a transaction: the date, `beforeNote`, the note,
// `afterNote`, then each posting on its own line after `indent`.
struct JournalStyle {
    QByteArray beforeNote;
    const char* afterNote;
    const char* indent;
};

void appendJournal(QByteArray& out, const planner::PlanInput& loan, const planner::Plan& plan,
                   const Options& options, const JournalStyle& style, const Names& names,
                   const QByteArray& currency) {
    forEachEntry(loan, plan, options, [&](const Entry& entry) {
        out += '\n';
        out += csv::isoDate(entry.date).toLatin1();
        out += style.beforeNote;
        appendNote(out, entry);
        out += style.afterNote;
        for (int i = 0; i < entry.count; ++i) {
            const Posting& posting = entry.postings[static_cast<std::size_t>(i)];
            out += style.indent;
            out += names[posting.role];
            out += "  ";
            out += plainCentsText(posting.amount).toLatin1();
            out += currency;
        }
    });
}

QString oneLine(const QString& text) {
    return text.simplified();
}

// A QIF category or account: "/" would start a class and brackets mark a transfer, and the
// format escapes neither.
QString qifName(const QString& text) {
    QString name = oneLine(text);
    for (QChar& c : name) {
        if (c == u'/' || c == u'[' || c == u']') {
            c = u'-';
        }
    }
    return name;
}

QByteArray termsComment(const planner::PlanInput& loan, const QString& currency,
                        const QByteArray& prefix) {
    return prefix + u"Loan of %1 %2 from %3: %4 %5 payments at %6 % a year, interest rounded %7\n"_s
                        .arg(plainCentsText(loan.principal), currency, csv::isoDate(loan.startDate))
                        .arg(loan.months)
                        .arg(QString::fromLatin1(calendar::name(loan.frequency)),
                             numberToText(loan.annualPercent, QLocale::c()),
                             QString::fromLatin1(planner::name(loan.interestRounding)))
                        .toUtf8();
}

QByteArray quoted(const QString& text) {
    QString escaped = oneLine(text);
    escaped.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
    return '"' + escaped.toUtf8() + '"';
}

void appendQifDate(QByteArray& out, const QDate& date) {
    out += QByteArray::number(date.month()).rightJustified(2, '0');
    out += '/';
    out += QByteArray::number(date.day()).rightJustified(2, '0');
    out += '\'';
    out += QByteArray::number(date.year()).rightJustified(4, '0');
}

}  // namespace

QString name(Format format) {
    switch (format) {
        case Format::Ledger:
            return u"ledger"_s;
        case Format::Beancount:
            return u"beancount"_s;
        case Format::Qif:
            return u"qif"_s;
    }
    return {};
}

std::optional<Format> formatFromName(const QString& text) {
    for (Format format : {Format::Ledger, Format::Beancount, Format::Qif}) {
        if (text.compare(name(format), Qt::CaseInsensitive) == 0) {
            return format;
        }
    }
    return std::nullopt;
}

bool isCurrencyCode(const QString& text) {
    return text.size() == 3 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
}

QString beancountAccount(const QString& account, const QString& fallbackRoot) {
    static const QStringList roots{u"Assets"_s, u"Liabilities"_s, u"Equity"_s, u"Income"_s,
                                   u"Expenses"_s};
    QStringList parts;
    for (const QString& part : account.split(u':')) {
        QString clean = part.trimmed();
        if (clean.isEmpty()) {
            continue;
        }
        for (QChar& c : clean) {
            const bool ascii = c.unicode() < 128;
            if (c != u'-' && !(ascii ? c.isLetterOrNumber() : c.isLetter())) {
                c = u'-';
            }
        }
        if (clean.front().isLower()) {
            clean.front() = clean.front().toUpper();
        } else if (clean.front() == u'-') {
            clean.prepend(u'X');
        }
        parts.append(clean);
    }
    if (parts.size() < 2 || !roots.contains(parts.front())) {
        parts.prepend(fallbackRoot);
    }
    return parts.join(u':');
}

QByteArray ledgerJournal(const planner::PlanInput& loan, const planner::Plan& plan,
                         const Options& options) {
    const QByteArray currency = ' ' + resolvedCurrency(options.currency).toLatin1() + '\n';
    const Names names = namesOf(options, oneLine);
    const QByteArray payee = oneLine(options.payee).toUtf8();

    QByteArray out;
    out.reserve(static_cast<qsizetype>(plan.rows.size()) * 170 + 1024);
    out += termsComment(loan, resolvedCurrency(options.currency), "; ");
    out += "commodity" + currency;
    for (Role role : rolesUsed(options)) {
        out += "account " + names[role] + '\n';
    }
    appendJournal(out, loan, plan, options, {' ' + payee + "  ; ", "\n", "    "}, names, currency);
    return out;
}

QByteArray beancountFile(const planner::PlanInput& loan, const planner::Plan& plan,
                         const Options& options) {
    const QString code = resolvedCurrency(options.currency);
    const QByteArray currency = ' ' + code.toLatin1() + '\n';
    const std::array<std::pair<QString, QString>, 4> given{{
        {options.loanAccount, u"Liabilities"_s},
        {options.interestAccount, u"Expenses"_s},
        {options.paymentAccount, u"Assets"_s},
        {options.feeAccount, u"Expenses"_s},
    }};
    Names names;
    QByteArray renamed;
    for (Role role : rolesUsed(options)) {
        const auto& [account, root] = given[static_cast<std::size_t>(role)];
        const QString clean = beancountAccount(account, root);
        names.byRole[static_cast<std::size_t>(role)] = clean.toUtf8();
        if (clean != account) {
            renamed += "; \"" + account.toUtf8() + "\" is written " + clean.toUtf8() + '\n';
        }
    }
    const QByteArray payee = quoted(options.payee);

    QByteArray out;
    out.reserve(static_cast<qsizetype>(plan.rows.size()) * 180 + 1024);
    out += termsComment(loan, code, "; ");
    if (!renamed.isEmpty()) {
        out += "; Account names changed to names beancount accepts:\n" + renamed;
    }
    const QByteArray opened = csv::isoDate(loan.startDate).toLatin1();
    out += '\n';
    for (Role role : rolesUsed(options)) {
        out += opened + " open " + names[role] + currency;
    }
    appendJournal(out, loan, plan, options, {" * " + payee + " \"", "\"\n", "  "}, names, currency);
    return out;
}

QByteArray qifFile(const planner::PlanInput& loan, const planner::Plan& plan,
                   const Options& options) {
    // The loan is another account, a transfer; the interest and the fees are categories.
    Names categories = namesOf(options, qifName);
    QByteArray& loanAccount = categories.byRole[static_cast<std::size_t>(Role::Loan)];
    loanAccount = '[' + loanAccount + ']';
    const QByteArray payee = oneLine(options.payee).toUtf8();

    QByteArray out;
    out.reserve(static_cast<qsizetype>(plan.rows.size()) * 140 + 64);
    out += "!Type:Bank\n";
    forEachEntry(loan, plan, options, [&](const Entry& entry) {
        Cents total = 0;
        for (int i = 0; i < entry.count; ++i) {
            const Posting& posting = entry.postings[static_cast<std::size_t>(i)];
            if (posting.role == Role::Payment) {
                total += posting.amount;
            }
        }
        out += 'D';
        appendQifDate(out, entry.date);
        out += "\nT";
        out += plainCentsText(total).toLatin1();
        out += "\nP";
        out += payee;
        out += "\nM";
        appendNote(out, entry);
        out += '\n';
        // The bank's view: each other account gives the bank the opposite of its posting.
        for (int i = 0; i < entry.count; ++i) {
            const Posting& posting = entry.postings[static_cast<std::size_t>(i)];
            if (posting.role == Role::Payment) {
                continue;
            }
            out += entry.split ? 'S' : 'L';
            out += categories[posting.role];
            out += '\n';
            if (entry.split) {
                out += '$';
                out += plainCentsText(-posting.amount).toLatin1();
                out += '\n';
            }
        }
        out += "^\n";
    });
    return out;
}

QByteArray exportPlan(Format format, const planner::PlanInput& loan, const planner::Plan& plan,
                      const Options& options) {
    switch (format) {
        case Format::Ledger:
            return ledgerJournal(loan, plan, options);
        case Format::Beancount:
            return beancountFile(loan, plan, options);
        case Format::Qif:
            return qifFile(loan, plan, options);
    }
    return {};
}

}  // namespace accounting
