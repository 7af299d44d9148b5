// SPDX-License-Identifier: MIT
#include "ChooserEdit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace xls2qdp {

std::optional<QString> ChooserEdit::s_nextAnswer;

ChooserEdit::ChooserEdit(Kind kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    m_edit->setReadOnly(true); // no typing: the name comes from the chooser
    m_button->setText(QStringLiteral("…"));
    m_button->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &ChooserEdit::browse);
    connect(m_edit, &QLineEdit::textChanged, this, &ChooserEdit::textChanged);
}

QString ChooserEdit::text() const {
    return m_edit->text();
}

void ChooserEdit::setText(const QString& text) {
    m_edit->setText(text);
}

void ChooserEdit::answerNextChooser(const QString& name) {
    s_nextAnswer = name;
}

void ChooserEdit::browse() {
    QString chosen;
    if (s_nextAnswer) {
        chosen = *s_nextAnswer;
        s_nextAnswer.reset();
    } else if (m_kind == Kind::Folder) {
        const QString start = text().isEmpty() ? m_initialDir : text();
        chosen = QFileDialog::getExistingDirectory(this, m_title, start);
    } else {
        QFileDialog dialog(this, m_title,
                           text().isEmpty() ? m_initialDir : QFileInfo(text()).absolutePath());
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(m_filter);
        dialog.setDefaultSuffix(m_defaultSuffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen.isEmpty()) setText(chosen);
}

} // namespace xls2qdp
