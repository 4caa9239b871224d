#include "mainwindow/SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Room for long file names, within the screen.
constexpr QSize dialogSize(820, 480);
constexpr int nameColumnWidth = 420;

}  // namespace

QString saveDialogFolder(const QString& lastName) {
    if (!lastName.isEmpty()) {
        const QFileInfo last(lastName);
        if (last.absoluteDir().exists()) {
            return last.absolutePath();
        }
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString showSaveDialog(QWidget* parent, const QString& lastName) {
    QFileDialog dialog(parent, u"Save"_s, saveDialogFolder(lastName));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({u"Text Files (*.txt)"_s, u"All Files (*.*)"_s});
    dialog.selectNameFilter(u"Text Files (*.txt)"_s);
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!lastName.isEmpty()) {
        dialog.selectFile(QFileInfo(lastName).fileName());
    }
    QSize size = dialogSize;
    if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    dialog.resize(size);
    // Qt's own dialog (no desktop dialog at hand): show the names in a wide first column.
    dialog.setViewMode(QFileDialog::Detail);
    if (auto* details = dialog.findChild<QTreeView*>(u"treeView"_s)) {
        details->header()->resizeSection(0, nameColumnWidth);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}
