// SPDX-License-Identifier: MIT
#include "MainForm.h"

#include "HQT_About.h"
#include "MessageBoxes.h"
#include "ProgramArtwork.h"
#include "common/Startup.h"
#include "dlgImportXLS.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

namespace xls2qdp {

namespace {
constexpr QSize kClientSize(502, 368);
}

TfrmMainForm::TfrmMainForm(const ProgramLocations& locations, ImportServicesFactory services)
    : locations_(locations), services_(std::move(services)) {
    setObjectName(QStringLiteral("frmMainForm"));
    setWindowTitle(QStringLiteral("Import danych z pliku XLS"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont boldFont = font();
    boldFont.setBold(true);
    setFont(boldFont);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setFixedSize(kClientSize);
    image->setPixmap(mainWindowArtwork(kClientSize));
    setCentralWidget(image);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    lblWersja = new QLabel(QStringLiteral("v. -- -- --"), image);
    lblWersja->setObjectName(QStringLiteral("lblWersja"));
    lblWersja->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblWersja->setAttribute(Qt::WA_TranslucentBackground);
    lblWersja->setStyleSheet(QStringLiteral("color: navy; background: transparent;"));
    lblWersja->setGeometry(kClientSize.width() - 208, kClientSize.height() - 24, 200, 20);

    menSystem = menuBar()->addMenu(QStringLiteral("&System"));
    menSystem->setObjectName(QStringLiteral("menSystem"));
    MenuItemImportzPlikuXLS = menSystem->addAction(QStringLiteral("Import z pliku XLS"));
    MenuItemImportzPlikuXLS->setObjectName(QStringLiteral("MenuItemImportzPlikuXLS"));
    menSystem->addSeparator();
    menWyjscie = menSystem->addAction(QStringLiteral("Wyjście z programu"));
    menWyjscie->setObjectName(QStringLiteral("menWyjscie"));
    menPomoc = menuBar()->addMenu(QStringLiteral("Po&moc"));
    menPomoc->setObjectName(QStringLiteral("menPomoc"));
    menAbout = menPomoc->addAction(QStringLiteral("O programie"));
    menAbout->setObjectName(QStringLiteral("menAbout"));
    connect(MenuItemImportzPlikuXLS, &QAction::triggered, this,
            &TfrmMainForm::MenuItemImportzPlikuXLSClick);
    connect(menWyjscie, &QAction::triggered, this, &TfrmMainForm::menWyjscieClick);
    connect(menAbout, &QAction::triggered, this, &TfrmMainForm::menAboutClick);

    FormCreate();
}

TfrmMainForm::~TfrmMainForm() = default;

void TfrmMainForm::FormCreate() {
    MessageBoxSink messages(nullptr); // the window is not shown yet
    StartupResult startup =
        runStartup(locations_.iniFile, locations_.programDir, messages, locations_.sampleIniFile);
    settings_ = std::move(startup.settings);
    info_ = std::move(startup.info);
    version_ = std::move(startup.version);
    terminate_ = startup.terminate;
}

void TfrmMainForm::showEvent(QShowEvent* event) {
    lblWersja->setText(QString::fromStdString(versionLabelText(version_)));
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && !centred_) {
        move(screen->availableGeometry().center() - rect().center());
        centred_ = true;
    }
    QMainWindow::showEvent(event);
}

void TfrmMainForm::closeEvent(QCloseEvent* event) {
    if (MessageBoxes::askYesNo(this, QStringLiteral("Czy napewno chcesz zakończyć działanie "
                                                    "programu (T/N)?")))
        event->accept();
    else
        event->ignore();
}

void TfrmMainForm::MenuItemImportzPlikuXLSClick() {
    Tdlg_ImportXLS dialog(this, settings_, {locations_.workingTableDir, locations_.dictionaryDir},
                          services_);
    dialog.showModal();
}

void TfrmMainForm::menAboutClick() {
    TdlgHQTAbout about(this);
    about.info = info_;
    about.version = version_;
    about.exec();
}

void TfrmMainForm::menWyjscieClick() {
    close();
}

} // namespace xls2qdp
