#include "windows/TableSaveDialog.h"

#include "documents/TablePrint.h"
#include "output/TableSource.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct Filter {
    TableFormat format;
    const char16_t* text;
};

constexpr std::array<Filter, 3> filters{{
    {TableFormat::Csv, u"CSV (comma-separated) (*.csv)"},
    {TableFormat::Xlsx, u"Excel workbook (*.xlsx)"},
    {TableFormat::Pdf, u"PDF (*.pdf)"},
}};

QString startFolder(const QString& lastPath) {
    if (!lastPath.isEmpty()) {
        return lastPath;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

QFileDialog* makeDialog(QWidget* parent, const QString& title, const QString& lastPath,
                        const QStringList& nameFilters) {
    auto* dialog = new QFileDialog(parent, title, startFolder(lastPath));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog adds the filter's extension before it asks about replacing.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setNameFilters(nameFilters);
    return dialog;
}

}  // namespace

std::optional<TableSaveChoice> chooseTableFile(QWidget* parent, const QString& title,
                                               const QString& lastPath, const DialogRunner& run,
                                               bool withTransactions) {
    // Each filter with its choice; the table's formats first.
    std::vector<std::pair<QString, TableSaveChoice>> offered;
    for (const Filter& filter : filters) {
        offered.push_back({QString::fromUtf16(filter.text), {{}, filter.format, std::nullopt}});
    }
    if (withTransactions) {
        offered.push_back({u"Ledger journal (*.ledger *.journal)"_s,
                           {{}, TableFormat::Csv, accounting::Format::Ledger}});
        offered.push_back(
            {u"Beancount (*.beancount)"_s, {{}, TableFormat::Csv, accounting::Format::Beancount}});
        offered.push_back({u"QIF (*.qif)"_s, {{}, TableFormat::Csv, accounting::Format::Qif}});
    }
    QStringList names;
    for (const auto& [name, choice] : offered) {
        names.append(name);
    }
    const auto suffixOfChoice = [](const TableSaveChoice& choice) {
        return choice.accounting ? accounting::name(*choice.accounting) : suffixOf(choice.format);
    };
    // The choice a typed name's extension makes, if any.
    const auto typedChoice = [&](const QString& path) -> std::optional<std::size_t> {
        const QString suffix = QFileInfo(path).suffix().toLower();
        for (std::size_t i = 0; i < offered.size(); ++i) {
            if (names[static_cast<qsizetype>(i)].contains(u"*."_s + suffix + u')') ||
                names[static_cast<qsizetype>(i)].contains(u"*."_s + suffix + u' ')) {
                return i;
            }
        }
        return std::nullopt;
    };
    std::unique_ptr<QFileDialog> dialog(makeDialog(parent, title, lastPath, names));
    const auto suffixFor = [&](const QString& filter) {
        const auto index = static_cast<std::size_t>(std::max<qsizetype>(0, names.indexOf(filter)));
        return suffixOfChoice(offered[index].second);
    };
    if (const auto typed = typedChoice(lastPath)) {
        dialog->selectNameFilter(names[static_cast<qsizetype>(*typed)]);
    }
    dialog->setDefaultSuffix(suffixFor(dialog->selectedNameFilter()));
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(),
                     [&dialog, suffixFor](const QString& filter) {
                         dialog->setDefaultSuffix(suffixFor(filter));
                     });
    if (run(*dialog) != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const auto selected = static_cast<std::size_t>(
        std::max<qsizetype>(0, names.indexOf(dialog->selectedNameFilter())));
    TableSaveChoice choice =
        offered[typedChoice(dialog->selectedFiles().constFirst()).value_or(selected)].second;
    choice.path = dialog->selectedFiles().constFirst();
    return choice;
}

QString chooseImageFile(QWidget* parent, const QString& lastPath, const DialogRunner& run) {
    const QStringList names{u"PNG image (*.png)"_s, u"SVG image (*.svg)"_s};
    std::unique_ptr<QFileDialog> dialog(makeDialog(parent, u"Save Chart"_s, lastPath, names));
    dialog->setDefaultSuffix(u"png"_s);
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, dialog.get(),
                     [&dialog, names](const QString& filter) {
                         dialog->setDefaultSuffix(filter == names[1] ? u"svg"_s : u"png"_s);
                     });
    if (run(*dialog) != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return {};
    }
    return dialog->selectedFiles().constFirst();
}

QString saveFailureText(const QString& path, const QString& reason) {
    return u"Ravenmoor could not save \"%1\": %2"_s.arg(QDir::toNativeSeparators(path), reason);
}

void previewTable(QWidget* parent, const TableSource& table, const DocumentFacts& facts,
                  const DialogRunner& run) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer, QLocale());
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(u"printPreview"_s);
    preview.resize(900, 760);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&table, &facts](QPrinter* target) { printTable(*target, table, facts); });
    run(preview);
}

std::optional<QString> printTableWithDialog(QWidget* parent, const TableSource& table,
                                            const DocumentFacts& facts, const DialogRunner& run,
                                            const std::function<void(bool)>& busy) {
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer, QLocale());
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(u"printDialog"_s);
    if (run(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    if (busy) {
        busy(true);
    }
    auto error = printTable(printer, table, facts);
    if (busy) {
        busy(false);
    }
    return error;
}
