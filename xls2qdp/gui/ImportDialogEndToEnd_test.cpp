// SPDX-License-Identifier: MIT
// The import dialog over the real readers, table store and package layer.
#include "ChooserEdit.h"
#include "FileChoosers.h"
#include "MessageBoxes.h"
#include "dlgImportXLS.h"
#include "engine/DefaultImportServices.h"
#include "engine/testing/PackageSections.h"
#include "engine/testing/TestInstall.h"
#include "import/store/WorkingTable.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;
using testing::readSection;
using testing::sourceDir;
using testing::TestInstall;

// The real services, whose workbooks hold at one sheet row until the test
// lets them go on.
class HeldServices : public DefaultImportServices, public WorkbookSource {
public:
    HeldServices(const ImportLocations& locations, const GlobalVar& settings, int holdAtRow,
                 std::atomic<bool>& holding, std::atomic<bool>& release)
        : DefaultImportServices(locations, settings), holdAtRow_(holdAtRow), holding_(holding),
          release_(release) {}
    WorkbookSource& workbooks() override { return *this; }
    std::unique_ptr<OpenWorkbook> open(const fs::path& file) override {
        return std::make_unique<HeldWorkbook>(DefaultImportServices::workbooks().open(file), *this);
    }

private:
    struct HeldWorkbook : OpenWorkbook {
        HeldWorkbook(std::unique_ptr<OpenWorkbook> real, HeldServices& services)
            : real(std::move(real)), services(services) {}
        HeaderCheck checkHeader() override { return real->checkHeader(); }
        RowsBelowEnd rowsBelowEnd() override { return real->rowsBelowEnd(); }
        const DeclarationRow* nextRow() override {
            const DeclarationRow* row = real->nextRow();
            if (row && row->sheetRow == services.holdAtRow_) {
                services.holding_ = true;
                while (!services.release_)
                    QThread::msleep(1);
            }
            return row;
        }
        std::unique_ptr<OpenWorkbook> real;
        HeldServices& services;
    };

    int holdAtRow_;
    std::atomic<bool>& holding_;
    std::atomic<bool>& release_;
};

class ImportDialogEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_.NrInstalacji = "77";
        settings_.KodSwiadcz = "000000012345";
        settings_.KodOddzialuNFZ = "06";
        settings_.KodWojew = "12";
        settings_.ProgramDir = install_.programDir.string() + "/";
        MessageBoxes::takeRecorded();
        const ImportLocations locations{install_.programDir, install_.programDir};
        dialog_ = std::make_unique<Tdlg_ImportXLS>(
            nullptr, settings_, locations, [this, locations](const GlobalVar& settings) {
                return std::make_unique<HeldServices>(locations, settings, holdAtRow_, holding_,
                                                      release_);
            });
        ASSERT_TRUE(dialog_->openModal());
        QApplication::setActiveWindow(dialog_.get());
    }
    void TearDown() override {
        release_ = true;
        dialog_.reset();
    }
    static fs::path fixture(const char* name) {
        return sourceDir() / "xls2qdp/import/sheets/testdata" / name;
    }
    void choose(const fs::path& workbook) {
        FileChoosers::answerNext(QString::fromStdString(workbook.string()));
        dialog_->edtXLSFileName->browse();
        dialog_->edtKatalog->setText(QString::fromStdString(install_.outDir.string()));
    }
    bool runImport() {
        QSignalSpy finished(dialog_.get(), &Tdlg_ImportXLS::importFinished);
        QTest::keyClick(dialog_.get(), Qt::Key_F9);
        return finished.count() == 1 || finished.wait(30000);
    }
    std::vector<QString> messages() {
        std::vector<QString> texts;
        for (const auto& shown : MessageBoxes::takeRecorded())
            texts.push_back(shown.text);
        return texts;
    }
    std::int64_t workingTableRows() {
        store::WorkingTable table;
        table.open(install_.programDir / kWorkingTableFile);
        return table.rowCount();
    }
    std::vector<fs::path> packages() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(install_.outDir))
            files.push_back(entry);
        return files;
    }

    TestInstall install_{"dialog-e2e"};
    GlobalVar settings_;
    int holdAtRow_ = 0;
    std::atomic<bool> holding_{false};
    std::atomic<bool> release_{false};
    std::unique_ptr<Tdlg_ImportXLS> dialog_;
};

// The package checks read packages back with the package reader's dump tool.
#define REQUIRE_QDPDUMP()                                                                          \
    if (!fs::exists(testing::buildBinDir() / "qdpdump")) GTEST_SKIP() << "qdpdump not built"

TEST_F(ImportDialogEndToEndTest, ASuccessfulImportWritesAValidPackageAndCloses) {
    REQUIRE_QDPDUMP();
    choose(fixture("declarations.xlsx"));
    ASSERT_TRUE(runImport());
    ASSERT_EQ(packages().size(), 1u);
    const fs::path package = packages().front();
    EXPECT_THAT(messages(),
                ::testing::ElementsAre(
                    QStringLiteral("Import zakończony, deklaracje zotsły zapisane w pliku:\r\n") +
                    QString::fromStdString(package.string())));
    EXPECT_EQ(dialog_->LabelArkusz->text(),
              QStringLiteral("1. Struktura arkusza MS Excel - prawidłowa"));
    EXPECT_EQ(dialog_->LabelLiczba->text(), QStringLiteral("11")); // the last data row
    EXPECT_EQ(dialog_->LabelQDP->text(), QStringLiteral("3. Zapis danych do pliku QDP: ") +
                                             QString::fromStdString(package.filename().string()));
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(readSection(package, "DEKLARACJE").records.size(), 5u);
    EXPECT_EQ(workingTableRows(), 0);
}

TEST_F(ImportDialogEndToEndTest, AWrongHeaderRowKeepsTheDialogOpen) {
    choose(fixture("header_swapped.ods"));
    ASSERT_TRUE(runImport());
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Format pliku MS Excel jest nieprawidłowy.")));
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(dialog_->btnImportuj->isEnabled());
    EXPECT_TRUE(packages().empty());
}

TEST_F(ImportDialogEndToEndTest, AStoppedRunLeavesNothingAndTheNextStartsAtOne) {
    REQUIRE_QDPDUMP();
    holdAtRow_ = 9;
    choose(fixture("declarations.xlsx"));
    QSignalSpy finished(dialog_.get(), &Tdlg_ImportXLS::importFinished);
    QTest::keyClick(dialog_.get(), Qt::Key_F9);
    QTRY_VERIFY_WITH_TIMEOUT(holding_.load() && dialog_->btnPrzerwij->isVisible(), 30000);
    QTest::mouseClick(dialog_->btnPrzerwij, Qt::LeftButton);
    release_ = true;
    ASSERT_TRUE(finished.count() == 1 || finished.wait(30000));
    EXPECT_THAT(messages(),
                ::testing::ElementsAre(QStringLiteral("Import przerwany przez użytkownika")));
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_TRUE(packages().empty());
    EXPECT_EQ(workingTableRows(), 0);

    // The second run in the same dialog numbers its declarations from 1 again.
    holdAtRow_ = 0;
    ASSERT_TRUE(runImport());
    ASSERT_EQ(packages().size(), 1u);
    const auto deklaracje = readSection(packages().front(), "DEKLARACJE");
    ASSERT_EQ(deklaracje.records.size(), 5u);
    EXPECT_EQ(deklaracje.value(0, "KOD_DEKLARACJI"), "1");
    EXPECT_EQ(deklaracje.value(4, "KOD_DEKLARACJI"), "5");
}

} // namespace
} // namespace xls2qdp
