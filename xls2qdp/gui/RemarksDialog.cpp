// SPDX-License-Identifier: MIT
#include "RemarksDialog.h"

#include "ReportFile.h"
#include "ReportTableModel.h"
#include "ToQString.h"
#include "common/Text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace xls2qdp {

namespace {

// Widths of the columns in average characters: the view never measures
// its rows, which keeps a long report quick to open.
constexpr int kColumnChars[] = {7, 8, 18, 16, 14, 18, 40, 40};

} // namespace

RemarksDialog::RemarksDialog(QWidget* owner, const ImportReport& report,
                             QString suggestedReportFile)
    : FormEnh(owner), report_(report), suggestedReportFile_(std::move(suggestedReportFile)),
      model_(new ReportTableModel(report, this)) {
    setObjectName(QStringLiteral("dlgUwagiImportu"));
    setWindowTitle(QStringLiteral("Uwagi do importu"));
    setSizeGripEnabled(true);

    cmbRodzaj = new QComboBox(this);
    cmbRodzaj->setObjectName(QStringLiteral("cmbRodzaj"));
    cmbRodzaj->addItem(QStringLiteral("wszystkie uwagi (%1)").arg(report.size()), -1);
    for (std::size_t k = 0; k < kReportKindCount; ++k) {
        const auto kind = static_cast<ReportKind>(k);
        if (report.count(kind) == 0) continue;
        cmbRodzaj->addItem(
            QStringLiteral("%1 (%2)").arg(toQString(describe(kind))).arg(report.count(kind)),
            static_cast<int>(k));
    }
    auto* kindLabel = new QLabel(QStringLiteral("&Pokaż:"), this);
    kindLabel->setBuddy(cmbRodzaj);
    lblLiczba = new QLabel(this);
    lblLiczba->setObjectName(QStringLiteral("lblLiczba"));

    tblUwagi = new QTableView(this);
    tblUwagi->setObjectName(QStringLiteral("tblUwagi"));
    tblUwagi->setModel(model_);
    tblUwagi->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblUwagi->setAlternatingRowColors(true);
    tblUwagi->setWordWrap(false);
    tblUwagi->verticalHeader()->hide();
    tblUwagi->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblUwagi->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblUwagi->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    tblUwagi->horizontalHeader()->setStretchLastSection(true);
    const int charWidth = fontMetrics().averageCharWidth();
    for (int column = 0; column < model_->columnCount(); ++column)
        tblUwagi->setColumnWidth(column, kColumnChars[column] * charWidth + 12);

    btnZapiszRaport = new QPushButton(QStringLiteral("&Zapisz raport…"), this);
    btnZapiszRaport->setObjectName(QStringLiteral("btnZapiszRaport"));
    btnZapiszRaport->setAutoDefault(false);
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(kindLabel);
    top->addWidget(cmbRodzaj, 1);
    top->addWidget(lblLiczba);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnZapiszRaport);
    buttons->addStretch();
    buttons->addWidget(btnZamknij);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tblUwagi, 1);
    layout->addLayout(buttons);
    resize(980, 520);

    connect(cmbRodzaj, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int kind = cmbRodzaj->itemData(index).toInt();
        model_->setKindFilter(kind < 0 ? std::nullopt
                                       : std::optional(static_cast<ReportKind>(kind)));
        updateCount();
    });
    connect(btnZapiszRaport, &QPushButton::clicked, this,
            [this] { saveReportAs(this, report_, suggestedReportFile_); });
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::accept);
    btnZapiszRaport->setEnabled(!report.empty());
    updateCount();
}

void RemarksDialog::showKind(std::optional<ReportKind> kind) {
    const int wanted = kind ? static_cast<int>(*kind) : -1;
    const int index = cmbRodzaj->findData(wanted);
    if (index >= 0) cmbRodzaj->setCurrentIndex(index);
}

void RemarksDialog::updateCount() {
    lblLiczba->setText(
        QString::fromStdString(countedNoun(model_->rowCount(), "pozycja", "pozycje", "pozycji")));
}

} // namespace xls2qdp
