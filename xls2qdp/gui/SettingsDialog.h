// SPDX-License-Identifier: MIT
// "Ustawienia": the four values of the importer's INI file, each with what
// it is for. A value is judged by the same checks the start-up applies, and
// saved into the INI file so that the start-up reads it back as it is.
#pragma once

#include "FormEnh.h"
#include "common/GlobalVar.h"
#include "common/SettingsChecks.h"

#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace xls2qdp {

class SettingsDialog : public FormEnh {
    Q_OBJECT
public:
    // current: the values to start from (as read, right or not).
    SettingsDialog(QWidget* owner, std::filesystem::path iniFile, const GlobalVar& current);

    // The values saved, once the window was closed with "Zapisz".
    const GlobalVar& settings() const { return settings_; }

    QLabel* lblPlik;
    QLineEdit* edtKodSwiadcz;
    QLineEdit* edtNrInstalacji;
    QLineEdit* edtOddzialNFZ;
    QLineEdit* edtKodWoj;
    QLabel* lblOddzialNFZ;  // the branch the code names
    QLabel* lblWojewodztwo; // the voivodeship the code names
    QPushButton* btnZapisz;
    QPushButton* btnAnuluj;

    // Checks the values; saves them and closes the window when they are right.
    void btnZapiszClick();

private:
    QLineEdit* fieldOf(SettingKey key) const;

    std::filesystem::path iniFile_;
    GlobalVar settings_;
};

// The name of the NFZ branch ("Małopolski Oddział Wojewódzki NFZ") and of
// the voivodeship ("województwo małopolskie") a code stands for; empty for a
// code that stands for none.
QString nfzBranchName(const QString& code);
QString voivodeshipName(const QString& code);

} // namespace xls2qdp
