// SPDX-License-Identifier: MIT
#include "DesktopLinks.h"

#include <QDesktopServices>

namespace xls2qdp {

namespace {
DesktopLinks::Opener& replacement() {
    static DesktopLinks::Opener opener;
    return opener;
}
} // namespace

bool DesktopLinks::openFolder(const QString& folder) {
    const QUrl url = QUrl::fromLocalFile(folder);
    return replacement() ? replacement()(url) : QDesktopServices::openUrl(url);
}

void DesktopLinks::setOpener(Opener opener) {
    replacement() = std::move(opener);
}

} // namespace xls2qdp
