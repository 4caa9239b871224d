#include "mainwindow/Form1.h"
#include "output/SheetWriter.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QShortcut>

#include <memory>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(u"Kestrelor"_s);
    QGuiApplication::setDesktopFileName(u"org.kestrelor.Ravenmoor"_s);

    Form1 window(std::make_unique<SettingsStore>());
    window.setSpreadsheet(makeDefaultSpreadsheet());
    // Ctrl+Q closes the window as its close button does.
    auto* quit = new QShortcut(QKeySequence::Quit, &window);
    QObject::connect(quit, &QShortcut::activated, &window, &QWidget::close);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
