#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// One piece of a Qt date or time format: a field (a run of one pattern letter, such as "dd" or
// "MMM") or literal text, with the quotes of quoted text already removed.
struct DateFormatToken {
    char16_t field = 0;  // the pattern letter; 0 for literal text
    int count = 0;       // the run length of a field
    QString literal;     // the text of a literal piece
    QStringView source;  // the characters of the format that gave this piece, quotes included
};

// The one reader of date and time patterns. Unquoted ASCII letters are fields; '' is a quote
// character, inside or outside quoted text; an unterminated quote runs to the end.
std::vector<DateFormatToken> tokenizeDateFormat(QStringView format);
