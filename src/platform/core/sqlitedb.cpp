#include "platform/core/sqlitedb.h"

#include "platform/core/failure.h"

#include <sqlite3.h>

#include <cerrno>
#include <random>
#include <thread>
#include <system_error>

namespace platform {

namespace {

// A file that no one may write to. The superuser could write it anyway; the
// mark says it should not be, so it is honoured for every user alike.
bool writeProtected(const std::filesystem::path& file)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    using std::filesystem::perms;
    return std::filesystem::exists(status)
           && (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
}

// How many steps of SQLite's virtual machine pass between two calls of the
// work counter.
constexpr int kWorkUnit = 1000;

bool isDiskFull(sqlite3* db, int code)
{
    if ((code & 0xff) == SQLITE_FULL)
        return true;
    // A failed write or flush on a full disk can come back as an I/O error.
    const int system = (code & 0xff) == SQLITE_IOERR ? sqlite3_system_errno(db) : 0;
    return system == ENOSPC || system == EDQUOT;
}

}  // namespace

SqliteDb::SqliteDb(const std::filesystem::path& file, Mode mode, std::string source)
    : SqliteDb(file, [&] {
          Options options;
          options.mode = mode;
          options.source = std::move(source);
          return options;
      }())
{
}

SqliteDb::SqliteDb(const std::filesystem::path& file, Options options)
    : mFile(file), mSource(std::move(options.source)), mSubject(std::move(options.subject))
{
    open(options);
}

SqliteDb::~SqliteDb() = default;

void SqliteDb::Close::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

void SqliteDb::open(const Options& options)
{
    if (options.mode == Mode::ReadOnly && !std::filesystem::exists(mFile))
        refuse(err::kFileNotFound, "does not exist");
    if (options.mode == Mode::ReadWriteCreate && options.createFolders && mFile.has_parent_path()) {
        std::error_code error;
        std::filesystem::create_directories(mFile.parent_path(), error);
        if (error) {
            throw Failure(err::kPathFileAccess, describe("cannot be created") + " (" + error.message() + ")", mSource,
                          error.value());
        }
    }
    const int flags = options.mode == Mode::ReadOnly || writeProtected(mFile)
                          ? SQLITE_OPEN_READONLY
                          : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(mFile.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    mDb.reset(db);   // SQLite hands out a connection even when opening fails; it must be closed
    if (rc != SQLITE_OK)
        fail("cannot be opened");
    sqlite3_extended_result_codes(db, 1);
    mBusyTimeoutMs = options.busyTimeoutMs;
    if (mBusyTimeoutMs > 0)
        sqlite3_busy_handler(db, &SqliteDb::waitBusy, this);
    if (options.untrusted)
        distrust(options);
}

// A file from outside may hold views and triggers in place of tables, values
// of any size and queries that never end: each is bounded here, before any
// statement of ours runs on it.
void SqliteDb::distrust(const Options& options)
{
    sqlite3* db = handle();
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    if (options.maxValueBytes > 0)
        sqlite3_limit(db, SQLITE_LIMIT_LENGTH, options.maxValueBytes);
    if (options.maxStatementWork > 0) {
        mWorkLimit = (options.maxStatementWork + kWorkUnit - 1) / kWorkUnit;
        sqlite3_progress_handler(db, kWorkUnit, &SqliteDb::countWork, this);
    }
    exec("PRAGMA cell_size_check = ON", "cannot be opened");
}

// Non-zero interrupts the statement running now.
int SqliteDb::countWork(void* db)
{
    auto* self = static_cast<SqliteDb*>(db);
    return ++self->mWork > self->mWorkLimit ? 1 : 0;
}

// SQLite's own busy handler sleeps longer the longer it waits (up to 100 ms a
// step), so a connection that has waited long loses the lock to newcomers
// again and again: with eight writers one made 29 writes while another made
// 1,102. Steps that grow only to about 10 ms, with random jitter, keep the
// waiters even; much shorter ones make the waiters' polling slow the writer
// that holds the lock (bench/settingsstress.cpp).
int SqliteDb::waitBusy(void* db, int count)
{
    auto* self = static_cast<SqliteDb*>(db);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0)
        self->mBusySince = now;
    if (now - self->mBusySince >= std::chrono::milliseconds(self->mBusyTimeoutMs))
        return 0;
    thread_local std::minstd_rand random(std::random_device{}());
    const int stepMs = std::min(count + 1, 10);   // 0.5 to 1.5 times this
    std::this_thread::sleep_for(std::chrono::microseconds(500 * stepMs + random() % (1000 * stepMs)));
    return 1;
}

bool SqliteDb::isTable(std::string_view name) const
{
    SqliteStatement query(*this, "SELECT type FROM sqlite_master WHERE name = ?");
    query.bind(name);
    return query.step() && query.text(0) == "table";
}

void SqliteDb::exec(const char* sql, std::string_view problem) const
{
    if (sqlite3_exec(handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(problem);
}

int64_t SqliteDb::pragma(const char* name) const
{
    SqliteStatement query(*this, (std::string("PRAGMA ") + name).c_str());
    return query.step() ? query.integer(0) : 0;
}

bool SqliteDb::isReadOnly() const { return sqlite3_db_readonly(handle(), "main") == 1; }
int64_t SqliteDb::changes() const { return sqlite3_changes(handle()); }
int64_t SqliteDb::lastInsertRowId() const { return sqlite3_last_insert_rowid(handle()); }

std::string SqliteDb::describe(std::string_view problem) const
{
    const std::string name = mSubject.empty() ? mFile.string() + ":" : mSubject + " '" + mFile.string() + "'";
    return name + " " + std::string(problem);
}

void SqliteDb::fail(std::string_view problem) const
{
    sqlite3* db = handle();
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN;
    const bool full = db && isDiskFull(db, code);
    std::string text = describe(full ? std::string_view("cannot be written: the disk is full") : problem);
    if ((code & 0xff) == SQLITE_INTERRUPT && mWorkLimit > 0 && mWork > mWorkLimit)
        text += " (a query on it does not end within the work a file of its kind can need)";
    else if (db && code != SQLITE_OK)
        text += std::string(" (") + sqlite3_errmsg(db) + ")";
    const int32_t number = full ? err::kDiskFull
                           : (code & 0xff) == SQLITE_READONLY || (code & 0xff) == SQLITE_PERM
                               ? err::kPermissionDenied
                               : err::kPathFileAccess;
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        throw SqliteBusy(number, text, mSource, code);
    throw Failure(number, text, mSource, code);
}

void SqliteDb::refuse(int32_t number, std::string_view problem) const
{
    throw Failure(number, describe(problem), mSource);
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const char* sql) : mDb(db)
{
    mDb.mWork = 0;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &mStatement, nullptr) != SQLITE_OK)
        db.fail("is not readable as expected");
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(mStatement); }

SqliteStatement& SqliteStatement::bind(int64_t number)
{
    if (sqlite3_bind_int64(mStatement, mNext++, number) != SQLITE_OK)
        mDb.fail("cannot be used");
    return *this;
}

SqliteStatement& SqliteStatement::bind(double number)
{
    if (sqlite3_bind_double(mStatement, mNext++, number) != SQLITE_OK)
        mDb.fail("cannot be used");
    return *this;
}

SqliteStatement& SqliteStatement::bind(std::string_view text)
{
    if (sqlite3_bind_text(mStatement, mNext++, text.data(), int(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        mDb.fail("cannot be used");
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(std::span<const uint8_t> bytes)
{
    // A null pointer would bind NULL: empty data stays an empty blob.
    const int rc = bytes.empty() ? sqlite3_bind_zeroblob(mStatement, mNext++, 0)
                                 : sqlite3_bind_blob64(mStatement, mNext++, bytes.data(), bytes.size(),
                                                       SQLITE_STATIC);
    if (rc != SQLITE_OK)
        mDb.fail("cannot be used");
    return *this;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(mStatement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        mDb.fail("is damaged or cannot be used");
    return rc == SQLITE_ROW;
}

void SqliteStatement::reset()
{
    mDb.mWork = 0;
    sqlite3_reset(mStatement);
    sqlite3_clear_bindings(mStatement);
    mNext = 1;
}

int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(mStatement, column); }

std::string SqliteStatement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column));
    return p ? std::string(p, size_t(sqlite3_column_bytes(mStatement, column))) : std::string();
}

std::span<const uint8_t> SqliteStatement::blob(int column) const
{
    const auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(mStatement, column));
    return {p, p ? size_t(sqlite3_column_bytes(mStatement, column)) : 0};
}

SqliteTransaction::SqliteTransaction(const SqliteDb& db, bool write) : mDb(db)
{
    db.exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
    mOpen = true;
}

SqliteTransaction::~SqliteTransaction()
{
    if (mOpen)
        sqlite3_exec(mDb.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit()
{
    mDb.exec("COMMIT");
    mOpen = false;
}

}  // namespace platform
