// SPDX-License-Identifier: MIT
#include "MainForm.h"

#include "DroppedWorkbook.h"
#include "HQT_About.h"
#include "MessageBoxes.h"
#include "ProgramArtwork.h"
#include "SettingsDialog.h"
#include "common/Startup.h"
#include "dlgImportXLS.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

namespace xls2qdp {

namespace {
constexpr QSize kClientSize(502, 368);

constexpr const char* kSettingsOffer =
    "Czy otworzyć okno „Ustawienia” i wpisać dane świadczeniodawcy teraz?\r\n"
    "Odpowiedź „Nie” kończy działanie programu.";
} // namespace

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
    image->setPixmap(mainWindowArtwork(kClientSize, image->devicePixelRatioF()));
    setCentralWidget(image);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    lblWersja = new QLabel(QStringLiteral("v. -- -- --"), image);
    lblWersja->setObjectName(QStringLiteral("lblWersja"));
    lblWersja->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblWersja->setAttribute(Qt::WA_TranslucentBackground);
    lblWersja->setStyleSheet(QStringLiteral("color: navy; background: transparent;"));
    placeVersionLabel();

    menSystem = menuBar()->addMenu(QStringLiteral("&System"));
    menSystem->setObjectName(QStringLiteral("menSystem"));
    MenuItemImportzPlikuXLS = menSystem->addAction(QStringLiteral("Import z pliku XLS"));
    MenuItemImportzPlikuXLS->setObjectName(QStringLiteral("MenuItemImportzPlikuXLS"));
    menUstawienia = menSystem->addAction(QStringLiteral("Ustawienia…"));
    menUstawienia->setObjectName(QStringLiteral("menUstawienia"));
    menSystem->addSeparator();
    menWyjscie = menSystem->addAction(QStringLiteral("Wyjście z programu"));
    menWyjscie->setObjectName(QStringLiteral("menWyjscie"));
    menPomoc = menuBar()->addMenu(QStringLiteral("Po&moc"));
    menPomoc->setObjectName(QStringLiteral("menPomoc"));
    menAbout = menPomoc->addAction(QStringLiteral("O programie"));
    menAbout->setObjectName(QStringLiteral("menAbout"));
    connect(MenuItemImportzPlikuXLS, &QAction::triggered, this,
            &TfrmMainForm::MenuItemImportzPlikuXLSClick);
    connect(menUstawienia, &QAction::triggered, this, &TfrmMainForm::menUstawieniaClick);
    connect(menWyjscie, &QAction::triggered, this, &TfrmMainForm::menWyjscieClick);
    setAcceptDrops(true);
    connect(menAbout, &QAction::triggered, this, &TfrmMainForm::menAboutClick);

    FormCreate();
}

TfrmMainForm::~TfrmMainForm() = default;

void TfrmMainForm::FormCreate() {
    MessageBoxSink messages(nullptr); // the window is not shown yet
    StartupResult startup =
        runStartup(locations_.iniFile, locations_.programDir, messages, locations_.sampleIniFile);
    while (startup.terminate && startup.settingsProblem && offerSettings(startup.settings))
        startup = runStartup(locations_.iniFile, locations_.programDir, messages,
                             locations_.sampleIniFile);
    settings_ = std::move(startup.settings);
    info_ = std::move(startup.info);
    version_ = std::move(startup.version);
    terminate_ = startup.terminate;
}

bool TfrmMainForm::offerSettings(const GlobalVar& read) {
    if (!MessageBoxes::askYesNo(nullptr, QString::fromUtf8(kSettingsOffer))) return false;
    SettingsDialog dialog(nullptr, locations_.iniFile, read);
    return dialog.showModal() == QDialog::Accepted;
}

void TfrmMainForm::placeVersionLabel() {
    // In the bottom-right corner, below the artwork's caption, as large as
    // its text in the screen's font.
    const QSize text = lblWersja->sizeHint();
    const int width = std::max(200, text.width());
    lblWersja->setGeometry(kClientSize.width() - 8 - width,
                           kClientSize.height() - 4 - text.height(), width, text.height());
}

void TfrmMainForm::showEvent(QShowEvent* event) {
    lblWersja->setText(QString::fromStdString(versionLabelText(version_)));
    placeVersionLabel();
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
    openImport({});
}

void TfrmMainForm::openImport(const QString& workbook) {
    Tdlg_ImportXLS dialog(this, settings_, {locations_.workingTableDir, locations_.dictionaryDir},
                          services_);
    if (!workbook.isEmpty()) dialog.useWorkbook(workbook);
    dialog.showModal();
}

void TfrmMainForm::menUstawieniaClick() {
    SettingsDialog dialog(this, locations_.iniFile, settings_);
    if (dialog.showModal() == QDialog::Accepted) settings_ = dialog.settings();
}

void TfrmMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedWorkbook(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmMainForm::dropEvent(QDropEvent* event) {
    const QString workbook = droppedWorkbook(event->mimeData());
    if (workbook.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Once the drop is over: the dialog runs its own modal loop.
    QMetaObject::invokeMethod(
        this, [this, workbook] { openImport(workbook); }, Qt::QueuedConnection);
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
