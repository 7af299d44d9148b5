// SPDX-License-Identifier: MIT
#include "FormEnh.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace xls2qdp {

namespace {
QString placementKey(const QObject& form) {
    return QStringLiteral("Placement/") + form.objectName();
}
} // namespace

FormEnh::FormEnh(QWidget* owner) : QDialog(owner) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

int FormEnh::showModal() {
    FormEnhSetVariables();
    if (!FormEnhPrepareForm()) return QDialog::Rejected;
    changeMode(initialMode_);
    restorePlacement();
    return exec();
}

bool FormEnh::openModal() {
    FormEnhSetVariables();
    if (!FormEnhPrepareForm()) return false;
    changeMode(initialMode_);
    restorePlacement();
    open();
    return true;
}

void FormEnh::changeMode(FormMode mode) {
    mode_ = mode;
    switch (mode) {
    case FormMode::Read:
        FormEnhChangeModeRead();
        break;
    case FormMode::Edit:
        FormEnhChangeModeEdit();
        break;
    case FormMode::Add:
        FormEnhChangeModeAdd();
        break;
    case FormMode::Search:
        FormEnhChangeModeSearch();
        break;
    }
}

void FormEnh::done(int result) {
    savePlacement();
    QDialog::done(result);
}

void FormEnh::restorePlacement() {
    if (objectName().isEmpty()) return;
    const QPoint saved = QSettings().value(placementKey(*this)).toPoint();
    if (saved.isNull()) return;
    // Only where the whole window is still on a screen.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(QRect(saved, size()))) {
            move(saved);
            return;
        }
    }
}

void FormEnh::savePlacement() const {
    if (objectName().isEmpty() || !isVisible()) return;
    QSettings().setValue(placementKey(*this), pos());
}

} // namespace xls2qdp
