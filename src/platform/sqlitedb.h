// A thin RAII layer over SQLite for the libraries that keep their data in
// SQLite files. Every failure becomes a Failure whose description names the
// file and what SQLite said, so users learn which file is at fault.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

class SqliteDb {
public:
    enum class Mode { ReadOnly, ReadWriteCreate };

    // Opens `file`. Throws Failure (number 53 when a read-only file is
    // missing, 75 otherwise) naming the file, with `source` as the source.
    SqliteDb(const std::filesystem::path& file, Mode mode, std::string source);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    sqlite3* handle() const { return mDb; }
    const std::filesystem::path& file() const { return mFile; }

    // Runs statements that return no rows.
    void exec(const char* sql) const;
    // A PRAGMA's integer value.
    int64_t pragma(const char* name) const;

    // Throws the Failure for this file: "<file>: <problem> (<SQLite's message>)".
    [[noreturn]] void fail(std::string_view problem) const;

private:
    std::filesystem::path mFile;
    std::string mSource;
    sqlite3* mDb = nullptr;
};

// One prepared statement; parameters are bound in order from 1.
class SqliteStatement {
public:
    SqliteStatement(const SqliteDb& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int64_t number);
    SqliteStatement& bind(double number);
    SqliteStatement& bind(std::string_view text);
    SqliteStatement& bindBlob(std::span<const uint8_t> bytes);
    // True while there is a row to read.
    bool step();
    // Makes the statement ready to run again with new parameters.
    void reset();

    int64_t integer(int column) const;
    std::string text(int column) const;
    // Valid until the next step or reset.
    std::span<const uint8_t> blob(int column) const;

private:
    const SqliteDb& mDb;
    sqlite3_stmt* mStatement = nullptr;
    int mNext = 1;
};

// A transaction rolled back unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(const SqliteDb& db, bool write = false);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void commit();

private:
    const SqliteDb& mDb;
    bool mOpen = false;
};

}  // namespace platform
