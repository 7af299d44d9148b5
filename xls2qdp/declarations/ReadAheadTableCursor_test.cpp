// SPDX-License-Identifier: MIT
#include "declarations/ReadAheadTableCursor.h"

#include "declarations/InMemoryWorkingTable.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace xls2qdp {
namespace {

// Enough rows for several batches, the last one partly filled.
constexpr int kRows = static_cast<int>(ReadAheadTableCursor::kBatchRows * 5 + 17);
constexpr std::string_view kFields[] = {"NAZWISKO", "DATA_UR", "NAZWISKO", "FLAGA"};

InMemoryWorkingTable sampleTable() {
    InMemoryWorkingTable table({"NAZWISKO", "DATA_UR", "FLAGA", "INNE"});
    for (int i = 0; i < kRows; ++i)
        table.addRow({{"NAZWISKO", "N" + std::to_string(i)},
                      {"DATA_UR", i % 3 ? "05-03-19" + std::to_string(10 + i % 90) : ""},
                      {"FLAGA", i % 7 ? "" : "T"},
                      {"INNE", "x"}});
    return table;
}

// Every row of a pass as the cursor shows it, one line per row.
std::vector<std::string> walk(WorkingTableCursor& cursor, bool more) {
    std::vector<std::string> seen;
    for (; more; more = cursor.next()) {
        const auto date = cursor.date("DATA_UR");
        seen.push_back(
            std::to_string(cursor.rowKey()) + "|" + cursor.text("NAZWISKO").value_or("-") + "|" +
            cursor.text("DATA_UR").value_or("-") + "|" + (date ? std::to_string(date->year) : "-") +
            "|" + cursor.text("FLAGA").value_or("-"));
    }
    EXPECT_TRUE(cursor.atEnd());
    return seen;
}

TEST(ReadAheadTableCursor, APassGivesWhatTheTableGivesRowForRow) {
    InMemoryWorkingTable direct = sampleTable();
    InMemoryWorkingTable behind = sampleTable();
    ReadAheadTableCursor ahead(behind);

    const auto expected = walk(direct, direct.firstReading(kFields));
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(kRows));
    EXPECT_EQ(walk(ahead, ahead.firstReading(kFields)), expected);

    // Chosen rows, in the order given; keys without a row are passed over.
    const std::vector<WorkingTableCursor::RowKey> chosen = {3, 0, kRows - 1, kRows + 5, 200};
    EXPECT_EQ(walk(ahead, ahead.firstReadingRows(kFields, chosen)),
              walk(direct, direct.firstReadingRows(kFields, chosen)));
    EXPECT_EQ(walk(ahead, ahead.firstReadingRows(kFields, {})), std::vector<std::string>{});

    // A pass of every field goes to the table itself.
    ASSERT_TRUE(ahead.first());
    EXPECT_EQ(ahead.text("INNE"), "x");
}

TEST(ReadAheadTableCursor, AFieldThePassDoesNotNameIsAProgrammingError) {
    InMemoryWorkingTable table = sampleTable();
    ReadAheadTableCursor ahead(table);
    ASSERT_TRUE(ahead.firstReading(kFields));
    EXPECT_THROW((void)ahead.text("INNE"), std::logic_error);
    constexpr std::string_view kUnknown[] = {"NAZWISKO", "NO_SUCH_FIELD"};
    EXPECT_THROW((void)ahead.firstReading(kUnknown), std::out_of_range);
}

TEST(ReadAheadTableCursor, ANewPassBeforeTheEndStartsOver) {
    InMemoryWorkingTable table = sampleTable();
    ReadAheadTableCursor ahead(table);
    ASSERT_TRUE(ahead.firstReading(kFields));
    ASSERT_TRUE(ahead.next());
    ASSERT_TRUE(ahead.firstReading(kFields));
    EXPECT_EQ(ahead.rowKey(), 0);
    EXPECT_EQ(walk(ahead, true).size(), static_cast<std::size_t>(kRows));
}

// A table whose step fails after a number of rows, as a damaged file does.
class FailingTable : public InMemoryWorkingTable {
public:
    explicit FailingTable(int failAt) : InMemoryWorkingTable(sampleTable()), failAt_(failAt) {}
    bool firstReading(std::span<const std::string_view> fields) override {
        steps_ = 0;
        return InMemoryWorkingTable::firstReading(fields);
    }
    bool next() override {
        if (++steps_ == failAt_) throw std::runtime_error("disk I/O error");
        return InMemoryWorkingTable::next();
    }

private:
    int failAt_;
    int steps_ = 0;
};

TEST(ReadAheadTableCursor, TheTablesErrorComesAfterTheRowsBeforeIt) {
    const int failAt = static_cast<int>(ReadAheadTableCursor::kBatchRows * 2 + 3);
    FailingTable table(failAt);
    ReadAheadTableCursor ahead(table);
    int rows = 0;
    bool more = ahead.firstReading(kFields);
    EXPECT_THROW(
        {
            for (; more; more = ahead.next())
                ++rows;
        },
        std::runtime_error);
    EXPECT_EQ(rows, failAt);
    EXPECT_TRUE(ahead.atEnd());
    EXPECT_FALSE(ahead.next());
}

} // namespace
} // namespace xls2qdp
