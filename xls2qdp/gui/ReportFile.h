// SPDX-License-Identifier: MIT
// "Zapisz raport…": the import report saved as CSV where the user chooses.
#pragma once

#include <QString>

class QWidget;

namespace xls2qdp {

class ImportReport;

// Asks for the file (the chooser starts with suggested), writes the report
// with ImportReport::saveCsv, which replaces an existing file safely, and
// says how it went. True when the report was written.
bool saveReportAs(QWidget* parent, const ImportReport& report, const QString& suggested);

} // namespace xls2qdp
