#pragma once

#include "core/Failure.h"
#include "core/MessageBoxes.h"

#include <QString>

#include <exception>
#include <new>
#include <utility>

// The program's support address, named in every error box.
inline constexpr char16_t supportAddress[] = u"support@ravenmoor.example";

// The error box text: description, CR LF, location, "at line ", line, CR CR, the e-mail request.
QString composeErrorText(const QString& description, const QString& location, int line);

// Shows the "Application Error" box (warning icon, OK only) for one failure.
void showErrorBox(MessageBoxes& boxes, const QString& description, const QString& location,
                  int line);

// Runs the numbered statements of one guarded procedure. A statement that fails is reported
// in the error box with the procedure's location and the statement's line; the procedure then
// decides from the result whether to go on with its next statement or end.
//
//     Guard guard(boxes, u"in Corvatel2021/08/31.Form1.PushButton10_Click "_s);
//     guard.run(100, [&] { clearGrid(); });
class Guard {
public:
    Guard(MessageBoxes& boxes, QString location)
        : m_boxes(boxes), m_location(std::move(location)) {}

    int line() const { return m_line; }
    const QString& location() const { return m_location; }

    // Runs one statement under its line. Returns true when it completed, false when it failed
    // (the box has then been shown and closed).
    template <class Statement>
    bool run(int line, Statement&& statement) {
        m_line = line;
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const Failure& failure) {
            report(failure.description());
        } catch (const std::bad_alloc&) {
            report(Failure::describe(PlatformFailure::OutOfMemory));
        } catch (const std::exception& other) {
            report(QString::fromUtf8(other.what()));
        }
        return false;
    }

    void report(const QString& description);

private:
    MessageBoxes& m_boxes;
    QString m_location;
    int m_line = 0;
};
