// SPDX-License-Identifier: MIT
// The list of the import report's remarks: a table of every entry (row,
// column with its header, surname and PESEL of the row, value, remark,
// advice), which may be limited to one kind of remark, and saved as CSV.
#pragma once

#include "FormEnh.h"
#include "import/conversion/ImportReport.h"

#include <QString>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace xls2qdp {

class ReportTableModel;

class RemarksDialog : public FormEnh {
    Q_OBJECT
public:
    // The report must outlive the window; suggestedReportFile is where
    // "Zapisz raport…" proposes to save it.
    RemarksDialog(QWidget* owner, const ImportReport& report, QString suggestedReportFile);

    // Shows only the remarks of that kind (nullopt: all of them).
    void showKind(std::optional<ReportKind> kind);

    ReportTableModel* model() const { return model_; }

    QComboBox* cmbRodzaj;
    QTableView* tblUwagi;
    QLabel* lblLiczba;
    QPushButton* btnZapiszRaport;
    QPushButton* btnZamknij;

private:
    void updateCount();

    const ImportReport& report_;
    QString suggestedReportFile_;
    ReportTableModel* model_;
};

} // namespace xls2qdp
