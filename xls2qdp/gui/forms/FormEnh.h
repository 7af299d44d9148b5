// SPDX-License-Identifier: MIT
// Base of the importer's dialogs. Showing one runs, in this order: the
// variables callback, the prepare callback (a failure closes the dialog
// before it is seen), the initial mode's callback, then the modal loop. The
// dialog's position is remembered between runs of the program.
#pragma once

#include <QDialog>

namespace xls2qdp {

enum class FormMode { Read, Edit, Add, Search };

class FormEnh : public QDialog {
    Q_OBJECT
public:
    explicit FormEnh(QWidget* owner);

    // Shows the dialog modally over its owner; QDialog::Rejected when the
    // prepare callback refused to show it.
    int showModal();
    // The same order, but returns once the dialog is shown (window-modal);
    // false when the prepare callback refused to show it.
    bool openModal();

    FormMode mode() const { return mode_; }
    void changeMode(FormMode mode);

protected:
    void setInitialMode(FormMode mode) { initialMode_ = mode; }

    virtual void FormEnhSetVariables() {}
    virtual bool FormEnhPrepareForm() { return true; }
    virtual void FormEnhChangeModeRead() {}
    virtual void FormEnhChangeModeEdit() {}
    virtual void FormEnhChangeModeAdd() {}
    virtual void FormEnhChangeModeSearch() {}

    void done(int result) override;

private:
    void restorePlacement();
    void savePlacement() const;

    FormMode initialMode_ = FormMode::Read;
    FormMode mode_ = FormMode::Read;
};

} // namespace xls2qdp
