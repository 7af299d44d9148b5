// SPDX-License-Identifier: MIT
#include "ProgramArtwork.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace xls2qdp {

namespace {

const QColor kNavy(0x0b, 0x2e, 0x6b);
const QColor kSky(0xd8, 0xe8, 0xf7);
const QColor kGreen(0x2e, 0x8b, 0x57);

// The emblem is ten units wide and 6.5 high.
constexpr qreal kEmblemWidth = 10;
constexpr qreal kEmblemHeight = 6.5;

// A sheet of cells turning into a sealed package: what the program does,
// drawn as large as fits in box, centred.
void drawEmblem(QPainter& painter, const QRectF& box) {
    const qreal unit = std::min(box.width() / kEmblemWidth, box.height() / kEmblemHeight);
    const QPointF origin(box.center().x() - unit * kEmblemWidth / 2,
                         box.center().y() - unit * kEmblemHeight / 2);
    const auto at = [&](qreal x, qreal y) { return origin + QPointF(x * unit, y * unit); };
    // the sheet
    const QRectF sheet(at(0, 0), QSizeF(unit * 5, unit * 6.5));
    painter.setPen(QPen(kNavy, unit * 0.15));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(0x7a, 0x9c, 0xc6), unit * 0.06));
    for (int row = 1; row < 6; ++row)
        painter.drawLine(QPointF(sheet.left(), sheet.top() + row * sheet.height() / 6),
                         QPointF(sheet.right(), sheet.top() + row * sheet.height() / 6));
    for (int column = 1; column < 3; ++column)
        painter.drawLine(QPointF(sheet.left() + column * sheet.width() / 3, sheet.top()),
                         QPointF(sheet.left() + column * sheet.width() / 3, sheet.bottom()));
    // the arrow
    QPainterPath arrow;
    arrow.moveTo(at(5.4, 2.9));
    arrow.lineTo(at(6.4, 2.9));
    arrow.lineTo(at(6.4, 2.3));
    arrow.lineTo(at(7.2, 3.25));
    arrow.lineTo(at(6.4, 4.2));
    arrow.lineTo(at(6.4, 3.6));
    arrow.lineTo(at(5.4, 3.6));
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGreen);
    painter.drawPath(arrow);
    // the package
    const QRectF package(at(7.4, 1.6), QSizeF(unit * 2.6, unit * 3.3));
    painter.setBrush(kNavy);
    painter.drawRoundedRect(package, unit * 0.3, unit * 0.3);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(6, static_cast<int>(unit * 0.9)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(package, Qt::AlignCenter, QStringLiteral("QDP"));
}

const QString kCaption = QStringLiteral("Deklaracje POZ \u2192 pakiet QDP");

// The caption's font, in pixels: the same size whatever the screen's dpi.
QFont captionFont(QSize size) {
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(8, size.height() / 16));
    return font;
}

} // namespace

ArtworkLayout mainWindowArtworkLayout(QSize size) {
    const qreal width = size.width();
    const qreal height = size.height();
    const QFontMetricsF metrics(captionFont(size));
    // The bottom eighth stays free for the version label.
    const qreal captionBottom = height * 0.87;
    const QRectF textBox = metrics.boundingRect(kCaption);
    const QRectF caption((width - textBox.width()) / 2, captionBottom - metrics.height(),
                         textBox.width(), metrics.height());
    const qreal gap = height * 0.05;
    const QRectF emblemBox(width * 0.1, gap, width * 0.8, caption.top() - 2 * gap);
    const qreal unit =
        std::min(emblemBox.width() / kEmblemWidth, emblemBox.height() / kEmblemHeight);
    QRectF emblem(0, 0, unit * kEmblemWidth, unit * kEmblemHeight);
    emblem.moveCenter(emblemBox.center());
    return {emblem, caption};
}

QPixmap mainWindowArtwork(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, Qt::white);
    background.setColorAt(1, kSky);
    painter.fillRect(QRect(QPoint(0, 0), size), background);
    const ArtworkLayout layout = mainWindowArtworkLayout(size);
    drawEmblem(painter, layout.emblem);
    painter.setFont(captionFont(size));
    painter.setPen(kNavy);
    painter.drawText(layout.caption, Qt::AlignCenter, kCaption);
    return pixmap;
}

QPixmap programLogo(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(kSky);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawEmblem(painter, QRectF(side * 0.05, side * 0.05, side * 0.9, side * 0.9));
    return pixmap;
}

} // namespace xls2qdp
