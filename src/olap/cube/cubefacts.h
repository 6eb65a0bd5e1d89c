// Reading one cube's fact columns out of a cube file (layout: cubeformat.h),
// each column when a query first asks for it. Private to cubefile.cpp.
#pragma once

#include "olap/cube/facttable.h"
#include "platform/core/sqlitedb.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace olap::cubefacts {

// The connections to one cube file: the one that read the metadata and, when
// the file is still the one it opened, a second one opened at once, so that
// two columns are read at the same time. No connection is opened later: a
// file replaced meanwhile (a cube rebuilt under the same name) must not mix
// its facts with the metadata read before. Thread-safe; a thread that finds
// no free connection waits for one.
class Connections {
public:
    // `first` is the connection that read the metadata; `opened` the
    // identity of the file it opened (fileIdentity before it was opened).
    Connections(std::filesystem::path file, const platform::SqliteDb::Options& options,
                std::unique_ptr<platform::SqliteDb> first, uint64_t opened);
    ~Connections();

    const std::filesystem::path& file() const { return mFile; }

    // Calls `use(db)` with a connection no other thread uses meanwhile.
    template <class Use>
    auto with(Use&& use)
    {
        std::unique_ptr<platform::SqliteDb> db = take();
        struct Return {
            Connections& to;
            std::unique_ptr<platform::SqliteDb>& db;
            ~Return() { to.give(std::move(db)); }
        } giveBack{*this, db};
        return use(*db);
    }

private:
    std::unique_ptr<platform::SqliteDb> take();
    void give(std::unique_ptr<platform::SqliteDb> db);

    std::filesystem::path mFile;
    std::mutex mLock;
    std::condition_variable mFreed;
    std::vector<std::unique_ptr<platform::SqliteDb>> mIdle;
};

// Which file `file` names now (device and inode, 0 when it cannot be told).
uint64_t fileIdentity(const std::filesystem::path& file);

// What the metadata says of one cube's facts.
struct FactLayout {
    int64_t cubeId = 0;
    uint64_t factCount = 0;
    uint64_t chunkRows = 0;
    std::vector<int> keyWidths;         // per dimension: 1, 2 or 4 bytes
    std::vector<uint32_t> keyCounts;    // per dimension
    size_t measureCount = 0;
    // Per stored measure: 8 (a double), a compact column's width, or a
    // distinct count's id width.
    std::vector<int> measureWidths;
    std::vector<int> decimals;  // per stored measure: a compact column's, -1 for the others
    std::vector<uint32_t> distinctValues;  // per stored measure: a distinct count's value count
};

// Lists the cube's fact chunks, and refuses a missing, repeated or
// misplaced chunk or one of the wrong length; the columns are read later.
// Requires: the fact count was checked against the file's size.
std::shared_ptr<const FactSource> openFacts(std::shared_ptr<Connections> connections, FactLayout layout);

}  // namespace olap::cubefacts
