// Reading one cube's fact columns out of a cube file (layout: cubeformat.h),
// each column when a query first asks for it. Private to cubefile.cpp.
#pragma once

#include "olap/cube/facttable.h"
#include "platform/core/sqlitedb.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace olap::cubefacts {

// The connections to one cube file. Each thread that reads a column takes
// one of its own, so that two columns are read at once; connections are
// kept for the next read. Thread-safe.
class Connections {
public:
    // `first` is the connection that read the metadata; more are opened with `options`.
    Connections(std::filesystem::path file, platform::SqliteDb::Options options,
                std::unique_ptr<platform::SqliteDb> first);
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
    platform::SqliteDb::Options mOptions;
    std::mutex mLock;
    std::vector<std::unique_ptr<platform::SqliteDb>> mIdle;
};

// What the metadata says of one cube's facts.
struct FactLayout {
    int64_t cubeId = 0;
    uint64_t factCount = 0;
    uint64_t chunkRows = 0;
    std::vector<int> keyWidths;         // per dimension: 1, 2 or 4 bytes
    std::vector<uint32_t> keyCounts;    // per dimension
    size_t measureCount = 0;
};

// Lists the cube's fact chunks, and refuses a missing, repeated or
// misplaced chunk or one of the wrong length; the columns are read later.
// Requires: the fact count was checked against the file's size.
std::shared_ptr<const FactSource> openFacts(std::shared_ptr<Connections> connections, FactLayout layout);

}  // namespace olap::cubefacts
