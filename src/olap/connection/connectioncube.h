// What an OlapConnection opens: databases (catalogs), their cube entries, and
// each entry's cube definition (KCube) with its dimensions.
#pragma once

#include "olap/cube/schema.h"
#include "olap/model/collection.h"

#include <memory>
#include <string>
#include <vector>

namespace olap {

class KCube;
class KCubeEntry;
class KDimension;

// A database (catalog) of an open connection. Holds its catalog's metadata
// alive; valid after the connection is gone.
class KDatabase {
public:
    explicit KDatabase(std::shared_ptr<const CatalogInfo> catalog);
    KDatabase(const KDatabase&) = delete;
    KDatabase& operator=(const KDatabase&) = delete;

    const std::string& name() const;
    // The cube entries in catalog order, items 0 .. count() - 1.
    Collection<KCubeEntry> cubes() const;

private:
    std::shared_ptr<const CatalogInfo> mCatalog;
    std::vector<std::shared_ptr<KCubeEntry>> mCubes;
};

// A cube of a database: its name, and its definition when asked for.
class KCubeEntry : public std::enable_shared_from_this<KCubeEntry> {
public:
    ~KCubeEntry();
    KCubeEntry(const KCubeEntry&) = delete;
    KCubeEntry& operator=(const KCubeEntry&) = delete;

    // The cube's name: the PivotTable's name and the catalog and command of
    // a local cube's connection string.
    const std::string& name() const;
    // The cube, made on the first call and the same object afterwards.
    // Holding it keeps this entry and the cube's metadata alive.
    std::shared_ptr<KCube> definition() const;

private:
    friend class KDatabase;
    friend class KCube;
    KCubeEntry(std::shared_ptr<const CatalogInfo> catalog, size_t index);
    const CubeInfo& info() const { return mCatalog->cubes[mIndex]; }

    std::shared_ptr<const CatalogInfo> mCatalog;
    size_t mIndex;
    mutable std::unique_ptr<KCube> mCube;
};

// The dimensions of a KCube in cube order, items 0 .. count() - 1: the
// measures dimension first, then the cube's dimensions.
class KDimensions {
public:
    explicit KDimensions(std::vector<std::shared_ptr<KDimension>> dimensions);

    int count() const { return int(mDimensions.size()); }
    // Dimension `index`, 0 .. count() - 1. Throws Failure 9 otherwise.
    std::shared_ptr<KDimension> item(int index) const;
    // The dimension named "Measures" (type 2) whose members are the measures.
    std::shared_ptr<KDimension> measuresDimension() const;

    auto begin() const { return mDimensions.begin(); }
    auto end() const { return mDimensions.end(); }

private:
    std::vector<std::shared_ptr<KDimension>> mDimensions;
};

// A cube of the connection model. Owned by its cube entry: holding the cube
// keeps the entry alive, and the cube's dimensions outlive it when held
// (connectiondimension.h). Valid after its connection is gone.
class KCube {
public:
    ~KCube();
    KCube(const KCube&) = delete;
    KCube& operator=(const KCube&) = delete;

    // The same as cubeEntry()->name().
    const std::string& name() const;
    KDimensions dimensions() const;
    std::shared_ptr<KCubeEntry> cubeEntry() const;
    // The measures in cube order, with their aggregation and number format.
    const std::vector<MeasureInfo>& measures() const;

private:
    friend class KCubeEntry;
    explicit KCube(KCubeEntry& entry);

    KCubeEntry& mEntry;
    std::vector<std::shared_ptr<KDimension>> mDimensions;
};

}  // namespace olap
