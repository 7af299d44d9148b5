// SPDX-License-Identifier: MIT
#include "SqliteDatabase.h"

#include "common/Text.h"

#include <sqlite3.h>

namespace xls2qdp::store {
namespace {

void plUpper(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const std::string upper =
        upperPolish(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[0]))));
    sqlite3_result_text(context, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
}

// SQLite keeps statistics of its memory use by default, behind a global mutex
// taken on every allocation; nothing here reads them, and the working table's
// inserts and reads allocate per value. Switched off before SQLite starts
// (it refuses once started, which changes nothing but the speed).
void configureSqliteOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

} // namespace

void Statement::Finalize::operator()(sqlite3_stmt* s) const {
    sqlite3_finalize(s);
}
void Database::Close::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

void Statement::fail(const char* what) const {
    throw StoreError(std::string(what) + " (" + file_ + "): " + sqlite3_errmsg(db_));
}

Statement& Statement::bind(int index, std::string_view text) {
    if (sqlite3_bind_text(handle_.get(), index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        fail("Błąd przekazania wartości do tabeli");
    return *this;
}

Statement& Statement::bindUncopied(int index, std::string_view text) {
    if (sqlite3_bind_text(handle_.get(), index, text.data(), static_cast<int>(text.size()),
                          SQLITE_STATIC) != SQLITE_OK)
        fail("Błąd przekazania wartości do tabeli");
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(handle_.get(), index) != SQLITE_OK)
        fail("Błąd przekazania wartości do tabeli");
    return *this;
}

Statement& Statement::bindInt(int index, std::int64_t value) {
    if (sqlite3_bind_int64(handle_.get(), index, value) != SQLITE_OK)
        fail("Błąd przekazania wartości do tabeli");
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(handle_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(handle_.get()); // leaves the statement reusable after the error
    throw StoreError("Błąd dostępu do tabeli (" + file_ + "): " + message);
}

void Statement::reset() {
    sqlite3_reset(handle_.get());
    sqlite3_clear_bindings(handle_.get());
}

void Statement::rewind() {
    sqlite3_reset(handle_.get());
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(handle_.get(), column) == SQLITE_NULL;
}

std::string_view Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(handle_.get(), column));
    if (!p) return {};
    return {p, static_cast<std::size_t>(sqlite3_column_bytes(handle_.get(), column))};
}

std::optional<std::string_view> Statement::textOrNull(int column) const {
    // Read through the column's value object: one call into the statement
    // for the value's kind, text and length together (the working table
    // reads millions of them). SQLite calls such a value unprotected: safe
    // only while no other thread uses the connection, which ours never
    // share (each is opened without a mutex and used by one thread at a time).
    sqlite3_value* value = sqlite3_column_value(handle_.get(), column);
    // A null value has no text; no text of another value means memory ran
    // out while converting it. The kind is asked only then.
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (!p) {
        if (sqlite3_value_type(value) == SQLITE_NULL) return std::nullopt;
        return std::string_view{};
    }
    return std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(handle_.get(), column);
}

Database::Database(const std::filesystem::path& file, Mode mode) : file_(file.string()) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    configureSqliteOnce();
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file_.c_str(), &raw, flags, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        const std::string message = raw ? sqlite3_errmsg(raw) : "brak pamięci";
        db_.reset();
        throw StoreError("Nie można otworzyć tabeli " + file_ + ": " + message);
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 500);
    if (sqlite3_create_function_v2(raw, "pl_upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   plUpper, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail("Błąd przygotowania tabeli");
    // A file that is not a database shows up only at the first read.
    exec("SELECT count(*) FROM sqlite_schema");
}

void Database::fail(const char* what) const {
    throw StoreError(std::string(what) + " (" + file_ + "): " + sqlite3_errmsg(db_.get()));
}

void Database::exec(std::string_view sql) {
    const std::string text(sql);
    char* error = nullptr;
    if (sqlite3_exec(db_.get(), text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db_.get());
        sqlite3_free(error);
        throw StoreError("Błąd dostępu do tabeli (" + file_ + "): " + message);
    }
}

void Database::holdSnapshot() {
    // Closing the connection ends the transaction; it changed nothing.
    exec("BEGIN DEFERRED");
}

Statement Database::prepare(std::string_view sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v3(db_.get(), sql.data(), static_cast<int>(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK)
        fail("Błąd dostępu do tabeli");
    return Statement(s, db_.get(), file_);
}

bool Database::hasTable(std::string_view table) {
    auto s = prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    s.bind(1, table);
    return s.step();
}

bool Database::hasIndex(std::string_view table, std::string_view index) {
    auto s = prepare("SELECT 1 FROM sqlite_schema WHERE type = 'index' AND tbl_name = ?1 AND "
                     "name = ?2 COLLATE NOCASE");
    s.bind(1, table).bind(2, index);
    return s.step();
}

bool Database::hasColumn(std::string_view table, std::string_view column) {
    auto s = prepare("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    s.bind(1, table).bind(2, column);
    return s.step();
}

void Database::requireTable(std::string_view table) {
    if (!hasTable(table))
        throw StoreError("Plik " + fileName() + " nie zawiera tabeli " + std::string(table));
}

void Database::requireColumn(std::string_view table, std::string_view column) {
    if (!hasColumn(table, column))
        throw StoreError("Tabela " + fileName() + " nie ma pola " + std::string(column));
}

} // namespace xls2qdp::store
