// SPDX-License-Identifier: MIT
// What an import run did, shown after it: where the package went (or that
// none was written), the run's counts, its remarks by kind and its warnings,
// with the commands that go on from there: the list of remarks, saving the
// report as CSV, and opening the package's folder.
#pragma once

#include "FormEnh.h"
#include "engine/ImportServices.h"
#include "engine/ImportWorkflow.h"
#include "import/conversion/ImportReport.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QFormLayout;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace xls2qdp {

class RemarksDialog;

class ImportSummaryDialog : public FormEnh {
    Q_OBJECT
public:
    // Keeps the run's services while the window lives, for the report they hold.
    ImportSummaryDialog(QWidget* owner, const ImportOutcome& outcome, const ImportRequest& request,
                        std::unique_ptr<ImportServices> services);
    ~ImportSummaryDialog() override;

    // The run's report, null when the services keep none.
    const ImportReport* report() const;
    // Where "Zapisz raport…" proposes to save the report.
    QString suggestedReportFile() const { return suggestedReportFile_; }
    // The list of remarks, once it has been opened.
    RemarksDialog* remarksWindow() const;

    QLabel* lblPlik;
    QFormLayout* frmLiczby;  // the run's counts, label and value
    QTreeWidget* lstRodzaje; // remarks by kind; a double click lists that kind
    QLabel* lblOstrzezenia;  // the warnings, one "UWAGA: " line each
    QPushButton* btnPokazUwagi;
    QPushButton* btnZapiszRaport;
    QPushButton* btnOtworzFolder;
    QPushButton* btnZamknij;

    void btnPokazUwagiClick();
    void btnZapiszRaportClick();
    void btnOtworzFolderClick();

private:
    void showRemarks(std::optional<ReportKind> kind);

    ImportOutcome outcome_;
    std::unique_ptr<ImportServices> services_;
    QString suggestedReportFile_;
    QPointer<RemarksDialog> remarks_;
};

} // namespace xls2qdp
