// SPDX-License-Identifier: MIT
#include "ProgramArtwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace xls2qdp {

namespace {

const QColor kNavy(0x0b, 0x2e, 0x6b);
const QColor kSky(0xd8, 0xe8, 0xf7);
const QColor kGreen(0x2e, 0x8b, 0x57);

// A sheet of cells turning into a sealed package: what the program does.
void drawEmblem(QPainter& painter, const QRectF& box) {
    const qreal unit = box.width() / 10;
    // the sheet
    const QRectF sheet(box.left(), box.top() + unit, unit * 5, unit * 6.5);
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
    arrow.moveTo(box.left() + unit * 5.4, box.top() + unit * 3.9);
    arrow.lineTo(box.left() + unit * 6.4, box.top() + unit * 3.9);
    arrow.lineTo(box.left() + unit * 6.4, box.top() + unit * 3.3);
    arrow.lineTo(box.left() + unit * 7.2, box.top() + unit * 4.25);
    arrow.lineTo(box.left() + unit * 6.4, box.top() + unit * 5.2);
    arrow.lineTo(box.left() + unit * 6.4, box.top() + unit * 4.6);
    arrow.lineTo(box.left() + unit * 5.4, box.top() + unit * 4.6);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGreen);
    painter.drawPath(arrow);
    // the package
    const QRectF package(box.left() + unit * 7.4, box.top() + unit * 2.6, unit * 2.6, unit * 3.3);
    painter.setBrush(kNavy);
    painter.drawRoundedRect(package, unit * 0.3, unit * 0.3);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(6, static_cast<int>(unit * 0.9)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(package, Qt::AlignCenter, QStringLiteral("QDP"));
}

} // namespace

QPixmap mainWindowArtwork(QSize size) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, Qt::white);
    background.setColorAt(1, kSky);
    painter.fillRect(pixmap.rect(), background);
    drawEmblem(painter, QRectF(size.width() * 0.18, size.height() * 0.12, size.width() * 0.64,
                               size.height() * 0.64));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size.height() / 16);
    painter.setFont(font);
    painter.setPen(kNavy);
    painter.drawText(QRectF(0, size.height() * 0.74, size.width(), size.height() * 0.1),
                     Qt::AlignCenter, QStringLiteral("Deklaracje POZ \u2192 pakiet QDP"));
    return pixmap;
}

QPixmap programLogo(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(kSky);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawEmblem(painter, QRectF(side * 0.05, side * 0.1, side * 0.9, side * 0.9));
    return pixmap;
}

} // namespace xls2qdp
