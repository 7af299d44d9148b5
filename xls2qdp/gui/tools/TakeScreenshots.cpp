// SPDX-License-Identifier: MIT
// Pictures of the desktop program's windows for the documentation: the main
// window, the About box, the settings window, the workbook chooser, the
// import dialog after importing the example workbook, the summary that
// follows it, and the list of remarks of a second, larger import.
//   xls2qdp_screenshots OUTPUT_DIR WORKBOOK INI_FILE [REMARKS_WORKBOOK]
// On an X server with a window manager each picture is the window with its
// frame, as the screen shows it; elsewhere the window's contents. The
// imports write into a temporary folder that is removed.
#include "ChooserEdit.h"
#include "FileChoosers.h"
#include "HQT_About.h"
#include "ImportSummaryDialog.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "QtTranslations.h"
#include "RemarksDialog.h"
#include "SettingsDialog.h"
#include "ToQString.h"
#include "common/Startup.h"
#include "dlgImportXLS.h"
#include "engine/DefaultImportServices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

#include <iostream>

namespace {

// Lets the window manager place and frame a window shown a moment ago.
void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 600)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// On an X server: waits (at most a few seconds, for a busy machine) until
// the window is on the screen inside the window manager's frame.
bool framed(QWidget& window) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const QWindow* handle = window.windowHandle();
        if (handle && handle->isExposed() && window.frameGeometry().size() != window.size())
            return true;
        if (timer.elapsed() > 5000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

bool save(QWidget& window, const QString& file) {
    window.raise();
    window.activateWindow();
    const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
    if (onX && !framed(window)) {
        std::cerr << "no window frame for " << file.toStdString() << '\n';
        return false;
    }
    settle();
    QPixmap picture;
    if (onX && window.screen()) {
        const QRect frame = window.frameGeometry();
        picture =
            window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    } else {
        picture = window.grab();
    }
    if (picture.save(file)) return true;
    std::cerr << "cannot write " << file.toStdString() << '\n';
    return false;
}

// Imports workbook (copied into folder) in a fresh import dialog and hands
// the dialog to whenFinished before it closes itself.
bool runImport(xls2qdp::TfrmMainForm& mainForm, const xls2qdp::ProgramLocations& locations,
               const QString& workbook, const QDir& folder,
               const std::function<void(xls2qdp::Tdlg_ImportXLS&)>& whenFinished) {
    const QString copied = folder.filePath(QFileInfo(workbook).fileName());
    QFile::copy(workbook, copied);
    xls2qdp::Tdlg_ImportXLS dialog(&mainForm, mainForm.settings(),
                                   {locations.workingTableDir, locations.dictionaryDir},
                                   xls2qdp::defaultImportServices(locations));
    dialog.openModal();
    xls2qdp::FileChoosers::answerNext(copied);
    dialog.edtXLSFileName->browse(); // the folder field follows the workbook
    QEventLoop loop;
    bool imported = false;
    QObject::connect(&dialog, &xls2qdp::Tdlg_ImportXLS::importFinished, &dialog, [&] {
        imported = dialog.lastOutcome().succeeded();
        if (imported) whenFinished(dialog);
        loop.quit();
    });
    QTimer::singleShot(0, &dialog, [&] { dialog.btnImportujClick(); });
    loop.exec();
    settle(); // the summary comes once the dialog has closed
    for (const auto& shown : xls2qdp::MessageBoxes::takeRecorded())
        std::cerr << shown.text.toStdString() << '\n';
    return imported;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qdpsuite-screenshots"));
    QApplication::setApplicationName(QStringLiteral("xls2qdp"));
    xls2qdp::MessageBoxes::setTitle(xls2qdp::toQString(xls2qdp::kProgramName));
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: xls2qdp_screenshots OUTPUT_DIR WORKBOOK INI_FILE "
                     "[REMARKS_WORKBOOK]\n";
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QString workbook = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString remarksWorkbook =
        argc == 5 ? QFileInfo(QString::fromLocal8Bit(argv[4])).absoluteFilePath() : QString();
    xls2qdp::MessageBoxes::startRecording(); // no boxes over the windows

    const auto locations =
        xls2qdp::findProgramLocations(xls2qdp::runningProgramDir(), std::string(argv[3]));
    xls2qdp::installPolishQtTranslations(application,
                                         QString::fromStdString(locations.programDir.string()));
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

    xls2qdp::SettingsDialog settings(&mainForm, locations.iniFile, mainForm.settings());
    settings.show();
    ok = save(settings, output.filePath(QStringLiteral("settings.png"))) && ok;
    settings.close();

    // The workbooks are imported from a folder of their own, with the packages beside them.
    QTemporaryDir target;
    const QDir folder(target.path());
    bool imported = runImport(mainForm, locations, workbook, folder, [&](auto& dialog) {
        // Before the dialog closes itself: the stages with their outcome.
        ok = save(dialog, output.filePath(QStringLiteral("import-dialog.png"))) && ok;
    });
    const auto summaries = mainForm.findChildren<xls2qdp::ImportSummaryDialog*>();
    if (imported && !summaries.isEmpty()) {
        ok = save(*summaries.constLast(), output.filePath(QStringLiteral("import-summary.png"))) &&
             ok;
        summaries.constLast()->close();
    } else {
        ok = false;
    }

    // The workbook chooser, in the folder of the workbook just imported,
    // beside workbooks of the other kinds (copies, for the listing only) and
    // a file that is none.
    for (const char* name :
         {"deklaracje_2025.xls", "lista_aktywna.ods", "eksport_z_rejestracji.csv"})
        QFile::copy(workbook, folder.filePath(QString::fromUtf8(name)));
    QFile notes(folder.filePath(QStringLiteral("notatki.txt")));
    if (notes.open(QIODevice::WriteOnly)) notes.write("Wysłać do NFZ do 10. dnia miesiąca.\n");
    xls2qdp::Tdlg_ImportXLS dialog(&mainForm, mainForm.settings(),
                                   {locations.workingTableDir, locations.dictionaryDir},
                                   xls2qdp::defaultImportServices(locations));
    dialog.openModal();
    xls2qdp::FileChoosers::answerNext({});
    dialog.edtXLSFileName->browse();
    if (const auto request = xls2qdp::FileChoosers::lastRequest()) {
        const auto chooser = xls2qdp::FileChoosers::makeDialog(&dialog, *request);
        chooser->setOption(QFileDialog::DontUseNativeDialog);
        chooser->resize(760, 460);
        chooser->show();
        settle();
        for (QTreeView* files : chooser->findChildren<QTreeView*>()) // the columns' texts whole
            files->header()->resizeSections(QHeaderView::ResizeToContents);
        ok = save(*chooser, output.filePath(QStringLiteral("file-chooser.png"))) && ok;
        chooser->reject();
    }
    dialog.reject();

    // The list of remarks, of a larger import when one is given.
    if (!remarksWorkbook.isEmpty()) {
        QTemporaryDir second;
        imported =
            runImport(mainForm, locations, remarksWorkbook, QDir(second.path()), [](auto&) {}) &&
            imported;
    }
    const auto last = mainForm.findChildren<xls2qdp::ImportSummaryDialog*>();
    if (!last.isEmpty() && last.constLast()->btnPokazUwagi->isEnabled()) {
        last.constLast()->btnPokazUwagi->click();
        if (xls2qdp::RemarksDialog* remarks = last.constLast()->remarksWindow())
            ok = save(*remarks, output.filePath(QStringLiteral("import-remarks.png"))) && ok;
    } else {
        ok = false;
    }
    return ok && imported ? 0 : 1;
}
