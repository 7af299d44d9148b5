// SPDX-License-Identifier: MIT
#include "ChooserEdit.h"

#include "FileChoosers.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace xls2qdp {

ChooserEdit::ChooserEdit(Kind kind, QWidget* parent)
    : QWidget(parent), kind_(kind), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    edit_->setReadOnly(true);     // no typing: the name comes from the chooser
    edit_->setAcceptDrops(false); // a dropped file is for the window to take
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

void ChooserEdit::browse() {
    ChooserRequest request;
    request.title = title_;
    if (kind_ == Kind::Folder) {
        request.kind = ChooserRequest::Kind::Folder;
        request.start = text().isEmpty() ? initialDir_ : text();
    } else {
        request.kind = ChooserRequest::Kind::OpenFile;
        request.start = text().isEmpty() ? initialDir_ : QFileInfo(text()).absolutePath();
        request.filter = filter_;
        request.defaultSuffix = defaultSuffix_;
    }
    const QString name = FileChoosers::choose(this, request);
    if (name.isEmpty()) return;
    setText(name);
    emit chosen(name);
}

} // namespace xls2qdp
