// SPDX-License-Identifier: MIT
// Files made to cost endless time or memory end with their outcome: cut
// texts, a reported damage, or a message for what is no file. The time and
// memory each takes are measured by bench/hostile_workbooks.sh.
#include "common/TextEncoding.h"
#include "import/sheets/CellLimits.h"
#include "import/sheets/WorkbookReader.h"
#include "import/sheets/testing/HostileWorkbooks.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

TEST(HostileWorkbooksTest, EachEndsWithItsOutcome) {
    test::ScratchFolder folder;
    for (const auto& c : test::makeHostileWorkbooks(folder.path(), 6u << 20)) {
        SCOPED_TRACE(c.name);
        std::string failure;
        long long rows = 0;
        bool cut = false, missing = false;
        std::size_t longest = 0;
        try {
            auto reader = OpenWorkbookReader(c.file, 38);
            SheetRow row;
            while (reader->nextRow(row)) {
                ++rows;
                for (const CellValue& cell : row.cells) {
                    cut |= cell.problem == CellProblem::TextCut;
                    missing |= cell.problem == CellProblem::NoSuchSharedString;
                    longest = std::max(longest, utf8Length(cell.text));
                }
            }
        } catch (const WorkbookError& error) {
            failure = error.reason();
        }
        if (c.failure.empty()) {
            EXPECT_EQ(failure, "");
        } else {
            EXPECT_THAT(failure, testing::HasSubstr(c.failure));
        }
        EXPECT_EQ(cut, c.textCut);
        EXPECT_EQ(missing, c.missingString);
        if (c.rows >= 0) {
            EXPECT_EQ(rows, c.rows);
        }
        EXPECT_LE(longest, kMaxCellCharacters);
    }
}

} // namespace
} // namespace xls2qdp
