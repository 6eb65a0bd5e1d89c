// Reading cube files. Opening reads the catalog's metadata only; a cube's
// facts are read when a query first needs them and then kept.
#pragma once

#include "olap/cube/schema.h"

#include <filesystem>
#include <cstdint>
#include <memory>

namespace olap {

class FactTable;  // the facts of one cube, column by column (facttable.h)

class CubeFile {
public:
    // Opens `file` read-only and reads its metadata. Throws Failure whose
    // description names the file and the problem when it is missing, not a
    // cube file, damaged, truncated or written by a newer version. Never
    // writes to the file.
    static std::shared_ptr<const CubeFile> open(const std::filesystem::path& file);
    ~CubeFile();

    const std::filesystem::path& path() const;
    const CatalogInfo& catalog() const;

    // The facts of cube `cube` (index into catalog().cubes). The first call
    // lists the cube's fact chunks; each column is read when first used and
    // kept while the file is open. Throws Failure when the list of chunks is
    // damaged (a column's own damage shows when it is read). Thread-safe.
    std::shared_ptr<const FactTable> facts(size_t cube) const;

    class Data;

private:
    CubeFile();
    void readHeader();
    void readCatalog();
    void readDimensions(int64_t id, CubeInfo& cube);
    void readHierarchies(int64_t cube, int64_t position, DimensionInfo& dimension);
    void readMeasures(int64_t id, CubeInfo& cube);
    void readDistinctMeasures(int64_t id, CubeInfo& cube, std::vector<int>& widths);
    void readCompactMeasures(int64_t id, const CubeInfo& cube, std::vector<int>& widths);
    void readCalculatedMeasures(int64_t id, CubeInfo& cube);

    std::unique_ptr<Data> d;
};

}  // namespace olap
