#include "solver/Statement.h"

#include "solver/StatementFile.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace solver {

namespace {

constexpr int maxCells = 64;  // wider lines are not statements; their extra cells are joined

struct RoleText {
    Role role;
    const char16_t* name;
    const char16_t* title;
};

constexpr RoleText roleTexts[] = {
    {Role::Ignore, u"-", u"(ignore)"},
    {Role::Number, u"number", u"No."},
    {Role::Date, u"date", u"Due date"},
    {Role::Opening, u"opening", u"Opening balance"},
    {Role::Payment, u"payment", u"Payment"},
    {Role::Principal, u"principal", u"Principal"},
    {Role::Interest, u"interest", u"Interest"},
    {Role::Extra, u"extra", u"Extra payment"},
    {Role::Closing, u"closing", u"Closing balance"},
};

bool isBlank(QChar c) {
    return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2007);
}

bool isMinus(QChar c) {
    return c == u'-' || c == QChar(0x2212) || c == QChar(0x2013) || c == QChar(0x2012) ||
           c == QChar(0xFE63) || c == QChar(0xFF0D);
}

bool isGrouping(QChar c) {
    return isBlank(c) || c == u'\'' || c == QChar(0x2019) || c == u'.' || c == u',';
}

// The run of digits at `from`: its length, and its value as a whole number when every digit is
// ASCII (0 otherwise, as QString::toInt reads it).
struct DigitRun {
    qsizetype length = 0;
    int value = 0;
};

DigitRun digitRun(QStringView text, qsizetype from) {
    DigitRun run;
    bool ascii = true;
    while (from + run.length < text.size() && text[from + run.length].isDigit()) {
        const char16_t c = text[from + run.length].unicode();
        ascii = ascii && c >= u'0' && c <= u'9';
        if (ascii && run.length < 9) {
            run.value = run.value * 10 + (c - u'0');
        }
        ++run.length;
    }
    if (!ascii || run.length > 9) {
        run.value = 0;
    }
    return run;
}

const QStringList& currencyWords() {
    static const QStringList words{u"eur"_s, u"usd"_s, u"gbp"_s, u"chf"_s, u"inr"_s, u"jpy"_s,
                                   u"cad"_s, u"aud"_s, u"nzd"_s, u"sek"_s, u"nok"_s, u"dkk"_s,
                                   u"pln"_s, u"czk"_s, u"zar"_s, u"rs"_s,  u"rs."_s, u"fr."_s,
                                   u"kr"_s,  u"kr."_s, u"zł"_s,  u"r"_s,   u"sfr."_s};
    return words;
}

bool isCurrencyWord(QStringView word) {
    return !word.isEmpty() && word.size() <= 4 &&
           currencyWords().contains(word.toString().toLower());
}

// Removes currency signs and codes, blanks and minus forms around an amount.
QStringView stripAmount(QStringView text, bool& negative) {
    for (int guard = 0; guard < 16; ++guard) {
        const QStringView before = text;
        while (!text.isEmpty() &&
               (isBlank(text.front()) || text.front().category() == QChar::Symbol_Currency)) {
            text = text.sliced(1);
        }
        while (!text.isEmpty() &&
               (isBlank(text.back()) || text.back().category() == QChar::Symbol_Currency)) {
            text.chop(1);
        }
        if (text.size() >= 2 && text.front() == u'(' && text.back() == u')') {
            negative = !negative;
            text = text.sliced(1, text.size() - 2);
        } else if (!text.isEmpty() && isMinus(text.front())) {
            negative = !negative;
            text = text.sliced(1);
        } else if (!text.isEmpty() && text.front() == u'+') {
            text = text.sliced(1);
        } else if (!text.isEmpty() && isMinus(text.back())) {
            negative = !negative;
            text.chop(1);
        }
        qsizetype letters = 0;
        while (letters < text.size() && (text[letters].isLetter() || text[letters] == u'.')) {
            ++letters;
        }
        if (letters > 0 && letters < text.size() && isCurrencyWord(text.first(letters))) {
            text = text.sliced(letters);
        }
        letters = 0;
        while (letters < text.size() &&
               (text[text.size() - 1 - letters].isLetter() ||
                (letters > 0 && text[text.size() - 1 - letters] == u'.'))) {
            ++letters;
        }
        if (letters > 0 && letters < text.size() && isCurrencyWord(text.last(letters))) {
            text.chop(letters);
        }
        if (text == before) {
            break;
        }
    }
    return text;
}

QStringList splitOn(QStringView line, QChar delimiter) {
    QStringList cells;
    cells.reserve(line.count(delimiter) + 1);
    for (QStringView cell : line.tokenize(delimiter)) {
        cells << cell.trimmed().toString();
    }
    return cells;
}

QStringList splitCsvLine(QStringView line, QChar delimiter) {
    if (!line.contains(u'"')) {
        return splitOn(line, delimiter);
    }
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"' && cell.trimmed().isEmpty()) {
            quoted = true;
            cell.clear();
        } else if (c == delimiter) {
            cells << cell.trimmed();
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells << cell.trimmed();
    return cells;
}

QStringList splitBlankRuns(QStringView line) {
    static const QRegularExpression runs(u"(?:\\s|\u00A0){2,}|\t"_s);
    QStringList cells;
    bool pendingSign = false;
    for (const QString& part : line.toString().trimmed().split(runs, Qt::SkipEmptyParts)) {
        const QString cell = part.trimmed();
        if (pendingSign) {
            cells.back() += cell;
        } else {
            cells << cell;
        }
        // A lone currency sign or code, aligned apart from its amount, joins the next cell.
        pendingSign = !pendingSign &&
                      (isCurrencyWord(cell) ||
                       (cell.size() <= 2 && cell.front().category() == QChar::Symbol_Currency));
    }
    return cells;
}

bool isMonthName(QStringView word);

// Single blanks: currency signs and codes join their amount, spelled dates stay whole.
QStringList splitWords(QStringView line) {
    static const QRegularExpression blanks(u"[\\s\u00A0\u202F]+"_s);
    const QStringList words = line.toString().split(blanks, Qt::SkipEmptyParts);
    const auto isCurrency = [](const QString& word) {
        return isCurrencyWord(word) ||
               (word.size() <= 2 && word.front().category() == QChar::Symbol_Currency);
    };
    // A line that ends in a currency sign writes it after each amount, else before.
    const bool suffix = !words.isEmpty() && isCurrency(words.back());
    QStringList cells;
    QString prefix;
    for (const QString& word : words) {
        const bool currency = isCurrency(word);
        if (currency && suffix && !cells.isEmpty()) {
            cells.back() += u' ' + word;
            continue;
        }
        if (currency || (word.size() == 1 && isMinus(word.front()))) {
            prefix += word + u' ';
            continue;
        }
        cells << prefix + word;
        prefix.clear();
    }
    if (!prefix.isEmpty()) {
        cells << prefix.trimmed();
    }
    // 31 Jan 2026, Jan 31, 2026
    QStringList joined;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i + 2 < cells.size()) {
            const bool dayFirst =
                cells[i].size() <= 3 && cells[i].front().isDigit() && isMonthName(cells[i + 1]);
            const bool monthFirst =
                isMonthName(cells[i]) && cells[i + 1].front().isDigit() && cells[i + 1].size() <= 3;
            if ((dayFirst || monthFirst) && cells[i + 2].size() == 4 &&
                cells[i + 2].front().isDigit()) {
                joined << cells[i] + u' ' + cells[i + 1] + u' ' + cells[i + 2];
                i += 2;
                continue;
            }
        }
        joined << cells[i];
    }
    return joined;
}

const std::map<QString, int>& monthNames() {
    static const std::map<QString, int> names = [] {
        std::map<QString, int> map;
        for (const auto language : {QLocale::English, QLocale::German, QLocale::French,
                                    QLocale::Spanish, QLocale::Italian, QLocale::Dutch}) {
            const QLocale locale(language);
            for (int month = 1; month <= 12; ++month) {
                for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
                    QString name = locale.monthName(month, format).toLower();
                    name.remove(u'.');
                    map.emplace(name, month);
                    map.emplace(locale.standaloneMonthName(month, format).toLower().remove(u'.'),
                                month);
                }
            }
        }
        map.emplace(u"sept"_s, 9);
        return map;
    }();
    return names;
}

std::optional<int> monthOfName(QStringView word) {
    QString key = word.toString().toLower();
    key.remove(u'.');
    const auto found = monthNames().find(key);
    return found == monthNames().end() ? std::nullopt : std::optional<int>(found->second);
}

bool isMonthName(QStringView word) {
    return word.size() >= 3 && word.size() <= 10 && monthOfName(word).has_value();
}

int widenYear(int year, qsizetype digits) {
    if (digits > 2) {
        return year;
    }
    return year < 70 ? 2000 + year : 1900 + year;
}

bool hasLetters(const QString& cell) {
    return std::any_of(cell.begin(), cell.end(), [](QChar c) { return c.isLetter(); });
}

bool isDataRow(const QStringList& cells) {
    int amounts = 0;
    for (const QString& cell : cells) {
        if (parseAmount(cell, u'.') || parseAmount(cell, u',')) {
            ++amounts;
        }
    }
    return amounts >= 2;
}

QString fold(const QString& title) {
    QString text = title.toLower().normalized(QString::NormalizationForm_D);
    text.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return text.trimmed();
}

std::optional<Role> roleOfTitle(const QString& title) {
    const QString t = fold(title);
    if (t.isEmpty()) {
        return std::nullopt;
    }
    static const QStringList numberTitles{
        u"#"_s,        u"no"_s,       u"no."_s,    u"nr"_s,    u"nr."_s,        u"n°"_s,
        u"n"_s,        u"number"_s,   u"period"_s, u"month"_s, u"instalment"_s, u"installment"_s,
        u"lfd. nr."_s, u"rate nr."_s, u"num"_s,    u"n."_s};
    if (numberTitles.contains(t)) {
        return Role::Number;
    }
    const auto has = [&t](std::initializer_list<const char16_t*> words) {
        return std::any_of(words.begin(), words.end(),
                           [&t](const char16_t* word) { return t.contains(QStringView(word)); });
    };
    if (has({u"opening", u"beginning", u"begin", u"start", u"anfang", u"initial", u"debut"})) {
        return Role::Opening;
    }
    if (has({u"interest", u"zins", u"interet", u"interes", u"rente"})) {
        return Role::Interest;
    }
    if (has({u"closing", u"balance", u"remaining", u"outstanding", u"restschuld", u"saldo",
             u"solde", u"ending", u"end ", u"restant", u"residu"})) {
        return Role::Closing;
    }
    if (has({u"extra", u"prepay", u"sonder", u"additional", u"overpay"})) {
        return Role::Extra;
    }
    if (has({u"principal", u"principle", u"tilgung", u"capital", u"amortis", u"aflossing",
             u"repaid"})) {
        return Role::Principal;
    }
    if (has({u"date", u"datum", u"due", u"fallig", u"fecha", u"data", u"when"})) {
        return Role::Date;
    }
    if (has({u"payment", u"instalment", u"installment", u"emi", u"amount", u"rate", u"zahlung",
             u"betrag", u"mensualite", u"echeance", u"cuota", u"total", u"paid"})) {
        return Role::Payment;
    }
    if (has({u"no.", u"nr.", u"#"})) {
        return Role::Number;
    }
    return std::nullopt;
}

// "12", "#12", "# 12", "12.": at most five digits.
std::optional<int> parseNumberCell(QStringView cell) {
    const QStringView text = cell.trimmed();
    qsizetype at = 0;
    if (at < text.size() && text[at] == u'#') {
        ++at;
        while (at < text.size() && text[at].isSpace()) {
            ++at;
        }
    }
    const DigitRun run = digitRun(text, at);
    at += run.length;
    if (at < text.size() && text[at] == u'.') {
        ++at;
    }
    if (run.length < 1 || run.length > 5 || at != text.size()) {
        return std::nullopt;
    }
    return run.value;
}

bool isTotalsLabel(const QString& cell) {
    const QString t = fold(cell);
    return t.startsWith(u"total"_s) || t.startsWith(u"sum"_s) || t.startsWith(u"gesamt"_s) ||
           t.startsWith(u"totaux"_s);
}

}  // namespace

QString roleName(Role role) {
    return QString::fromUtf16(roleTexts[static_cast<int>(role)].name);
}

std::optional<Role> roleFromName(QStringView text) {
    for (const RoleText& entry : roleTexts) {
        if (text == QStringView(entry.name)) {
            return entry.role;
        }
    }
    if (text == u"skip" || text == u"ignore" || text.isEmpty()) {
        return Role::Ignore;
    }
    if (text == u"balance") {
        return Role::Closing;
    }
    return std::nullopt;
}

QString roleTitle(Role role) {
    return QString::fromUtf16(roleTexts[static_cast<int>(role)].title);
}

std::optional<Cents> parseAmount(QStringView cell, QChar decimal) {
    bool negative = false;
    const QStringView text = stripAmount(cell, negative);
    if (text.isEmpty() || text.size() > 40 || !text.front().isDigit() || !text.back().isDigit()) {
        return std::nullopt;
    }
    const qsizetype point = text.lastIndexOf(decimal);
    const QStringView whole = point < 0 ? text : text.first(point);
    const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (whole.contains(decimal) || whole.isEmpty() || !whole.back().isDigit()) {
        return std::nullopt;
    }
    Cents units = 0;
    int digits = 0;
    for (const QChar c : whole) {
        if (c.isDigit()) {
            if (++digits > 15) {
                return std::nullopt;
            }
            units = units * 10 + c.digitValue();
        } else if (!isGrouping(c)) {
            return std::nullopt;
        }
    }
    Cents cents = 0;
    for (qsizetype i = 0; i < fraction.size(); ++i) {
        if (!fraction[i].isDigit() || fraction[i].digitValue() < 0) {
            return std::nullopt;
        }
        if (i >= 2) {
            if (fraction[i] != u'0') {
                return std::nullopt;
            }
        } else {
            cents += fraction[i].digitValue() * (i == 0 ? 10 : 1);
        }
    }
    if (point >= 0 && fraction.isEmpty()) {
        return std::nullopt;
    }
    const Cents value = units * 100 + cents;
    return negative ? -value : value;
}

namespace {

// Three runs of digits parted by single characters, and nothing else: 2026-01-31, 31.01.26.
struct NumericDate {
    std::array<DigitRun, 3> part;
    std::array<QChar, 2> separator;
};

std::optional<NumericDate> numericDate(QStringView text) {
    NumericDate date;
    qsizetype at = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        date.part[i] = digitRun(text, at);
        at += date.part[i].length;
        if (date.part[i].length == 0) {
            return std::nullopt;
        }
        if (i < 2) {
            if (at >= text.size()) {
                return std::nullopt;
            }
            date.separator[i] = text[at++];
        }
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return date;
}

// 03/04/2026 or 03-04-26: the form whose day and month order only the values tell.
bool slashedDate(const NumericDate& date) {
    const auto isSlash = [](QChar c) { return c == u'/' || c == u'-'; };
    return date.part[0].length <= 2 && date.part[1].length <= 2 && date.part[2].length >= 2 &&
           date.part[2].length <= 4 && isSlash(date.separator[0]) && isSlash(date.separator[1]);
}

}  // namespace

std::optional<QDate> parseStatementDate(QStringView cell, bool dayFirst) {
    static const QRegularExpression dayName(
        u"^(\\d{1,2})\\.?[\\s-]+([^\\d\\s.,-]{3,10})\\.?[\\s-]+(\\d{4}|\\d{2})$"_s);
    static const QRegularExpression nameDay(
        u"^([^\\d\\s.,-]{3,10})\\.?\\s+(\\d{1,2}),?\\s+(\\d{4})$"_s);
    const QStringView text = cell.trimmed();
    if (text.size() < 6 || text.size() > 40 || !text.back().isDigit()) {
        return std::nullopt;  // every date form ends in the year
    }
    int year = 0;
    int month = 0;
    int day = 0;
    if (const auto numeric = numericDate(text)) {
        const auto& [part, separator] = *numeric;
        const auto isSeparator = [](QChar c) { return c == u'-' || c == u'/' || c == u'.'; };
        if (part[0].length == 4 && part[1].length <= 2 && part[2].length <= 2 &&
            isSeparator(separator[0]) && isSeparator(separator[1])) {
            year = part[0].value;
            month = part[1].value;
            day = part[2].value;
        } else if (part[0].length <= 2 && part[1].length <= 2 && separator[0] == separator[1] &&
                   isSeparator(separator[0]) && (part[2].length == 2 || part[2].length == 4)) {
            const bool byDay = dayFirst || separator[0] == u'.';
            day = byDay ? part[0].value : part[1].value;
            month = byDay ? part[1].value : part[0].value;
            year = widenYear(part[2].value, part[2].length);
        }
    } else if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); })) {
        return std::nullopt;  // a spelled month has letters
    } else if (const auto m = dayName.match(text); m.hasMatch()) {
        day = m.capturedView(1).toInt();
        month = monthOfName(m.capturedView(2)).value_or(0);
        year = widenYear(m.capturedView(3).toInt(), m.capturedLength(3));
    } else if (const auto m = nameDay.match(text); m.hasMatch()) {
        month = monthOfName(m.capturedView(1)).value_or(0);
        day = m.capturedView(2).toInt();
        year = m.capturedView(3).toInt();
    }
    const QDate date(year, month, day);
    if (year == 0 || !date.isValid()) {
        return std::nullopt;
    }
    return date;
}

namespace {

struct Lines {
    QList<QStringView> text;
    std::vector<int> numbers;  // 1-based, in the whole text
};

// The non-blank lines; CR LF, LF and a lone CR each end a line.
Lines nonBlankLines(QStringView text) {
    Lines lines;
    int number = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\n' && text[i] != u'\r') {
            continue;
        }
        const QStringView line = text.sliced(start, i - start);
        ++number;
        if (!line.trimmed().isEmpty()) {
            lines.text << line;
            lines.numbers.push_back(number);
        }
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    return lines;
}

// The most common number of cells, and how many rows have it; only the rows `counted` takes.
template <typename Counted>
std::pair<int, int> mostCommonCount(const std::vector<QStringList>& rows, Counted counted) {
    std::map<qsizetype, int> counts;
    for (const QStringList& row : rows) {
        if (counted(row)) {
            ++counts[row.size()];
        }
    }
    if (counts.empty()) {
        return {0, 0};
    }
    const auto best = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
        return a.second < b.second || (a.second == b.second && a.first < b.first);
    });
    return {static_cast<int>(best->first), best->second};
}

std::pair<int, int> mostCommonCount(const std::vector<QStringList>& rows) {
    return mostCommonCount(rows, [](const QStringList&) { return true; });
}

bool consistent(const std::vector<QStringList>& rows) {
    const auto [count, rowsWithIt] = mostCommonCount(rows);
    return count >= 3 && rowsWithIt * 10 >= static_cast<int>(rows.size()) * 6;
}

template <typename Split>
std::vector<QStringList> splitAll(const QList<QStringView>& lines, Split split) {
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(lines.size()));
    for (QStringView line : lines) {
        rows.push_back(split(line));
    }
    return rows;
}

QStringList splitTabs(QStringView line) {
    return splitOn(line, u'\t');
}

// CSV cells that hold blanks between digits are a decimal comma taken for a delimiter.
bool splitsNumbers(const std::vector<QStringList>& rows) {
    int cells = 0;
    int spaced = 0;
    for (const QStringList& row : rows) {
        for (const QString& cell : row) {
            ++cells;
            const bool digits =
                std::any_of(cell.begin(), cell.end(), [](QChar c) { return c.isDigit(); });
            spaced += cell.contains(u' ') && digits ? 1 : 0;
        }
    }
    return spaced * 4 > cells;
}

// Tabs when half the lines have them, else semicolons or commas that give a steady table,
// else runs of blanks that do, else single blanks.
std::vector<QStringList> splitCells(const QList<QStringView>& lines) {
    const auto half = (lines.size() + 1) / 2;
    const auto countWith = [&lines](QChar c) {
        return std::count_if(lines.begin(), lines.end(),
                             [c](QStringView line) { return line.contains(c); });
    };
    if (countWith(u'\t') >= half) {
        return splitAll(lines, splitTabs);
    }
    for (const QChar delimiter : {u';', u','}) {
        if (countWith(delimiter) < half) {
            continue;
        }
        auto rows = splitAll(
            lines, [delimiter](QStringView line) { return splitCsvLine(line, delimiter); });
        if (consistent(rows) && !splitsNumbers(rows)) {
            return rows;
        }
    }
    if (auto rows = splitAll(lines, splitBlankRuns); consistent(rows)) {
        return rows;
    }
    return splitAll(lines, splitWords);
}

void joinExtraCells(std::vector<QStringList>& rows) {
    for (QStringList& row : rows) {
        if (row.size() > maxCells) {
            const QString rest = row.mid(maxCells - 1).join(u' ');
            row.resize(maxCells - 1);
            row << rest;
        }
    }
}

// The column count of the rows that hold amounts, and the titled row just above the first.
void findHeader(StatementTable& table) {
    std::vector<bool> data(table.rows.size());
    int firstData = -1;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        data[i] = isDataRow(table.rows[i]);
        if (data[i] && firstData < 0) {
            firstData = static_cast<int>(i);
        }
    }
    const auto isData = [&](const QStringList& row) {
        return bool(data[static_cast<std::size_t>(&row - table.rows.data())]);
    };
    table.columnCount = firstData < 0 ? mostCommonCount(table.rows).first
                                      : mostCommonCount(table.rows, isData).first;
    if (firstData > 0) {
        const QStringList& candidate = table.rows[static_cast<std::size_t>(firstData - 1)];
        if (std::count_if(candidate.begin(), candidate.end(), hasLetters) >= 2) {
            table.headerRow = firstData - 1;
        }
    }
}

}  // namespace

StatementTable splitStatement(QStringView text) {
    StatementTable table;
    Lines lines = nonBlankLines(text);
    if (lines.text.isEmpty()) {
        return table;
    }
    table.rows = splitCells(lines.text);
    joinExtraCells(table.rows);
    table.lines = std::move(lines.numbers);
    findHeader(table);
    return table;
}

NumberStyle guessNumberStyle(const StatementTable& table) {
    int dotVotes = 0;
    int commaVotes = 0;
    int dayFirstVotes = 0;
    int monthFirstVotes = 0;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        if (static_cast<int>(i) == table.headerRow) {
            continue;
        }
        for (const QString& cell : table.rows[i]) {
            if (const auto date = numericDate(cell); date && slashedDate(*date)) {
                dayFirstVotes += date->part[0].value > 12 ? 1 : 0;
                monthFirstVotes += date->part[1].value > 12 ? 1 : 0;
                continue;
            }
            if (parseStatementDate(cell, true) || cell.size() > 40) {
                continue;
            }
            // The last run of digits and the separator just before it.
            qsizetype end = cell.size();
            while (end > 0 && !cell[end - 1].isDigit()) {
                --end;
            }
            qsizetype start = end;
            while (start > 0 && cell[start - 1].isDigit()) {
                --start;
            }
            if (end == 0 || start == 0 || (cell[start - 1] != u'.' && cell[start - 1] != u',')) {
                continue;
            }
            const bool comma = cell[start - 1] == u',';
            const qsizetype digits = end - start;
            const bool other = cell.contains(comma ? u'.' : u',');
            if (other || digits != 3) {
                (comma ? commaVotes : dotVotes) += other ? 3 : 1;
            } else {
                (comma ? dotVotes : commaVotes) += 1;  // 1,234 or 1.234: grouping
            }
        }
    }
    NumberStyle style;
    style.decimal = commaVotes > dotVotes ? u',' : u'.';
    style.dayFirst =
        dayFirstVotes != monthFirstVotes ? dayFirstVotes > monthFirstVotes : style.decimal == u',';
    return style;
}

namespace {

// What a column's cells hold, over the rows with the table's number of cells.
struct ColumnFacts {
    std::vector<std::optional<Cents>> amounts;
    int countingNumbers = 0;  // instalment numbers one more than the row before
    int dates = 0;
    int readable = 0;
    bool hasDecimals = false;

    // Only ranks the columns, so a double serves.
    double sum() const {
        double total = 0;
        for (const auto& v : amounts) {
            total += static_cast<double>(v.value_or(0));
        }
        return total;
    }
    std::pair<Cents, Cents> firstAndLast() const {
        std::optional<Cents> first;
        std::optional<Cents> last;
        for (const auto& v : amounts) {
            if (v) {
                first = first ? first : v;
                last = v;
            }
        }
        return {first.value_or(0), last.value_or(0)};
    }
    bool falling() const {
        const auto [first, last] = firstAndLast();
        return first > last;
    }
    // The most rows that share one amount.
    int steadiness() const {
        std::vector<Cents> values;
        values.reserve(amounts.size());
        for (const auto& v : amounts) {
            if (v) {
                values.push_back(*v);
            }
        }
        std::sort(values.begin(), values.end());
        int share = 0;
        for (std::size_t i = 0; i < values.size();) {
            const auto end = std::upper_bound(values.begin() + static_cast<std::ptrdiff_t>(i),
                                              values.end(), values[i]);
            const auto run = static_cast<std::size_t>(end - values.begin());
            share = std::max(share, static_cast<int>(run - i));
            i = run;
        }
        return share;
    }
};

// An opening balance repeats the closing one a row later.
bool opensWhereClosed(const ColumnFacts& later, const ColumnFacts& earlier) {
    const auto& a = later.amounts;
    const auto& b = earlier.amounts;
    int count = 0;
    for (std::size_t i = 0; i + 1 < a.size() && i < b.size(); ++i) {
        count += a[i + 1] && a[i + 1] == b[i] ? 1 : 0;
    }
    return count * 2 >= static_cast<int>(a.size()) - 1;
}

std::vector<ColumnFacts> columnFacts(const StatementTable& table, const NumberStyle& style,
                                     int columns, int& rows) {
    std::vector<ColumnFacts> facts(static_cast<std::size_t>(columns));
    std::vector<std::optional<int>> previous(static_cast<std::size_t>(columns));
    rows = 0;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const QStringList& row = table.rows[i];
        if (static_cast<int>(i) == table.headerRow || row.size() != columns) {
            continue;
        }
        ++rows;
        for (int c = 0; c < columns; ++c) {
            const QString& cell = row[c];
            ColumnFacts& column = facts[static_cast<std::size_t>(c)];
            const auto number = parseNumberCell(cell);
            auto& last = previous[static_cast<std::size_t>(c)];
            column.countingNumbers += number && (!last || *number == *last + 1) ? 1 : 0;
            last = number;
            column.dates += parseStatementDate(cell, style.dayFirst) ? 1 : 0;
            column.amounts.push_back(parseAmount(cell, style.decimal));
            column.readable += column.amounts.back() ? 1 : 0;
            column.hasDecimals = column.hasDecimals || cell.contains(style.decimal);
        }
    }
    return facts;
}

class RoleGuess {
public:
    RoleGuess(std::vector<Role>& roles, const std::vector<ColumnFacts>& facts, int rows)
        : m_roles(roles), m_facts(facts), m_rows(rows) {}

    bool taken(Role role) const {
        return std::find(m_roles.begin(), m_roles.end(), role) != m_roles.end();
    }

    // Dates and counting numbers by their values; the other columns mostly amounts remain.
    void datesAndNumbers() {
        for (std::size_t c = 0; c < m_roles.size(); ++c) {
            const ColumnFacts& column = m_facts[c];
            if (m_roles[c] != Role::Ignore) {
                continue;
            }
            if (most(column.dates) && !taken(Role::Date)) {
                m_roles[c] = Role::Date;
            } else if (most(column.countingNumbers) && !column.hasDecimals &&
                       !taken(Role::Number)) {
                m_roles[c] = Role::Number;
            } else if (most(column.readable)) {
                m_candidates.push_back(static_cast<int>(c));
            }
        }
    }

    // The largest falling columns; of two, the opening one repeats the closing one a row later.
    void balances() {
        std::vector<double> sums(m_facts.size());
        for (int c : m_candidates) {
            sums[static_cast<std::size_t>(c)] = facts(c).sum();
        }
        std::sort(m_candidates.begin(), m_candidates.end(), [&sums](int a, int b) {
            return sums[static_cast<std::size_t>(a)] > sums[static_cast<std::size_t>(b)];
        });
        std::vector<int> balances;
        for (int c : m_candidates) {
            if (balances.size() < 2 && facts(c).falling() && m_rows > 1) {
                balances.push_back(c);
            }
        }
        if (balances.size() == 2 && !taken(Role::Opening) && !taken(Role::Closing) &&
            (opensWhereClosed(facts(balances[0]), facts(balances[1])) ||
             opensWhereClosed(facts(balances[1]), facts(balances[0])))) {
            const bool firstOpens = opensWhereClosed(facts(balances[0]), facts(balances[1]));
            assign(balances[firstOpens ? 0 : 1], Role::Opening);
            assign(balances[firstOpens ? 1 : 0], Role::Closing);
        } else if (!balances.empty() && !taken(Role::Closing)) {
            assign(balances[0], Role::Closing);
        }
    }

    // The steadiest column, when at least half its rows agree.
    void payment() {
        if (taken(Role::Payment) || m_candidates.empty()) {
            return;
        }
        int best = -1;
        int bestShare = 0;
        for (int c : m_candidates) {
            if (const int share = facts(c).steadiness(); share > bestShare) {
                best = c;
                bestShare = share;
            }
        }
        if (best >= 0 && (bestShare * 2 >= m_rows || m_rows <= 2)) {
            assign(best, Role::Payment);
        }
    }

    // Interest falls and principal rises as the loan is repaid.
    void interestAndPrincipal() {
        for (int c : std::vector<int>(m_candidates)) {
            const Role role = facts(c).falling() ? Role::Interest : Role::Principal;
            if (!taken(role)) {
                assign(c, role);
            }
        }
    }

private:
    bool most(int count) const { return count * 10 >= m_rows * 8; }
    const ColumnFacts& facts(int c) const { return m_facts[static_cast<std::size_t>(c)]; }
    void assign(int c, Role role) {
        m_roles[static_cast<std::size_t>(c)] = role;
        m_candidates.erase(std::find(m_candidates.begin(), m_candidates.end(), c));
    }

    std::vector<Role>& m_roles;
    const std::vector<ColumnFacts>& m_facts;
    int m_rows;
    std::vector<int> m_candidates;
};

void rolesFromHeader(const StatementTable& table, std::vector<Role>& roles) {
    if (table.headerRow < 0) {
        return;
    }
    const QStringList& header = table.rows[static_cast<std::size_t>(table.headerRow)];
    if (header.size() != static_cast<qsizetype>(roles.size())) {
        return;
    }
    for (std::size_t c = 0; c < roles.size(); ++c) {
        const auto role = roleOfTitle(header[static_cast<qsizetype>(c)]);
        if (role && std::find(roles.begin(), roles.end(), *role) == roles.end()) {
            roles[c] = *role;
        }
    }
}

}  // namespace

std::vector<Role> guessColumns(const StatementTable& table, const NumberStyle& style) {
    const int columns = std::clamp(table.columnCount, 0, maxCells);
    std::vector<Role> roles(static_cast<std::size_t>(columns), Role::Ignore);
    rolesFromHeader(table, roles);
    int rows = 0;
    const std::vector<ColumnFacts> facts = columnFacts(table, style, columns, rows);
    if (rows == 0) {
        return roles;
    }
    RoleGuess guess(roles, facts, rows);
    guess.datesAndNumbers();
    guess.balances();
    guess.payment();
    guess.interestAndPrincipal();
    return roles;
}

Statement readStatement(const StatementTable& table, const std::vector<Role>& columns,
                        const NumberStyle& style) {
    Statement statement;
    int needed = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c] != Role::Ignore) {
            needed = static_cast<int>(c) + 1;
        }
    }
    const QStringList header = table.headerRow >= 0
                                   ? table.rows[static_cast<std::size_t>(table.headerRow)]
                                   : QStringList();
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const QStringList& cells = table.rows[i];
        const int line = i < table.lines.size() ? table.lines[i] : static_cast<int>(i) + 1;
        if (static_cast<int>(i) == table.headerRow) {
            continue;
        }
        const auto unreadable = [&](QString reason, bool instalment) {
            qsizetype used = cells.size();
            while (used > 0 && cells[used - 1].isEmpty()) {
                --used;
            }
            statement.unreadable.push_back(
                UnreadableRow{line, static_cast<int>(i),
                              used == 1 ? cells.front() : cells.first(used).join(u"  "_s),
                              std::move(reason), instalment});
        };
        if (needed == 0) {
            unreadable(u"no column holds an amount"_s, false);
            continue;
        }
        if (!header.isEmpty() && cells == header) {
            unreadable(u"repeats the column titles"_s, false);
            continue;
        }
        if (!cells.isEmpty() && isTotalsLabel(cells.front())) {
            unreadable(u"a totals row, not an instalment"_s, false);
            continue;
        }
        if (cells.size() < needed) {
            unreadable(cells.size() == 1
                           ? u"not a table row"_s
                           : u"has %1 cells, the columns need %2"_s.arg(cells.size()).arg(needed),
                       isDataRow(cells));
            continue;
        }
        StatementRow row;
        row.line = line;
        row.tableRow = static_cast<int>(i);
        QString reason;
        bool anyAmount = false;
        for (std::size_t c = 0; c < columns.size() && reason.isEmpty(); ++c) {
            const Role role = columns[c];
            if (role == Role::Ignore) {
                continue;
            }
            const QString& cell = cells[static_cast<qsizetype>(c)];
            const QString quoted = cell.size() > 40 ? cell.left(37) + u"..."_s : cell;
            switch (role) {
                case Role::Ignore:
                    break;
                case Role::Number:
                    row.number = parseNumberCell(cell);
                    if (!row.number) {
                        reason = u"the number '%1' is not a whole number"_s.arg(quoted);
                    }
                    break;
                case Role::Date:
                    row.date = parseStatementDate(cell, style.dayFirst);
                    if (!row.date) {
                        reason = u"the date '%1' is not a date"_s.arg(quoted);
                    }
                    break;
                default: {
                    if (cell.isEmpty() && role == Role::Extra) {
                        break;
                    }
                    const auto amount = parseAmount(cell, style.decimal);
                    if (!amount) {
                        reason = cell.isEmpty()
                                     ? u"the %1 is empty"_s.arg(roleTitle(role).toLower())
                                     : u"the %1 '%2' is not an amount"_s.arg(
                                           roleTitle(role).toLower(), quoted);
                    }
                    row.amounts[static_cast<std::size_t>(amountIndex(role))] = amount;
                    anyAmount = anyAmount || (amount && role != Role::Extra);
                }
            }
        }
        if (reason.isEmpty() && !anyAmount) {
            reason = u"no column holds an amount"_s;
        }
        if (!reason.isEmpty()) {
            unreadable(reason, true);
            continue;
        }
        statement.rows.push_back(row);
    }
    return statement;
}

ParsedStatement parseStatement(QStringView text, const std::optional<std::vector<Role>>& columns,
                               const std::optional<QChar>& decimal) {
    ParsedStatement parsed;
    parsed.refused = statementRefusal(text);
    if (!parsed.refused.isEmpty()) {
        return parsed;
    }
    parsed.table = splitStatement(text);
    parsed.style = guessNumberStyle(parsed.table);
    if (decimal) {
        parsed.style.decimal = *decimal;
    }
    parsed.columns = columns ? *columns : guessColumns(parsed.table, parsed.style);
    parsed.statement = readStatement(parsed.table, parsed.columns, parsed.style);
    return parsed;
}

}  // namespace solver
