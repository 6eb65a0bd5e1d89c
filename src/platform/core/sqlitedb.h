// A thin RAII layer over SQLite for the libraries that keep their data in
// SQLite files. Every failure becomes a Failure whose description names the
// file and what SQLite said, so users learn which file is at fault.
#pragma once

#include "platform/core/failure.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// The Failure SqliteDb throws when another connection held the file locked
// for longer than the busy timeout: worth another try, unlike the others.
class SqliteBusy : public Failure {
public:
    using Failure::Failure;
};

class SqliteDb {
public:
    enum class Mode { ReadOnly, ReadWriteCreate };

    struct Options {
        // ReadWriteCreate opens a write-protected file for reading only: one
        // this user cannot write, or one with no write permission for anyone
        // (even for the superuser). See isReadOnly().
        Mode mode = Mode::ReadOnly;
        std::string source;   // the source of every Failure
        // How failures name the file: empty gives "<file>: <problem>", a
        // subject such as "The settings file" gives "The settings file '<file>' <problem>".
        std::string subject;
        bool createFolders = false;   // ReadWriteCreate also creates the missing folders above the file
        // How long to wait for another connection's lock; 0 fails at once.
        // Waits are short random steps (at most about 15 ms), so that every
        // waiting connection has much the same chance at the lock.
        int busyTimeoutMs = 0;
        // For files from outside, read as hostile: a text or blob longer than
        // maxValueBytes is refused (0: SQLite's own limit), one run of a
        // statement may take at most maxStatementWork steps of SQLite's
        // virtual machine (0: no bound), and the file's views and triggers
        // may not call functions with side effects.
        bool untrusted = false;
        int maxValueBytes = 0;
        int64_t maxStatementWork = 0;
    };

    // Opens `file`. Throws Failure naming the file, with `source` as the
    // source: number 53 when a read-only file is missing, else as fail().
    SqliteDb(const std::filesystem::path& file, Mode mode, std::string source);
    // The same, with the choices of `options`.
    SqliteDb(const std::filesystem::path& file, Options options);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    sqlite3* handle() const { return mDb.get(); }
    const std::filesystem::path& file() const { return mFile; }

    // Runs statements that return no rows; `problem` is what a failure says.
    void exec(const char* sql, std::string_view problem = "cannot be used") const;
    // A PRAGMA's integer value.
    int64_t pragma(const char* name) const;

    // True when `name` is a table of the file: not missing, and not a view
    // that a damaged or crafted file put in a table's place.
    bool isTable(std::string_view name) const;

    // True when the file could be opened for reading only.
    bool isReadOnly() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int64_t changes() const;
    // Row id of the last row inserted.
    int64_t lastInsertRowId() const;

    // "<file>: <problem>", or with a subject "<subject> '<file>' <problem>".
    std::string describe(std::string_view problem) const;
    // Throws the Failure for this file: describe(problem) followed by SQLite's
    // message in parentheses; the number says whether the disk is full (61),
    // the file is write-protected (70) or anything else went wrong (75). A
    // full disk is said as such whatever `problem` was: the file is fine,
    // the user must make room. A lock held by another connection for longer
    // than the busy timeout throws SqliteBusy, so that callers can retry.
    [[noreturn]] void fail(std::string_view problem) const;
    // Throws Failure `number` with describe(problem), for a problem SQLite did not see.
    [[noreturn]] void refuse(int32_t number, std::string_view problem) const;

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };

    void open(const Options& options);
    void distrust(const Options& options);
    friend class SqliteStatement;
    static int countWork(void* db);
    static int waitBusy(void* db, int count);

    std::filesystem::path mFile;
    std::string mSource;
    std::string mSubject;
    std::unique_ptr<sqlite3, Close> mDb;
    // Work of the statement running now, in units of kWorkUnit steps; reset
    // when a statement starts a new run.
    int64_t mWorkLimit = 0;
    mutable int64_t mWork = 0;
    int mBusyTimeoutMs = 0;
    std::chrono::steady_clock::time_point mBusySince;   // when the current wait for a lock began
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
    // Copies the text.
    SqliteStatement& bind(std::string_view text);
    // Does not copy the bytes: they must stay alive and unchanged until the
    // statement is reset or destroyed.
    SqliteStatement& bindBlob(std::span<const uint8_t> bytes);
    // True while there is a row to read.
    bool step();
    // Makes the statement ready to run again with new parameters (and gives
    // it a fresh work bound on an untrusted file).
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

// A transaction rolled back unless committed. A write transaction takes the
// write lock at once (BEGIN IMMEDIATE), so two writers queue up for the busy
// timeout instead of deadlocking when both try to upgrade a read lock.
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
