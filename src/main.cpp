#include "core/Version.h"
#include "documents/LibreOfficeCalc.h"
#include "documents/SheetWriter.h"
#include "mainwindow/Form1.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    // Answered before any window exists, so it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("ravenmoor %s\n", ravenmoor::version);
        return 0;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ravenmoor::version));
    QCoreApplication::setOrganizationName(u"Kestrelor"_s);
    QGuiApplication::setDesktopFileName(u"org.kestrelor.Ravenmoor"_s);

    // What earlier runs' exports left in the temporary folder.
    removeOldExportFolders(QDir::tempPath(), QDateTime::currentDateTimeUtc());

    Form1 window(std::make_unique<SettingsStore>());
    window.setSpreadsheet(makeDefaultSpreadsheet());
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
