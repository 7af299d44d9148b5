// SPDX-License-Identifier: MIT
// A caption bar drawn across the top of a dialog: the title over a gradient.
#pragma once

#include <QWidget>

class QVBoxLayout;

namespace xls2qdp {

class GradientCaption : public QWidget {
    Q_OBJECT
public:
    explicit GradientCaption(const QString& text, QWidget* parent = nullptr);
    QString text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

// Gives window its layout: caption across the top and, below it within the
// forms' margins, the layout returned for the window's own contents.
QVBoxLayout* layOutUnderCaption(QWidget* window, GradientCaption* caption);

} // namespace xls2qdp
