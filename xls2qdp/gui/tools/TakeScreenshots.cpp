// SPDX-License-Identifier: MIT
// Pictures of the desktop program's windows for the documentation: the main
// window, the About box and the import dialog after a successful import.
//   xls2qdp_screenshots OUTPUT_DIR WORKBOOK INI_FILE
// The import writes its package into a temporary folder that is removed.
#include "ChooserEdit.h"
#include "HQT_About.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "dlgImportXLS.h"
#include "engine/DefaultImportServices.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <iostream>

namespace {

bool save(QWidget& window, const QString& file) {
    QApplication::processEvents();
    if (window.grab().save(file)) return true;
    std::cerr << "cannot write " << file.toStdString() << '\n';
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qdpsuite-screenshots"));
    QApplication::setApplicationName(QStringLiteral("xls2qdp"));
    if (argc != 4) {
        std::cerr << "usage: xls2qdp_screenshots OUTPUT_DIR WORKBOOK INI_FILE\n";
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QString workbook = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    xls2qdp::MessageBoxes::startRecording(); // no boxes over the windows

    const auto locations =
        xls2qdp::findProgramLocations(xls2qdp::runningProgramDir(), std::string(argv[3]));
    xls2qdp::TfrmMainForm mainForm(locations, xls2qdp::defaultImportServices(locations));
    if (mainForm.terminateRequested()) {
        for (const auto& shown : xls2qdp::MessageBoxes::takeRecorded())
            std::cerr << shown.text.toStdString() << '\n';
        return 1;
    }
    mainForm.show();
    bool ok = save(mainForm, output.filePath(QStringLiteral("main-window.png")));

    xls2qdp::TdlgHQTAbout about(&mainForm);
    about.info = mainForm.info();
    about.version = mainForm.version();
    about.show();
    ok = save(about, output.filePath(QStringLiteral("about-box.png"))) && ok;
    about.close();

    // The workbook is imported from a folder of its own, with the package beside it.
    QTemporaryDir target;
    const QString copied = target.filePath(QFileInfo(workbook).fileName());
    QFile::copy(workbook, copied);
    xls2qdp::Tdlg_ImportXLS dialog(&mainForm, mainForm.settings(),
                                   {locations.workingTableDir, locations.dictionaryDir},
                                   xls2qdp::defaultImportServices(locations));
    dialog.openModal();
    xls2qdp::ChooserEdit::answerNextChooser(copied);
    dialog.edtXLSFileName->browse(); // the folder field follows the workbook
    QEventLoop loop;
    bool imported = false;
    QObject::connect(&dialog, &xls2qdp::Tdlg_ImportXLS::importFinished, &dialog, [&] {
        // Before the dialog closes itself: the stages with their outcome.
        imported = dialog.lastOutcome().succeeded();
        if (imported) ok = save(dialog, output.filePath(QStringLiteral("import-dialog.png"))) && ok;
        loop.quit();
    });
    QTimer::singleShot(0, &dialog, [&] { dialog.btnImportujClick(); });
    loop.exec();
    for (const auto& shown : xls2qdp::MessageBoxes::takeRecorded())
        std::cerr << shown.text.toStdString() << '\n';
    return ok && imported ? 0 : 1;
}
