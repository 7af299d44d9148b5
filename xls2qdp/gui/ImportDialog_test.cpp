// SPDX-License-Identifier: MIT
// The import dialog over services that stand in for the readers, the table
// store and the package layer.
#include "ChooserEdit.h"
#include "GradientCaption.h"
#include "MessageBoxes.h"
#include "common/ProgramLocations.h"
#include "declarations/InMemoryWorkingTable.h"
#include "dlgImportXLS.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

// Counts rows into a shared table; can hold the reading at one row until released.
struct SharedState {
    std::atomic<int> holdAtRow{0};
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::atomic<int> tableRows{0};
    int sheetRows = 12;
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
        HeaderCheck checkHeader() override { return {}; }
        bool nextRow(DeclarationRow& row) override {
            if (next == state.holdAtRow) {
                state.holding = true;
                while (!state.release)
                    QThread::msleep(1);
            }
            if (next >= 7 + state.sheetRows) return false;
            row.sheetRow = next++;
            return true;
        }
        SharedState& state;
        int next = 7;
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
        dialog_ = std::make_unique<Tdlg_ImportXLS>(
            nullptr, settings_, ImportLocations{root_ / "program", root_ / "program"},
            [this](const GlobalVar&) { return std::make_unique<StandInServices>(state_); });
        ASSERT_TRUE(dialog_->openModal());
    }
    void TearDown() override {
        state_.release = true;
        dialog_.reset();
        fs::remove_all(root_);
    }
    void chooseWorkbook(const fs::path& file) {
        ChooserEdit::answerNextChooser(QString::fromStdString(file.string()));
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
    EXPECT_TRUE(d.edtXLSFileName->filter().startsWith(QStringLiteral("Plik MS Excel (*.xls)")));
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
    const QString file = QString::fromStdString((root_ / "data" / "dTEST0001.qdp").string());
    EXPECT_THAT(
        messages(),
        ::testing::ElementsAre(
            QStringLiteral("Import zakończony, deklaracje zotsły zapisane w pliku:\r\n") + file));
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

} // namespace
} // namespace xls2qdp
