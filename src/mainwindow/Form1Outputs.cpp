// The output commands of the main window: save as text file, copy, clear.
#include "mainwindow/Form1.h"

#include "core/Guard.h"
#include "documents/Clipboard.h"
#include "mainwindow/SaveDialog.h"
#include "mainwindow/ScheduleGridModel.h"
#include "output/Report.h"

using namespace Qt::StringLiterals;

void Form1::PushButton9_Click() {
    Guard guard(messageBoxes(), u"in Corvatel2021/08/31.Form1.PushButton9_Click "_s);
    // The grid as it stood when the command began: a Calculate or Clear meanwhile cannot mix
    // rows into the file.
    const GridSnapshot grid = gridModel().snapshot();
    QString fileName;
    // The dialog's title, filters and flags are set up by showSaveDialog.
    guard.run(112, [&] {
        fileName = m_chooseSaveFile ? m_chooseSaveFile(this, m_lastSaveName)
                                    : showSaveDialog(this, m_lastSaveName);
    });
    guard.run(114, [&] {
        if (!fileName.isEmpty()) {
            m_lastSaveName = fileName;
        }
    });
    if (fileName.isEmpty()) {
        return;
    }
    guard.run(118, [&] { setMousePointer(pointerBusy); });
    guard.run(120, [&] {
        if (grid) {
            SaveListviewProperlySpacedWithoutProgressBar(*grid, fileName, messageBoxes());
        }
    });
    guard.run(122, [&] { setMousePointer(pointerDefault); });
}

void Form1::PushButton10_Click() {
    Guard guard(messageBoxes(), u"in Corvatel2021/08/31.Form1.PushButton10_Click "_s);
    guard.run(100, [&] { gridModel().clear(); });
}

void Form1::PushButton11_Click() {
    Guard guard(messageBoxes(), u"in Corvatel2021/08/31.Form1.PushButton11_Click "_s);
    guard.run(106, [&] {
        const GridSnapshot grid = gridModel().snapshot();
        if (grid) {
            CopyListviewToClipboard(*grid);
        }
    });
}
