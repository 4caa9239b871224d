#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Bringing a statement in: its bytes decoded, its size and kind of file checked. A statement
// larger than the reader takes is refused with its size, never cut.
namespace solver {

inline constexpr qint64 maxStatementBytes = 16 * 1024 * 1024;
// No loan has more instalments than a small multiple of this; past it the text is no statement
// and splitting it would only cost memory.
inline constexpr int maxStatementLines = 1 << 19;

struct StatementText {
    QString text;      // every line ended by "\n"
    QString encoding;  // "UTF-8", "UTF-16LE", "UTF-16BE" or "Latin-1"
    QString error;     // why nothing was read
};

// UTF-16 and UTF-8 by their byte-order mark, else UTF-8, else Latin-1 (a single-byte export).
// CR LF and a lone CR end lines as LF does.
StatementText decodeStatement(const QByteArray& bytes);

// A regular file of at most maxStatementBytes, opened without blocking (a FIFO or a device is
// refused, not waited for).
StatementText readStatementFile(const QString& path);

// Why a text is too large to be a statement, or nothing.
QString statementRefusal(QStringView text);

// The text with control characters other than line ends and tabs shown as U+FFFD, for a terminal.
QString withoutControls(QString text);

}  // namespace solver
