// SPDX-License-Identifier: MIT
// The desktop importer: the main window only; the dialogs open from its menu.
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ProgramArtwork.h"
#include "QtTranslations.h"
#include "ToQString.h"
#include "common/PrivateFiles.h"
#include "common/ProgramLocations.h"
#include "common/Startup.h"
#include "engine/DefaultImportServices.h"

#include <QApplication>
#include <QIcon>

#include <iostream>

int main(int argc, char* argv[]) {
    xls2qdp::keepNewFilesPrivate(); // packages, reports and the working table hold patients' data
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qdpsuite"));
    QApplication::setApplicationName(QStringLiteral("xls2qdp"));
    xls2qdp::MessageBoxes::setTitle(xls2qdp::toQString(xls2qdp::kProgramName));
    // The windows carry the emblem the installed menu entry (xls2qdp.desktop) shows.
    QApplication::setDesktopFileName(QStringLiteral("xls2qdp"));
    QApplication::setWindowIcon(QIcon(xls2qdp::programLogo(64)));

    const xls2qdp::ProgramLocations locations =
        xls2qdp::findProgramLocations(xls2qdp::runningProgramDir());
    // Qt's own buttons and choosers speak Polish like the rest of the program.
    if (xls2qdp::installPolishQtTranslations(application,
                                             QString::fromStdString(locations.programDir.string()))
            .isEmpty())
        std::cerr << "xls2qdp: brak polskich tłumaczeń Qt (qtbase_pl.qm); przyciski i okna "
                     "wyboru plików Qt zostaną po angielsku\n";
    xls2qdp::TfrmMainForm mainForm(locations, xls2qdp::defaultImportServices(locations));
    if (mainForm.terminateRequested()) return 1; // its messages have been shown
    mainForm.show();
    return application.exec();
}
