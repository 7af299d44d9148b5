// SPDX-License-Identifier: MIT
#include "WorkingTable.h"

#include "declarations/ReadAheadTableCursor.h"
#include "import/testing/ScratchFolder.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace xls2qdp::store {
namespace {

class WorkingTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkingTable::create(file);
        table.open(file);
    }

    static WorkingRecord record(const char* lid, const char* surname) {
        WorkingRecord r;
        r.setText(WorkingField::LID_DEKL, lid);
        r.setText(WorkingField::NAZWISKO, surname);
        r.setDate(WorkingField::DATA_UR, {1960, 3, 5});
        r.setText(WorkingField::DATA_MOD, isoDateTime({{2026, 12, 10}, 0, 28, 38}));
        return r;
    }

    testing::ScratchFolder folder;
    std::filesystem::path file = folder / WorkingTable::kFileName;
    WorkingTable table;
};

TEST(WorkingRecord, ACopyHasItsOwnTextsAndSharesTheKeptOnes) {
    const std::string kept = "Żaneta";
    WorkingRecord original;
    original.setText(WorkingField::NAZWISKO, "Kowalska");
    original.setTextView(WorkingField::IMIE, kept);
    original.setDate(WorkingField::DATA_UR, {1960, 3, 5});
    WorkingRecord copy = original;
    original.setText(WorkingField::NAZWISKO, "Nowak");
    original.setText(WorkingField::IMIE, "Anna");
    original.setNull(WorkingField::DATA_UR);
    EXPECT_EQ(copy.value(WorkingField::NAZWISKO), "Kowalska");
    EXPECT_EQ(copy.value(WorkingField::IMIE), "Żaneta");
    EXPECT_EQ(copy.value(WorkingField::DATA_UR), "1960-03-05");
    EXPECT_EQ(original.value(WorkingField::IMIE), "Anna");
    EXPECT_EQ(original.value(WorkingField::DATA_UR), std::nullopt);
}

// One record reused row after row, as the import does: a value kept in the
// same buffer with the same length but other characters, a value gone null
// and back, must each be stored as the row has it.
TEST_F(WorkingTableTest, ARecordReusedInPlaceStoresEachRowsValues) {
    std::string shared = "Anna";
    WorkingRecord r;
    const char* const kNames[] = {"Anna", "Ewa_", "Ewa_", "Olga", "Olga"};
    AppendTransaction run(table);
    for (int i = 0; i < 5; ++i) {
        shared.replace(0, 4, kNames[i]);
        r.setTextView(WorkingField::IMIE, shared); // the same bytes' place every row
        r.setText(WorkingField::LID_DEKL, std::to_string(i));
        if (i == 2)
            r.setNull(WorkingField::NAZWISKO);
        else
            r.setTextView(WorkingField::NAZWISKO, "Nowak");
        table.append(r);
    }
    run.commit();
    std::vector<std::string> rows;
    for (bool more = table.first(); more; more = table.next())
        rows.push_back(table.text("LID_DEKL").value_or("-") + " " +
                       table.text("IMIE").value_or("-") + " " +
                       table.text("NAZWISKO").value_or("-"));
    EXPECT_EQ(rows, (std::vector<std::string>{"0 Anna Nowak", "1 Ewa_ Nowak", "2 Ewa_ -",
                                              "3 Olga Nowak", "4 Olga Nowak"}));
}

TEST_F(WorkingTableTest, ReadsBackTextsDatesAndNullsInAppendOrder) {
    AppendTransaction run(table);
    table.append(record("1", "Żółkiewska"));
    table.append(record("2", "Nowak"));
    run.commit();

    ASSERT_TRUE(table.first());
    EXPECT_EQ(table.text("LID_DEKL"), "1");
    EXPECT_EQ(table.text("NAZWISKO"), "Żółkiewska");
    EXPECT_EQ(table.text("IMIE"), std::nullopt);
    EXPECT_EQ(table.date("DATA_UR"), (CalendarDate{1960, 3, 5}));
    EXPECT_EQ(table.text("DATA_UR"), "05-03-1960");
    EXPECT_EQ(table.date("DATA_MOD"), (CalendarDate{2026, 12, 10}));
    EXPECT_EQ(table.text("DATA_MOD"), "10-12-2026 00:28:38");
    EXPECT_EQ(table.date("DATA_WYCOF"), std::nullopt);
    ASSERT_TRUE(table.next());
    EXPECT_EQ(table.text("LID_DEKL"), "2");
    EXPECT_FALSE(table.next());
    EXPECT_TRUE(table.atEnd());
    // A second walk starts over, as each declaration section walks the table.
    ASSERT_TRUE(table.first());
    EXPECT_EQ(table.text("LID_DEKL"), "1");
}

TEST_F(WorkingTableTest, APassReadsOnlyTheFieldsItNamed) {
    AppendTransaction run(table);
    table.append(record("1", "Żółkiewska"));
    table.append(record("2", "Nowak"));
    run.commit();

    // Repeated and differently ordered names; dates keep their kind.
    constexpr std::string_view kRead[] = {"DATA_UR", "NAZWISKO", "DATA_UR", "IMIE"};
    ASSERT_TRUE(table.firstReading(kRead));
    EXPECT_EQ(table.text("NAZWISKO"), "Żółkiewska");
    EXPECT_EQ(table.text("IMIE"), std::nullopt);
    EXPECT_EQ(table.date("DATA_UR"), (CalendarDate{1960, 3, 5}));
    EXPECT_EQ(table.text("DATA_UR"), "05-03-1960");
    EXPECT_THROW((void)table.text("LID_DEKL"), std::logic_error);
    EXPECT_THROW((void)table.date("DATA_MOD"), std::logic_error);
    ASSERT_TRUE(table.next());
    EXPECT_EQ(table.text("NAZWISKO"), "Nowak");
    EXPECT_FALSE(table.next());

    constexpr std::string_view kUnknown[] = {"NAZWISKO", "NO_SUCH_FIELD"};
    EXPECT_THROW((void)table.firstReading(kUnknown), std::out_of_range);
    // A plain walk reads every field again.
    ASSERT_TRUE(table.first());
    EXPECT_EQ(table.text("LID_DEKL"), "1");
    EXPECT_EQ(table.text("DATA_MOD"), "10-12-2026 00:28:38");
}

TEST_F(WorkingTableTest, ChosenRowsAreReadByTheirKeys) {
    AppendTransaction run(table);
    for (int i = 1; i <= 5; ++i)
        table.append(record(std::to_string(i).c_str(), "Nowak"));
    run.commit();

    constexpr std::string_view kRead[] = {"LID_DEKL"};
    std::vector<WorkingTable::RowKey> keys;
    for (bool more = table.firstReading(kRead); more; more = table.next())
        if (table.text("LID_DEKL") != "2") keys.push_back(table.rowKey());
    std::reverse(keys.begin(), keys.end());
    keys.insert(keys.begin() + 1, 999); // no such row: passed over

    std::string seen;
    for (bool more = table.firstReadingRows(kRead, keys); more; more = table.next())
        seen += table.text("LID_DEKL").value_or("-");
    EXPECT_EQ(seen, "5431");
    EXPECT_THROW((void)table.text("NAZWISKO"), std::logic_error);

    // Keys close ahead are reached by stepping on, past the end and back by
    // seeking; a key twice gives its row twice.
    const auto lid1 = keys[4], lid3 = keys[3], lid4 = keys[2], lid5 = keys[0];
    const std::vector<WorkingTable::RowKey> ahead = {lid1, lid3, lid3, lid4, lid5, lid5 + 2, lid3};
    seen.clear();
    for (bool more = table.firstReadingRows(kRead, ahead); more; more = table.next())
        seen += table.text("LID_DEKL").value_or("-");
    EXPECT_EQ(seen, "13345"
                    "3");
}

// The package build reads the table through a cursor that fetches rows ahead
// on another thread: every field, of every kind, must come out as the table
// itself gives it, and a date asked of a text field is refused as there.
TEST_F(WorkingTableTest, ReadAheadGivesWhatTheTableGives) {
    AppendTransaction run(table);
    for (int i = 1; i <= 700; ++i) {
        WorkingRecord r = record(std::to_string(i).c_str(), i % 5 ? "Nowak" : "");
        if (i % 3 == 0) r.setNull(WorkingField::DATA_UR);
        table.append(r);
    }
    run.commit();

    constexpr std::string_view kRead[] = {"LID_DEKL", "NAZWISKO", "DATA_UR", "DATA_MOD"};
    auto walk = [&](WorkingTableCursor& cursor) {
        std::vector<std::string> rows;
        for (bool more = cursor.firstReading(kRead); more; more = cursor.next()) {
            const auto born = cursor.date("DATA_UR");
            const auto changed = cursor.date("DATA_MOD");
            rows.push_back(
                std::to_string(cursor.rowKey()) + "|" + cursor.text("LID_DEKL").value_or("-") +
                "|" + cursor.text("NAZWISKO").value_or("-") + "|" +
                cursor.text("DATA_UR").value_or("-") + "|" + cursor.text("DATA_MOD").value_or("-") +
                "|" + (born ? std::to_string(born->day) : "-") + "|" +
                (changed ? std::to_string(changed->year) : "-"));
            EXPECT_THROW((void)cursor.date("NAZWISKO"), std::invalid_argument);
            // The same fields by number, as the sections copy them: appended.
            for (std::string_view field : kRead) {
                std::string byNumber = "x";
                std::optional<CalendarDate> date;
                const bool dated = cursor.holdsDates(field);
                const bool present = cursor.slotTextAppend(cursor.fieldSlot(field), byNumber,
                                                           dated ? &date : nullptr);
                const std::optional<std::string> byName = cursor.text(field);
                EXPECT_EQ(present, byName.has_value()) << field;
                EXPECT_EQ(byNumber, "x" + byName.value_or("")) << field;
                if (dated) {
                    EXPECT_EQ(date, cursor.date(field)) << field;
                    EXPECT_EQ(cursor.slotDate(cursor.fieldSlot(field)), date) << field;
                }
                // And viewed where the cursor holds the text.
                std::string storage = "stale";
                std::string_view view = "stale";
                EXPECT_EQ(cursor.slotText(cursor.fieldSlot(field), storage, view), present)
                    << field;
                EXPECT_EQ(view, byName.value_or("")) << field;
                // And in the copy of the row a cursor may hold.
                std::span<const WorkingTableCursor::SlotText> places;
                std::string_view texts;
                if (cursor.heldRow(places, texts)) {
                    const auto& at = places[static_cast<std::size_t>(cursor.fieldSlot(field))];
                    EXPECT_EQ(at.offset != WorkingTableCursor::SlotText::kNull, present) << field;
                    if (present) {
                        EXPECT_EQ(texts.substr(at.offset, at.length), *byName) << field;
                    }
                }
            }
            std::string ignored;
            std::optional<CalendarDate> noDate;
            EXPECT_THROW(
                (void)cursor.slotTextAppend(cursor.fieldSlot("NAZWISKO"), ignored, &noDate),
                std::invalid_argument);
            EXPECT_THROW((void)cursor.slotDate(cursor.fieldSlot("NAZWISKO")),
                         std::invalid_argument);
        }
        return rows;
    };
    const auto expected = walk(table);
    ReadAheadTableCursor ahead(table);
    EXPECT_EQ(walk(ahead), expected);
    EXPECT_EQ(expected.size(), 700u);
}

TEST_F(WorkingTableTest, KeepsTextsLongerThanTheirPackageField) {
    const std::string longName(60, 'x');
    AppendTransaction run(table);
    table.append(record("1", longName.c_str()));
    run.commit();
    ASSERT_TRUE(table.first());
    EXPECT_EQ(table.text("NAZWISKO"), longName);
}

TEST_F(WorkingTableTest, UnknownFieldAndWrongKindAreProgrammingErrors) {
    AppendTransaction run(table);
    table.append(record("1", "A"));
    run.commit();
    ASSERT_TRUE(table.first());
    EXPECT_THROW((void)table.text("NO_SUCH_FIELD"), std::out_of_range);
    EXPECT_THROW((void)table.date("NAZWISKO"), std::invalid_argument);
}

TEST_F(WorkingTableTest, AnAbandonedRunLeavesNoRows) {
    {
        AppendTransaction run(table);
        table.append(record("1", "A"));
        table.append(record("2", "B"));
    } // stopped or failed: no commit
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_FALSE(table.first());

    // The rows of an abandoned run are not in the file either.
    table.close();
    table.open(file);
    EXPECT_EQ(table.rowCount(), 0);
}

TEST_F(WorkingTableTest, DeleteAllEmptiesTheTable) {
    AppendTransaction run(table);
    for (int i = 1; i <= 2000; ++i)
        table.append(record(std::to_string(i).c_str(), "Nowak"));
    run.commit();
    EXPECT_EQ(table.rowCount(), 2000);
    table.deleteAll();
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_FALSE(table.first());
}

TEST_F(WorkingTableTest, ExclusiveUseKeepsOthersOut) {
    table.close();
    table.open(file, WorkingTable::Access::Exclusive);
    WorkingTable other;
    EXPECT_THROW(other.open(file, WorkingTable::Access::Exclusive), StoreError);
    table.close();
    EXPECT_NO_THROW(other.open(file, WorkingTable::Access::Exclusive));
}

TEST_F(WorkingTableTest, RefusesFilesThatAreNotTheWorkingTable) {
    table.close();
    WorkingTable other;
    EXPECT_THROW(other.open(folder / "missing.db"), StoreError);

    const auto text = folder / "not-a-database.db";
    std::ofstream(text) << "PESEL;Nazwisko\n";
    EXPECT_THROW(other.open(text), StoreError);

    const auto foreign = folder / "foreign.db";
    {
        Database db(foreign, Database::Mode::Create);
        db.exec("CREATE TABLE xls_imp (NAZWISKO TEXT)");
    }
    try {
        other.open(foreign);
        FAIL() << "a table without the fields was accepted";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("nie ma pola"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(other.isOpen());
}

TEST_F(WorkingTableTest, AppendNeedsTheRunTransaction) {
    EXPECT_THROW(table.append(record("1", "A")), std::logic_error);
}

} // namespace
} // namespace xls2qdp::store
