// SPDX-License-Identifier: MIT
#include "ReportFile.h"

#include "FileChoosers.h"
#include "MessageBoxes.h"
#include "common/FileErrorText.h"
#include "import/conversion/ImportReport.h"

#include <QDir>

namespace xls2qdp {

bool saveReportAs(QWidget* parent, const ImportReport& report, const QString& suggested) {
    ChooserRequest request;
    request.kind = ChooserRequest::Kind::SaveFile;
    request.title = QStringLiteral("Zapisz raport importu");
    request.start = suggested;
    request.filter = QStringLiteral("Raport CSV (*.csv);;Wszystkie pliki (*)");
    request.defaultSuffix = QStringLiteral("csv");
    const QString file = FileChoosers::choose(parent, request);
    if (file.isEmpty()) return false;

    const QString shown = QDir::toNativeSeparators(file);
    std::error_code reason;
    if (!report.saveCsv(file.toStdString(), reason)) {
        MessageBoxes::show(parent, MessageKind::Error,
                           QStringLiteral("Nie można zapisać raportu importu w pliku: ") + shown +
                               QStringLiteral(" (") +
                               QString::fromStdString(describeFileError(reason)) +
                               QStringLiteral(")"));
        return false;
    }
    MessageBoxes::show(parent, MessageKind::Information,
                       QStringLiteral("Raport importu zapisano w pliku:\r\n") + shown);
    return true;
}

} // namespace xls2qdp
