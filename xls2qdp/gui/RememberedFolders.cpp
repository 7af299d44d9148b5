// SPDX-License-Identifier: MIT
#include "RememberedFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace xls2qdp {

namespace {

const QString kWorkbookKey = QStringLiteral("Folders/LastWorkbook");
const QString kTargetKey = QStringLiteral("Folders/LastTarget");

QString existingFolder(const QString& key) {
    const QString folder = QSettings().value(key).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace

QString lastWorkbookFolder() {
    const QString folder = existingFolder(kWorkbookKey);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

QString lastTargetFolder() {
    return existingFolder(kTargetKey);
}

void rememberWorkbook(const QString& workbookFile) {
    if (workbookFile.trimmed().isEmpty()) return;
    QSettings().setValue(kWorkbookKey, QFileInfo(workbookFile).absolutePath());
}

void rememberTargetFolder(const QString& folder) {
    if (folder.trimmed().isEmpty()) return;
    QSettings().setValue(kTargetKey, QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

} // namespace xls2qdp
