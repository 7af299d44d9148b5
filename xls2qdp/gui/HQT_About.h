// SPDX-License-Identifier: MIT
// The About box: the program's name, the system and module versions and the
// version description, from the records the caller copies into it.
#pragma once

#include "common/HQTInfo.h"
#include "common/HQTVersion.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace xls2qdp {

class Tdlg_HQT_About_1 : public QDialog {
    Q_OBJECT
public:
    explicit Tdlg_HQT_About_1(QWidget* owner);

    // Filled by the caller (by assignment) before the box is shown.
    THQTInfo info;
    THQTVersion version;

    QLabel* lbl_Produkt;
    QLabel* lbl_WersjaSystemuModulu;
    QLabel* lbl_WersjaSystemu;
    QLabel* lbl_NazwaModulu;
    QLabel* lbl_WersjaModulu;
    QPlainTextEdit* mem_OpisWersji;
    QPushButton* btn_Exit;
    QPushButton* btn_TechHelp;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void btn_ExitClick();
    void btn_TechHelpClick();
};

class TdlgHQTAbout : public Tdlg_HQT_About_1 {
    Q_OBJECT
public:
    explicit TdlgHQTAbout(QWidget* owner);
};

} // namespace xls2qdp
