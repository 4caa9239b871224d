#pragma once

#include "planner/Arithmetic.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

// Reading a lender's statement: text pasted from a web page or a PDF, or a CSV file.
//
// The text is split into a table (tabs, semicolons, CSV commas, runs of blanks, or single
// blanks with currency signs and spelled dates kept together), its number style guessed (the
// decimal separator is the last of "." or "," in an amount; the other one, blanks and
// apostrophes group digits), and each column's meaning guessed from its header or its values.
// Every line that is neither the header nor a readable row is listed with the reason.
namespace solver {

using planner::Cents;

enum class Role { Ignore, Number, Date, Opening, Payment, Principal, Interest, Extra, Closing };
inline constexpr Role allRoles[] = {Role::Ignore,   Role::Number,  Role::Date,
                                    Role::Opening,  Role::Payment, Role::Principal,
                                    Role::Interest, Role::Extra,   Role::Closing};
inline constexpr int amountRoleCount = 6;  // Opening .. Closing
inline int amountIndex(Role role) {
    return static_cast<int>(role) - static_cast<int>(Role::Opening);
}

// "-", "number", "date", "opening", "payment", "principal", "interest", "extra", "closing".
QString roleName(Role role);
std::optional<Role> roleFromName(QStringView text);
// "(ignore)", "No.", "Due date", "Opening balance", "Payment", ...: for column choosers.
QString roleTitle(Role role);

struct StatementTable {
    std::vector<QStringList> rows;  // the cells of every non-blank line
    std::vector<int> lines;         // the 1-based line number of each row
    int headerRow = -1;             // the row holding the column titles, or -1
    int columnCount = 0;            // the most common number of cells
};

StatementTable splitStatement(QStringView text);

struct NumberStyle {
    QChar decimal = u'.';
    bool dayFirst = true;  // for dates like 03/04/2026
};

NumberStyle guessNumberStyle(const StatementTable& table);

// An amount to cents: currency signs and codes around it, digit grouping, and a minus as
// "-", "\u2212", "\u2013", a trailing "-", parentheses or a trailing "CR"/"DR" style sign.
// Nothing for any other text or more than two decimals that are not zeros.
std::optional<Cents> parseAmount(QStringView cell, QChar decimal);
// 2026-01-31, 31.01.2026, 31/01/2026 (or 01/31/2026), 31 Jan 2026, Jan 31, 2026, 31-Jan-26.
std::optional<QDate> parseStatementDate(QStringView cell, bool dayFirst);

std::vector<Role> guessColumns(const StatementTable& table, const NumberStyle& style);

struct StatementRow {
    int line = 0;      // in the text
    int tableRow = 0;  // in the table
    std::optional<int> number;
    std::optional<QDate> date;
    std::array<std::optional<Cents>, amountRoleCount> amounts;
};

struct UnreadableRow {
    int line = 0;
    int tableRow = 0;
    QString text;
    QString reason;
    bool instalment = false;  // a row of amounts that could not be read, not a title or note
};

struct Statement {
    std::vector<StatementRow> rows;
    std::vector<UnreadableRow> unreadable;
};

Statement readStatement(const StatementTable& table, const std::vector<Role>& columns,
                        const NumberStyle& style);

// Split, guess the style and the columns (unless given) and read, in one go; a text larger
// than statementRefusal allows is not read.
struct ParsedStatement {
    StatementTable table;
    NumberStyle style;
    std::vector<Role> columns;
    Statement statement;
    QString refused;  // why the text was not read at all
};
ParsedStatement parseStatement(QStringView text,
                               const std::optional<std::vector<Role>>& columns = std::nullopt,
                               const std::optional<QChar>& decimal = std::nullopt);

}  // namespace solver
