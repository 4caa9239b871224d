#include "documents/Clipboard.h"

#include "output/CopyText.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace {

// Another program may hold the clipboard for a moment; each operation is attempted this often.
constexpr int clipboardAttempts = 1000;

QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::clipboard()
               : nullptr;
}

bool isPlainTextFormat(int format) {
    // 0 is the default; 1, 7 and 13 are the platform's text, OEM text and Unicode text codes.
    return format == 0 || format == 1 || format == 7 || format == 13;
}

}  // namespace

void CopyListviewToClipboard(const GridData& grid) {
    if (grid.rowCount() == 0) {
        return;
    }
    const QString text = buildCopyText(grid);
    ClearClipboard();
    SetClipboardText(text, 0);
}

void ClearClipboard() {
    // QClipboard::clear reports nothing, so there is no failed attempt to repeat; reading the
    // clipboard back would ask its owner, which may be the program that is slow to answer.
    if (QClipboard* board = clipboard()) {
        board->clear();
    }
}

bool SetClipboardText(const QString& text, int format) {
    QClipboard* board = clipboard();
    if (board == nullptr || !isPlainTextFormat(format)) {
        return false;
    }
    // QClipboard reports no failure itself: an attempt counts when the text reads back.
    for (int attempt = 0; attempt < clipboardAttempts; ++attempt) {
        board->setText(text);
        if (board->text() == text) {
            return true;
        }
    }
    return false;
}
