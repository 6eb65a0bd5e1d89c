// The store model's cube: a cube of the application store, loaded from the
// store cube file (.BWC) that the store reader writes (storeloader.h).
#pragma once

#include "olap/cube/schema.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace olap {

class Dimension;
struct StoreCubeData;

// A store cube. Made empty, then loaded:
//
//     auto cube = std::make_shared<olap::Cube>();
//     cube->loadFromFile(bwcPath, true);
//
// Its dimensions, in cube order, are the measures dimension first and then
// the cube's dimensions. The measure-list dimension, when the store names
// one, is not among them (nor is a measure dimension of the cube of that
// name): it is reached through measureListDimension() and
// dimensionByName(). Dimensions outlive the cube when held (storedimension.h).
// Not thread-safe: use it from one thread.
class Cube {
public:
    Cube();
    ~Cube();
    Cube(const Cube&) = delete;
    Cube& operator=(const Cube&) = delete;

    // Loads the store cube file `path` (bwcfile.h), replacing what the cube
    // held; dimensions taken from it before stay valid and keep showing the
    // earlier content. `verify` checks the file's checksum before reading.
    // Throws Failure naming the file and the problem when it is missing,
    // unreadable, not a store cube file, damaged or of a newer version; the
    // cube is then unchanged.
    void loadFromFile(const std::filesystem::path& path, bool verify);
    bool isLoaded() const;

    // The store cube's name N (empty until loaded): the PivotTable is named
    // after it.
    const std::string& name() const;
    // The catalog of N.cub and the cube's name in it.
    const std::string& catalogName() const;
    const std::string& cubeName() const;
    // The measures in cube order, with their aggregation and number format.
    const std::vector<MeasureInfo>& measures() const;

    // The dimension named "Measures" (type 2) whose members are the measures;
    // nothing until loaded.
    std::shared_ptr<Dimension> measuresDimension() const;
    // The dimension that lists the measures on the measures step when the
    // measures dimension's specialFlag is set: type 2, flagged, named by the
    // store's companion, members as in the measures dimension. Nothing when
    // the companion names none.
    std::shared_ptr<Dimension> measureListDimension() const;

    int dimensionCount() const;
    // Dimension `number`, 1 .. dimensionCount(). Throws Failure 9 otherwise.
    std::shared_ptr<Dimension> dimension(int number) const;
    // The time dimensions (type 1) in cube order, 1 .. timeDimensionCount().
    int timeDimensionCount() const;
    std::shared_ptr<Dimension> timeDimension(int number) const;
    // The dimension named `name` (exact comparison): one of dimension(i), else
    // the measure-list dimension; nothing when none has that name.
    std::shared_ptr<Dimension> dimensionByName(std::string_view name) const;

private:
    std::shared_ptr<const StoreCubeData> mData;
    std::vector<std::shared_ptr<Dimension>> mDimensions;
    std::vector<std::shared_ptr<Dimension>> mTimeDimensions;
    std::shared_ptr<Dimension> mMeasureList;
};

}  // namespace olap
