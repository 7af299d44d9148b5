// SPDX-License-Identifier: MIT
// The program's own pictures, drawn rather than shipped: the main window's
// background and the logo of the About box.
#pragma once

#include <QPixmap>
#include <QSize>

namespace xls2qdp {

QPixmap mainWindowArtwork(QSize size);
QPixmap programLogo(int side);

} // namespace xls2qdp
