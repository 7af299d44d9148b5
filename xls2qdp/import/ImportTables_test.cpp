// SPDX-License-Identifier: MIT
#include "ImportTables.h"

#include "testing/DictionaryFixture.h"
#include "testing/ScratchFolder.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

class ImportTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeFixtureCommunes(folder / "sl_gminy.db");
        testing::writeFixtureCities(folder / "sl_miejscowosci.db");
        store::WorkingTable::create(folder / "xls_imp.db");
    }

    static DeclarationRow row(int sheetRow, const char* surname) {
        DeclarationRow r;
        r.sheetRow = sheetRow;
        r.cells[0] = "LP";
        r.cells[2] = surname;
        r.cells[16] = "Gierałtów"; // Q
        r.cells[20] = "Gródek";    // U
        return r;
    }

    std::int64_t rowsInFile() {
        store::WorkingTable other;
        other.open(folder / "xls_imp.db");
        return other.rowCount();
    }

    testing::ScratchFolder folder;
    ImportTables tables{folder.path(), folder.path()};
};

TEST_F(ImportTablesTest, OneRunFromEmptyToEmpty) {
    ASSERT_TRUE(tables.emptyWorkTable()) << tables.lastError();
    tables.openWorkTable();
    ASSERT_EQ(tables.openDictionaries(false).status, DictionaryStatus::Opened);
    tables.startRows({"123456789", "07"}, testing::kFixtureVoivodeship);
    tables.WriteDeclarationRow(row(7, "Nowak"));
    tables.WriteDeclarationRow(row(8, "Kowalska"));
    tables.finishRows();
    EXPECT_EQ(tables.declarationCount(), 2);
    EXPECT_EQ(rowsInFile(), 2);

    auto& cursor = tables.workingTable();
    ASSERT_TRUE(cursor.first());
    EXPECT_EQ(cursor.text("NAZWISKO"), "Nowak");
    EXPECT_EQ(cursor.text("KOD_MIASTA_PAC_ST"), "0000801");
    ASSERT_TRUE(cursor.next());
    EXPECT_EQ(cursor.text("LID_DEKL"), "2");
    EXPECT_FALSE(cursor.next());

    tables.closeTables();
    ASSERT_TRUE(tables.emptyWorkTable());
    EXPECT_EQ(rowsInFile(), 0);
}

TEST_F(ImportTablesTest, AStoppedRunLeavesNoRows) {
    tables.openWorkTable();
    ASSERT_EQ(tables.openDictionaries(true).status, DictionaryStatus::Opened);
    tables.startRows({"123456789", "07"}, testing::kFixtureVoivodeship);
    tables.WriteDeclarationRow(row(7, "Nowak"));
    tables.closeTables();
    EXPECT_EQ(rowsInFile(), 0);
    EXPECT_EQ(tables.report().count(ReportKind::CityDictionaryMissing), 1u);
}

TEST_F(ImportTablesTest, EmptyingFailsWhileAnotherRunHoldsTheTable) {
    store::WorkingTable other;
    other.open(folder / "xls_imp.db", store::WorkingTable::Access::Exclusive);
    EXPECT_FALSE(tables.emptyWorkTable());
    EXPECT_FALSE(tables.lastError().empty());
}

TEST_F(ImportTablesTest, ReportsWhichDictionaryCannotBeOpened) {
    std::filesystem::remove(folder / "sl_miejscowosci.db");
    const auto opened = tables.openDictionaries(false);
    EXPECT_EQ(opened.status, DictionaryStatus::AccessError);
    EXPECT_EQ(opened.tableName, "sl_miejscowosci.db");
    EXPECT_FALSE(opened.errorText.empty());
    EXPECT_EQ(tables.openDictionaries(true).status, DictionaryStatus::Opened);
}

} // namespace
} // namespace xls2qdp
