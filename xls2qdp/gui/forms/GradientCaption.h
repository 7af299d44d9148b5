// SPDX-License-Identifier: MIT
// A caption bar drawn across the top of a dialog: the title over a gradient.
#pragma once

#include <QWidget>

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

} // namespace xls2qdp
