// SPDX-License-Identifier: MIT
// The main window: reads and checks the settings when it is created, shows
// the version in its corner and offers the import, the About box and leaving.
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
    QAction* menWyjscie;
    QMenu* menPomoc;
    QAction* menAbout;

    void MenuItemImportzPlikuXLSClick();
    void menAboutClick();
    void menWyjscieClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();

    ProgramLocations locations_;
    ImportServicesFactory services_;
    GlobalVar settings_;
    THQTInfo info_;
    THQTVersion version_;
    bool terminate_ = false;
    bool centred_ = false;
};

} // namespace xls2qdp
