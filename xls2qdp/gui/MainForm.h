// SPDX-License-Identifier: MIT
// The main window: reads and checks the settings when it is created (and,
// when they are missing or wrong, offers to enter them), shows the version
// in its corner and offers the import, the settings, the About box and
// leaving. A workbook dropped on it opens the import with that workbook.
#pragma once

#include "common/GlobalVar.h"
#include "common/HQTInfo.h"
#include "common/HQTVersion.h"
#include "common/ProgramLocations.h"
#include "engine/ImportServices.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;

namespace xls2qdp {

class TfrmMainForm : public QMainWindow {
    Q_OBJECT
public:
    TfrmMainForm(const ProgramLocations& locations, ImportServicesFactory services);
    ~TfrmMainForm() override;

    // A check at start-up failed: the program ends without further work.
    bool terminateRequested() const { return terminate_; }
    const GlobalVar& settings() const { return settings_; }
    const THQTInfo& info() const { return info_; }
    const THQTVersion& version() const { return version_; }

    QLabel* lblWersja;
    QMenu* menSystem;
    QAction* MenuItemImportzPlikuXLS;
    QAction* menUstawienia;
    QAction* menWyjscie;
    QMenu* menPomoc;
    QAction* menAbout;

    void MenuItemImportzPlikuXLSClick();
    // The import dialog with a workbook already chosen.
    void openImport(const QString& workbook);
    void menUstawieniaClick();
    void menAboutClick();
    void menWyjscieClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void placeVersionLabel();
    // After the start-up's messages: asks whether to enter the settings now
    // and shows the settings window; true when they were saved.
    bool offerSettings(const GlobalVar& read);

    ProgramLocations locations_;
    ImportServicesFactory services_;
    GlobalVar settings_;
    THQTInfo info_;
    THQTVersion version_;
    bool terminate_ = false;
    bool centred_ = false;
};

} // namespace xls2qdp
