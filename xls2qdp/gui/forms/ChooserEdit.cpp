// SPDX-License-Identifier: MIT
#include "ChooserEdit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace xls2qdp {

std::optional<QString> ChooserEdit::nextAnswer_;

ChooserEdit::ChooserEdit(Kind kind, QWidget* parent)
    : QWidget(parent), kind_(kind), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    edit_->setReadOnly(true); // no typing: the name comes from the chooser
    button_->setText(QStringLiteral("…"));
    button_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, &ChooserEdit::browse);
    connect(edit_, &QLineEdit::textChanged, this, &ChooserEdit::textChanged);
}

QString ChooserEdit::text() const {
    return edit_->text();
}

void ChooserEdit::setText(const QString& text) {
    edit_->setText(text);
}

void ChooserEdit::answerNextChooser(const QString& name) {
    nextAnswer_ = name;
}

void ChooserEdit::browse() {
    QString chosen;
    if (nextAnswer_) {
        chosen = *nextAnswer_;
        nextAnswer_.reset();
    } else if (kind_ == Kind::Folder) {
        const QString start = text().isEmpty() ? initialDir_ : text();
        chosen = QFileDialog::getExistingDirectory(this, title_, start);
    } else {
        QFileDialog dialog(this, title_,
                           text().isEmpty() ? initialDir_ : QFileInfo(text()).absolutePath());
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(filter_);
        dialog.setDefaultSuffix(defaultSuffix_);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen.isEmpty()) setText(chosen);
}

} // namespace xls2qdp
