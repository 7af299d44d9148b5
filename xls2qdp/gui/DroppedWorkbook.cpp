// SPDX-License-Identifier: MIT
#include "DroppedWorkbook.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace xls2qdp {

QString droppedWorkbook(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile()) return {};
    const QFileInfo file(urls.constFirst().toLocalFile());
    if (!file.exists() || file.isDir()) return {};
    return QDir::toNativeSeparators(file.absoluteFilePath());
}

} // namespace xls2qdp
