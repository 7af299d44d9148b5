// SPDX-License-Identifier: MIT
// The working table xls_imp.db: one record per sheet row of the current run,
// read back by the declaration sections through WorkingTableCursor.
//
// A run appends its records inside one AppendTransaction: a run that fails or
// is stopped rolls back and leaves no rows behind. The table is emptied
// before and after every run. Errors are raised as StoreError.
// Not thread-safe; one thread at a time.
#pragma once

#include "SqliteDatabase.h"
#include "WorkingRecord.h"
#include "common/NameSlotCache.h"
#include "common/ProgramLocations.h"
#include "declarations/WorkingTableCursor.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace xls2qdp::store {

class WorkingTable final : public WorkingTableCursor {
public:
    static constexpr const char* kFileName = kWorkingTableFile;
    static constexpr const char* kTableName = "xls_imp";

    enum class Access { Shared, Exclusive };

    // Creates the file with an empty table; an existing file is left as it is
    // when it already holds the table, otherwise StoreError.
    static void create(const std::filesystem::path& file);

    // Opens the file (which must exist and hold every field). Exclusive use
    // locks the file against every other connection until close().
    void open(const std::filesystem::path& file, Access access = Access::Shared);
    void close();
    bool isOpen() const { return db_.isOpen(); }

    // Deletes every record and gives the space back to the file system.
    void deleteAll();
    std::int64_t rowCount();

    // REQUIRES: an append transaction is open (see AppendTransaction).
    void append(const WorkingRecord& record);

    // WorkingTableCursor: rows in the order they were appended.
    bool first() override;
    bool firstReading(std::span<const std::string_view> fields) override;
    bool firstReadingRows(std::span<const std::string_view> fields,
                          std::span<const RowKey> rows) override;
    RowKey rowKey() const override;
    bool next() override;
    bool atEnd() const override { return !onRow_; }
    std::optional<std::string> text(std::string_view field) const override;
    bool textAppend(std::string_view field, std::string& out) const override;
    std::optional<CalendarDate> date(std::string_view field) const override;
    bool holdsDates(std::string_view field) const override;
    int fieldSlot(std::string_view field) const override { return fieldOf(field); }
    bool slotTextAppend(int slot, std::string& out,
                        std::optional<CalendarDate>* date) const override;
    std::optional<CalendarDate> slotDate(int slot) const override;
    void slotsAppend(std::span<const int> fieldSlots, std::span<const int> dateSlots,
                     std::string& out, std::vector<SlotText>& places,
                     std::vector<std::optional<CalendarDate>>& dates) const override;

private:
    friend class AppendTransaction;
    void requireOpen() const;
    struct Column {
        FieldKind kind;
        int index; // in the cursor's SELECT
    };
    Column columnOf(std::string_view field) const;
    // The field numbered slot, and its column in the cursor's SELECT, on the
    // current row; std::logic_error when there is no row or the pass does not
    // read the field, std::invalid_argument for a text field read as a date.
    const WorkingFieldInfo& slotOnRow(int slot, bool asDate, int& column) const;
    // Throws what slotOnRow refuses a slot for.
    [[noreturn]] void refuseSlot(int slot, bool asDate) const;
    // The text of a field read from column of the current row, appended to
    // out (a date as "dd-mm-yyyy"), and its date when asked and it holds one.
    bool columnTextAppend(const WorkingFieldInfo& info, int column, std::string& out,
                          std::optional<CalendarDate>* date) const;
    // The field of a name, through nameCache_; std::out_of_range when unknown.
    int fieldOf(std::string_view field) const;
    // Prepares the cursor's SELECT of the given fields (all when empty), of
    // every row or (byKey) of the rows from the bound key on.
    void selectFields(std::span<const std::string_view> fields, bool byKey = false);
    // Steps the by-key SELECT to the next chosen row that is still there.
    bool stepToChosenRow();

    // Fields of the names last asked for: sections ask for the same names
    // row after row. A hit is trusted only when the field's own name matches.
    mutable NameSlotCache nameCache_;
    // Where each working field lies in the cursor's SELECT, -1 when the pass
    // does not read it; selectAll_ while it reads every field.
    std::array<int, kWorkingFieldCount> selectColumn_{};
    bool selectAll_ = false;
    int keyColumn_ = 0; // the rowid, after the fields
    // The keys of a pass over chosen rows, and the next of them.
    std::span<const RowKey> chosenRows_; // the caller's
    std::size_t nextChosen_ = 0;
    bool byKey_ = false;
    bool positioned_ = false;      // the by-key SELECT stands on a row
    std::int64_t positionKey_ = 0; // that row's key

    Database db_;
    Statement insert_;
    // What each of insert_'s parameters is bound to: the text (not copied)
    // it shows, null when data is null and size 0, not known after a
    // failed bind (data null, size kUnknown).
    struct Bound {
        static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
        const char* data = nullptr;
        std::size_t size = 0;
    };
    std::array<Bound, kWorkingFieldCount> insertBound_{};
    Statement select_;
    bool onRow_ = false;
    bool inTransaction_ = false;
};

// Holds the append transaction of one run: commit() keeps the rows, leaving
// the scope without commit() removes every row appended since it began.
class AppendTransaction {
public:
    explicit AppendTransaction(WorkingTable& table);
    ~AppendTransaction();
    AppendTransaction(const AppendTransaction&) = delete;
    AppendTransaction& operator=(const AppendTransaction&) = delete;

    void commit();
    void rollback();

private:
    WorkingTable& table_;
    bool open_ = false;
};

} // namespace xls2qdp::store
