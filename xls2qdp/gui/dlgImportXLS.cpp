// SPDX-License-Identifier: MIT
#include "dlgImportXLS.h"

#include "ChooserEdit.h"
#include "DroppedWorkbook.h"
#include "FormControls.h"
#include "GradientCaption.h"
#include "ImportSummaryDialog.h"
#include "MessageBoxes.h"
#include "RememberedFolders.h"
#include "ToQString.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>

namespace xls2qdp {

namespace {

QString stageText(ImportStage stage) {
    return toQString(stageLabel(stage));
}

} // namespace

// The run's front end. The workflow calls it on the worker thread; every call
// that touches the window is carried over to the user-interface thread, and
// messages and questions wait there for the user's answer.
class Tdlg_ImportXLS::FrontEnd : public ImportFrontEnd, public MessageSink {
public:
    explicit FrontEnd(Tdlg_ImportXLS& dialog) : dialog_(dialog) {}

    MessageSink& messages() override { return *this; }

    void show(MessageKind kind, std::string_view text) override {
        const QString message = toQString(text);
        onWindowThread([this, kind, message] { MessageBoxes::show(&dialog_, kind, message); },
                       true);
    }
    bool askYesNo(std::string_view question) override {
        const QString text = toQString(question);
        bool answer = false;
        onWindowThread([&] { answer = MessageBoxes::askYesNo(&dialog_, text); }, true);
        return answer;
    }
    bool abortRequested() override { return dialog_.abort_.load(); }

    void conditionsMet(const std::string& folder) override {
        const QString text = toQString(folder);
        onWindowThread([this, text] {
            dialog_.edtKatalog->setText(text);
            // From here to the cleanup the fields belong to the run.
            dialog_.setInputsEnabled(false);
        });
    }
    void stageStarted(ImportStage stage) override {
        onWindowThread([this, stage] {
            switch (stage) {
            case ImportStage::SheetStructure:
                dialog_.LabelArkusz->setText(stageText(stage));
                dialog_.LabelArkusz->show();
                break;
            case ImportStage::ReadingRows:
                dialog_.LabelPrzetworzono->show();
                dialog_.LabelLiczba->show();
                break;
            case ImportStage::WritingPackage:
                dialog_.LabelQDP->setText(stageText(stage));
                dialog_.LabelQDP->show();
                // The package is built as a whole: nothing can stop it now.
                dialog_.btnPrzerwij->hide();
                dialog_.btnPrzerwij->setEnabled(false);
                break;
            }
        });
    }
    void sheetStructureAccepted() override {
        onWindowThread([this] {
            dialog_.LabelArkusz->setText(stageText(ImportStage::SheetStructure) +
                                         toQString(kHeaderRowAccepted));
            dialog_.LabelLiczba->setText(QStringLiteral("0"));
        });
    }
    void sheetRowReached(int row) override {
        onWindowThread([this, row] { dialog_.LabelLiczba->setText(QString::number(row)); });
    }
    void readingStarted() override {
        onWindowThread([this] {
            dialog_.setInputsEnabled(false);
            dialog_.btnPrzerwij->show();
            dialog_.btnPrzerwij->setEnabled(true);
        });
    }
    void runFinished() override {
        onWindowThread([this] { dialog_.onRunFinished(); });
    }
    void packageWritten(std::string_view fileName) override {
        const QString name = toQString(fileName);
        onWindowThread([this, name] {
            dialog_.LabelQDP->setText(dialog_.LabelQDP->text() + QStringLiteral(": ") + name);
        });
    }
    void focusField(ImportField field) override {
        onWindowThread([this, field] {
            (field == ImportField::WorkbookFile ? dialog_.edtXLSFileName : dialog_.edtKatalog)
                ->setFocus();
        });
    }

private:
    template <typename Function>
    void onWindowThread(Function function, bool wait = false) {
        if (QThread::currentThread() == dialog_.thread())
            function();
        else
            QMetaObject::invokeMethod(&dialog_, std::move(function),
                                      wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
    }

    Tdlg_ImportXLS& dialog_;
};

Tdlg_ImportXLS::Tdlg_ImportXLS(QWidget* owner, const GlobalVar& settings,
                               const ImportLocations& locations, ImportServicesFactory services)
    : FormEnh(owner), settings_(settings), locations_(locations),
      servicesFactory_(std::move(services)), frontEnd_(std::make_unique<FrontEnd>(*this)) {
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
    // Every workbook the import reads is seen at once; the single kinds follow.
    edtXLSFileName->setFilter(QStringLiteral("Arkusze (*.xls *.xlsx *.ods *.csv);;"
                                             "Plik MS Excel (*.xls);;"
                                             "Plik MS Excel 2007 i nowszy (*.xlsx);;"
                                             "Arkusz OpenDocument (*.ods);;"
                                             "Plik CSV (*.csv);;"
                                             "Wszystkie pliki (*)"));
    edtXLSFileName->setDefaultSuffix(QStringLiteral("xls"));
    auto* fileLabel = new QLabel(
        QStringLiteral("Wskaż plik MS Excel, z którego zostaną zaimportowane dane:"), this);
    fileLabel->setBuddy(edtXLSFileName);

    edtKatalog = new ChooserEdit(ChooserEdit::Kind::Folder, this);
    edtKatalog->setObjectName(QStringLiteral("edtKatalog"));
    edtKatalog->setDialogTitle(QStringLiteral("Wskaż docelowy katalog eksportu"));
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

    QVBoxLayout* body = layOutUnderCaption(this, caption);
    body->addWidget(settingsBox);
    body->addWidget(fileLabel);
    body->addWidget(edtXLSFileName);
    body->addWidget(folderLabel);
    body->addWidget(edtKatalog);
    body->addSpacing(6);
    body->addLayout(progress);
    body->addStretch();
    body->addLayout(buttons);

    btnPrzerwij->hide();
    btnPrzerwij->setEnabled(false);
    btnImportuj->setEnabled(false);

    setAcceptDrops(true);
    connect(edtXLSFileName, &ChooserEdit::textChanged, this, &Tdlg_ImportXLS::FilenameEditChange);
    connect(edtXLSFileName, &ChooserEdit::chosen, this, &rememberWorkbook);
    connect(edtKatalog, &ChooserEdit::chosen, this, &rememberTargetFolder);
    connect(btnImportuj, &QPushButton::clicked, this, &Tdlg_ImportXLS::btnImportujClick);
    connect(btnPrzerwij, &QPushButton::clicked, this, &Tdlg_ImportXLS::btnPrzerwijClick);
    connect(btnZamknij, &QPushButton::clicked, this, &Tdlg_ImportXLS::reject);
}

Tdlg_ImportXLS::~Tdlg_ImportXLS() {
    if (worker_) {
        // Only reached when the owner goes away mid-run: stop after the current row.
        abort_ = true;
        worker_->wait();
    }
}

void Tdlg_ImportXLS::FormEnhSetVariables() {
    setInitialMode(FormMode::Add);
}

bool Tdlg_ImportXLS::FormEnhPrepareForm() {
    edtKodWoj->setText(QString::fromStdString(settings_.KodWojew));
    edtKodSwiadcz->setText(QString::fromStdString(settings_.KodSwiadcz));
    edtNrInstalacji->setText(QString::fromStdString(settings_.NrInstalacji));
    edtOddzialNFZ->setText(QString::fromStdString(settings_.KodOddzialuNFZ));
    LabelQDP->hide();
    LabelArkusz->hide();
    LabelLiczba->clear();
    LabelLiczba->hide();
    LabelPrzetworzono->hide();
    abort_ = false;
    // The choosers start where the user left off the last time.
    edtXLSFileName->setInitialDir(lastWorkbookFolder());
    const QString target = lastTargetFolder();
    edtKatalog->setInitialDir(target.isEmpty() ? QDir::homePath() : target);
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

void Tdlg_ImportXLS::useWorkbook(const QString& file) {
    edtXLSFileName->setText(file);
    rememberWorkbook(file);
}

void Tdlg_ImportXLS::dragEnterEvent(QDragEnterEvent* event) {
    if (!running_ && !droppedWorkbook(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Tdlg_ImportXLS::dropEvent(QDropEvent* event) {
    const QString file = droppedWorkbook(event->mimeData());
    if (running_ || file.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    useWorkbook(file);
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
    if (running_) return;
    // Closing waits for the run, so its button rests with Import; the fields
    // stay open for the checks, which put the focus on the one to correct.
    btnImportuj->setEnabled(false);
    btnZamknij->setEnabled(false);
    running_ = true;
    abort_ = false;
    outcome_ = ImportOutcome();
    try {
        services_ = servicesFactory_(settings_);
    } catch (const std::exception& error) {
        MessageBoxes::show(this, MessageKind::Error, QString::fromUtf8(error.what()));
        running_ = false;
        btnImportuj->setEnabled(true);
        btnZamknij->setEnabled(true);
        return;
    }

    request_ = {edtXLSFileName->text().toStdString(), edtKatalog->text().toStdString()};
    worker_ = QThread::create([this, request = request_] {
        ImportWorkflow workflow(locations_, *services_);
        outcome_ = workflow.run(request, *frontEnd_);
    });
    connect(worker_, &QThread::finished, this, &Tdlg_ImportXLS::onWorkerDone);
    worker_->start();
}

void Tdlg_ImportXLS::btnPrzerwijClick() {
    abort_ = true;
}

void Tdlg_ImportXLS::onRunFinished() {
    setInputsEnabled(true);
    btnPrzerwij->hide();
    btnPrzerwij->setEnabled(false);
}

void Tdlg_ImportXLS::onWorkerDone() {
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    running_ = false;
    btnImportuj->setEnabled(true);
    if (outcome_.succeeded()) rememberTargetFolder(QString::fromStdString(request_.targetFolder));
    emit importFinished();
    // After the run's own final message; the summary keeps the services
    // for their report.
    if (outcome_.hasSummary) showSummary();
    services_.reset();
    if (outcome_.succeeded()) accept();
}

ImportSummaryDialog* Tdlg_ImportXLS::summaryWindow() const {
    return summary_;
}

void Tdlg_ImportXLS::showSummary() {
    // After a success the dialog closes: the summary stays over its owner.
    QWidget* owner = outcome_.succeeded() ? parentWidget() : this;
    auto* summary = new ImportSummaryDialog(owner, outcome_, request_, std::move(services_));
    summary->setAttribute(Qt::WA_DeleteOnClose);
    summary_ = summary;
    summary->openModal();
}

void Tdlg_ImportXLS::reject() {
    if (running_) return; // the run ends first; only Przerwij works meanwhile
    FormEnh::reject();
}

void Tdlg_ImportXLS::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    FormEnh::closeEvent(event);
}

} // namespace xls2qdp
