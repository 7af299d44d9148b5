// SPDX-License-Identifier: MIT
// The import dialog: shows the settings, takes the workbook (from its
// chooser, or dropped on the window) and the target folder and runs one
// import per press of Import, off the user-interface thread so that the
// window stays alive and the abort button answers. A run that read its rows
// is followed by its summary (ImportSummaryDialog).
#pragma once

#include "FormEnh.h"
#include "common/GlobalVar.h"
#include "engine/ImportServices.h"
#include "engine/ImportWorkflow.h"

#include <QPointer>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QThread;

namespace xls2qdp {

class ChooserEdit;
class GradientCaption;
class ImportSummaryDialog;

class Tdlg_ImportXLS : public FormEnh {
    Q_OBJECT
public:
    Tdlg_ImportXLS(QWidget* owner, const GlobalVar& settings, const ImportLocations& locations,
                   ImportServicesFactory services);
    ~Tdlg_ImportXLS() override;

    bool importRunning() const { return running_; }
    const ImportOutcome& lastOutcome() const { return outcome_; }
    // The summary of the last run, while it is open.
    ImportSummaryDialog* summaryWindow() const;

    // Puts a workbook into the workbook field, as choosing it does.
    void useWorkbook(const QString& file);

    GradientCaption* caption;
    QLineEdit* edtKodSwiadcz;
    QLineEdit* edtNrInstalacji;
    QLineEdit* edtOddzialNFZ;
    QLineEdit* edtKodWoj;
    ChooserEdit* edtXLSFileName;
    ChooserEdit* edtKatalog;
    QLabel* LabelArkusz;
    QLabel* LabelPrzetworzono;
    QLabel* LabelLiczba;
    QLabel* LabelQDP;
    QPushButton* btnImportuj;
    QPushButton* btnPrzerwij;
    QPushButton* btnZamknij;

    void btnImportujClick();
    void btnPrzerwijClick();
    // Closing is refused while an import runs.
    void reject() override;

signals:
    // The run is over and its final message answered; comes before the
    // summary opens and before a successful run closes the dialog.
    void importFinished();

protected:
    void FormEnhSetVariables() override;
    bool FormEnhPrepareForm() override;
    void FormEnhChangeModeAdd() override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class FrontEnd;
    friend class FrontEnd;

    void FilenameEditChange(const QString& text);
    void setInputsEnabled(bool enabled);
    void onRunFinished();
    void onWorkerDone();
    void showSummary();

    GlobalVar settings_;
    ImportLocations locations_;
    ImportServicesFactory servicesFactory_;
    std::unique_ptr<FrontEnd> frontEnd_;
    std::unique_ptr<ImportServices> services_;
    QThread* worker_ = nullptr;
    std::atomic<bool> abort_{false};
    bool running_ = false;
    ImportRequest request_;
    ImportOutcome outcome_;
    QPointer<ImportSummaryDialog> summary_;
};

} // namespace xls2qdp
