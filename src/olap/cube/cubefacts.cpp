#include "olap/cube/cubefacts.h"

#include "olap/cube/cubefilechecks.h"
#include "olap/cube/measurecolumn.h"
#include "platform/core/failure.h"

#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace olap::cubefacts {

using platform::SqliteDb;
using platform::SqliteStatement;

Connections::Connections(std::filesystem::path file, const SqliteDb::Options& options, std::unique_ptr<SqliteDb> first,
                         uint64_t opened)
    : mFile(std::move(file))
{
    mIdle.push_back(std::move(first));
    try {
        auto second = std::make_unique<SqliteDb>(mFile, options);
        if (opened != 0 && fileIdentity(mFile) == opened)
            mIdle.push_back(std::move(second));
    } catch (const platform::Failure&) {
        // Gone or unreadable since the metadata was read: the first connection still reads it.
    }
}

Connections::~Connections() = default;

std::unique_ptr<SqliteDb> Connections::take()
{
    std::unique_lock<std::mutex> lock(mLock);
    mFreed.wait(lock, [this] { return !mIdle.empty(); });
    std::unique_ptr<SqliteDb> db = std::move(mIdle.back());
    mIdle.pop_back();
    return db;
}

void Connections::give(std::unique_ptr<SqliteDb> db)
{
    {
        const std::lock_guard<std::mutex> lock(mLock);
        mIdle.push_back(std::move(db));
    }
    mFreed.notify_one();
}

uint64_t fileIdentity(const std::filesystem::path& file)
{
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return 0;
    return (uint64_t(status.st_dev) << 40) ^ uint64_t(status.st_ino);
}

namespace {

// Gives the pages of [at, at + bytes) that lie wholly inside it their memory
// in one call before a chunk is copied in, rather than a page fault each
// while the copy runs: the years pivot read from a 10,000,000-fact cube took
// about a fifth less processor time. Where the system cannot, the copy
// faults them in as before.
void prefault(void* at, size_t bytes)
{
    static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(at) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(at) + bytes) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}

class CubeFacts : public FactSource {
public:
    CubeFacts(std::shared_ptr<Connections> connections, FactLayout layout)
        : mConnections(std::move(connections)), mLayout(std::move(layout))
    {
        mChunks = mLayout.chunkRows && mLayout.factCount ? (mLayout.factCount - 1) / mLayout.chunkRows + 1 : 0;
        mColumns = mLayout.keyWidths.size() + mLayout.measureCount;
        mConnections->with([this](const SqliteDb& db) { listChunks(db); });
    }

    KeyColumn readKeys(size_t dimension) const override
    {
        KeyColumn keys = keyColumn(mLayout.keyWidths.at(dimension), mLayout.factCount);
        std::visit([&](auto& column) {
            // Each chunk is checked while it is still in the cache.
            readColumn(dimension, column.data(), [&](std::span<const std::decay_t<decltype(column[0])>> chunk) {
                cubecheck::checkKeys(mConnections->file(), chunk, mLayout.keyCounts[dimension]);
            });
        }, keys);
        return keys;
    }

    MeasureColumn readValues(size_t measure) const override
    {
        const uint64_t column = mLayout.keyWidths.size() + measure;
        const int decimals = mLayout.decimals[measure];
        if (decimals < 0 && widthOf(column) != sizeof(double))
            throw platform::InternalFailure("measure " + std::to_string(measure) + " holds no values", "olap");
        MeasureColumn values = measureColumn(int(widthOf(column)), std::max(decimals, 0), mLayout.factCount);
        std::visit([&](auto& stored) { readColumn(column, stored.data()); }, values.values);
        return values;
    }

    KeyColumn readDistinctIds(size_t measure) const override
    {
        const uint64_t column = mLayout.keyWidths.size() + measure;
        const int width = int(widthOf(column));
        if (width == int(sizeof(double)) || mLayout.decimals[measure] >= 0)
            throw platform::InternalFailure("measure " + std::to_string(measure) + " holds no ids", "olap");
        KeyColumn ids = keyColumn(width, mLayout.factCount);
        std::visit([&](auto& column) {
            readColumn(mLayout.keyWidths.size() + measure, column.data());
            const auto largest = std::max_element(column.begin(), column.end());
            if (largest != column.end() && uint64_t(*largest) > mLayout.distinctValues[measure])
                damaged("a fact names an unknown value of a distinct count");
        }, ids);
        return ids;
    }

private:
    [[noreturn]] void damaged(const std::string& what) const { cubecheck::damaged(mConnections->file(), what); }

    uint64_t widthOf(uint64_t column) const
    {
        return column < mLayout.keyWidths.size() ? uint64_t(mLayout.keyWidths[column])
                                                 : uint64_t(mLayout.measureWidths[column - mLayout.keyWidths.size()]);
    }

    void listChunks(const SqliteDb& db)
    {
        cubecheck::ChunkLedger ledger(mConnections->file(), mChunks, mColumns);
        mRowIds.assign(mChunks * mColumns, 0);
        SqliteStatement facts(db, "SELECT rowid, chunk, column, bytes FROM facts WHERE cube = ?");
        facts.bind(mLayout.cubeId);
        while (facts.step()) {
            const uint64_t chunk = uint64_t(facts.integer(1));
            const uint64_t column = uint64_t(facts.integer(2));
            ledger.fill(chunk, column);
            const uint64_t count = std::min(mLayout.chunkRows, mLayout.factCount - chunk * mLayout.chunkRows);
            if (uint64_t(facts.integer(3)) != count * widthOf(column))
                damaged("a fact chunk has the wrong length");
            mRowIds[chunk * mColumns + column] = facts.integer(0);
        }
        ledger.requireComplete();
    }

    template <class T, class Check = void (*)(std::span<const T>)>
    void readColumn(uint64_t column, T* target, Check check = [](std::span<const T>) {}) const
    {
        mConnections->with([&](const SqliteDb& db) {
            Blob blob(*this, db);
            for (uint64_t chunk = 0; chunk < mChunks; ++chunk) {
                const uint64_t first = chunk * mLayout.chunkRows;
                const uint64_t count = std::min(mLayout.chunkRows, mLayout.factCount - first);
                prefault(target + first, count * sizeof(T));
                blob.read(mRowIds[chunk * mColumns + column], target + first, count * sizeof(T));
                check(std::span<const T>(target + first, count));
            }
        });
    }

    // Reads whole fact blobs straight into columns: the blob interface copies
    // the file's pages into our column without a buffer of SQLite's in
    // between. One handle moves from chunk to chunk, as opening one
    // compiles a statement.
    class Blob {
    public:
        Blob(const CubeFacts& facts, const SqliteDb& db) : mFacts(facts), mDb(db) {}
        ~Blob() { sqlite3_blob_close(mBlob); }

        void read(int64_t rowid, void* target, uint64_t bytes)
        {
            const int opened = mBlob ? sqlite3_blob_reopen(mBlob, rowid)
                                     : sqlite3_blob_open(mDb.handle(), "main", "facts", "data", rowid, 0, &mBlob);
            if (opened != SQLITE_OK)
                mDb.fail("is damaged or cannot be read");
            if (uint64_t(sqlite3_blob_bytes(mBlob)) != bytes
                || (bytes != 0 && sqlite3_blob_read(mBlob, target, int(bytes), 0) != SQLITE_OK))
                mFacts.damaged("a fact chunk cannot be read whole");
        }

    private:
        const CubeFacts& mFacts;
        const SqliteDb& mDb;
        sqlite3_blob* mBlob = nullptr;
    };

    std::shared_ptr<Connections> mConnections;
    FactLayout mLayout;
    uint64_t mChunks = 0;
    uint64_t mColumns = 0;
    std::vector<int64_t> mRowIds;  // [chunk * columns + column]
};

}  // namespace

std::shared_ptr<const FactSource> openFacts(std::shared_ptr<Connections> connections, FactLayout layout)
{
    return std::make_shared<const CubeFacts>(std::move(connections), std::move(layout));
}

}  // namespace olap::cubefacts
