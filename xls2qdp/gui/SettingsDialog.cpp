// SPDX-License-Identifier: MIT
#include "SettingsDialog.h"

#include "FormControls.h"
#include "GradientCaption.h"
#include "MessageBoxes.h"
#include "ToQString.h"
#include "common/FileErrorText.h"
#include "common/Startup.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace xls2qdp {

namespace {

// The sixteen voivodeships in the order of their codes: the NFZ branches
// number them 01 to 16, the territorial registry 02 to 32 in steps of two.
const char* const kVoivodeships[] = {
    "dolnośląskie",   "kujawsko-pomorskie",  "lubelskie",     "lubuskie",
    "łódzkie",        "małopolskie",         "mazowieckie",   "opolskie",
    "podkarpackie",   "podlaskie",           "pomorskie",     "śląskie",
    "świętokrzyskie", "warmińsko-mazurskie", "wielkopolskie", "zachodniopomorskie"};

// The voivodeship of a number from 1 to 16, else empty.
QString voivodeshipOf(int number) {
    if (number < 1 || number > 16) return {};
    return QString::fromUtf8(kVoivodeships[number - 1]);
}

// A code of exactly two digits as its number, else 0.
int twoDigitCode(const QString& code) {
    const QString trimmed = code.trimmed();
    if (trimmed.size() != 2 || !trimmed[0].isDigit() || !trimmed[1].isDigit()) return 0;
    return trimmed.toInt();
}

struct Field {
    SettingKey key;
    const char* label;
    const char* explanation;
};

// In the order the import dialog shows them.
constexpr Field kFields[] = {
    {SettingKey::KodSwiadcz, "Kod świadczeniodawcy:",
     "Kod nadany przychodni przez NFZ, jak w umowie: same cyfry, najwyżej 16. Zapisywany w "
     "nagłówku każdego pliku QDP."},
    {SettingKey::NrInstalacji, "Nr instalacji:",
     "Numer instalacji programu nadany przez NFZ, najwyżej 9 znaków. Trafia do każdej "
     "deklaracji w pliku QDP."},
    {SettingKey::KodOddzialuNFZ, "Oddział NFZ pacjenta:",
     "Oddział NFZ, który płaci za świadczenia pacjentów (płatnik): dwie cyfry od 01 do 16. "
     "Każda deklaracja podaje go jako kod płatnika."},
    {SettingKey::KodWojew, "Kod województwa:",
     "Województwo przychodni według rejestru TERYT: 02, 04, …, 32 (jedna cyfra dostaje zero z "
     "przodu). Według niego import szuka gmin i miejscowości w słownikach."},
};

} // namespace

QString nfzBranchName(const QString& code) {
    QString name = voivodeshipOf(twoDigitCode(code));
    if (name.isEmpty()) return {};
    name.chop(1); // "małopolskie" -> "małopolski"
    name[0] = name[0].toUpper();
    return name + QStringLiteral(" Oddział Wojewódzki NFZ");
}

QString voivodeshipName(const QString& code) {
    const int number = twoDigitCode(code);
    if (number % 2 != 0) return {};
    const QString name = voivodeshipOf(number / 2);
    return name.isEmpty() ? QString() : QStringLiteral("województwo ") + name;
}

SettingsDialog::SettingsDialog(QWidget* owner, std::filesystem::path iniFile,
                               const GlobalVar& current)
    : FormEnh(owner), iniFile_(std::move(iniFile)), settings_(current) {
    setObjectName(QStringLiteral("dlgUstawienia"));
    setWindowTitle(QStringLiteral("Ustawienia"));
    auto* caption = new GradientCaption(windowTitle(), this);

    lblPlik = new QLabel(QStringLiteral("Plik ustawień: ") +
                             QDir::toNativeSeparators(QString::fromStdString(iniFile_.string())),
                         this);
    lblPlik->setObjectName(QStringLiteral("lblPlik"));
    lblPlik->setWordWrap(true);
    lblPlik->setTextInteractionFlags(Qt::TextSelectableByMouse);

    edtKodSwiadcz = new QLineEdit(this);
    edtKodSwiadcz->setObjectName(QStringLiteral("edtKodSwiadcz"));
    edtNrInstalacji = new QLineEdit(this);
    edtNrInstalacji->setObjectName(QStringLiteral("edtNrInstalacji"));
    edtOddzialNFZ = new QLineEdit(this);
    edtOddzialNFZ->setObjectName(QStringLiteral("edtOddzialNFZ"));
    edtKodWoj = new QLineEdit(this);
    edtKodWoj->setObjectName(QStringLiteral("edtKodWoj"));
    lblOddzialNFZ = new QLabel(this);
    lblOddzialNFZ->setObjectName(QStringLiteral("lblOddzialNFZ"));
    lblWojewodztwo = new QLabel(this);
    lblWojewodztwo->setObjectName(QStringLiteral("lblWojewodztwo"));

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 120);
    int row = 0;
    for (const Field& field : kFields) {
        QLineEdit* edit = fieldOf(field.key);
        edit->setText(toQString(settingValue(current, field.key)));
        auto* label = new QLabel(QString::fromUtf8(field.label), this);
        label->setBuddy(edit);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        edit->setToolTip(QStringLiteral("Klucz %1 w sekcji [%2]")
                             .arg(toQString(settingKeyName(field.key)))
                             .arg(toQString(kSettingsSection)));
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        if (field.key == SettingKey::KodOddzialuNFZ) grid->addWidget(lblOddzialNFZ, row, 2);
        if (field.key == SettingKey::KodWojew) grid->addWidget(lblWojewodztwo, row, 2);
        auto* explanation = new QLabel(QString::fromUtf8(field.explanation), this);
        explanation->setWordWrap(true);
        explanation->setStyleSheet(QStringLiteral("color: palette(dark);"));
        grid->addWidget(explanation, row + 1, 1, 1, 2);
        grid->setRowMinimumHeight(row + 2, 6);
        row += 3;
    }
    grid->setColumnStretch(2, 1);

    btnZapisz = makeActionButton(QStringLiteral("&Zapisz"), {}, this);
    btnZapisz->setObjectName(QStringLiteral("btnZapisz"));
    btnZapisz->setDefault(true);
    btnAnuluj = makeActionButton(QStringLiteral("&Anuluj"), {}, this);
    btnAnuluj->setObjectName(QStringLiteral("btnAnuluj"));
    btnAnuluj->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnZapisz);
    buttons->addWidget(btnAnuluj);

    QVBoxLayout* body = layOutUnderCaption(this, caption);
    body->addWidget(lblPlik);
    body->addSpacing(6);
    body->addLayout(grid);
    body->addStretch();
    body->addLayout(buttons);

    const auto showNames = [this] {
        lblOddzialNFZ->setText(nfzBranchName(edtOddzialNFZ->text()));
        lblWojewodztwo->setText(
            voivodeshipName(toQString(normalizeKodWojew(edtKodWoj->text().toStdString()))));
    };
    connect(edtOddzialNFZ, &QLineEdit::textChanged, this, showNames);
    connect(edtKodWoj, &QLineEdit::textChanged, this, showNames);
    showNames();
    connect(btnZapisz, &QPushButton::clicked, this, &SettingsDialog::btnZapiszClick);
    connect(btnAnuluj, &QPushButton::clicked, this, &QDialog::reject);

    // As tall as the wrapped explanations need at this width, whatever the
    // screen's size (left to itself the window guesses a width of its own).
    constexpr int kWidth = 620;
    setMinimumWidth(kWidth);
    if (const int height = layout()->totalHeightForWidth(kWidth); height > 0)
        resize(kWidth, height);
}

QLineEdit* SettingsDialog::fieldOf(SettingKey key) const {
    switch (key) {
    case SettingKey::KodOddzialuNFZ:
        return edtOddzialNFZ;
    case SettingKey::KodWojew:
        return edtKodWoj;
    case SettingKey::NrInstalacji:
        return edtNrInstalacji;
    case SettingKey::KodSwiadcz:
        break;
    }
    return edtKodSwiadcz;
}

void SettingsDialog::btnZapiszClick() {
    GlobalVar candidate = settings_;
    for (const Field& field : kFields)
        settingValue(candidate, field.key) = fieldOf(field.key)->text().trimmed().toStdString();
    candidate.KodWojew = normalizeKodWojew(candidate.KodWojew);

    QStringList problems;
    QLineEdit* firstWrong = nullptr;
    for (const Field& field : kFields) {
        const std::string problem = checkSetting(field.key, settingValue(candidate, field.key));
        if (problem.empty()) continue;
        problems << toQString(problem);
        if (!firstWrong) firstWrong = fieldOf(field.key);
    }
    if (firstWrong) {
        MessageBoxes::show(this, MessageKind::Error, problems.join(QStringLiteral("\r\n\r\n")));
        firstWrong->setFocus();
        firstWrong->selectAll();
        return;
    }

    if (const std::error_code error = saveSettings(iniFile_, candidate)) {
        MessageBoxes::show(this, MessageKind::Error,
                           QStringLiteral("Nie można zapisać ustawień w pliku:\r\n") +
                               QDir::toNativeSeparators(QString::fromStdString(iniFile_.string())) +
                               QStringLiteral("\r\n(") +
                               QString::fromStdString(describeFileError(error)) +
                               QStringLiteral(")"));
        return;
    }
    settings_ = std::move(candidate);
    accept();
}

} // namespace xls2qdp
