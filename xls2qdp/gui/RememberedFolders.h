// SPDX-License-Identifier: MIT
// The folders the import dialog's choosers start in, remembered between runs
// of the program in the user's settings (QSettings): the folder of the last
// workbook chosen and the last target folder.
#pragma once

#include <QString>

namespace xls2qdp {

// The last workbook's folder while it exists, else the home folder.
QString lastWorkbookFolder();
// The last target folder while it exists, else empty.
QString lastTargetFolder();

void rememberWorkbook(const QString& workbookFile);
void rememberTargetFolder(const QString& folder);

} // namespace xls2qdp
