// SPDX-License-Identifier: MIT
#include "dlgImportXLS.h"

#include "ChooserEdit.h"
#include "FormControls.h"
#include "GradientCaption.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>

namespace xls2qdp {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString stageText(ImportStage stage) {
    return toQString(stageLabel(stage));
}

} // namespace

// The run's front end. The workflow calls it on the worker thread; every call
// that touches the window is carried over to the user-interface thread, and
// messages and questions wait there for the user's answer.
class Tdlg_ImportXLS::FrontEnd : public ImportFrontEnd, public MessageSink {
public:
    explicit FrontEnd(Tdlg_ImportXLS& dialog) : m_dialog(dialog) {}

    MessageSink& messages() override { return *this; }

    void show(MessageKind kind, std::string_view text) override {
        const QString message = toQString(text);
        onWindowThread([this, kind, message] { MessageBoxes::show(&m_dialog, kind, message); },
                       true);
    }
    bool askYesNo(std::string_view question) override {
        const QString text = toQString(question);
        bool answer = false;
        onWindowThread([&] { answer = MessageBoxes::askYesNo(&m_dialog, text); }, true);
        return answer;
    }
    bool abortRequested() override { return m_dialog.m_abort.load(); }

    void conditionsMet(const std::string& folder) override {
        const QString text = toQString(folder);
        onWindowThread([this, text] { m_dialog.edtKatalog->setText(text); });
    }
    void stageStarted(ImportStage stage) override {
        onWindowThread([this, stage] {
            switch (stage) {
            case ImportStage::SheetStructure:
                m_dialog.LabelArkusz->setText(stageText(stage));
                m_dialog.LabelArkusz->show();
                break;
            case ImportStage::ReadingRows:
                m_dialog.LabelPrzetworzono->show();
                m_dialog.LabelLiczba->show();
                break;
            case ImportStage::WritingPackage:
                m_dialog.LabelQDP->setText(stageText(stage));
                m_dialog.LabelQDP->show();
                break;
            }
        });
    }
    void sheetStructureAccepted() override {
        onWindowThread([this] {
            m_dialog.LabelArkusz->setText(stageText(ImportStage::SheetStructure) +
                                          toQString(kHeaderRowAccepted));
            m_dialog.LabelLiczba->setText(QStringLiteral("0"));
        });
    }
    void sheetRowReached(int row) override {
        onWindowThread([this, row] { m_dialog.LabelLiczba->setText(QString::number(row)); });
    }
    void readingStarted() override {
        onWindowThread([this] {
            m_dialog.setInputsEnabled(false);
            m_dialog.btnPrzerwij->show();
            m_dialog.btnPrzerwij->setEnabled(true);
        });
    }
    void runFinished() override {
        onWindowThread([this] { m_dialog.onRunFinished(); });
    }
    void packageWritten(std::string_view fileName) override {
        const QString name = toQString(fileName);
        onWindowThread([this, name] {
            m_dialog.LabelQDP->setText(m_dialog.LabelQDP->text() + QStringLiteral(": ") + name);
        });
    }
    void focusField(ImportField field) override {
        onWindowThread([this, field] {
            (field == ImportField::WorkbookFile ? m_dialog.edtXLSFileName : m_dialog.edtKatalog)
                ->setFocus();
        });
    }

private:
    template <typename Function>
    void onWindowThread(Function function, bool wait = false) {
        if (QThread::currentThread() == m_dialog.thread())
            function();
        else
            QMetaObject::invokeMethod(&m_dialog, std::move(function),
                                      wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
    }

    Tdlg_ImportXLS& m_dialog;
};

Tdlg_ImportXLS::Tdlg_ImportXLS(QWidget* owner, const GlobalVar& settings,
                               const ImportLocations& locations, ImportServicesFactory services)
    : FormEnh(owner), m_settings(settings), m_locations(locations),
      m_servicesFactory(std::move(services)), m_frontEnd(std::make_unique<FrontEnd>(*this)) {
    setObjectName(QStringLiteral("dlg_ImportXLS"));
    setWindowTitle(QStringLiteral("Import deklaracji z arkusza MS Excel"));
    setFixedSize(520, 450);
    QFont boldFont = font();
    boldFont.setBold(true);
    setFont(boldFont);

    caption = new GradientCaption(windowTitle(), this);

    edtKodSwiadcz = makeReadOnlyField(this);
    edtKodSwiadcz->setObjectName(QStringLiteral("edtKodSwiadcz"));
    edtNrInstalacji = makeReadOnlyField(this);
    edtNrInstalacji->setObjectName(QStringLiteral("edtNrInstalacji"));
    edtOddzialNFZ = makeReadOnlyField(this);
    edtOddzialNFZ->setObjectName(QStringLiteral("edtOddzialNFZ"));
    edtKodWoj = makeReadOnlyField(this);
    edtKodWoj->setObjectName(QStringLiteral("edtKodWoj"));
    auto* settingsBox = new QGroupBox(this);
    auto* settingsForm = new QFormLayout(settingsBox);
    settingsForm->addRow(QStringLiteral("Kod świadczeniodawcy:"), edtKodSwiadcz);
    settingsForm->addRow(QStringLiteral("Nr instalacji:"), edtNrInstalacji);
    settingsForm->addRow(QStringLiteral("Oddział NFZ pacjenta:"), edtOddzialNFZ);
    settingsForm->addRow(QStringLiteral("Kod województwa:"), edtKodWoj);

    edtXLSFileName = new ChooserEdit(ChooserEdit::Kind::OpenFile, this);
    edtXLSFileName->setObjectName(QStringLiteral("edtXLSFileName"));
    edtXLSFileName->setDialogTitle(QStringLiteral("Wskaż plik źródłowy"));
    edtXLSFileName->setFilter(QStringLiteral("Plik MS Excel (*.xls);;"
                                             "Plik MS Excel 2007 i nowszy (*.xlsx);;"
                                             "Arkusz OpenDocument (*.ods);;"
                                             "Plik CSV (*.csv);;"
                                             "Wszystkie arkusze (*.xls *.xlsx *.ods *.csv)"));
    edtXLSFileName->setDefaultSuffix(QStringLiteral("xls"));
    edtXLSFileName->setInitialDir(QDir::homePath());
    auto* fileLabel = new QLabel(
        QStringLiteral("Wskaż plik MS Excel, z którego zostaną zaimportowane dane:"), this);
    fileLabel->setBuddy(edtXLSFileName);

    edtKatalog = new ChooserEdit(ChooserEdit::Kind::Folder, this);
    edtKatalog->setObjectName(QStringLiteral("edtKatalog"));
    edtKatalog->setDialogTitle(QStringLiteral("Wskaż docelowy katalog eksportu"));
    edtKatalog->setInitialDir(QDir::homePath());
    auto* folderLabel = new QLabel(
        QStringLiteral("Wskaż miejsce gdzie umieścić plik QDP z wczytanymi deklaracjami:"), this);
    folderLabel->setBuddy(edtKatalog);

    LabelArkusz = new QLabel(stageText(ImportStage::SheetStructure), this);
    LabelArkusz->setObjectName(QStringLiteral("LabelArkusz"));
    LabelPrzetworzono = new QLabel(stageText(ImportStage::ReadingRows), this);
    LabelPrzetworzono->setObjectName(QStringLiteral("LabelPrzetworzono"));
    LabelLiczba = new QLabel(this);
    LabelLiczba->setObjectName(QStringLiteral("LabelLiczba"));
    LabelQDP = new QLabel(stageText(ImportStage::WritingPackage), this);
    LabelQDP->setObjectName(QStringLiteral("LabelQDP"));

    btnImportuj = makeActionButton(QStringLiteral("Importuj (F9)"), QKeySequence(Qt::Key_F9), this);
    btnImportuj->setObjectName(QStringLiteral("btnImportuj"));
    btnPrzerwij = makeActionButton(QStringLiteral("&Przerwij"), {}, this);
    btnPrzerwij->setObjectName(QStringLiteral("btnPrzerwij"));
    btnZamknij = makeActionButton(QStringLiteral("Zamknij (F10)"), QKeySequence(Qt::Key_F10), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setToolTip(QStringLiteral(" Zamknij "));
    btnZamknij->setStatusTip(QStringLiteral(" Zamknięcie okna "));
    btnImportuj->setAutoDefault(false);
    btnPrzerwij->setAutoDefault(false);
    btnZamknij->setAutoDefault(false);

    auto* progress = new QVBoxLayout;
    progress->addWidget(LabelArkusz);
    auto* rows = new QHBoxLayout;
    rows->setSpacing(0);
    rows->addWidget(LabelPrzetworzono);
    rows->addWidget(LabelLiczba);
    rows->addStretch();
    progress->addLayout(rows);
    progress->addWidget(LabelQDP);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnImportuj);
    buttons->addWidget(btnPrzerwij);
    buttons->addStretch();
    buttons->addWidget(btnZamknij);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 12);
    body->addWidget(settingsBox);
    body->addWidget(fileLabel);
    body->addWidget(edtXLSFileName);
    body->addWidget(folderLabel);
    body->addWidget(edtKatalog);
    body->addSpacing(6);
    body->addLayout(progress);
    body->addStretch();
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addLayout(body);

    btnPrzerwij->hide();
    btnPrzerwij->setEnabled(false);
    btnImportuj->setEnabled(false);

    connect(edtXLSFileName, &ChooserEdit::textChanged, this, &Tdlg_ImportXLS::FilenameEditChange);
    connect(btnImportuj, &QPushButton::clicked, this, &Tdlg_ImportXLS::btnImportujClick);
    connect(btnPrzerwij, &QPushButton::clicked, this, &Tdlg_ImportXLS::btnPrzerwijClick);
    connect(btnZamknij, &QPushButton::clicked, this, &Tdlg_ImportXLS::reject);
}

Tdlg_ImportXLS::~Tdlg_ImportXLS() {
    if (m_worker) {
        // Only reached when the owner goes away mid-run: stop after the current row.
        m_abort = true;
        m_worker->wait();
    }
}

void Tdlg_ImportXLS::FormEnhSetVariables() {
    setInitialMode(FormMode::Add);
}

bool Tdlg_ImportXLS::FormEnhPrepareForm() {
    edtKodWoj->setText(QString::fromStdString(m_settings.KodWojew));
    edtKodSwiadcz->setText(QString::fromStdString(m_settings.KodSwiadcz));
    edtNrInstalacji->setText(QString::fromStdString(m_settings.NrInstalacji));
    edtOddzialNFZ->setText(QString::fromStdString(m_settings.KodOddzialuNFZ));
    LabelQDP->hide();
    LabelArkusz->hide();
    LabelLiczba->clear();
    LabelLiczba->hide();
    LabelPrzetworzono->hide();
    m_abort = false;
    // The readers render dates in the program's own format, so the user's
    // system date settings are left as they are.
    return true;
}

void Tdlg_ImportXLS::FormEnhChangeModeAdd() {
    btnImportuj->setEnabled(true);
}

void Tdlg_ImportXLS::FilenameEditChange(const QString& text) {
    if (text.trimmed().isEmpty() || !edtKatalog->text().isEmpty()) return;
    edtKatalog->setText(
        QDir::toNativeSeparators(QFileInfo(text).absolutePath() + QLatin1Char('/')));
}

void Tdlg_ImportXLS::setInputsEnabled(bool enabled) {
    btnImportuj->setEnabled(enabled);
    btnZamknij->setEnabled(enabled);
    edtXLSFileName->setEnabled(enabled);
    edtKatalog->setEnabled(enabled);
    if (enabled)
        unsetCursor();
    else
        setCursor(Qt::WaitCursor);
}

void Tdlg_ImportXLS::btnImportujClick() {
    if (m_running) return;
    btnImportuj->setEnabled(false);
    m_running = true;
    m_abort = false;
    m_outcome = ImportOutcome();
    try {
        m_services = m_servicesFactory(m_settings);
    } catch (const std::exception& error) {
        MessageBoxes::show(this, MessageKind::Error, QString::fromUtf8(error.what()));
        m_running = false;
        btnImportuj->setEnabled(true);
        return;
    }

    const ImportRequest request{edtXLSFileName->text().toStdString(),
                                edtKatalog->text().toStdString()};
    m_worker = QThread::create([this, request] {
        ImportWorkflow workflow(m_locations, *m_services);
        m_outcome = workflow.run(request, *m_frontEnd);
    });
    connect(m_worker, &QThread::finished, this, &Tdlg_ImportXLS::onWorkerDone);
    m_worker->start();
}

void Tdlg_ImportXLS::btnPrzerwijClick() {
    m_abort = true;
}

void Tdlg_ImportXLS::onRunFinished() {
    setInputsEnabled(true);
    btnPrzerwij->hide();
    btnPrzerwij->setEnabled(false);
}

void Tdlg_ImportXLS::onWorkerDone() {
    m_worker->wait();
    m_worker->deleteLater();
    m_worker = nullptr;
    m_services.reset();
    m_running = false;
    btnImportuj->setEnabled(true);
    emit importFinished();
    if (m_outcome.succeeded()) accept();
}

void Tdlg_ImportXLS::reject() {
    if (m_running) return; // the run ends first; only Przerwij works meanwhile
    FormEnh::reject();
}

void Tdlg_ImportXLS::closeEvent(QCloseEvent* event) {
    if (m_running) {
        event->ignore();
        return;
    }
    FormEnh::closeEvent(event);
}

} // namespace xls2qdp
