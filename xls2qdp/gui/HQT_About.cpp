// SPDX-License-Identifier: MIT
#include "HQT_About.h"

#include "MessageBoxes.h"
#include "ProgramArtwork.h"
#include "ToQString.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace xls2qdp {

Tdlg_HQT_About_1::Tdlg_HQT_About_1(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("dlg_HQT_About_1"));
    // A dialog border without border icons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("pnlLogo"));
    logo->setPixmap(programLogo(120));
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    logo->setFrameShape(QFrame::Panel);
    logo->setFrameShadow(QFrame::Sunken);

    const auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        return label;
    };
    lbl_Produkt = makeLabel("lbl_Produkt");
    QFont productFont = lbl_Produkt->font();
    productFont.setBold(true);
    productFont.setPointSizeF(productFont.pointSizeF() * 1.3);
    lbl_Produkt->setFont(productFont);
    lbl_WersjaSystemuModulu = makeLabel("lbl_WersjaSystemuModulu");
    lbl_WersjaSystemu = makeLabel("lbl_WersjaSystemu");
    lbl_NazwaModulu = makeLabel("lbl_NazwaModulu");
    lbl_WersjaModulu = makeLabel("lbl_WersjaModulu");
    mem_OpisWersji = new QPlainTextEdit(this);
    mem_OpisWersji->setObjectName(QStringLiteral("mem_OpisWersji"));
    mem_OpisWersji->setReadOnly(true);
    mem_OpisWersji->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    btn_Exit = new QPushButton(QStringLiteral("Wyjście"), this);
    btn_Exit->setObjectName(QStringLiteral("btn_Exit"));
    btn_Exit->setDefault(true);
    btn_TechHelp = new QPushButton(QStringLiteral("Pomoc Techniczna"), this);
    btn_TechHelp->setObjectName(QStringLiteral("btn_TechHelp"));

    // FormCreate: every text starts empty.
    for (QLabel* label : {lbl_Produkt, lbl_WersjaSystemuModulu, lbl_WersjaSystemu, lbl_NazwaModulu,
                          lbl_WersjaModulu})
        label->clear();
    mem_OpisWersji->clear();

    auto* texts = new QVBoxLayout;
    texts->addWidget(lbl_Produkt);
    texts->addWidget(lbl_WersjaSystemu);
    texts->addWidget(lbl_WersjaSystemuModulu);
    texts->addSpacing(8);
    texts->addWidget(lbl_NazwaModulu);
    texts->addWidget(lbl_WersjaModulu);
    texts->addWidget(mem_OpisWersji, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_TechHelp);
    buttons->addWidget(btn_Exit);
    texts->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(logo);
    layout->addLayout(texts, 1);
    resize(460, 280);

    connect(btn_Exit, &QPushButton::clicked, this, &Tdlg_HQT_About_1::btn_ExitClick);
    connect(btn_TechHelp, &QPushButton::clicked, this, &Tdlg_HQT_About_1::btn_TechHelpClick);
}

void Tdlg_HQT_About_1::showEvent(QShowEvent* event) {
    setWindowTitle(toQString(info.programName) + QStringLiteral(" - Informacje "));
    const AboutTexts texts = info.BuildAboutTexts(version);
    lbl_Produkt->setText(toQString(texts.product));
    lbl_WersjaSystemu->setText(toQString(texts.system));
    lbl_WersjaSystemuModulu->setText(toQString(texts.localVersion));
    lbl_NazwaModulu->setText(toQString(texts.moduleName));
    lbl_WersjaModulu->setText(toQString(texts.module));
    mem_OpisWersji->setPlainText(toQString(texts.description));
    btn_TechHelp->setVisible(!QString::fromStdString(info.helpFileName).trimmed().isEmpty());
    btn_Exit->setFocus();
    QDialog::showEvent(event);
}

void Tdlg_HQT_About_1::btn_ExitClick() {
    close();
}

void Tdlg_HQT_About_1::btn_TechHelpClick() {
    MessageBoxSink sink(this);
    info.setMessageSink(&sink);
    const std::string helpFile = info.ShowTechHelp(true);
    info.setMessageSink(nullptr);
    if (!helpFile.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(helpFile)));
}

TdlgHQTAbout::TdlgHQTAbout(QWidget* owner) : Tdlg_HQT_About_1(owner) {
    setObjectName(QStringLiteral("dlgHQTAbout"));
    setWindowTitle(QStringLiteral("O Programie"));
}

} // namespace xls2qdp
