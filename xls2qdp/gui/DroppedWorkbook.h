// SPDX-License-Identifier: MIT
// A workbook dragged onto a window from the file manager.
#pragma once

#include <QString>

class QMimeData;

namespace xls2qdp {

// The full path of the file the data carries, when it carries exactly one
// local file that is not a folder; else empty. Any file is taken: the
// import judges it by its content, not by its name.
QString droppedWorkbook(const QMimeData* data);

} // namespace xls2qdp
