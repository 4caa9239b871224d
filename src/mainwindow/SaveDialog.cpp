#include "mainwindow/SaveDialog.h"

#include <QFileDialog>

using namespace Qt::StringLiterals;

QString showSaveDialog(QWidget* parent, const QString& lastName) {
    QFileDialog dialog(parent, u"Save"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({u"Text Files (*.txt)"_s, u"All Files (*.*)"_s});
    dialog.selectNameFilter(u"Text Files (*.txt)"_s);
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!lastName.isEmpty()) {
        dialog.selectFile(lastName);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}
