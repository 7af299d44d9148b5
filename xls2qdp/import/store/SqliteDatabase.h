// SPDX-License-Identifier: MIT
// A small RAII layer over SQLite for the table store: one connection per
// table file, prepared statements, and every failure raised as StoreError
// carrying SQLite's own text and the file's name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace xls2qdp::store {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Statement {
public:
    Statement() = default;

    // Binds are 1-based as in SQL. A text is copied by SQLite.
    Statement& bind(int index, std::string_view text);
    // Binds without a copy: the text must stay unchanged until the statement
    // has been stepped and reset.
    Statement& bindUncopied(int index, std::string_view text);
    Statement& bindNull(int index);
    Statement& bindInt(int index, std::int64_t value);

    // Runs one step: true when a row is ready, false when done.
    bool step();
    // Makes the statement ready to run again and clears its bindings.
    void reset();
    // Makes it ready to run again, keeping the bindings (cheaper when every
    // parameter is bound anew anyway).
    void rewind();

    bool isNull(int column) const;
    // The column's text; valid until the next step or reset.
    std::string_view text(int column) const;
    // text(), or std::nullopt when the column is NULL, in one call into the
    // statement (for tables read by one thread at a time).
    std::optional<std::string_view> textOrNull(int column) const;
    std::int64_t integer(int column) const;

    explicit operator bool() const { return handle_ != nullptr; }

private:
    friend class Database;
    struct Finalize {
        void operator()(sqlite3_stmt* s) const;
    };
    Statement(sqlite3_stmt* s, sqlite3* db, std::string file)
        : handle_(s), db_(db), file_(std::move(file)) {}
    [[noreturn]] void fail(const char* what) const;

    std::unique_ptr<sqlite3_stmt, Finalize> handle_;
    sqlite3* db_ = nullptr;
    std::string file_;
};

class Database {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    Database() = default;
    // Opens the file; ReadOnly and ReadWrite require it to exist. Registers
    // the function pl_upper(text), the Polish upper-casing of name keys.
    Database(const std::filesystem::path& file, Mode mode);

    bool isOpen() const { return db_ != nullptr; }
    void close() { db_.reset(); }
    const std::string& fileName() const { return file_; }

    void exec(std::string_view sql);
    Statement prepare(std::string_view sql);

    // Every read from here until close sees one state of the file: a read
    // transaction, begun now and taking its lock at the first read. Without
    // one, each statement run takes and drops the file's lock and checks
    // whether another program changed the file (a dozen system calls), which
    // thousands of dictionary lookups in one import add up to. Writers of
    // the file wait until it is closed.
    void holdSnapshot();

    bool hasTable(std::string_view table);
    bool hasIndex(std::string_view table, std::string_view index);
    bool hasColumn(std::string_view table, std::string_view column);
    // The same checks, raising StoreError with a message naming the file.
    void requireTable(std::string_view table);
    void requireColumn(std::string_view table, std::string_view column);

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    [[noreturn]] void fail(const char* what) const;

    std::unique_ptr<sqlite3, Close> db_;
    std::string file_;
};

} // namespace xls2qdp::store
