// The SQLite layer's guards for files from outside, and what it says when
// the disk is full.
#include "platform/core/sqlitedb.h"

#include "platform/core/failure.h"
#include "support/failureof.h"
#include "support/scratchfolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform;
using ::testing::HasSubstr;
using testsupport::failureOf;

namespace {

// Statements an untrusted file's views could run: each is stopped by a
// bound instead of taking memory or time without end.
TEST(SqliteDb, AnUntrustedFileBoundsValueSizesAndStatementWork)
{
    ScratchFolder folder;
    SqliteDb::Options options;
    options.mode = SqliteDb::Mode::ReadWriteCreate;
    options.untrusted = true;
    options.maxValueBytes = 1 << 20;
    options.maxStatementWork = 1'000'000;
    SqliteDb db(folder / "outside.db", options);
    const struct { const char* sql; const char* message; } cases[] = {
        {"SELECT zeroblob(2000000)", "too big"},
        {"WITH RECURSIVE n(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM n) SELECT count(*) FROM n",
         "does not end within the work"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.sql);
        EXPECT_THAT(failureOf([&] { SqliteStatement(db, test.sql).step(); }).description(), HasSubstr(test.message));
    }
    // A statement within the bounds still runs, after one that was stopped.
    SqliteStatement small(db, "SELECT length(zeroblob(1000))");
    ASSERT_TRUE(small.step());
    EXPECT_EQ(small.integer(0), 1000);
}

// SQLite's own "full" (here its page limit, the same code as a full disk)
// is told as a full disk, whatever the statement was trying to do.
TEST(SqliteDb, AFullDiskIsToldAsSuch)
{
    ScratchFolder folder;
    SqliteDb::Options options;
    options.mode = SqliteDb::Mode::ReadWriteCreate;
    options.subject = "The settings file";
    SqliteDb db(folder / "full.db", options);
    db.exec("CREATE TABLE t (x); PRAGMA max_page_count = 3");
    const Failure failure = failureOf([&] {
        SqliteStatement(db, "INSERT INTO t VALUES (zeroblob(100000))").step();
    });
    EXPECT_EQ(failure.number(), err::kDiskFull);
    EXPECT_THAT(failure.description(), HasSubstr("the disk is full"));
    EXPECT_THAT(failure.description(), testing::Not(HasSubstr("damaged")));
}

}  // namespace
