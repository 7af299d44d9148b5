// SPDX-License-Identifier: MIT
// The import dialog over the real readers, table store and package layer.
#include "ChooserEdit.h"
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
        : DefaultImportServices(locations, settings), m_holdAtRow(holdAtRow), m_holding(holding),
          m_release(release) {}
    WorkbookSource& workbooks() override { return *this; }
    std::unique_ptr<OpenWorkbook> open(const fs::path& file) override {
        return std::make_unique<HeldWorkbook>(DefaultImportServices::workbooks().open(file), *this);
    }

private:
    struct HeldWorkbook : OpenWorkbook {
        HeldWorkbook(std::unique_ptr<OpenWorkbook> real, HeldServices& services)
            : real(std::move(real)), services(services) {}
        int checkHeader() override { return real->checkHeader(); }
        bool nextRow(DeclarationRow& row) override {
            const bool more = real->nextRow(row);
            if (more && row.sheetRow == services.m_holdAtRow) {
                services.m_holding = true;
                while (!services.m_release)
                    QThread::msleep(1);
            }
            return more;
        }
        std::unique_ptr<OpenWorkbook> real;
        HeldServices& services;
    };

    int m_holdAtRow;
    std::atomic<bool>& m_holding;
    std::atomic<bool>& m_release;
};

class ImportDialogEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_settings.NrInstalacji = "77";
        m_settings.KodSwiadcz = "000000012345";
        m_settings.KodOddzialuNFZ = "06";
        m_settings.KodWojew = "12";
        m_settings.ProgramDir = m_install.programDir.string() + "/";
        MessageBoxes::takeRecorded();
        const ImportLocations locations{m_install.programDir, m_install.programDir};
        m_dialog = std::make_unique<Tdlg_ImportXLS>(
            nullptr, m_settings, locations, [this, locations](const GlobalVar& settings) {
                return std::make_unique<HeldServices>(locations, settings, m_holdAtRow, m_holding,
                                                      m_release);
            });
        ASSERT_TRUE(m_dialog->openModal());
        QApplication::setActiveWindow(m_dialog.get());
    }
    void TearDown() override {
        m_release = true;
        m_dialog.reset();
    }
    static fs::path fixture(const char* name) {
        return sourceDir() / "xls2qdp/import/sheets/testdata" / name;
    }
    void choose(const fs::path& workbook) {
        ChooserEdit::answerNextChooser(QString::fromStdString(workbook.string()));
        m_dialog->edtXLSFileName->browse();
        m_dialog->edtKatalog->setText(QString::fromStdString(m_install.outDir.string()));
    }
    bool runImport() {
        QSignalSpy finished(m_dialog.get(), &Tdlg_ImportXLS::importFinished);
        QTest::keyClick(m_dialog.get(), Qt::Key_F9);
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
        table.open(m_install.programDir / kWorkingTableFile);
        return table.rowCount();
    }
    std::vector<fs::path> packages() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(m_install.outDir))
            files.push_back(entry);
        return files;
    }

    TestInstall m_install{"dialog-e2e"};
    GlobalVar m_settings;
    int m_holdAtRow = 0;
    std::atomic<bool> m_holding{false};
    std::atomic<bool> m_release{false};
    std::unique_ptr<Tdlg_ImportXLS> m_dialog;
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
    EXPECT_EQ(m_dialog->LabelArkusz->text(),
              QStringLiteral("1. Struktura arkusza MS Excel - prawidłowa"));
    EXPECT_EQ(m_dialog->LabelLiczba->text(), QStringLiteral("11")); // the last data row
    EXPECT_EQ(m_dialog->LabelQDP->text(), QStringLiteral("3. Zapis danych do pliku QDP: ") +
                                              QString::fromStdString(package.filename().string()));
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(readSection(package, "DEKLARACJE").records.size(), 5u);
    EXPECT_EQ(workingTableRows(), 0);
}

TEST_F(ImportDialogEndToEndTest, AWrongHeaderRowKeepsTheDialogOpen) {
    choose(fixture("header_swapped.ods"));
    ASSERT_TRUE(runImport());
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Format pliku MS Excel jest nieprawidłowy.")));
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_TRUE(m_dialog->btnImportuj->isEnabled());
    EXPECT_TRUE(packages().empty());
}

TEST_F(ImportDialogEndToEndTest, AStoppedRunLeavesNothingAndTheNextStartsAtOne) {
    REQUIRE_QDPDUMP();
    m_holdAtRow = 9;
    choose(fixture("declarations.xlsx"));
    QSignalSpy finished(m_dialog.get(), &Tdlg_ImportXLS::importFinished);
    QTest::keyClick(m_dialog.get(), Qt::Key_F9);
    QTRY_VERIFY_WITH_TIMEOUT(m_holding.load() && m_dialog->btnPrzerwij->isVisible(), 30000);
    QTest::mouseClick(m_dialog->btnPrzerwij, Qt::LeftButton);
    m_release = true;
    ASSERT_TRUE(finished.count() == 1 || finished.wait(30000));
    EXPECT_THAT(messages(),
                ::testing::ElementsAre(QStringLiteral("Import przerwany przez użytkownika")));
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_TRUE(packages().empty());
    EXPECT_EQ(workingTableRows(), 0);

    // The second run in the same dialog numbers its declarations from 1 again.
    m_holdAtRow = 0;
    ASSERT_TRUE(runImport());
    ASSERT_EQ(packages().size(), 1u);
    const auto deklaracje = readSection(packages().front(), "DEKLARACJE");
    ASSERT_EQ(deklaracje.records.size(), 5u);
    EXPECT_EQ(deklaracje.value(0, "KOD_DEKLARACJI"), "1");
    EXPECT_EQ(deklaracje.value(4, "KOD_DEKLARACJI"), "5");
}

} // namespace
} // namespace xls2qdp
