// SPDX-License-Identifier: MIT
// The program's own pictures, drawn rather than shipped: the main window's
// background and the logo of the About box.
#pragma once

#include <QPixmap>
#include <QRectF>
#include <QSize>

namespace xls2qdp {

// Where the main window's artwork puts its parts: the emblem above, the
// caption's text below it, and free room at the bottom for the version.
struct ArtworkLayout {
    QRectF emblem;
    QRectF caption; // the caption's text, as drawn
};
ArtworkLayout mainWindowArtworkLayout(QSize size);

// The artwork for a window of that size; devicePixelRatio > 1 draws it sharp
// on a scaled screen.
QPixmap mainWindowArtwork(QSize size, qreal devicePixelRatio = 1);
QPixmap programLogo(int side);

} // namespace xls2qdp
