// SPDX-License-Identifier: MIT
// The import dialog and the summary that follows a run, over services that
// stand in for the readers, the table store and the package layer.
#include "ChooserEdit.h"
#include "DesktopLinks.h"
#include "FileChoosers.h"
#include "GradientCaption.h"
#include "ImportSummaryDialog.h"
#include "MessageBoxes.h"
#include "RemarksDialog.h"
#include "ReportTableModel.h"
#include "common/ProgramLocations.h"
#include "declarations/InMemoryWorkingTable.h"
#include "dlgImportXLS.h"
#include "import/conversion/ImportReport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

// Counts rows into a shared table; can hold the reading at one row until released.
struct SharedState {
    std::atomic<int> holdAtRow{0};
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    enum class Step { None, HeaderCheck, PackageSave };
    std::atomic<Step> holdIn{Step::None}; // a step of stage 1 or 3 that waits for release
    std::atomic<int> tableRows{0};
    int sheetRows = 12;
    int packageResult = 1;     // what saving the package gives
    RowsBelowEnd rowsBelowEnd; // filled rows under the blank one
    // The run's import report, filled by the test before the run.
    std::shared_ptr<ImportReport> report = std::make_shared<ImportReport>();

    void waitIn(Step step) {
        while (holdIn == step && !release) {
            holding = true;
            QThread::msleep(1);
        }
    }
};

class StandInServices : public ImportServices,
                        public WorkbookSource,
                        public DeclarationStore,
                        public PackageBuilder {
public:
    explicit StandInServices(SharedState& state) : state_(state) {}
    WorkbookSource& workbooks() override { return *this; }
    DeclarationStore& declarations() override { return *this; }
    PackageBuilder& packages() override { return *this; }
    const ImportReport* importReport() const override { return state_.report.get(); }
    std::vector<RemarkCount> remarks() const override {
        std::vector<RemarkCount> counts;
        for (std::size_t k = 0; k < kReportKindCount; ++k)
            if (const std::size_t n = state_.report->count(static_cast<ReportKind>(k)))
                counts.push_back({std::string(describe(static_cast<ReportKind>(k))), n});
        return counts;
    }

    std::unique_ptr<OpenWorkbook> open(const fs::path&) override {
        return std::make_unique<Workbook>(state_);
    }
    std::unique_ptr<DeclarationRun> open(std::string&) override {
        state_.tableRows = 0;
        return std::make_unique<Run>(state_);
    }
    std::optional<fs::path> newFileName(const std::string& folder, const std::string& prefix,
                                        MessageSink&) override {
        return fs::path(folder + prefix + "TEST0001.qdp");
    }
    std::unique_ptr<PreparedPackage> prepare(WorkingTableCursor&) override {
        return std::make_unique<Package>(state_);
    }

private:
    struct Workbook : OpenWorkbook {
        explicit Workbook(SharedState& state) : state(state) {}
        HeaderCheck checkHeader() override {
            state.waitIn(SharedState::Step::HeaderCheck);
            return {};
        }
        RowsBelowEnd rowsBelowEnd() override { return state.rowsBelowEnd; }
        const DeclarationRow* nextRow() override {
            if (next == state.holdAtRow) {
                state.holding = true;
                while (!state.release)
                    QThread::msleep(1);
            }
            if (next >= 7 + state.sheetRows) return nullptr;
            row.sheetRow = next++;
            return &row;
        }
        SharedState& state;
        int next = 7;
        DeclarationRow row;
    };
    struct Run : DeclarationRun {
        explicit Run(SharedState& state) : state(state) {}
        ~Run() override { state.tableRows = 0; }
        DictionaryProblem openDictionaries(bool) override { return {}; }
        bool append(const DeclarationRow&) override {
            ++state.tableRows;
            return true;
        }
        WorkingTableCursor& commit() override { return table; }
        SharedState& state;
        InMemoryWorkingTable table{{}};
    };
    struct Package : PreparedPackage {
        explicit Package(SharedState& state) : state(state) {}
        int save(const fs::path& output, const std::string&, MessageSink&) override {
            state.waitIn(SharedState::Step::PackageSave);
            if (state.packageResult != 1) return state.packageResult;
            std::ofstream(output) << state.tableRows;
            return 1;
        }
        SharedState& state;
    };

    SharedState& state_;
};

class ImportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("xls2qdp-dialog-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "program");
        fs::create_directories(root_ / "data");
        for (const char* file : {kWorkingTableFile, kCommuneDictionaryFile, kCityDictionaryFile})
            std::ofstream(root_ / "program" / file) << "";
        std::ofstream(root_ / "data" / "sheet.xls") << "";
        settings_.NrInstalacji = "77";
        settings_.KodSwiadcz = "123";
        settings_.KodOddzialuNFZ = "07";
        settings_.KodWojew = "02";
        MessageBoxes::takeRecorded();
        QSettings().remove(QStringLiteral("Folders"));
        dialog_ = std::make_unique<Tdlg_ImportXLS>(
            nullptr, settings_, ImportLocations{root_ / "program", root_ / "program"},
            [this](const GlobalVar&) { return std::make_unique<StandInServices>(state_); });
        ASSERT_TRUE(dialog_->openModal());
    }
    void TearDown() override {
        state_.release = true;
        closeSummary();
        dialog_.reset();
        DesktopLinks::setOpener({});
        fs::remove_all(root_);
    }
    void chooseWorkbook(const fs::path& file) {
        FileChoosers::answerNext(QString::fromStdString(file.string()));
        dialog_->edtXLSFileName->browse();
    }
    // F9 as the user presses it.
    void pressF9() {
        QApplication::setActiveWindow(dialog_.get());
        QTest::keyClick(dialog_.get(), Qt::Key_F9);
    }
    bool runImport() {
        QSignalSpy finished(dialog_.get(), &Tdlg_ImportXLS::importFinished);
        pressF9();
        return finished.wait(10000) || finished.count() == 1;
    }
    // Closes the summary of the last run as its Zamknij button does.
    void closeSummary() {
        if (!dialog_ || !dialog_->summaryWindow()) return;
        dialog_->summaryWindow()->btnZamknij->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A report entry about one cell of a sheet row.
    void addRemark(int row, const char* column, const char* value, ReportKind kind) {
        ReportEntry entry(row, column, value, kind, "uwaga " + std::to_string(row));
        entry.surname = "Nowak";
        entry.pesel = "02070803628";
        entry.header = "Miasto";
        state_.report->add(entry);
    }
    // The stand-in's package and the program's final message naming it.
    QString packageFile() const {
        return QString::fromStdString((root_ / "data" / "dTEST0001.qdp").string());
    }
    QString successMessage() const {
        return QStringLiteral("Import zakończony, deklaracje zotsły zapisane w pliku:\r\n") +
               packageFile();
    }
    std::vector<QString> messages() {
        std::vector<QString> texts;
        for (const auto& shown : MessageBoxes::takeRecorded())
            texts.push_back(shown.text);
        return texts;
    }

    fs::path root_;
    GlobalVar settings_;
    SharedState state_;
    std::unique_ptr<Tdlg_ImportXLS> dialog_;
};

TEST_F(ImportDialogTest, ShowsItsControlsAsLaidOut) {
    auto& d = *dialog_;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Import deklaracji z arkusza MS Excel"));
    EXPECT_EQ(d.caption->text(), d.windowTitle());
    EXPECT_EQ(d.size(), QSize(520, 450));
    EXPECT_TRUE(d.font().bold());
    EXPECT_EQ(d.edtKodSwiadcz->text(), QStringLiteral("123"));
    EXPECT_EQ(d.edtNrInstalacji->text(), QStringLiteral("77"));
    EXPECT_EQ(d.edtOddzialNFZ->text(), QStringLiteral("07"));
    EXPECT_EQ(d.edtKodWoj->text(), QStringLiteral("02"));
    for (QLineEdit* field : {d.edtKodSwiadcz, d.edtNrInstalacji, d.edtOddzialNFZ, d.edtKodWoj}) {
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_FALSE(field->isEnabled());
    }
    EXPECT_TRUE(d.edtXLSFileName->lineEdit()->isReadOnly());
    EXPECT_TRUE(d.edtKatalog->lineEdit()->isReadOnly());
    EXPECT_EQ(d.edtXLSFileName->dialogTitle(), QStringLiteral("Wskaż plik źródłowy"));
    EXPECT_EQ(d.edtXLSFileName->defaultSuffix(), QStringLiteral("xls"));
    EXPECT_EQ(d.edtKatalog->dialogTitle(), QStringLiteral("Wskaż docelowy katalog eksportu"));

    EXPECT_EQ(d.btnImportuj->text(), QStringLiteral("Importuj (F9)"));
    EXPECT_EQ(d.btnImportuj->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_TRUE(d.btnImportuj->isEnabled()); // the add mode enables it
    EXPECT_EQ(d.btnPrzerwij->text(), QStringLiteral("&Przerwij"));
    EXPECT_TRUE(d.btnPrzerwij->isHidden());
    EXPECT_EQ(d.btnZamknij->text(), QStringLiteral("Zamknij (F10)"));
    EXPECT_EQ(d.btnZamknij->shortcut(), QKeySequence(Qt::Key_F10));
    EXPECT_EQ(d.btnZamknij->toolTip(), QStringLiteral(" Zamknij "));
    EXPECT_EQ(d.btnZamknij->statusTip(), QStringLiteral(" Zamknięcie okna "));
    for (QLabel* label : {d.LabelArkusz, d.LabelPrzetworzono, d.LabelLiczba, d.LabelQDP})
        EXPECT_TRUE(label->isHidden());
}

TEST_F(ImportDialogTest, ChoosingAWorkbookFillsOnlyAnEmptyFolderField) {
    chooseWorkbook(root_ / "data" / "sheet.xls");
    EXPECT_EQ(dialog_->edtKatalog->text(),
              QString::fromStdString((root_ / "data").string()) + QStringLiteral("/"));
    dialog_->edtKatalog->setText(QStringLiteral("/elsewhere/"));
    chooseWorkbook(root_ / "program" / "other.xls");
    EXPECT_EQ(dialog_->edtKatalog->text(), QStringLiteral("/elsewhere/"));
}

TEST_F(ImportDialogTest, ASuccessfulRunShowsTheStagesAndCloses) {
    chooseWorkbook(root_ / "data" / "sheet.xls");
    ASSERT_TRUE(runImport());
    EXPECT_THAT(messages(), ::testing::ElementsAre(successMessage()));
    EXPECT_EQ(dialog_->LabelArkusz->text(),
              QStringLiteral("1. Struktura arkusza MS Excel - prawidłowa"));
    EXPECT_EQ(dialog_->LabelLiczba->text(), QStringLiteral("18"));
    EXPECT_EQ(dialog_->LabelQDP->text(),
              QStringLiteral("3. Zapis danych do pliku QDP: dTEST0001.qdp"));
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_TRUE(fs::exists(root_ / "data" / "dTEST0001.qdp"));
}

TEST_F(ImportDialogTest, FailedChecksKeepTheDialogOpen) {
    const struct {
        fs::path workbook;
        QString folder;
        QString message;
    } cases[] = {
        {root_ / "data" / "missing.xls", {}, QStringLiteral("Wskazany plik XLS nieistnieje !")},
        {root_ / "data" / "sheet.xls", QString::fromStdString((root_ / "nowhere").string()),
         QStringLiteral("Wskazany katalog nieistnieje !")},
    };
    for (const auto& c : cases) {
        dialog_->edtKatalog->setText(c.folder);
        chooseWorkbook(c.workbook);
        ASSERT_TRUE(runImport());
        EXPECT_THAT(messages(), ::testing::ElementsAre(c.message));
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_TRUE(dialog_->btnImportuj->isEnabled());
        EXPECT_TRUE(dialog_->btnZamknij->isEnabled());
    }
}

TEST_F(ImportDialogTest, PrzerwijStopsTheRunAfterTheCurrentRow) {
    state_.holdAtRow = 11;
    chooseWorkbook(root_ / "data" / "sheet.xls");
    QSignalSpy finished(dialog_.get(), &Tdlg_ImportXLS::importFinished);
    pressF9();
    QTRY_VERIFY_WITH_TIMEOUT(state_.holding.load() && dialog_->btnPrzerwij->isVisible(), 10000);
    EXPECT_TRUE(dialog_->btnPrzerwij->isEnabled());
    EXPECT_FALSE(dialog_->btnImportuj->isEnabled());
    EXPECT_FALSE(dialog_->btnZamknij->isEnabled());
    EXPECT_FALSE(dialog_->edtXLSFileName->isEnabled());
    EXPECT_FALSE(dialog_->edtKatalog->isEnabled());
    dialog_->reject(); // closing is refused while rows are read
    EXPECT_TRUE(dialog_->isVisible());

    QTest::mouseClick(dialog_->btnPrzerwij, Qt::LeftButton);
    state_.release = true;
    ASSERT_TRUE(finished.wait(10000) || finished.count() == 1);
    EXPECT_THAT(messages(), ::testing::ElementsAre(QStringLiteral("Import przerwany przez "
                                                                  "użytkownika")));
    EXPECT_EQ(dialog_->lastOutcome().result, ImportResult::Aborted);
    EXPECT_EQ(state_.tableRows, 0);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(dialog_->btnPrzerwij->isHidden());
    EXPECT_TRUE(dialog_->btnImportuj->isEnabled());
    EXPECT_FALSE(fs::exists(root_ / "data" / "dTEST0001.qdp"));
}

// The workbook chooser offers every workbook the import reads at once (the
// .xls filter still there), and both choosers start where the user left off
// the last time, also in a dialog opened later.
TEST_F(ImportDialogTest, TheChoosersOfferEveryWorkbookAndStartWhereTheUserLeftOff) {
    EXPECT_TRUE(dialog_->edtXLSFileName->filter().startsWith(
        QStringLiteral("Arkusze (*.xls *.xlsx *.ods *.csv);;")));
    EXPECT_TRUE(
        dialog_->edtXLSFileName->filter().contains(QStringLiteral(";;Plik MS Excel (*.xls);;")));
    FileChoosers::answerNext({});
    dialog_->edtXLSFileName->browse();
    ASSERT_TRUE(FileChoosers::lastRequest());
    EXPECT_EQ(FileChoosers::lastRequest()->start, QDir::homePath()); // nothing remembered yet

    chooseWorkbook(root_ / "data" / "sheet.xls");
    fs::create_directories(root_ / "out");
    FileChoosers::answerNext(QString::fromStdString((root_ / "out").string()));
    dialog_->edtKatalog->browse();

    Tdlg_ImportXLS later(
        nullptr, settings_, ImportLocations{root_ / "program", root_ / "program"},
        [this](const GlobalVar&) { return std::make_unique<StandInServices>(state_); });
    ASSERT_TRUE(later.openModal());
    FileChoosers::answerNext({});
    later.edtXLSFileName->browse();
    EXPECT_EQ(FileChoosers::lastRequest()->start,
              QString::fromStdString((root_ / "data").string()));
    EXPECT_EQ(FileChoosers::lastRequest()->filter, dialog_->edtXLSFileName->filter());
    FileChoosers::answerNext({});
    later.edtKatalog->browse();
    EXPECT_EQ(FileChoosers::lastRequest()->start, QString::fromStdString((root_ / "out").string()));
    EXPECT_TRUE(later.edtXLSFileName->text().isEmpty()); // only the choosers remember
}

TEST_F(ImportDialogTest, ADroppedWorkbookFillsTheWorkbookField) {
    fs::create_directories(root_ / "data" / "folder");
    std::ofstream(root_ / "data" / "other.ods") << "";
    const auto urls = [this](std::initializer_list<const char*> names) {
        QList<QUrl> list;
        for (const char* name : names)
            list << QUrl::fromLocalFile(QString::fromStdString((root_ / "data" / name).string()));
        return list;
    };
    const struct {
        QList<QUrl> dropped;
        bool taken;
    } cases[] = {
        {urls({"folder"}), false},
        {urls({"sheet.xls", "other.ods"}), false},
        {urls({"missing.xls"}), false},
        {{QUrl(QStringLiteral("https://example.invalid/sheet.xls"))}, false},
        {urls({"other.ods"}), true},
    };
    for (const auto& c : cases) {
        QMimeData data;
        data.setUrls(c.dropped);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(dialog_.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.dropped.constFirst().toString().toStdString();
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog_.get(), &drop);
    }
    EXPECT_EQ(dialog_->edtXLSFileName->text(),
              QString::fromStdString((root_ / "data" / "other.ods").string()));
    EXPECT_EQ(dialog_->edtKatalog->text(),
              QString::fromStdString((root_ / "data").string()) + QStringLiteral("/"));
    FileChoosers::answerNext({});
    dialog_->edtXLSFileName->browse(); // the next chooser starts beside the dropped one
    EXPECT_EQ(FileChoosers::lastRequest()->start,
              QString::fromStdString((root_ / "data").string()));
}

// While the workbook is opened and checked, and while the package is
// written, nothing can stop the run: every input waits for its end, and the
// abort button is not offered.
TEST_F(ImportDialogTest, OutsideTheReadingNothingButTheRunActs) {
    for (const SharedState::Step step :
         {SharedState::Step::HeaderCheck, SharedState::Step::PackageSave}) {
        state_.holdIn = step;
        state_.holding = false;
        state_.release = false;
        dialog_ = std::make_unique<Tdlg_ImportXLS>(
            nullptr, settings_, ImportLocations{root_ / "program", root_ / "program"},
            [this](const GlobalVar&) { return std::make_unique<StandInServices>(state_); });
        ASSERT_TRUE(dialog_->openModal());
        chooseWorkbook(root_ / "data" / "sheet.xls");
        QSignalSpy finished(dialog_.get(), &Tdlg_ImportXLS::importFinished);
        pressF9();
        QLabel* stageLabel =
            step == SharedState::Step::HeaderCheck ? dialog_->LabelArkusz : dialog_->LabelQDP;
        QTRY_VERIFY_WITH_TIMEOUT(state_.holding.load() && stageLabel->isVisible(), 10000);
        EXPECT_TRUE(dialog_->btnPrzerwij->isHidden());
        EXPECT_FALSE(dialog_->btnPrzerwij->isEnabled());
        for (QWidget* input :
             std::initializer_list<QWidget*>{dialog_->btnImportuj, dialog_->btnZamknij,
                                             dialog_->edtXLSFileName, dialog_->edtKatalog})
            EXPECT_FALSE(input->isEnabled()) << input->objectName().toStdString();
        dialog_->reject(); // the window's close box: refused too
        EXPECT_TRUE(dialog_->isVisible());
        state_.release = true;
        ASSERT_TRUE(finished.wait(10000) || finished.count() == 1);
        messages();
        closeSummary();
    }
}

// 100,000 remarks: the summary counts them by kind, the table holds every
// one of them with the texts of its row, and a kind can be shown alone.
TEST_F(ImportDialogTest, ARunWithRemarksShowsItsSummaryAndEveryRemark) {
    constexpr int kRemarks = 100000;
    for (int i = 0; i < kRemarks; ++i)
        addRemark(7 + i / 2, i % 2 ? "Q" : "P", i % 2 ? "Krakw" : "3-47",
                  i % 2 ? ReportKind::CityNotFound : ReportKind::PostalCodeWrongLength);
    state_.rowsBelowEnd = {2, 25};
    chooseWorkbook(root_ / "data" / "sheet.xls");
    ASSERT_TRUE(runImport());
    // The program's own message first, then the dialog closes as before.
    EXPECT_THAT(messages(), ::testing::ElementsAre(successMessage()));
    EXPECT_FALSE(dialog_->isVisible());

    ImportSummaryDialog* summary = dialog_->summaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_TRUE(summary->lblPlik->text().endsWith(packageFile()));
    std::map<QString, QString> counts;
    for (int row = 0; row < summary->frmLiczby->rowCount(); ++row) {
        const auto* label = qobject_cast<QLabel*>(
            summary->frmLiczby->itemAt(row, QFormLayout::LabelRole)->widget());
        const auto* value = qobject_cast<QLabel*>(
            summary->frmLiczby->itemAt(row, QFormLayout::FieldRole)->widget());
        counts[label->text()] = value->text();
    }
    EXPECT_EQ(counts[QStringLiteral("Zapisane deklaracje:")], QStringLiteral("12"));
    EXPECT_EQ(counts[QStringLiteral("Ostatni wiersz danych:")], QStringLiteral("18"));
    EXPECT_EQ(counts[QStringLiteral("Uwagi w raporcie importu:")], QStringLiteral("100000"));
    ASSERT_EQ(summary->lstRodzaje->topLevelItemCount(), 2);
    EXPECT_EQ(summary->lstRodzaje->topLevelItem(1)->text(0),
              QStringLiteral("miejscowości nieznalezione w słowniku"));
    EXPECT_EQ(summary->lstRodzaje->topLevelItem(1)->text(1), QStringLiteral("50000"));
    EXPECT_TRUE(summary->lblOstrzezenia->text().startsWith(QStringLiteral("UWAGA: Wiersz 19 ")));
    EXPECT_TRUE(summary->btnZamknij->isDefault()); // Enter closes it

    summary->btnPokazUwagi->click();
    RemarksDialog* remarks = summary->remarksWindow();
    ASSERT_NE(remarks, nullptr);
    const ReportTableModel& table = *remarks->model();
    ASSERT_EQ(table.rowCount(), kRemarks);
    ASSERT_EQ(table.columnCount(), 8);
    const auto cell = [&](int row, int column) {
        return table.data(table.index(row, column)).toString();
    };
    EXPECT_EQ(table.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Nagłówek"));
    const QStringList last = {
        QStringLiteral("50006"),       QStringLiteral("Q"),
        QStringLiteral("Miasto"),      QStringLiteral("Nowak"),
        QStringLiteral("02070803628"), QStringLiteral("Krakw"),
        QStringLiteral("uwaga 50006"), QString::fromUtf8(advice(ReportKind::CityNotFound).data())};
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(cell(kRemarks - 1, column), last[column]) << column;

    remarks->showKind(ReportKind::PostalCodeWrongLength);
    EXPECT_EQ(table.rowCount(), kRemarks / 2);
    EXPECT_EQ(cell(kRemarks / 2 - 1, 5), QStringLiteral("3-47"));
    remarks->cmbRodzaj->setCurrentIndex(0);
    EXPECT_EQ(table.rowCount(), kRemarks);
}

// "Zapisz raport…" proposes a file beside the package named after the
// workbook, and writes the report's CSV there; a file that cannot be
// written is named in the message.
TEST_F(ImportDialogTest, SavingTheReportWritesItsCsv) {
    addRemark(9, "Q", "Krakw", ReportKind::CityNotFound);
    chooseWorkbook(root_ / "data" / "sheet.xls");
    ASSERT_TRUE(runImport());
    messages();
    ImportSummaryDialog* summary = dialog_->summaryWindow();
    ASSERT_NE(summary, nullptr);

    const fs::path report = root_ / "data" / "raport.csv";
    FileChoosers::answerNext(QString::fromStdString(report.string()));
    summary->btnZapiszRaport->click();
    EXPECT_EQ(FileChoosers::lastRequest()->kind, ChooserRequest::Kind::SaveFile);
    EXPECT_EQ(FileChoosers::lastRequest()->start,
              QString::fromStdString((root_ / "data" / "sheet_raport.csv").string()));
    std::ifstream in(report, std::ios::binary);
    const std::string csv{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::ostringstream expected;
    state_.report->writeCsv(expected);
    EXPECT_EQ(csv, expected.str());
    EXPECT_NE(csv.find("9;Q;Miasto;Nowak;02070803628;Krakw;uwaga 9;"), std::string::npos);

    const fs::path nowhere = root_ / "missing" / "raport.csv";
    FileChoosers::answerNext(QString::fromStdString(nowhere.string()));
    summary->btnPokazUwagi->click(); // the list saves the same report
    summary->remarksWindow()->btnZapiszRaport->click();
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], QStringLiteral("Raport importu zapisano w pliku:\r\n") +
                            QString::fromStdString(report.string()));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Nie można zapisać raportu importu w pliku: ") +
                                    QString::fromStdString(nowhere.string())));
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST_F(ImportDialogTest, OpenFolderAsksTheDesktopForThePackagesFolder) {
    std::vector<QUrl> asked;
    bool desktopAnswers = true;
    DesktopLinks::setOpener([&](const QUrl& url) {
        asked.push_back(url);
        return desktopAnswers;
    });
    chooseWorkbook(root_ / "data" / "sheet.xls");
    ASSERT_TRUE(runImport());
    messages();
    ImportSummaryDialog* summary = dialog_->summaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_FALSE(summary->btnPokazUwagi->isEnabled()); // a run without remarks
    ASSERT_TRUE(summary->btnOtworzFolder->isEnabled());
    summary->btnOtworzFolder->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], QUrl::fromLocalFile(QString::fromStdString((root_ / "data").string())));
    EXPECT_TRUE(messages().empty());

    desktopAnswers = false;
    summary->btnOtworzFolder->click();
    EXPECT_THAT(messages(),
                ::testing::ElementsAre(QStringLiteral("Nie można otworzyć folderu: ") +
                                       QString::fromStdString((root_ / "data").string())));
}

// A run whose package was not written still shows what its rows gave, over
// the dialog, which stays open for another attempt.
TEST_F(ImportDialogTest, AFailedRunWithASummaryShowsItOverTheDialog) {
    state_.packageResult = 5;
    addRemark(9, "Q", "Krakw", ReportKind::CityNotFound);
    chooseWorkbook(root_ / "data" / "sheet.xls");
    ASSERT_TRUE(runImport());
    EXPECT_TRUE(dialog_->isVisible());
    ImportSummaryDialog* summary = dialog_->summaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->parentWidget(), dialog_.get());
    EXPECT_EQ(summary->lblPlik->text(), QStringLiteral("Plik QDP nie został zapisany."));
    EXPECT_FALSE(summary->btnOtworzFolder->isEnabled());
    EXPECT_TRUE(summary->btnZapiszRaport->isEnabled());
    closeSummary();
    EXPECT_EQ(dialog_->summaryWindow(), nullptr);
    EXPECT_TRUE(dialog_->btnImportuj->isEnabled());
}

// The workbook chooser as the user meets it: Qt's own texts in Polish, the
// first filter showing every workbook, in the folder it was asked to start in.
TEST_F(ImportDialogTest, TheFileChooserSpeaksPolish) {
    FileChoosers::answerNext({});
    dialog_->edtXLSFileName->browse();
    ASSERT_TRUE(FileChoosers::lastRequest());
    const auto chooser = FileChoosers::makeDialog(dialog_.get(), *FileChoosers::lastRequest());
    chooser->setOption(QFileDialog::DontUseNativeDialog);
    chooser->show();
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Wskaż plik źródłowy"));
    EXPECT_EQ(chooser->selectedNameFilter(), QStringLiteral("Arkusze (*.xls *.xlsx *.ods *.csv)"));
    EXPECT_EQ(chooser->directory().absolutePath(), QDir::homePath());
    QStringList buttons;
    for (const QPushButton* button : chooser->findChildren<QPushButton*>())
        buttons << button->text();
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Otwórz"))) << buttons.join(u'|').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Anuluj"))) << buttons.join(u'|').toStdString();
    chooser->reject();
}

} // namespace
} // namespace xls2qdp
