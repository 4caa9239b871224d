#pragma once

#include <QLocale>
#include <QString>

class TableSource;
struct TableCell;

// The text of a cell on paper and on screen: amounts with two decimals and the locale's
// grouping, dates in the short date form, integers plain. The locale's date pattern is worked
// out once.
class CellTexts {
public:
    explicit CellTexts(const QLocale& locale);
    QString operator()(const TableCell& cell) const;

private:
    QLocale m_locale;
    QString m_dateFormat;
};

// Tab-separated display texts (see CellTexts), the header line first, CR LF: for pasting
// into other programs.
QString tabSeparatedText(const TableSource& table, const QLocale& locale = QLocale());
