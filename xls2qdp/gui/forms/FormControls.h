// SPDX-License-Identifier: MIT
// The small controls the importer's forms are made of.
#pragma once

#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>

namespace xls2qdp {

// A button that also answers its shortcut key anywhere in its window.
inline QPushButton* makeActionButton(const QString& caption, const QKeySequence& shortcut,
                                     QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    if (!shortcut.isEmpty()) button->setShortcut(shortcut);
    return button;
}

// A greyed field that shows a value and takes no input.
inline QLineEdit* makeReadOnlyField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setEnabled(false);
    return field;
}

} // namespace xls2qdp
