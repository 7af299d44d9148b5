// SPDX-License-Identifier: MIT
#include "WorkingTable.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace xls2qdp::store {
namespace {

std::string createTableSql() {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + std::string(WorkingTable::kTableName) + " (";
    for (std::size_t i = 0; i < kWorkingFieldCount; ++i) {
        const auto& f = kWorkingFields[i];
        if (i) sql += ", ";
        sql += f.name;
        switch (f.kind) {
        case FieldKind::Text:
            sql += " VARCHAR(" + std::to_string(f.width) + ")";
            break;
        case FieldKind::Date:
            sql += " DATE";
            break;
        case FieldKind::DateTime:
            sql += " TIMESTAMP";
            break;
        }
    }
    return sql + ")";
}

std::string columnList() {
    std::string list;
    for (std::size_t i = 0; i < kWorkingFieldCount; ++i) {
        if (i) list += ", ";
        list += kWorkingFields[i].name;
    }
    return list;
}

std::string selectSql(std::string_view columns, bool byKey) {
    return "SELECT " + std::string(columns) + ", rowid FROM " + WorkingTable::kTableName +
           (byKey ? " WHERE rowid >= ?1" : "") + " ORDER BY rowid";
}

std::string insertSql() {
    std::string sql =
        "INSERT INTO " + std::string(WorkingTable::kTableName) + " (" + columnList() + ") VALUES (";
    for (std::size_t i = 0; i < kWorkingFieldCount; ++i)
        sql += i ? ", ?" : "?";
    return sql + ")";
}

void checkFields(Database& db) {
    db.requireTable(WorkingTable::kTableName);
    for (const auto& f : kWorkingFields)
        db.requireColumn(WorkingTable::kTableName, f.name);
}

} // namespace

void WorkingTable::create(const std::filesystem::path& file) {
    Database db(file, Database::Mode::Create);
    // Rows of some 70 fields: bigger pages mean fewer page splits and writes
    // while a run appends (a no-op on an existing file).
    db.exec("PRAGMA page_size = 16384");
    db.exec(createTableSql());
    checkFields(db);
}

void WorkingTable::open(const std::filesystem::path& file, Access access) {
    close();
    Database db(file, Database::Mode::ReadWrite);
    // A run appends up to hundreds of thousands of rows in one transaction:
    // a bigger page cache keeps SQLite from spilling pages to the file midway.
    db.exec("PRAGMA cache_size = -8192");
    // Emptying the table after a run must not overwrite every freed page
    // with zeros (SQLite builds may do so by default): the rollback journal
    // of that delete would first copy every page, declarations included, into
    // a file deleted unscrubbed right after, and the writing took longer than
    // building the package. The space is given back by VACUUM anyway.
    db.exec("PRAGMA secure_delete = OFF");
    if (access == Access::Exclusive) {
        db.exec("PRAGMA locking_mode = EXCLUSIVE");
        db.exec("BEGIN EXCLUSIVE; COMMIT"); // takes the lock now, keeps it until close
    }
    checkFields(db);
    db_ = std::move(db);
    insert_ = db_.prepare(insertSql());
    insertBound_.fill({});
    selectFields({});
}

void WorkingTable::selectFields(std::span<const std::string_view> fields, bool byKey) {
    onRow_ = false;
    byKey_ = byKey;
    if (fields.empty()) {
        if (!selectAll_ || !select_ || byKey) {
            select_ = Statement(); // one statement on the table at a time
            select_ = db_.prepare(selectSql(columnList(), byKey));
        }
        for (std::size_t i = 0; i < kWorkingFieldCount; ++i)
            selectColumn_[i] = static_cast<int>(i);
        keyColumn_ = static_cast<int>(kWorkingFieldCount);
        selectAll_ = !byKey;
        return;
    }
    selectColumn_.fill(-1);
    std::string columns;
    int count = 0;
    for (std::string_view name : fields) {
        const auto f = workingFieldByName(name);
        if (!f) throw std::out_of_range("unknown working-table field " + std::string(name));
        int& column = selectColumn_[static_cast<std::size_t>(*f)];
        if (column >= 0) continue;
        column = count++;
        if (!columns.empty()) columns += ", ";
        columns += kWorkingFields[static_cast<std::size_t>(*f)].name;
    }
    keyColumn_ = count;
    select_ = Statement();
    select_ = db_.prepare(selectSql(columns.empty() ? "NULL" : columns, byKey));
    selectAll_ = false;
}

void WorkingTable::close() {
    if (inTransaction_) {
        try {
            db_.exec("ROLLBACK");
        } catch (const StoreError&) {
        }
        inTransaction_ = false;
    }
    insert_ = Statement();
    select_ = Statement();
    selectAll_ = false;
    onRow_ = false;
    db_.close();
}

void WorkingTable::requireOpen() const {
    if (!db_.isOpen()) throw StoreError(std::string("Tabela ") + kFileName + " nie jest otwarta");
}

void WorkingTable::deleteAll() {
    requireOpen();
    select_.reset();
    onRow_ = false;
    db_.exec(std::string("DELETE FROM ") + kTableName);
    if (!inTransaction_) {
        auto freePages = db_.prepare("PRAGMA freelist_count");
        if (freePages.step() && freePages.integer(0) > 256) {
            freePages = Statement();
            db_.exec("VACUUM");
        }
    }
}

std::int64_t WorkingTable::rowCount() {
    requireOpen();
    auto count = db_.prepare(std::string("SELECT count(*) FROM ") + kTableName);
    count.step();
    return count.integer(0);
}

void WorkingTable::append(const WorkingRecord& record) {
    requireOpen();
    if (!inTransaction_) throw std::logic_error("WorkingTable::append outside a transaction");
    // Every parameter is set for this record: its value (not copied: the
    // record outlives the step), or null. A value is not copied at binding
    // but read where it lies when the statement runs, so a parameter that
    // already shows the same bytes (a setting, a constant, a value made in
    // the same buffer as the row before) is left as it is: a bind is some
    // two hundred instructions, for tens of values a row.
    insert_.rewind();
    for (std::size_t i = 0; i < kWorkingFieldCount; ++i) {
        const int parameter = static_cast<int>(i) + 1;
        Bound& bound = insertBound_[i];
        if (const auto value = record.value(static_cast<WorkingField>(i))) {
            if (bound.data == value->data() && bound.size == value->size()) continue;
            bound = {nullptr, Bound::kUnknown}; // until the bind has succeeded
            insert_.bindUncopied(parameter, *value);
            bound = {value->data(), value->size()};
        } else if (bound.data != nullptr || bound.size != 0) {
            bound = {nullptr, Bound::kUnknown};
            insert_.bindNull(parameter);
            bound = {};
        }
    }
    insert_.step();
    insert_.rewind(); // ends the statement
}

bool WorkingTable::first() {
    return firstReading({});
}

bool WorkingTable::firstReading(std::span<const std::string_view> fields) {
    requireOpen();
    if (fields.empty() && selectAll_)
        select_.reset();
    else
        selectFields(fields);
    onRow_ = select_.step();
    return onRow_;
}

bool WorkingTable::firstReadingRows(std::span<const std::string_view> fields,
                                    std::span<const RowKey> rows) {
    requireOpen();
    selectFields(fields, true);
    chosenRows_ = rows;
    positioned_ = false;
    nextChosen_ = 0;
    onRow_ = stepToChosenRow();
    return onRow_;
}

bool WorkingTable::stepToChosenRow() {
    // A step reads every field of the pass from the row stepped over; a
    // seek costs about as much as four steps (measured over a pass of a
    // sixth of the rows). A key close ahead of the row the cursor stands on
    // is reached by steps, any other by a seek.
    constexpr std::int64_t kStepsBeforeASeek = 4;
    while (nextChosen_ < chosenRows_.size()) {
        const std::int64_t key = chosenRows_[nextChosen_++];
        if (!positioned_ || key < positionKey_ || key - positionKey_ > kStepsBeforeASeek) {
            select_.reset();
            select_.bindInt(1, key);
            positioned_ = select_.step();
            if (positioned_) positionKey_ = select_.integer(keyColumn_);
        }
        while (positioned_ && positionKey_ < key) {
            positioned_ = select_.step();
            if (positioned_) positionKey_ = select_.integer(keyColumn_);
        }
        if (positioned_ && positionKey_ == key) return true;
        // No row with this key: the cursor stands on a later row, or at the end.
    }
    return false;
}

WorkingTable::RowKey WorkingTable::rowKey() const {
    if (!onRow_) throw std::logic_error("working table: no current row");
    // Rows are numbered from 1 as a run appends them: far below the limit.
    const std::int64_t rowid = select_.integer(keyColumn_);
    if (rowid < 0 || rowid > std::numeric_limits<RowKey>::max())
        throw std::logic_error("working table: a row key beyond four bytes");
    return static_cast<RowKey>(rowid);
}

bool WorkingTable::next() {
    requireOpen();
    if (!onRow_) return false;
    onRow_ = byKey_ ? stepToChosenRow() : select_.step();
    return onRow_;
}

int WorkingTable::fieldOf(std::string_view field) const {
    std::size_t& cached = nameCache_.entry(field);
    if (kWorkingFields[cached].name != field) {
        const auto f = workingFieldByName(field);
        if (!f) throw std::out_of_range("unknown working-table field " + std::string(field));
        cached = static_cast<std::size_t>(*f);
    }
    return static_cast<int>(cached);
}

bool WorkingTable::holdsDates(std::string_view field) const {
    return kWorkingFields[static_cast<std::size_t>(fieldOf(field))].kind != FieldKind::Text;
}

WorkingTable::Column WorkingTable::columnOf(std::string_view field) const {
    const int cached = fieldOf(field);
    if (!onRow_) throw std::logic_error("working table: no current row");
    const int column = selectColumn_[static_cast<std::size_t>(cached)];
    if (column < 0)
        throw std::logic_error("working-table field " + std::string(field) +
                               " is not read on this pass");
    return {kWorkingFields[static_cast<std::size_t>(cached)].kind, column};
}

std::optional<std::string> WorkingTable::text(std::string_view field) const {
    std::string value;
    if (!textAppend(field, value)) return std::nullopt;
    return value;
}

bool WorkingTable::textAppend(std::string_view field, std::string& out) const {
    return slotTextAppend(fieldOf(field), out, nullptr);
}

const WorkingFieldInfo& WorkingTable::slotOnRow(int slot, bool asDate, int& column) const {
    // Asked for every field of every row: the checks that pass stay small
    // enough to be inlined, what they refuse is told apart elsewhere.
    const auto index = static_cast<std::size_t>(slot);
    if (!onRow_ || index >= kWorkingFieldCount || selectColumn_[index] < 0 ||
        (asDate && kWorkingFields[index].kind == FieldKind::Text))
        refuseSlot(slot, asDate);
    column = selectColumn_[index];
    return kWorkingFields[index];
}

void WorkingTable::refuseSlot(int slot, bool asDate) const {
    if (!onRow_) throw std::logic_error("working table: no current row");
    const auto& info = kWorkingFields.at(static_cast<std::size_t>(slot));
    if (selectColumn_[static_cast<std::size_t>(slot)] < 0)
        throw std::logic_error("working-table field " + std::string(info.name) +
                               " is not read on this pass");
    if (asDate && info.kind == FieldKind::Text)
        throw std::invalid_argument("working-table field " + std::string(info.name) +
                                    " is not a date");
    throw std::logic_error("working table: field " + std::to_string(slot) + " refused");
}

bool WorkingTable::slotTextAppend(int slot, std::string& out,
                                  std::optional<CalendarDate>* date) const {
    int column = 0;
    const WorkingFieldInfo& info = slotOnRow(slot, date != nullptr, column);
    return columnTextAppend(info, column, out, date);
}

void WorkingTable::slotsAppend(std::span<const int> fieldSlots, std::span<const int> dateSlots,
                               std::string& out, std::vector<SlotText>& places,
                               std::vector<std::optional<CalendarDate>>& dates) const {
    // Millions of fields pass through here: a plain text, most of them,
    // goes straight from the statement to out.
    const std::size_t first = places.size();
    places.resize(first + fieldSlots.size()); // null until found otherwise
    std::optional<CalendarDate> date;
    for (std::size_t i = 0; i < fieldSlots.size(); ++i) {
        int column = 0;
        const bool dated = dateSlots[i] >= 0;
        const WorkingFieldInfo& info = slotOnRow(fieldSlots[i], dated, column);
        const auto offset = static_cast<std::uint32_t>(out.size());
        bool present;
        if (info.kind == FieldKind::Text) {
            const std::optional<std::string_view> value = select_.textOrNull(column);
            present = value.has_value();
            if (present) out += *value;
        } else {
            present = columnTextAppend(info, column, out, dated ? &date : nullptr);
        }
        if (present) places[first + i] = {offset, static_cast<std::uint32_t>(out.size() - offset)};
        if (dated) dates.push_back(date);
    }
}

bool WorkingTable::columnTextAppend(const WorkingFieldInfo& info, int column, std::string& out,
                                    std::optional<CalendarDate>* date) const {
    const std::optional<std::string_view> value = select_.textOrNull(column);
    if (!value) {
        if (date) date->reset();
        return false;
    }
    const auto d = info.kind == FieldKind::Text ? std::nullopt : parseIsoDate(*value);
    if (date) *date = d;
    if (!d) {
        out += *value;
        return true;
    }
    appendShownDate(out, *d);
    if (info.kind == FieldKind::DateTime && value->size() >= 19) out += value->substr(10, 9);
    return true;
}

std::optional<CalendarDate> WorkingTable::slotDate(int slot) const {
    int column = 0;
    slotOnRow(slot, true, column);
    const std::optional<std::string_view> value = select_.textOrNull(column);
    return value ? parseIsoDate(*value) : std::nullopt;
}

std::optional<CalendarDate> WorkingTable::date(std::string_view field) const {
    const Column column = columnOf(field);
    if (column.kind == FieldKind::Text)
        throw std::invalid_argument("working-table field " + std::string(field) + " is not a date");
    if (select_.isNull(column.index)) return std::nullopt;
    return parseIsoDate(select_.text(column.index));
}

AppendTransaction::AppendTransaction(WorkingTable& table) : table_(table) {
    table_.requireOpen();
    if (table_.inTransaction_) throw std::logic_error("working table: nested append transaction");
    table_.select_.reset();
    table_.onRow_ = false;
    table_.db_.exec("BEGIN IMMEDIATE");
    table_.inTransaction_ = true;
    open_ = true;
}

AppendTransaction::~AppendTransaction() {
    if (open_) {
        try {
            rollback();
        } catch (const StoreError&) {
        }
    }
}

void AppendTransaction::commit() {
    if (!open_) return;
    table_.db_.exec("COMMIT");
    table_.inTransaction_ = false;
    open_ = false;
}

void AppendTransaction::rollback() {
    if (!open_) return;
    open_ = false;
    table_.inTransaction_ = false;
    table_.select_.reset();
    table_.onRow_ = false;
    table_.db_.exec("ROLLBACK");
}

} // namespace xls2qdp::store
