// SPDX-License-Identifier: MIT
// The desktop importer: the main window only; the dialogs open from its menu.
#include "MainForm.h"
#include "ProgramArtwork.h"
#include "common/PrivateFiles.h"
#include "common/ProgramLocations.h"
#include "engine/DefaultImportServices.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    xls2qdp::keepNewFilesPrivate(); // packages, reports and the working table hold patients' data
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qdpsuite"));
    QApplication::setApplicationName(QStringLiteral("xls2qdp"));
    QApplication::setApplicationDisplayName(QStringLiteral("Import danych z XLS"));
    // The windows carry the emblem the installed menu entry (xls2qdp.desktop) shows.
    QApplication::setDesktopFileName(QStringLiteral("xls2qdp"));
    QApplication::setWindowIcon(QIcon(xls2qdp::programLogo(64)));

    const xls2qdp::ProgramLocations locations =
        xls2qdp::findProgramLocations(xls2qdp::runningProgramDir());
    xls2qdp::TfrmMainForm mainForm(locations, xls2qdp::defaultImportServices(locations));
    if (mainForm.terminateRequested()) return 1; // its messages have been shown
    mainForm.show();
    return application.exec();
}
