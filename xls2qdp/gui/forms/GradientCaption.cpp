// SPDX-License-Identifier: MIT
#include "GradientCaption.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace xls2qdp {

GradientCaption::GradientCaption(const QString& text, QWidget* parent)
    : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize GradientCaption::sizeHint() const {
    return {200, fontMetrics().height() + 12};
}

void GradientCaption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    gradient.setColorAt(0, QColor(0x0b, 0x2e, 0x6b));
    gradient.setColorAt(1, QColor(0x9f, 0xc3, 0xe8));
    painter.fillRect(rect(), gradient);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, text_);
}

QVBoxLayout* layOutUnderCaption(QWidget* window, GradientCaption* caption) {
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 12);
    layout->addLayout(body);
    return body;
}

} // namespace xls2qdp
